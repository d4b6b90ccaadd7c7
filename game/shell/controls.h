// Turning the joypads and the keyboard into the two InputState records.
#pragma once

#include <cstdint>

void ReadJoypads();
void ReadKeyboard();

// Player 1's default keys.
void setDefaultKeyAssignment();

// Index -> keyboard code, 100 keys that a player may assign.
extern const int32_t kKeyList[100];
