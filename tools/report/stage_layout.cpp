#include "tools/report/stage_layout.h"

#include <cstdlib>
#include <set>

namespace report {

namespace {

constexpr int32_t kSolid = 1;
constexpr int32_t kStartCode = 100;
constexpr int32_t kExitCode = 108;
constexpr int kFirstCreatureKind = 11;

}  // namespace

bool Layout::outAndBack() const {
    return startColumn >= 0 && exitColumn >= 0 && std::abs(exitColumn - startColumn) <= 3;
}

Layout layoutOf(const stagec::StageData& data) {
    Layout out;
    for (int column = 1; column <= kInnerColumns; ++column)
        for (int row = 1; row <= kInnerRows; ++row)
            if (data.blocks[stagec::cellIndex(column, row)] == kSolid)
                out.solid.set(static_cast<size_t>((column - 1) * kInnerRows + row - 1));
    for (int row = 2; row <= kInnerRows; ++row) {
        bool full = true;
        for (int column = 1; column <= kInnerColumns && full; ++column)
            full = data.blocks[stagec::cellIndex(column, row)] == kSolid;
        out.fullRows += full;
    }
    std::set<int> kinds;
    for (int column = 0; column < stagec::kColumns; ++column)
        for (int row = 0; row < stagec::kRows; ++row) {
            int cell = stagec::cellIndex(column, row);
            for (int32_t code : {data.blocks[cell], data.hidden[cell]}) {
                if (code == kStartCode && out.startColumn < 0) out.startColumn = column;
                if (code == kExitCode && out.exitColumn < 0) out.exitColumn = column;
                if (code >= kStartCode + kFirstCreatureKind && code < kStartCode + 100) kinds.insert(code - kStartCode);
            }
        }
    out.kinds.assign(kinds.begin(), kinds.end());
    return out;
}

// Row 1 lies under the status bar: many stages fill it with stone nobody
// sees, so two layouts are compared by the rows a player sees, 2..13.
std::bitset<kInnerCells> drawnCells() {
    std::bitset<kInnerCells> drawn;
    for (int column = 1; column <= kInnerColumns; ++column)
        for (int row = 2; row <= kInnerRows; ++row) drawn.set(static_cast<size_t>((column - 1) * kInnerRows + row - 1));
    return drawn;
}

double jaccard(const Layout& a, const Layout& b) {
    static const std::bitset<kInnerCells> drawn = drawnCells();
    const std::bitset<kInnerCells> sa = a.solid & drawn, sb = b.solid & drawn;
    size_t both = (sa & sb).count(), either = (sa | sb).count();
    return either == 0 ? 0.0 : static_cast<double>(both) / static_cast<double>(either);
}

}  // namespace report
