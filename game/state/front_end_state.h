// The front-end scenes' part of GameGlobals: their frame counters, cursors,
// fades and animations. Plain data with no hidden padding, so that it copies,
// compares and hashes like the rest of the game state.
#pragma once

#include <cstdint>

// One of the ten pictures that drop in the game-over scene.
struct Faller {
    int16_t phase;     // 0 waiting, 1 falling, 2 rising, 3 settling, 4 resting, 5 knocked away
    int16_t spare[3];  // keeps y aligned without hidden padding
    double y;          // centre, pixels
};
static_assert(sizeof(Faller) == 16);

constexpr int16_t kFallerWaiting = 0;
constexpr int16_t kFallerFalling = 1;
constexpr int16_t kFallerRising = 2;
constexpr int16_t kFallerSettling = 3;
constexpr int16_t kFallerResting = 4;
constexpr int16_t kFallerKnockedAway = 5;

struct FrontEndState {
    // Shared by the menu scenes.
    int32_t sceneFrame;    // ticks since the scene was entered
    int32_t exitCounter;   // 0 while waiting; 1 once chosen, then +1 per tick
    int32_t fadeCounter;   // 25 on entry, -1 per tick down to 0

    // Title.
    int16_t menuShown;     // 0 during the intro, 1 once the menu is up
    int16_t spareTitle;
    int32_t menuTimer;     // ticks since the menu came up
    int32_t menuCursor;    // 0..4, kept between visits

    // Stage select (the choice itself is a shell value: it outlives the scene).
    int32_t stageSelectCancel;

    // Ranking.
    int32_t rowShiftX[10];
    int32_t rowShiftY[10];
    int32_t pageDelay;

    // Settings.
    int32_t settingsPage;   // 0 options, 1 joypad buttons
    int32_t optionsRow;     // 0..4
    int32_t repeatCounter;  // ticks left or right has been held on the lives row
    int32_t padRow;         // 0..5

    // Game over.
    int32_t gameOverFrame;    // ticks while the player has not continued
    int32_t continueCounter;  // 0, or ticks since the continue (from 1)
    Faller fallers[10];

    // How many times the front end has started each of the four scene sounds
    // (soundSlots 0..3) since the program started. Nothing in the game reads
    // it; it lets a test or a replay check see what the menus played.
    int32_t sceneSoundStarts[4];
};
static_assert(sizeof(FrontEndState) == 312);  // no hidden padding
