// Driving the front-end scenes tick by tick with scripted input for player 1.
#pragma once

#include "game/state/globals.h"

namespace scene_test {

// Player 1's controls for one tick.
struct Pad {
    int horizontal = 0;
    int vertical = 0;
    bool button1 = false;
    bool button2 = false;
};

constexpr Pad kNothing{};
constexpr Pad kButton1{0, 0, true, false};
constexpr Pad kButton2{0, 0, false, true};
constexpr Pad kUp{0, 1};
constexpr Pad kDown{0, -1};
constexpr Pad kLeft{-1, 0};
constexpr Pad kRight{1, 0};

// Fresh game state with the start-up defaults (and the start-up's colour
// key), then `scene` entered through the scene-entry routines.
void startIn(int scene);

// One real frame tick (FrameTick) with player 1 holding `pad` and player 2
// nothing, fed through the controls' input script.
void tick(const Pad& pad = kNothing);
void ticks(int count, const Pad& pad = kNothing);

// A fresh press: one tick with nothing held, then one tick with `pad`.
void press(const Pad& pad);

}  // namespace scene_test
