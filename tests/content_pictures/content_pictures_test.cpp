// The generated picture set: every file the scenes load exists after the
// build, decodes, and has the size its drawing implies; the sprite sheets
// have art in every cell the drawing uses; re-running the generator is
// deterministic and leaves the saved files alone.
#include "tests/content_pictures/picture_decode.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string dataDir() {
    const char* d = std::getenv("LUMOTTA_DATA_DIR");
    return d && *d ? d : ARTGEN_DATA_DIR;
}

// The files the scenes load, written out here independently of the generator.
std::vector<std::string> loadedFiles() {
    std::vector<std::string> f;
    auto range = [&](const std::string& folder, int first, int last, const std::string& ext, bool two = false,
                     std::set<int> skip = {}) {
        for (int n = first; n <= last; ++n) {
            if (skip.count(n)) continue;
            std::string s = std::to_string(n);
            if (two && s.size() < 2) s = "0" + s;
            f.push_back(folder + "/" + s + ext);
        }
    };
    range("00", 1, 24, ".bmp", true);
    range("00", 1, 8, ".png", true);
    range("00", 10, 11, ".png", true);
    range("00", 17, 17, ".png", true);
    range("00", 20, 20, ".png", true);
    range("02", 0, 399, ".bmp");
    range("03", 1, 6, ".bmp");
    range("04", 0, 153, ".png", false, {123});
    range("16", 1, 6, ".png");
    range("17", 1, 24, ".png");
    range("18", 1, 20, ".png");
    range("19", 1, 68, ".png");
    range("20", 1, 4, ".png");
    range("21", 1, 16, ".png", false, {12});
    range("22", 0, 199, ".png");
    range("23", 0, 10, ".png");
    range("23", 20, 32, ".png");
    range("24", 0, 0, ".png");
    range("24", 2, 5, ".png");
    range("24", 10, 21, ".png");
    range("26", 1, 10, ".png");
    return f;
}

constexpr uint32_t kKey = 0x00FF00FF;  // pure green, opaque, as decoded from a BMP

class PictureSetTest : public ::testing::Test {
protected:
    // Pictures are read once, when a test first asks for them.
    static std::map<std::string, DecodedPicture>& decoded() {
        static std::map<std::string, DecodedPicture> pictures;
        return pictures;
    }
    void SetUp() override {
        if (dataDir().empty()) GTEST_SKIP() << "LUMOTTA_DATA_DIR is not set";
    }
    const DecodedPicture& pic(const std::string& file) {
        auto it = decoded().find(file);
        if (it == decoded().end()) it = decoded().emplace(file, decodePicture(dataDir() + "/" + file)).first;
        return it->second;
    }

    void expectSize(const std::string& file, int w, int h) {
        const DecodedPicture& p = pic(file);
        ASSERT_TRUE(p.ok) << file << ": " << p.error;
        EXPECT_EQ(p.width, w) << file;
        EXPECT_EQ(p.height, h) << file;
    }
    // True when the rectangle holds any pixel that is drawn (not key, not clear).
    bool hasArt(const std::string& file, int x0, int y0, int w, int h) {
        const DecodedPicture& p = pic(file);
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) {
                const uint32_t v = p.pixel(x, y);
                if (v != kKey && (v & 0xFF) >= 128) return true;
            }
        return false;
    }
    bool hasKey(const std::string& file) {
        const DecodedPicture& p = pic(file);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                if (p.pixel(x, y) == kKey) return true;
        return false;
    }
};

TEST_F(PictureSetTest, EveryLoadedFileExistsAndDecodes) {
    for (const std::string& file : loadedFiles()) {
        const DecodedPicture& p = pic(file);
        EXPECT_TRUE(p.ok) << file << ": " << p.error;
        EXPECT_GT(p.width, 0) << file;
    }
}

TEST_F(PictureSetTest, FullScreenPicturesHaveScreenSizes) {
    for (int n = 1; n <= 6; ++n) expectSize("03/" + std::to_string(n) + ".bmp", 640, 480);
    for (int n = 1; n <= 6; ++n) expectSize("16/" + std::to_string(n) + ".png", 640, 480);
    for (int n = 1; n <= 68; ++n) expectSize("19/" + std::to_string(n) + ".png", 640, 640);
    for (int n = 1; n <= 24; ++n) expectSize("17/" + std::to_string(n) + ".png", 368, 368);
    for (int n = 1; n <= 20; ++n) expectSize("18/" + std::to_string(n) + ".png", 368, 368);
    for (int n = 1; n <= 10; ++n) expectSize("26/" + std::to_string(n) + ".png", 640, 480);
    expectSize("20/3.png", 640, 480);
    for (int n = 299; n <= 302; ++n) EXPECT_EQ(pic("02/" + std::to_string(n) + ".bmp").width, 640) << n;
}

struct SheetUse {
    const char* file;
    int across, down;
    std::vector<int> cellsDrawn;
};

std::vector<int> upTo(int n) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i) v.push_back(i);
    return v;
}

TEST_F(PictureSetTest, SheetsAreCutIntoCellsAndEveryDrawnCellHasArt) {
    const SheetUse sheets[] = {
        {"00/01.bmp", 10, 2, {0, 4, 5, 15, 16}}, {"00/02.bmp", 10, 2, upTo(13)}, {"00/03.bmp", 10, 1, upTo(10)},
        {"00/04.bmp", 10, 2, {0, 1, 2, 3, 4, 9}}, {"00/05.bmp", 6, 1, upTo(6)},   {"00/06.bmp", 4, 1, upTo(4)},
        {"00/07.bmp", 4, 1, upTo(3)},             {"00/08.bmp", 6, 1, upTo(6)},   {"00/09.bmp", 6, 1, upTo(6)},
        {"00/10.bmp", 6, 1, upTo(6)},             {"00/11.bmp", 10, 1, upTo(10)}, {"00/12.bmp", 10, 1, upTo(10)},
        {"00/13.bmp", 7, 1, upTo(7)},             {"00/14.bmp", 1, 1, upTo(1)},   {"00/15.bmp", 2, 1, upTo(2)},
        {"00/16.bmp", 10, 10, upTo(8)},           {"00/17.bmp", 6, 1, upTo(6)},   {"00/18.bmp", 6, 1, upTo(6)},
        {"00/19.bmp", 10, 2, upTo(13)},           {"00/20.bmp", 10, 2, upTo(13)}, {"00/21.bmp", 10, 1, upTo(10)},
        {"00/22.bmp", 10, 1, upTo(10)},           {"00/23.bmp", 6, 1, upTo(6)},   {"00/24.bmp", 6, 1, upTo(6)},
    };
    for (const SheetUse& s : sheets) {
        expectSize(s.file, s.across * 32, s.down * 32);
        for (int c : s.cellsDrawn)
            EXPECT_TRUE(hasArt(s.file, (c % s.across) * 32, (c / s.across) * 32, 32, 32)) << s.file << " cell " << c;
    }
    // Sprites are cut out by the colour key.
    EXPECT_TRUE(hasKey("00/03.bmp"));
    EXPECT_TRUE(hasKey("00/16.bmp"));
}

TEST_F(PictureSetTest, EveryPlayerPoseIsDrawnAndKeyed) {
    std::set<int> used = {0, 1, 2, 3, 4, 23, 26, 27, 28, 29, 36, 144, 152, 153, 154, 155};
    auto span = [&](int a, int b) {
        for (int n = a; n <= b; ++n) used.insert(n);
    };
    span(6, 10), span(12, 16), span(18, 22), span(31, 34), span(36, 39), span(41, 53), span(63, 69);
    span(71, 81), span(83, 86), span(88, 95), span(97, 111), span(123, 142), span(150, 159);
    for (int n : used) {
        const std::string file = "02/" + std::to_string(n) + ".bmp";
        const DecodedPicture& p = pic(file);
        ASSERT_TRUE(p.ok) << file;
        EXPECT_TRUE(hasArt(file, 0, 0, p.width, p.height)) << file << " is empty";
        EXPECT_TRUE(hasKey(file)) << file << " has no transparent pixels";
    }
    // Standing and walking pictures stand on their bottom row (the player's feet).
    for (int n : {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16}) {
        const std::string file = "02/" + std::to_string(n) + ".bmp";
        EXPECT_TRUE(hasArt(file, 0, pic(file).height - 1, pic(file).width, 1)) << file << " floats";
    }
}

TEST_F(PictureSetTest, DigitSetsFitTheirSpacing) {
    struct Set {
        std::string folder;
        int first, spacing;
    };
    const Set sets[] = {{"04", 0, 10}, {"04", 11, 48}, {"22", 30, 34}, {"23", 20, 24}, {"24", 10, 24}};
    for (const Set& s : sets) {
        const DecodedPicture& zero = pic(s.folder + "/" + std::to_string(s.first) + ".png");
        ASSERT_TRUE(zero.ok);
        EXPECT_LE(zero.width, s.spacing) << s.folder << "/" << s.first;
        for (int d = 0; d < 10; ++d) {
            const std::string file = s.folder + "/" + std::to_string(s.first + d) + ".png";
            expectSize(file, zero.width, zero.height);
            EXPECT_TRUE(hasArt(file, 0, 0, zero.width, zero.height)) << file;
        }
    }
    // The stage-select animation is drawn at the size of its first frame.
    const DecodedPicture& first = pic("22/1.png");
    for (int n = 2; n <= 16; ++n) expectSize("22/" + std::to_string(n) + ".png", first.width, first.height);
}

TEST_F(PictureSetTest, BackgroundsAreOpaqueAndDistinct) {
    for (int n = 1; n <= 6; ++n) EXPECT_FALSE(hasKey("03/" + std::to_string(n) + ".bmp")) << n;
    for (int a = 1; a <= 6; ++a)
        for (int b = a + 1; b <= 6; ++b)
            EXPECT_NE(pic("03/" + std::to_string(a) + ".bmp").rgba, pic("03/" + std::to_string(b) + ".bmp").rgba)
                << a << " and " << b;
}

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(PictureGenerator, RerunIsIdenticalAndLeavesSavedFilesAlone) {
    if (dataDir().empty()) GTEST_SKIP() << "LUMOTTA_DATA_DIR is not set";
    testing_support::ScratchDirectory scratch("rerun");
    const fs::path out = fs::path(scratch.path()) / "data";
    fs::create_directories(out / "01");
    const char* saved[] = {"K.dat", "S.dat", "B.dat", "H.dat", "00.dat", "00_.dat", "00__.dat"};
    for (const char* name : saved) std::ofstream(out / "01" / name, std::ios::binary) << "saved " << name;

    const std::string command = std::string(ARTGEN_PROGRAM) + " --art " + ARTGEN_ART_DIR + " --out " + out.string() +
                                " --only 00,03 > " + (fs::path(scratch.path()) / "log.txt").string() + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << slurp(fs::path(scratch.path()) / "log.txt");

    for (const char* name : saved) EXPECT_EQ(slurp(out / "01" / name), std::string("saved ") + name) << name;
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(out / "01")) files += entry.is_regular_file();
    EXPECT_EQ(files, std::size(saved));
    // Only the folders asked for were written, byte for byte as the build's run.
    EXPECT_FALSE(fs::exists(out / "02"));
    for (const std::string& file : loadedFiles()) {
        const std::string folder = file.substr(0, 2);
        if (folder != "00" && folder != "03") continue;
        EXPECT_EQ(slurp(out / file), slurp(fs::path(dataDir()) / file)) << file << " differs between runs";
    }
}

}  // namespace
