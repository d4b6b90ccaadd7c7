// Stages as text: the readable source of a stage and its three binary files.
//
// A stage source holds, in any order:
//   ; comment                    (to the end of the line, anywhere)
//   legend X = CODE              one character for a block code or actor kind
//   blocks                       followed by 15 grid rows of 20 or 40 characters
//   hidden                       followed by 15 grid rows: items hidden in blocks
//   script NAME ... end          a kind-35 record (interval, limit, spawn lines)
//   script-at NAME COLUMN ROW    gives a cell that record
//   value blocks|hidden COLUMN ROW = N      a raw value, shown as '?' in a grid
//   value script COLUMN ROW INDEX = N       one raw value of a cell's record
// CODE is a number (0..3 blocks, 100 start, 100 + kind), a block name (empty,
// solid, breakable, cracked, start), "kind N", an actor name (walker, key ...)
// or "spawner NAME", a kind-35 spawner whose cell gets the script NAME.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace stagec {

constexpr int kColumns = 40;
constexpr int kVisibleColumns = 20;
constexpr int kRows = 15;
constexpr int kCells = kColumns * kRows;
constexpr int kScriptValues = 32;
constexpr size_t kLayerBytes = kCells * 4;
constexpr size_t kScriptBytes = kCells * kScriptValues * 2;

constexpr int cellIndex(int column, int row) { return column * kRows + row; }

// The contents of a stage's three files.
struct StageData {
    std::array<int32_t, kCells> blocks{};
    std::array<int32_t, kCells> hidden{};
    std::array<int16_t, kCells * kScriptValues> scripts{};

    int16_t* record(int cell) { return scripts.data() + cell * kScriptValues; }
    const int16_t* record(int cell) const { return scripts.data() + cell * kScriptValues; }
    bool operator==(const StageData&) const = default;
};

struct Diagnostic {
    std::string file;
    int line = 0;    // 1-based; 0 when the message is about the whole file
    int column = 0;  // 1-based
    std::string message;
    std::string text() const;  // "file:line:column: message"
};

// Text to stage. Every error found is listed; the data are valid only when
// there are none.
struct ParseResult {
    StageData data;
    std::vector<Diagnostic> errors;
    bool ok() const { return errors.empty(); }
};
ParseResult parseStageText(std::string_view text, const std::string& fileName);

// Stage to text, in the canonical form: parsing it gives the same data back.
std::string writeStageText(const StageData& data, const std::string& heading);

// The three files' bytes, and back. Bytes of the wrong size are read as far
// as they go (the rest stays zero) and reported in `note`.
std::vector<unsigned char> blockFileBytes(const StageData& data);
std::vector<unsigned char> hiddenFileBytes(const StageData& data);
std::vector<unsigned char> scriptFileBytes(const StageData& data);
StageData stageFromBytes(const std::vector<unsigned char>& blocks,
                         const std::vector<unsigned char>& hidden,
                         const std::vector<unsigned char>& scripts, std::string* note);

// Design checks: one line per problem, empty when the stage is sound.
std::vector<std::string> checkStage(const StageData& data);

// A plain stage for numbers that have no source yet: the walled field with
// the start, a key on a step and the exit.
StageData placeholderStage();

}  // namespace stagec
