#include "bench/archive/bench_folders.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

std::vector<std::string> SampleFolders(int argc, char** argv) {
    std::vector<std::string> folders;
    // Absolute, as the benchmarks change the current directory.
    for (int i = 1; i < argc; ++i) folders.push_back(fs::absolute(argv[i]).string());
    if (!folders.empty()) return folders;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(LUMOTTA_DATA_DIR, ec))
        if (e.is_directory() && e.path().filename() != "01") folders.push_back(e.path().string());
    std::sort(folders.begin(), folders.end());
    return folders;
}

std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); it != fs::recursive_directory_iterator(); ++it)
        if (it->is_regular_file()) files.push_back(fs::relative(it->path(), folder).string());
    std::sort(files.begin(), files.end());
    return files;
}
