#include "game/shell/data_directory.h"

#include <filesystem>

namespace fs = std::filesystem;

bool holdsGameData(const std::string& dir) {
    std::error_code error;
    const fs::path base(dir);
    // The pictures of folder 00 (loose or packed) and the first stage's
    // blocks: a folder that merely happens to be called 01 is not enough.
    const bool pictures = fs::is_directory(base / "00", error) || fs::is_regular_file(base / "00.lmt", error);
    return pictures && fs::is_regular_file(base / "01" / "00.dat", error);
}

std::string installedDataDirectory() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return (program.parent_path().parent_path() / "share" / "lumotta").string();
}

std::vector<std::string> defaultDataDirectories() {
    std::vector<std::string> dirs;
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        dirs.push_back((program.parent_path() / "data").string());
        dirs.push_back(installedDataDirectory());
    }
#ifdef LUMOTTA_BUILD_DATA_DIR
    dirs.push_back(LUMOTTA_BUILD_DATA_DIR);
#endif
    return dirs;
}

bool moveToDataDirectory() {
    if (holdsGameData(".")) return false;
    for (const std::string& dir : defaultDataDirectories()) {
        if (!holdsGameData(dir)) continue;
        std::error_code error;
        fs::current_path(dir, error);
        if (!error) return true;
    }
    return false;
}
