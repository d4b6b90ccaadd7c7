// How a stage's field is laid out, from its block file: the solid stone
// among the inner cells (columns 1..18, rows 1..13; the walls and the floor
// are not counted), the rows filled with it, and where the player starts and
// the exit stands.
#pragma once

#include "tools/stagec/stage_text.h"

#include <bitset>
#include <vector>

namespace report {

constexpr int kInnerColumns = 18;
constexpr int kInnerRows = 13;
constexpr int kInnerCells = kInnerColumns * kInnerRows;  // 234

struct Layout {
    // Solid stone (block code 1) by inner cell: (column - 1) * 13 + row - 1.
    // Breakable and cracked blocks are not solid here: a soft floor is a
    // thing to play with, not filler.
    std::bitset<kInnerCells> solid;
    int fullRows = 0;          // of rows 2..13, those whose 18 inner cells are all solid
    int startColumn = -1;      // -1 when there is none
    int exitColumn = -1;
    std::vector<int> kinds;    // creature and item kinds placed, in blocks or hidden, in order

    double solidShare() const { return static_cast<double>(solid.count()) / kInnerCells; }
    // The exit stands within 3 columns of the start: the route goes out and back.
    bool outAndBack() const;
};

Layout layoutOf(const stagec::StageData& data);

// Shared solid cells over the solid cells of either, in the drawn rows 2..13
// (0 when neither has any).
double jaccard(const Layout& a, const Layout& b);

}  // namespace report
