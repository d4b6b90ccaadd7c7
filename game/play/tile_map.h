// Cell arithmetic and upkeep of the tile map. Positions outside the 40x15
// grid read as empty cells, and writes to them are ignored.
#pragma once

#include "game/state/globals.h"
#include "game/state/play_state.h"

#include <cstdint>

// A coordinate truncated toward zero, kept inside the int range: far outside
// the grid every cell reads the same, and NaN reads as 0.
inline int truncateCoordinate(double v) {
    if (!(v == v)) return 0;
    if (v > 1.0e9) return 1000000000;
    if (v < -1.0e9) return -1000000000;
    return static_cast<int>(v);
}

// Column or row of a pixel coordinate (truncated, then divided toward zero).
inline int cellColumnOf(double px) { return truncateCoordinate(px) / kCellSize; }
inline int cellRowOf(double py) { return truncateCoordinate(py) / kCellSize; }

inline bool cellInGrid(int column, int row) {
    return column >= 0 && column < kGridColumns && row >= 0 && row < kGridRows;
}
// Cell index column * 15 + row; -1 outside the grid.
inline int cellIndex(int column, int row) {
    return cellInGrid(column, row) ? column * kGridRows + row : -1;
}
inline int cellIndexAt(double px, double py) { return cellIndex(cellColumnOf(px), cellRowOf(py)); }

// The `blocks` value of a cell (0 outside the grid), and the solid test.
inline int32_t blockAt(int column, int row) {
    int i = cellIndex(column, row);
    return i < 0 ? kBlockEmpty : game.tileMap.blocks[i];
}
inline int32_t blockAtPoint(double px, double py) {
    return blockAt(cellColumnOf(px), cellRowOf(py));
}
inline bool solidAtPoint(double px, double py) { return blockAtPoint(px, py) != kBlockEmpty; }

// Writes to the layers; ignored outside the grid.
void setBlock(int column, int row, int32_t value);

// Reads of the other layers (0 outside the grid).
int32_t breakTimerAtPoint(double px, double py);
int32_t placeTimerAt(int column, int row);

// The breaking rule: blocks 0, breakTimers 20, and a hidden item v > 0 comes
// out as an actor of kind v - 100 standing in the cell (the cell then forgets
// it; with no free actor slot the item stays hidden).
void breakCell(int column, int row);
inline void breakCellAtPoint(double px, double py) { breakCell(cellColumnOf(px), cellRowOf(py)); }

// Per tick: every empty cell's blockVariant becomes 0.
void resetEmptyCellVariants();
// Per running tick: placeTimers and breakTimers count down to 0.
void countDownCellTimers();
