// The play scene's catalogue: every file and the slot it loads into.
#include "game/shell/frame_tick.h"
#include "game/shell/play_catalogue.h"
#include "game/state/globals.h"
#include "media/media.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct SheetRequest {
    std::string name;
    int cells;
    int across;
    int down;
};

class Recorder final : public PlayAssetVisitor {
public:
    std::map<const int32_t*, std::string> pictures;
    std::map<const int32_t*, SheetRequest> sheets;
    std::map<const int32_t*, std::string> sounds;
    std::set<std::string> streamed;
    std::vector<std::string> order;

    void picture(int32_t* slot, const char* name) override {
        EXPECT_TRUE(pictures.emplace(slot, name).second) << "slot loaded twice: " << name;
        order.push_back(name);
    }
    void sheet(int32_t* first, const char* name, int cells, int across, int down) override {
        sheets[first] = {name, cells, across, down};
        order.push_back(name);
    }
    void sound(int32_t* slot, const char* name, bool stream) override {
        EXPECT_TRUE(sounds.emplace(slot, name).second) << "slot loaded twice: " << name;
        if (stream) streamed.insert(name);
    }
    std::string pictureIn(const int32_t* slot) const {
        auto it = pictures.find(slot);
        return it == pictures.end() ? "" : it->second;
    }
    std::string soundIn(const int32_t* slot) const {
        auto it = sounds.find(slot);
        return it == sounds.end() ? "" : it->second;
    }
};

Recorder imagesOf(int stage) {
    Recorder r;
    visitPlaySceneImages(stage, r);
    return r;
}

Recorder soundsOf(int stage) {
    Recorder r;
    visitPlaySceneSounds(stage, r);
    return r;
}

TEST(PlayCatalogue, BackgroundAndMusicFollowTheStageBand) {
    const struct {
        int stage;
        const char* background;
        const char* music;
    } bands[] = {
        {0, "03\\1.bmp", "05\\3.ogg"},  {9, "03\\1.bmp", "05\\3.ogg"},  {12, "03\\2.bmp", "05\\4.ogg"},
        {29, "03\\3.bmp", "05\\5.ogg"}, {30, "03\\4.bmp", "05\\6.ogg"}, {45, "03\\5.bmp", "05\\8.ogg"},
        {50, "03\\6.bmp", "05\\9.ogg"}, {51, "", ""},                   {-1, "", ""},
    };
    for (const auto& band : bands) {
        EXPECT_EQ(imagesOf(band.stage).pictureIn(&game.sceneImages[0]), band.background) << band.stage;
        Recorder sounds = soundsOf(band.stage);
        EXPECT_EQ(sounds.soundIn(&game.stageMusic), band.music) << band.stage;
        if (*band.music) {
            EXPECT_EQ(sounds.streamed.count(band.music), 1u);
        }
    }
}

TEST(PlayCatalogue, SinglePicturesGoToTheirSlots) {
    Recorder r = imagesOf(3);
    const std::pair<int, const char*> expected[] = {
        {0, "04\\0.png"},    {9, "04\\9.png"},     {10, "04\\10.png"},  {11, "19\\1.png"},
        {12, "04\\22.png"},  {15, "04\\25.png"},   {16, "04\\21.png"},  {17, "18\\1.png"},
        {18, "17\\1.png"},   {19, "16\\1.png"},    {20, "04\\11.png"},  {29, "04\\20.png"},
        {30, "04\\26.png"},  {34, "04\\30.png"},   {40, "04\\31.png"},  {97, "04\\88.png"},
        {100, "04\\89.png"}, {102, "04\\91.png"},  {110, "04\\92.png"}, {140, "04\\122.png"},
        {141, "04\\124.png"}, {168, "04\\151.png"}, {170, "04\\152.png"}, {171, "04\\153.png"},
    };
    for (auto [slot, name] : expected) EXPECT_EQ(r.pictureIn(&game.pictures[slot]), name) << slot;
    for (int slot : {35, 36, 37, 38, 39, 98, 99, 103, 104, 105, 106, 107, 108, 109, 169, 172})
        EXPECT_EQ(r.pictureIn(&game.pictures[slot]), "") << slot;
    for (const std::string& name : r.order) EXPECT_NE(name, "04\\123.png");
    int count = 0;
    for (int slot = 0; slot < 500; ++slot) count += !r.pictureIn(&game.pictures[slot]).empty();
    EXPECT_EQ(count, 172 - 15);  // slots 0..171 but for the fifteen left out
}

TEST(PlayCatalogue, TilesAndSheetCells) {
    Recorder r = imagesOf(3);
    EXPECT_EQ(r.pictureIn(&game.tileImages[0]), "02\\0.bmp");
    EXPECT_EQ(r.pictureIn(&game.tileImages[150]), "02\\150.bmp");
    EXPECT_EQ(r.pictureIn(&game.tileImages[399]), "02\\399.bmp");
    EXPECT_EQ(r.pictureIn(&game.tileImages[400]), "");
    EXPECT_EQ(r.pictureIn(&game.sheetCells[30][0]), "00\\01.png");
    EXPECT_EQ(r.pictureIn(&game.sheetCells[30][7]), "00\\08.png");
    EXPECT_EQ(r.pictureIn(&game.sheetCells[31][0]), "00\\10.png");
    EXPECT_EQ(r.pictureIn(&game.sheetCells[31][1]), "00\\11.png");
    EXPECT_EQ(r.pictureIn(&game.sheetCells[32][0]), "00\\20.png");
    EXPECT_EQ(r.pictureIn(&game.sheetCells[21][0]), "00\\17.png");

    ASSERT_EQ(r.sheets.size(), 24u);
    const SheetRequest& blocks = r.sheets.at(&game.sheetCells[0][0]);
    EXPECT_EQ(blocks.name, "00\\01.bmp");
    EXPECT_EQ(blocks.cells, 20);
    EXPECT_EQ(blocks.across, 10);
    EXPECT_EQ(blocks.down, 2);
    EXPECT_EQ(r.sheets.at(&game.sheetCells[11][0]).name, "00\\07.bmp");
    EXPECT_EQ(r.sheets.at(&game.sheetCells[11][0]).cells, 3);
    EXPECT_EQ(r.sheets.at(&game.sheetCells[11][0]).across, 4);
    EXPECT_EQ(r.sheets.at(&game.sheetCells[20][0]).down, 10);
    EXPECT_EQ(r.sheets.at(&game.sheetCells[34][0]).name, "00\\19.bmp");
    EXPECT_EQ(r.sheets.at(&game.sheetCells[36][0]).name, "00\\20.bmp");
    // Every sheet stays inside the table.
    const int32_t* end = &game.sheetCells[0][0] + 400;
    for (const auto& [first, sheet] : r.sheets) EXPECT_LE(first + sheet.cells, end) << sheet.name;
    // The background comes first, then the tiles.
    EXPECT_EQ(r.order.front(), "03\\1.bmp");
    EXPECT_EQ(r.order[1], "02\\0.bmp");
}

TEST(PlayCatalogue, SoundsGoToTheirSlots) {
    Recorder r = soundsOf(7);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(r.soundIn(&game.soundSlots[i]), "10\\0" + std::to_string(i + 1) + ".wav");
    for (int i = 0; i < 24; ++i) {
        if (i == 4) {
            EXPECT_EQ(r.soundIn(&game.effectSounds[i]), "10\\33.wav");
        } else if (i == 19) {
            EXPECT_EQ(r.soundIn(&game.effectSounds[i]), "");
        } else {
            EXPECT_EQ(r.soundIn(&game.effectSounds[i]), "10\\" + std::to_string(30 + i) + ".wav");
        }
    }
    EXPECT_EQ(r.soundIn(&game.stageStartSound), "10\\05.wav");
    EXPECT_EQ(r.soundIn(&game.exitReachedSound), "10\\06.wav");
    EXPECT_EQ(r.soundIn(&game.timeUpSound), "10\\07.wav");
    EXPECT_EQ(r.streamed.size(), 1u);
}

}  // namespace

namespace {

// A small 24-bit BMP of w x h pixels.
void writeBmp(const std::string& path, int w, int h) {
    const int rowBytes = (w * 3 + 3) & ~3;
    const int dataBytes = rowBytes * h;
    std::vector<unsigned char> b(54 + dataBytes, 0);
    auto put32 = [&b](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    b[26] = 1;
    b[28] = 24;
    put32(34, static_cast<uint32_t>(dataBytes));
    for (int i = 54; i < static_cast<int>(b.size()); ++i) b[i] = static_cast<unsigned char>(i * 7);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                static_cast<std::streamsize>(b.size()));
}

TEST(PlayCatalogueLoading, PresentFilesLoadAndMissingOnesLeaveMinusOne) {
    testing_support::HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    testing_support::ScratchDirectory dir("catalogue");
    std::filesystem::create_directories("02");
    std::filesystem::create_directories("03");
    writeBmp("02/7.bmp", 32, 32);
    writeBmp("03/2.bmp", 64, 48);
    const int probe = LoadImage("02\\7.bmp", 0);
    ASSERT_NE(probe, -1) << "a plain BMP must load";
    DeleteAllImages(0);

    game.scene = kScenePlay;
    game.stageNumber = 12;
    game.tileImages[8] = 12345;
    LoadSceneImages();
    EXPECT_GE(game.tileImages[7], 0);
    EXPECT_EQ(game.tileImages[8], -1);
    int w = 0;
    int h = 0;
    ASSERT_EQ(GetImageSize(game.sceneImages[0], &w, &h), 0);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 48);
    EXPECT_EQ(game.pictures[5], -1);
}

}  // namespace
