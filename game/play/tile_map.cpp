#include "game/play/tile_map.h"

#include "game/play/actors.h"
#include "game/state/globals.h"

void setBlock(int column, int row, int32_t value) {
    int i = cellIndex(column, row);
    if (i >= 0) game.tileMap.blocks[i] = value;
}

int32_t breakTimerAtPoint(double px, double py) {
    int i = cellIndexAt(px, py);
    return i < 0 ? 0 : game.tileMap.breakTimers[i];
}

int32_t placeTimerAt(int column, int row) {
    int i = cellIndex(column, row);
    return i < 0 ? 0 : game.tileMap.placeTimers[i];
}

void breakCell(int column, int row) {
    int i = cellIndex(column, row);
    if (i < 0) return;
    TileMap& map = game.tileMap;
    map.blocks[i] = kBlockEmpty;
    map.breakTimers[i] = 20;
    int32_t hidden = map.hiddenItems[i];
    if (hidden > 0) {
        int slot = spawnActorAt(static_cast<int16_t>(hidden - 100), kCellSize * column + 16.0,
                                kCellSize * row + 31.0);
        if (slot >= 0) map.hiddenItems[i] = 0;
    }
}

void resetEmptyCellVariants() {
    TileMap& map = game.tileMap;
    for (int i = 0; i < kCellCount; ++i)
        map.blockVariant[i] = map.blocks[i] == kBlockEmpty ? 0 : map.blockVariant[i];
}

void countDownCellTimers() {
    TileMap& map = game.tileMap;
    for (int i = 0; i < kCellCount; ++i) map.placeTimers[i] -= map.placeTimers[i] >= 1;
    for (int i = 0; i < kCellCount; ++i) map.breakTimers[i] -= map.breakTimers[i] >= 1;
}
