#include "tools/stagec/stage_io.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace stagec {

std::string stageFileBase(int stage, int file) {
    static constexpr const char* kSuffixes[] = {".dat", "_.dat", "__.dat"};
    char name[16];
    std::snprintf(name, sizeof name, "%d%d%s", (stage / 10) % 10, stage % 10, kSuffixes[file]);
    return name;
}

std::optional<int> stageNumberOfSource(const std::string& path) {
    std::string stem = std::filesystem::path(path).stem().string();
    if (stem.size() != 2 || stem[0] < '0' || stem[0] > '9' || stem[1] < '0' || stem[1] > '9')
        return std::nullopt;
    return (stem[0] - '0') * 10 + (stem[1] - '0');
}

bool readFileBytes(const std::string& path, std::vector<unsigned char>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool readTextFile(const std::string& path, std::string& out) {
    std::vector<unsigned char> bytes;
    if (!readFileBytes(path, bytes)) return false;
    out.assign(bytes.begin(), bytes.end());
    return true;
}

bool writeFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) std::filesystem::remove(temporary, ec);
    return !ec;
}

StageData readStageFiles(const std::string& folder, int stage, std::string* note) {
    std::vector<unsigned char> bytes[3];
    for (int f = 0; f < 3; ++f) {
        std::string path = folder + "/" + stageFileBase(stage, f);
        if (!readFileBytes(path, bytes[f]) && note) *note += path + " is missing; ";
    }
    return stageFromBytes(bytes[0], bytes[1], bytes[2], note);
}

bool writeStageFiles(const std::string& folder, int stage, const StageData& data) {
    return writeFileBytes(folder + "/" + stageFileBase(stage, 0), blockFileBytes(data)) &&
           writeFileBytes(folder + "/" + stageFileBase(stage, 1), hiddenFileBytes(data)) &&
           writeFileBytes(folder + "/" + stageFileBase(stage, 2), scriptFileBytes(data));
}

}  // namespace stagec
