// The player: movement, collision, states and input.
#pragma once

#include "game/state/play_state.h"

// One tick of player `index` (0 or 1).
void updatePlayer(int index);

// Reads player `index`'s input (only while controls are not locked).
void readPlayerInput(int index);

// Starts the death jump (enemy contact, time-out): thrown up, controls
// locked, music stopped, the time-out sound played.
void startDeathJump(Player& player);

// The player's feet below this row can never land again.
constexpr double kPlayerLostBelowY = 560.0;
