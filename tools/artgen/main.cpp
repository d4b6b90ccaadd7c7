// artgen: paints every picture the game loads into the data directory, and a
// contact sheet per folder for review.
//
//   artgen --art <content/art> --fonts <dir> --out <data dir> --sheets <dir> [--stamp <file>]
//
// Deterministic: the same sources give byte-identical files. The saved files
// and stage files in folder 01 are never touched.
#include "tools/artgen/catalogue.h"
#include "tools/artgen/contact_sheet.h"
#include "tools/artgen/image_files.h"
#include "tools/artgen/mockups.h"
#include "tools/artgen/painters.h"
#include "tools/artgen/pixel_maps.h"
#include "tools/artgen/text.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace artgen;

namespace {

struct Options {
    std::string art, fonts = "/usr/share/fonts/truetype/dejavu", out, sheets, stamp;
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        if (key == "--art") o.art = value;
        else if (key == "--fonts") o.fonts = value;
        else if (key == "--out") o.out = value;
        else if (key == "--sheets") o.sheets = value;
        else if (key == "--stamp") o.stamp = value;
        else return false;
    }
    return (argc % 2) == 1 && !o.art.empty() && !o.out.empty();
}

bool writeAll(const PictureSet& set, const std::string& out) {
    std::vector<const std::pair<const std::string, Picture>*> jobs;
    for (const auto& entry : set.pictures()) {
        fs::create_directories(fs::path(out) / entry.first.substr(0, entry.first.find('/')));
        jobs.push_back(&entry);
    }
    std::atomic<size_t> next{0};
    std::atomic<bool> ok{true};
    auto worker = [&] {
        for (size_t i; (i = next++) < jobs.size();) {
            const auto& [file, picture] = *jobs[i];
            const std::string path = (fs::path(out) / file).string();
            const bool written = file.ends_with(".bmp") ? writeKeyedBmp(path, picture.canvas)
                                                         : writePng(path, picture.canvas, 6);
            if (!written) ok = false;
        }
    };
    std::thread helper(worker);
    worker();
    helper.join();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    Options opt;
    if (!parse(argc, argv, opt)) {
        std::fprintf(stderr, "usage: artgen --art <dir> --out <data dir> [--fonts <dir>] [--sheets <dir>] [--stamp <file>]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    PixelMaps maps;
    std::string error;
    if (!maps.load(opt.art, error)) {
        std::fprintf(stderr, "artgen: %s\n", error.c_str());
        return 1;
    }
    if (!startText(opt.fonts)) return 1;

    PictureSet set;
    using Painter = void (*)(PictureSet&, const PixelMaps&);
    const Painter painters[] = {paintBlocks,      paintPlayer,  paintEnemies, paintItems,
                                paintEffects,     paintStatus,  paintBackgrounds, paintOverlays,
                                paintTitle,       paintMenus,   paintGameOver, paintInterludes};
    const bool timing = std::getenv("ARTGEN_TIMING") != nullptr;
    for (Painter p : painters) {
        const std::clock_t before = std::clock();
        p(set, maps);
        if (timing) std::printf("artgen: painter %zu: %.2f s CPU\n", size_t(&p - painters), double(std::clock() - before) / CLOCKS_PER_SEC);
    }
    set.fillPlaceholders();

    bool failed = false;
    for (const std::string& e : set.errors()) std::fprintf(stderr, "artgen: %s\n", e.c_str()), failed = true;
    for (const std::string& m : maps.missing()) std::fprintf(stderr, "artgen: no sprite named `%s`\n", m.c_str()), failed = true;
    if (failed) return 1;

    std::clock_t before = std::clock();
    if (!writeAll(set, opt.out)) return 1;
    if (timing) std::printf("artgen: writing: %.2f s CPU\n", double(std::clock() - before) / CLOCKS_PER_SEC);
    before = std::clock();
    if (!opt.sheets.empty() && !(writeContactSheets(set, opt.sheets) && writeMockups(set, opt.sheets))) return 1;
    if (timing) std::printf("artgen: sheets: %.2f s CPU\n", double(std::clock() - before) / CLOCKS_PER_SEC);
    stopText();

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("artgen: %zu pictures in %.1f s\n", set.pictures().size(), seconds);
    if (!opt.stamp.empty()) std::ofstream(opt.stamp) << set.pictures().size() << " pictures\n";
    return 0;
}
