// Turning the joypads and the keyboard into the two InputState records.
#pragma once

#include "game/state/shell_state.h"

#include <cstdint>

// Step 2 of the frame tick: the devices (ReadJoypads, then ReadKeyboard), or
// the installed input script.
void sampleControls();

void ReadJoypads();
void ReadKeyboard();

// Player 1's default keys.
void setDefaultKeyAssignment();

// Index -> keyboard code, 100 keys that a player may assign.
extern const int32_t kKeyList[100];

// Index -> GetPadInput source, the seven joypads a player may choose.
extern const int32_t kPadList[7];

// Scripted input, for replays and headless runs: a recorded sequence fed in
// place of the devices, two records (player 1, player 2) per tick. Each tick
// takes the next pair; once the script has run out the records stay all
// zero. The caller keeps the records alive while the script is installed.
void installInputScript(const InputState* records, uint32_t tickCount);
void removeInputScript();
bool inputScriptInstalled();
uint32_t inputScriptTicksFed();

// Called after every tick's sampling with the two records the tick will use,
// e.g. to record play for a replay. nullptr removes it.
using InputObserver = void (*)(const InputState* records, void* context);
void setInputObserver(InputObserver observer, void* context);
