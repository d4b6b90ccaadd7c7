// Replays: what player 1 did in one stage, tick by tick, with the state the
// stage started from, so the stage can be played again exactly.
//
// File layout (little-endian), version 1:
//   0  "LRPL"              4 bytes
//   4  version             uint16 (1)
//   6  header size         uint16 (40; the tick data start here)
//   8  stage number        int32
//  12  random state        uint32, after the stage was loaded
//  16  score               int32
//  20  tick count          uint32
//  24  noTimeLimit         int16
//  26  lives, 28 magic charges, 30 facing     int16 each
//  32  button 1..4 memory  4 x uint8 (0/1)
//  36  direction memory    int8 vertical, int8 horizontal
//  38  crouching           uint8, 39 reserved (0)
//  40  ticks               uint16 each: bits 0-1 horizontal (1 right, 2 left),
//                          bits 2-3 vertical (1 up, 2 down), bits 4-11 buttons 1..8
// Tick 0 is the first play-scene tick after the stage was loaded.
#pragma once

#include "game/state/shell_state.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ReplayStart {
    int32_t stage = 0;
    uint32_t randomState = 1;
    int32_t score = 0;
    int16_t noTimeLimit = 0;
    int16_t lives = 2;
    int16_t magic = 0;
    int16_t facing = 0;
    uint8_t prevButtons[4] = {};
    int8_t prevVertical = 0;
    int8_t prevHorizontal = 0;
    uint8_t crouching = 0;
};

struct Replay {
    ReplayStart start;
    std::vector<uint16_t> ticks;
};

constexpr uint16_t kReplayVersion = 1;
constexpr size_t kReplayHeaderSize = 40;

uint16_t packReplayInput(const InputState& input);
InputState unpackReplayInput(uint16_t packed);

std::vector<unsigned char> encodeReplay(const Replay& replay);
// False with a reason for anything that is not a whole, valid replay.
bool decodeReplay(const unsigned char* bytes, size_t size, Replay& out, std::string& error);

// The start values of the stage now loaded in game state.
ReplayStart captureReplayStart();
// Loads the replay's stage from its files and restores the start values.
void startReplayStage(const ReplayStart& start);
// Restores the start values after the stage was built some other way.
void applyReplayStart(const ReplayStart& start);
