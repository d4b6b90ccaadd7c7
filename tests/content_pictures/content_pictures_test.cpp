// The generated picture set through the game's own loaders: every file the
// scenes load exists after the build, the media layer decodes it, and it has
// the size its drawing implies; the sprite sheets show art in every cell the
// drawing uses and let the backdrop through elsewhere; re-running the
// generator is deterministic and leaves the saved files alone.
#include "media/media.h"
#include "tests/content_pictures/picture_files.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Runs from the data directory with the media layer started, as the game
// does, and loads each picture by the name the game gives it.
class PictureSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(media_.ok());
        SetTransparentColor(0, 255, 0);
        in_ = std::make_unique<InDirectory>(pictureDataDir());
    }
    void TearDown() override {
        DeleteAllImages(0);
        in_.reset();
    }

    // The picture's handle, loaded once per test.
    int load(const std::string& file) {
        auto it = handles_.find(file);
        if (it == handles_.end()) it = handles_.emplace(file, LoadImage(gameName(file).c_str(), 0)).first;
        return it->second;
    }
    void expectSize(const std::string& file, int w, int h) {
        const int handle = load(file);
        ASSERT_GE(handle, 0) << file << " does not load";
        const LoadedSize s = loadedSize(handle);
        EXPECT_EQ(s.w, w) << file;
        EXPECT_EQ(s.h, h) << file;
    }
    // The picture drawn alone at the top-left corner of the backdrop.
    Backdrop shown(const std::string& file) {
        Backdrop b;
        b.draw(load(file), 0, 0);
        b.read();
        return b;
    }

    testing_support::HeadlessMedia media_;
    std::unique_ptr<InDirectory> in_;
    std::map<std::string, int> handles_;
};

TEST_F(PictureSetTest, EveryLoadedFileLoadsThroughTheGame) {
    const std::vector<std::string> files = loadedPictureFiles();
    ASSERT_GT(files.size(), 900u);
    for (const std::string& file : files) {
        EXPECT_TRUE(fs::is_regular_file(file)) << file << " is missing";
        const int handle = LoadImage(gameName(file).c_str(), 0);
        ASSERT_GE(handle, 0) << file << " does not load";
        const LoadedSize s = loadedSize(handle);
        EXPECT_GT(s.w, 0) << file;
        EXPECT_GT(s.h, 0) << file;
        DeleteImage(handle, 0);
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
    for (int n = 299; n <= 302; ++n) EXPECT_EQ(loadedSize(load("02/" + std::to_string(n) + ".bmp")).w, 640) << n;
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
        SCOPED_TRACE(s.file);
        expectSize(s.file, s.across * 32, s.down * 32);
        // Cut as the game cuts it, each cell drawn where it sits in the sheet.
        std::vector<int> cells(size_t(s.across) * s.down, -1);
        ASSERT_EQ(LoadImageTiles(gameName(s.file).c_str(), s.across * s.down, s.across, s.down, 32, 32, cells.data(),
                                 0),
                  0);
        Backdrop b;
        for (size_t c = 0; c < cells.size(); ++c) {
            ASSERT_GE(cells[c], 0) << "cell " << c;
            const LoadedSize size = loadedSize(cells[c]);
            EXPECT_EQ(size.w, 32) << "cell " << c;
            EXPECT_EQ(size.h, 32) << "cell " << c;
            b.draw(cells[c], int(c % s.across) * 32, int(c / s.across) * 32);
        }
        b.read();
        for (int c : s.cellsDrawn)
            EXPECT_TRUE(b.drawnIn((c % s.across) * 32, (c / s.across) * 32, 32, 32)) << "cell " << c << " is empty";
        // Sprites are cut out by the colour key.
        if (std::string(s.file) == "00/03.bmp" || std::string(s.file) == "00/16.bmp") {
            EXPECT_TRUE(b.backdropIn(0, 0, s.across * 32, s.down * 32)) << "nothing is transparent";
        }
    }
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
        const LoadedSize s = loadedSize(load(file));
        ASSERT_GT(s.w, 0) << file;
        const Backdrop b = shown(file);
        EXPECT_TRUE(b.drawnIn(0, 0, s.w, s.h)) << file << " is empty";
        EXPECT_TRUE(b.backdropIn(0, 0, s.w, s.h)) << file << " has no transparent pixels";
    }
    // Standing and walking pictures stand on their bottom row (the player's feet).
    for (int n : {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16}) {
        const std::string file = "02/" + std::to_string(n) + ".bmp";
        const LoadedSize s = loadedSize(load(file));
        EXPECT_TRUE(shown(file).drawnIn(0, s.h - 1, s.w, 1)) << file << " floats";
    }
}

TEST_F(PictureSetTest, DigitSetsFitTheirSpacing) {
    struct Set {
        std::string folder;
        int first, spacing;
    };
    const Set sets[] = {{"04", 0, 10}, {"04", 11, 48}, {"22", 30, 34}, {"23", 20, 24}, {"24", 10, 24}};
    for (const Set& s : sets) {
        const LoadedSize zero = loadedSize(load(s.folder + "/" + std::to_string(s.first) + ".png"));
        ASSERT_GT(zero.w, 0) << s.folder << "/" << s.first;
        EXPECT_LE(zero.w, s.spacing) << s.folder << "/" << s.first;
        for (int d = 0; d < 10; ++d) {
            const std::string file = s.folder + "/" + std::to_string(s.first + d) + ".png";
            expectSize(file, zero.w, zero.h);
            EXPECT_TRUE(shown(file).drawnIn(0, 0, zero.w, zero.h)) << file;
        }
    }
    // The stage-select animation is drawn at the size of its first frame.
    const LoadedSize first = loadedSize(load("22/1.png"));
    for (int n = 2; n <= 16; ++n) expectSize("22/" + std::to_string(n) + ".png", first.w, first.h);
}

TEST_F(PictureSetTest, BackgroundsAreOpaqueAndDistinct) {
    std::vector<std::vector<uint32_t>> shots;
    for (int n = 1; n <= 6; ++n) {
        const Backdrop b = shown("03/" + std::to_string(n) + ".bmp");
        EXPECT_FALSE(b.backdropIn(0, 0, kScreenWidth, kScreenHeight)) << n << " lets the backdrop through";
        shots.push_back(b.pixels());
    }
    for (size_t a = 0; a < shots.size(); ++a)
        for (size_t b = a + 1; b < shots.size(); ++b) EXPECT_NE(shots[a], shots[b]) << a + 1 << " and " << b + 1;
}

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(PictureGenerator, RerunIsIdenticalAndLeavesSavedFilesAlone) {
    const std::string dataDir = pictureDataDir();
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
    for (const std::string& file : loadedPictureFiles()) {
        const std::string folder = file.substr(0, 2);
        if (folder != "00" && folder != "03") continue;
        EXPECT_EQ(slurp(out / file), slurp(fs::path(dataDir) / file)) << file << " differs between runs";
    }
}

}  // namespace
