// Reading files through the file layer: loose, from a stored archive and
// from a compressed one (open, read in chunks, close; the page cache warm).
#include "bench/archive/bench_folders.h"
#include "media/media.h"
#include "tools/pack/archive_writer.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

std::string GameName(const std::string& folder, const std::string& file) {
    std::string name = folder + "\\" + file;
    for (char& c : name)
        if (c == '/') c = '\\';
    return name;
}

// Reads every file once per pass until at least minSeconds have gone by;
// returns bytes per second.
double Measure(const std::string& folder, const std::vector<std::string>& files, size_t chunk, double minSeconds,
               double& opensPerSecond) {
    std::vector<uint8_t> buffer(chunk);
    size_t bytes = 0, opens = 0;
    const auto start = Clock::now();
    double elapsed = 0;
    do {
        for (const std::string& f : files) {
            const int h = FileOpen(GameName(folder, f).c_str(), 0);
            if (h == 0) {
                std::fprintf(stderr, "cannot open %s\n", GameName(folder, f).c_str());
                std::exit(1);
            }
            size_t got;
            while ((got = FileRead(buffer.data(), 1, buffer.size(), h)) > 0) bytes += got;
            FileClose(h);
            ++opens;
        }
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < minSeconds);
    opensPerSecond = static_cast<double>(opens) / elapsed;
    return static_cast<double>(bytes) / elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    const auto folders = SampleFolders(argc, argv);
    if (folders.empty()) {
        std::fprintf(stderr, "no sample: name folders, or build the data set first\n");
        return 1;
    }
    const fs::path work = fs::temp_directory_path() / ("archive_read_bench." + std::to_string(::getpid()));
    fs::create_directories(work);
    SetPackArchiveExtension("lmt");
    for (const std::string& folderArg : folders) {
        const fs::path folder = fs::absolute(folderArg);
        const auto files = FilesBelow(folder.string());
        if (files.empty()) continue;
        pack::PackItem root;
        std::vector<std::string> warnings;
        std::string error;
        if (!pack::ScanFolder(folder.string(), root, warnings, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        pack::PackOptions options;
        options.compress = false;
        if (!pack::WriteArchiveFile(root, options, (work / "stored.lmt").string(), error)) return 1;
        options.compress = true;
        if (!pack::WriteArchiveFile(root, options, (work / "packed.lmt").string(), error)) return 1;

        std::printf("%s: %zu files\n", folder.c_str(), files.size());
        for (size_t chunk : {size_t{4096}, size_t{65536}}) {
            double loose = 0, stored = 0, packed = 0, looseOpens = 0, storedOpens = 0, packedOpens = 0;
            fs::current_path(folder.parent_path());
            loose = Measure(folder.filename().string(), files, chunk, 1.0, looseOpens);
            fs::current_path(work);
            stored = Measure("stored", files, chunk, 1.0, storedOpens);
            packed = Measure("packed", files, chunk, 1.0, packedOpens);
            std::printf("  reads of %6zu bytes: loose %7.0f MB/s (%6.0f opens/s)  stored archive %7.0f MB/s (%6.0f opens/s, "
                        "time %.2fx loose)  compressed archive %7.0f MB/s (%6.0f opens/s, time %.2fx loose)\n",
                        chunk, loose / 1e6, looseOpens, stored / 1e6, storedOpens, loose / stored, packed / 1e6,
                        packedOpens, loose / packed);
        }
    }
    fs::current_path("/");
    fs::remove_all(work);
    return 0;
}
