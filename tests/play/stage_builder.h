// Builds small stages for tests from a few lines of text: one character per
// cell, row 0 first, column 0 the first character of each line. The result is
// the three stage files, as bytes, as files in a folder, or loaded at once.
//
// Picture symbols (more with define()):
//   '.' or ' '  empty            '#' solid block     'b' breakable   'c' cracked
//   'P'  player start            'K' key (7)         'E' exit (8)
//   'B'  bonus key (42)          '1' 100 points (43) '2' 200 (44)    '5' 500 (45)
//   '$'  1000 points (47)        'L' extra life (48) 'M' magic charge (49)
//   'H'  homing bonus (41)       'W' block walker (12)  'F' flame (33)
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace stage_builder {

// The kind-35 script of one cell: entries 1..10 of kinds, facings and
// lifetimes, the interval and the most children alive at once.
struct SpawnScript {
    std::array<int16_t, 10> kinds{};
    int16_t interval = 0;
    int16_t limit = 0;
    std::array<int16_t, 10> facings{};
    std::array<int16_t, 10> lifetimes{};
};

class StageBuilder {
public:
    StageBuilder();
    explicit StageBuilder(const std::vector<std::string>& picture);

    // Gives a picture symbol a block-file code (0..3, 100, 100 + kind).
    StageBuilder& define(char symbol, int32_t code);
    // Draws rows of text from cell (firstColumn, firstRow) on (unknown
    // symbols throw).
    StageBuilder& draw(const std::vector<std::string>& picture, int firstRow = 0,
                       int firstColumn = 0);

    StageBuilder& block(int column, int row, int32_t code);
    StageBuilder& actor(int column, int row, int kind) { return block(column, row, 100 + kind); }
    // An item of `kind` hidden in the block of this cell.
    StageBuilder& hiddenItem(int column, int row, int kind);
    StageBuilder& hiddenValue(int column, int row, int32_t value);
    StageBuilder& script(int column, int row, const SpawnScript& script);
    // One raw script value r[index] of a cell record.
    StageBuilder& scriptValue(int column, int row, int index, int16_t value);

    // The three files as their bytes.
    std::vector<unsigned char> blockFile() const;
    std::vector<unsigned char> hiddenItemFile() const;
    std::vector<unsigned char> cellScriptFile() const;

    // Writes directory/01/NN.dat, NN_.dat and NN__.dat for `stage`.
    void writeFiles(const std::string& directory, int stage) const;

    // Builds the stage in game state straight from memory.
    void load() const;

    int32_t blockCode(int column, int row) const { return blocks_[index(column, row)]; }

private:
    static int index(int column, int row);

    std::array<int32_t, 256> symbols_{};
    std::array<bool, 256> known_{};
    std::vector<int32_t> blocks_;
    std::vector<int32_t> hidden_;
    std::vector<int16_t> scripts_;
};

// Cell helpers for assertions: a cell's standing position.
constexpr double standingX(int column) { return 32.0 * column + 16.0; }
constexpr double standingY(int row) { return 32.0 * row + 31.0; }

}  // namespace stage_builder
