// The three stage files of folder 01 and their layouts (little-endian):
// "NN.dat" 600 int32 block codes, "NN_.dat" 600 int32 hidden items, "NN__.dat"
// 600 records of 32 int16 script values, all in cell order (column by column).
#pragma once

#include "game/state/play_state.h"

#include <cstddef>

constexpr size_t kStageLayerBytes = kCellCount * 4;
constexpr size_t kStageScriptBytes = kCellCount * kCellScriptValues * 2;

// Block-file codes beside the block codes 0..3.
constexpr int32_t kStagePlayerStart = 100;
constexpr int32_t kStageLastActor = 155;  // 100 + kind, kinds 1..55

constexpr int16_t kKindScriptedSpawner = 35;

enum class StageFile { Blocks, HiddenItems, CellScripts };

constexpr int kStageFileNameSize = 32;
// "01\NN.dat", "01\NN_.dat" or "01\NN__.dat" for stage NN.
void stageFileName(char (&out)[kStageFileNameSize], int stage, StageFile file);

// A stage's three files as bytes (any may be missing or short).
struct StageBytes {
    const unsigned char* blocks = nullptr;
    size_t blocksSize = 0;
    const unsigned char* hiddenItems = nullptr;
    size_t hiddenItemsSize = 0;
    const unsigned char* cellScripts = nullptr;
    size_t cellScriptsSize = 0;
};

// Builds the stage from bytes already read: what loadStage does after reading
// the files. Tests and tools use it to build stages in memory.
void loadStageFrom(const StageBytes& bytes);
