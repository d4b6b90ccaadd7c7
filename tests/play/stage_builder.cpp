#include "tests/play/stage_builder.h"

#include "game/play/stage_files.h"
#include "game/state/play_state.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace stage_builder {

namespace {
void putInt32(std::vector<unsigned char>& out, int32_t v) {
    auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(u >> (8 * i)));
}

void writeBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}
}  // namespace

StageBuilder::StageBuilder()
    : blocks_(kCellCount, 0), hidden_(kCellCount, 0), scripts_(kCellCount * kCellScriptValues, 0) {
    const std::pair<char, int32_t> defaults[] = {
        {'.', 0},   {' ', 0},   {'#', 1},   {'b', 2},   {'c', 3},   {'P', 100},
        {'K', 107}, {'E', 108}, {'B', 142}, {'1', 143}, {'2', 144}, {'5', 145},
        {'$', 147}, {'L', 148}, {'M', 149}, {'H', 141}, {'W', 112}, {'F', 133},
    };
    for (auto [symbol, code] : defaults) define(symbol, code);
}

StageBuilder::StageBuilder(const std::vector<std::string>& picture) : StageBuilder() {
    draw(picture);
}

int StageBuilder::index(int column, int row) {
    if (column < 0 || column >= kGridColumns || row < 0 || row >= kGridRows)
        throw std::out_of_range("cell outside the 40x15 grid");
    return column * kGridRows + row;
}

StageBuilder& StageBuilder::define(char symbol, int32_t code) {
    auto i = static_cast<unsigned char>(symbol);
    symbols_[i] = code;
    known_[i] = true;
    return *this;
}

StageBuilder& StageBuilder::draw(const std::vector<std::string>& picture, int firstRow,
                                 int firstColumn) {
    for (size_t r = 0; r < picture.size(); ++r) {
        const std::string& line = picture[r];
        for (size_t c = 0; c < line.size(); ++c) {
            auto symbol = static_cast<unsigned char>(line[c]);
            if (!known_[symbol])
                throw std::invalid_argument(std::string("unknown stage symbol '") + line[c] + "'");
            blocks_[index(firstColumn + static_cast<int>(c), firstRow + static_cast<int>(r))] = symbols_[symbol];
        }
    }
    return *this;
}

StageBuilder& StageBuilder::block(int column, int row, int32_t code) {
    blocks_[index(column, row)] = code;
    return *this;
}

StageBuilder& StageBuilder::hiddenItem(int column, int row, int kind) {
    return hiddenValue(column, row, 100 + kind);
}

StageBuilder& StageBuilder::hiddenValue(int column, int row, int32_t value) {
    hidden_[index(column, row)] = value;
    return *this;
}

StageBuilder& StageBuilder::scriptValue(int column, int row, int i, int16_t value) {
    if (i < 0 || i >= kCellScriptValues) throw std::out_of_range("script value index");
    scripts_[index(column, row) * kCellScriptValues + i] = value;
    return *this;
}

StageBuilder& StageBuilder::script(int column, int row, const SpawnScript& s) {
    for (int i = 0; i < 10; ++i) {
        scriptValue(column, row, i, s.kinds[i]);
        scriptValue(column, row, 12 + i, s.facings[i]);
        scriptValue(column, row, 22 + i, s.lifetimes[i]);
    }
    scriptValue(column, row, 10, s.interval);
    scriptValue(column, row, 11, s.limit);
    return *this;
}

std::vector<unsigned char> StageBuilder::blockFile() const {
    std::vector<unsigned char> out;
    for (int32_t v : blocks_) putInt32(out, v);
    return out;
}

std::vector<unsigned char> StageBuilder::hiddenItemFile() const {
    std::vector<unsigned char> out;
    for (int32_t v : hidden_) putInt32(out, v);
    return out;
}

std::vector<unsigned char> StageBuilder::cellScriptFile() const {
    std::vector<unsigned char> out;
    for (int16_t v : scripts_) {
        auto u = static_cast<uint16_t>(v);
        out.push_back(static_cast<unsigned char>(u & 0xFF));
        out.push_back(static_cast<unsigned char>(u >> 8));
    }
    return out;
}

void StageBuilder::writeFiles(const std::string& directory, int stage) const {
    const std::filesystem::path folder = std::filesystem::path(directory) / "01";
    std::filesystem::create_directories(folder);
    const StageFile files[] = {StageFile::Blocks, StageFile::HiddenItems, StageFile::CellScripts};
    const std::vector<unsigned char> contents[] = {blockFile(), hiddenItemFile(), cellScriptFile()};
    for (int i = 0; i < 3; ++i) {
        char name[kStageFileNameSize];
        stageFileName(name, stage, files[i]);
        std::string plain = name + 3;  // past "01\"
        writeBytes(folder / plain, contents[i]);
    }
}

void StageBuilder::load() const {
    const std::vector<unsigned char> blocks = blockFile();
    const std::vector<unsigned char> hidden = hiddenItemFile();
    const std::vector<unsigned char> scripts = cellScriptFile();
    StageBytes bytes;
    bytes.blocks = blocks.data();
    bytes.blocksSize = blocks.size();
    bytes.hiddenItems = hidden.data();
    bytes.hiddenItemsSize = hidden.size();
    bytes.cellScripts = scripts.data();
    bytes.cellScriptsSize = scripts.size();
    loadStageFrom(bytes);
}

}  // namespace stage_builder
