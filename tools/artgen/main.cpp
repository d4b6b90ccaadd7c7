// artgen: paints every picture the game loads into the data directory, and a
// contact sheet per folder for review.
//
//   artgen --art <content/art> --out <data dir> [--fonts <dir>] [--sheets <dir>]
//          [--stamp <file>] [--only <folder,folder,...>] [--icons <dir>]
//
// --icons also writes the game's icon for the desktop: <dir>/hicolor/NxN/apps/lumotta.png.
//
// Deterministic: the same sources give byte-identical files. The saved files
// and stage files in folder 01 are never touched.
#include "tools/artgen/catalogue.h"
#include "tools/artgen/contact_sheet.h"
#include "tools/artgen/icons.h"
#include "tools/artgen/image_files.h"
#include "tools/artgen/mockups.h"
#include "tools/artgen/painters.h"
#include "tools/artgen/pixel_maps.h"
#include "tools/artgen/text.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
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
    std::string art, fonts = "/usr/share/fonts/truetype/dejavu", out, sheets, stamp, icons;
    std::string only;  // comma-separated folders to write; empty = all
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        if (key == "--art") o.art = value;
        else if (key == "--fonts") o.fonts = value;
        else if (key == "--out") o.out = value;
        else if (key == "--sheets") o.sheets = value;
        else if (key == "--stamp") o.stamp = value;
        else if (key == "--only") o.only = value;
        else if (key == "--icons") o.icons = value;
        else return false;
    }
    return (argc % 2) == 1 && !o.art.empty() && !o.out.empty();
}

bool writeAll(const PictureSet& set, const std::string& out, const std::string& only) {
    std::vector<const std::pair<const std::string, Picture>*> jobs;
    for (const auto& entry : set.pictures()) {
        const std::string folder = entry.first.substr(0, entry.first.find('/'));
        if (!only.empty() && ("," + only + ",").find("," + folder + ",") == std::string::npos) continue;
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
                                                         : writePng(path, picture.canvas, 3);
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
        std::fprintf(stderr, "usage: artgen --art <dir> --out <data dir> [--fonts <dir>] [--sheets <dir>] [--stamp <file>] [--only <folders>] [--icons <dir>]\n");
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
    struct Job {
        Painter paint;
        const char* folders;  // the folders it paints into
        bool usesText;        // the font library is used from one thread only
    };
    const Job jobs[] = {
        {paintOverlays, "16,17,18,19", false}, {paintEffects, "02,04", false}, {paintEnemies, "00", false},
        {paintPlayer, "02", false},            {paintBlocks, "00", false},     {paintItems, "00", false},
        {paintStatus, "04", true},             {paintBackgrounds, "03", true}, {paintTitle, "21", true},
        {paintMenus, "22,23,24", true},        {paintGameOver, "20", true},    {paintInterludes, "26", true},
        {paintHelp, "21", true},               {paintIcon, "21", false},
    };
    auto wanted = [&](const Job& j) {
        if (opt.only.empty()) return true;
        const std::string list = "," + opt.only + ",";
        const std::string folders = j.folders;
        for (size_t at = 0; at < folders.size(); at += 3)
            if (list.find("," + folders.substr(at, 2) + ",") != std::string::npos) return true;
        return false;
    };
    const bool timing = std::getenv("ARTGEN_TIMING") != nullptr;
    auto run = [&](bool text) {
        for (const Job& j : jobs) {
            if (j.usesText != text || !wanted(j)) continue;
            const auto before = std::chrono::steady_clock::now();
            j.paint(set, maps);
            if (timing)
                std::printf("artgen: %-12s %.2f s\n", j.folders,
                            std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count());
        }
    };
    // Pictures without words are painted beside those with words.
    std::thread plain(run, false);
    run(true);
    plain.join();
    set.fillPlaceholders();

    bool failed = false;
    for (const std::string& e : set.errors()) std::fprintf(stderr, "artgen: %s\n", e.c_str()), failed = true;
    for (const std::string& m : maps.missing()) std::fprintf(stderr, "artgen: no sprite named `%s`\n", m.c_str()), failed = true;
    if (failed) return 1;

    // The review pictures are made beside the data files; only they use the
    // font library now.
    const auto beforeWriting = std::chrono::steady_clock::now();
    bool reviewed = true;
    std::thread review([&] {
        if (!opt.sheets.empty()) reviewed = writeContactSheets(set, opt.sheets) && writeMockups(set, opt.sheets);
    });
    const bool written = writeAll(set, opt.out, opt.only);
    review.join();
    if (timing)
        std::printf("artgen: writing and review: %.2f s\n",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - beforeWriting).count());
    stopText();
    if (!written || !reviewed) return 1;
    if (!opt.icons.empty() && !writeIconTheme(maps, opt.icons)) {
        std::fprintf(stderr, "artgen: the icons could not be written to %s\n", opt.icons.c_str());
        return 1;
    }

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("artgen: %zu pictures in %.1f s\n", set.pictures().size(), seconds);
    if (!opt.stamp.empty()) std::ofstream(opt.stamp) << set.pictures().size() << " pictures\n";
    return 0;
}
