// The drawing state every draw reads, and the target draws land on.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace media::images {

struct DrawState {
    int blendMode = 0;          // 0 none, 1 alpha, 2 additive
    int blendParameter = 0;     // 0..255
    uint8_t brightness[3] = {255, 255, 255};
    int target = -4;            // kDrawTargetBack, kDrawTargetFront or a GraphHandle
    SDL_Rect clip{0, 0, 640, 480};   // within the target; empty suppresses drawing
    uint32_t transparentColour = 0;  // 0xRRGGBB
    int fontSize = 16;
};

DrawState& State();

// Back to the state of graphics start (the transparent colour and the font
// size are kept).
void ResetDrawState();

// Width and height of a draw target (-2, -4 or an image handle); false for an
// invalid one.
bool TargetSize(int target, int& width, int& height);

// Makes `target` current with the clip covering it all; false when invalid.
bool SelectTarget(int target);

}  // namespace media::images
