// The scenes' catalogues: every file and the slot it loads into, and the
// sounds that start as a scene is entered.
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
    void start(int32_t* slot, int playType) override {
        EXPECT_TRUE(sounds.count(slot)) << "started before it was loaded";
        starts[slot] = playType;
    }
    std::map<const int32_t*, int> starts;
    std::string pictureIn(const int32_t* slot) const {
        auto it = pictures.find(slot);
        return it == pictures.end() ? "" : it->second;
    }
    std::string soundIn(const int32_t* slot) const {
        auto it = sounds.find(slot);
        return it == sounds.end() ? "" : it->second;
    }
};

// What one of the catalogues lists for a stage or a scene.
Recorder listed(void (*visit)(int, PlayAssetVisitor&), int which) {
    Recorder r;
    visit(which, r);
    return r;
}

Recorder imagesOf(int stage) { return listed(visitPlaySceneImages, stage); }
Recorder soundsOf(int stage) { return listed(visitPlaySceneSounds, stage); }

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

// --- The front-end scenes ----------------------------------------------------

Recorder frontEndImagesOf(int scene) { return listed(visitFrontEndSceneImages, scene); }
Recorder frontEndSoundsOf(int scene) { return listed(visitFrontEndSceneSounds, scene); }

// `count` slots from `first` hold folder\N.ext from N = `file` on.
struct Run {
    int32_t* first;
    int count;
    const char* folder;
    int file;
    const char* extension;
};

void expectRuns(const Recorder& r, std::initializer_list<Run> runs, size_t total) {
    for (const Run& run : runs) {
        for (int i = 0; i < run.count; ++i) {
            const std::string want = std::string(run.folder) + "\\" + std::to_string(run.file + i) + "." + run.extension;
            EXPECT_EQ(r.pictureIn(run.first + i), want) << "slot " << i << " of the run from " << run.file;
        }
    }
    EXPECT_EQ(r.pictures.size(), total) << "and nothing else";
}

TEST(FrontEndCatalogue, GameOverPicturesGoToTheirSlots) {
    Recorder r = frontEndImagesOf(kSceneGameOver);
    int32_t* scene = game.sceneImages;
    expectRuns(r,
               {{scene + 0, 1, "03", 1, "bmp"}, {scene + 1, 2, "20", 1, "png"}, {scene + 3, 1, "02", 150, "bmp"},
                {scene + 4, 10, "04", 11, "png"}, {scene + 15, 2, "20", 3, "png"}, {scene + 17, 1, "04", 21, "png"},
                {game.pictures, 10, "04", 0, "png"},
                // The continue animation: row 0 of the sheet cells and the first slot of row 1.
                {&game.sheetCells[0][0], 11, "02", 71, "bmp"}},
               1 + 2 + 1 + 10 + 2 + 1 + 10 + 11);
    EXPECT_EQ(r.pictureIn(scene + 14), "");
    ASSERT_EQ(r.sheets.size(), 1u);
    const SheetRequest& strip = r.sheets.at(&game.sheetCells[5][0]);
    EXPECT_EQ(strip.name, "00\\02.bmp");
    EXPECT_EQ(strip.cells, 12);
    EXPECT_EQ(strip.across, 10);
    EXPECT_EQ(strip.down, 2);
}

TEST(FrontEndCatalogue, MenuScenePicturesGoToTheirSlots) {
    int32_t* scene = game.sceneImages;
    {
        SCOPED_TRACE("title");
        Recorder r = frontEndImagesOf(kSceneTitle);
        const int files[] = {6, 4, 2, 3, 5, 8, 7, 1, 9, 13, 11, 10, 14, 15, 16};
        for (int slot = 0; slot < 15; ++slot)
            EXPECT_EQ(r.pictureIn(scene + slot), "21\\" + std::to_string(files[slot]) + ".png") << slot;
        for (int d = 0; d < 10; ++d) EXPECT_EQ(r.pictureIn(&game.pictures[d]), "04\\" + std::to_string(d) + ".png");
        EXPECT_EQ(r.pictures.size(), 25u);
        EXPECT_TRUE(r.sheets.empty());
    }
    {
        SCOPED_TRACE("stage select");
        Recorder r = frontEndImagesOf(kSceneStageSelect);
        expectRuns(r, {{scene, 1, "21", 8, "png"}, {game.tileImages, 200, "22", 0, "png"}}, 201);
    }
    {
        SCOPED_TRACE("ranking");
        Recorder r = frontEndImagesOf(kSceneRanking);
        expectRuns(r, {{scene, 1, "21", 8, "png"}, {scene + 1, 11, "23", 0, "png"}, {scene + 20, 13, "23", 20, "png"}},
                   25);
    }
    {
        SCOPED_TRACE("settings");
        Recorder r = frontEndImagesOf(kSceneSettings);
        expectRuns(r,
                   {{scene, 1, "21", 8, "png"}, {scene + 1, 1, "24", 0, "png"}, {scene + 2, 4, "24", 2, "png"},
                    {scene + 10, 12, "24", 10, "png"}},
                   18);
    }
    {
        SCOPED_TRACE("interlude");
        Recorder r = frontEndImagesOf(kSceneInterlude);
        expectRuns(r, {{scene + 1, 10, "26", 1, "png"}}, 10);
    }
    for (int movie : {kSceneOpeningMovie, kSceneStartupMovie, kSceneEndingMovie, kSceneMidGameMovie}) {
        Recorder r = frontEndImagesOf(movie);
        EXPECT_TRUE(r.pictures.empty() && r.sheets.empty()) << "movie scene " << movie;
    }
}

TEST(FrontEndCatalogue, EachSceneLoadsItsSoundsAndStartsWhatItPlaysAtOnce) {
    const struct {
        int scene;
        const char* music;  // soundSlots[0], streamed; null: none
        int musicStart;     // 0: not started here
    } menus[] = {
        {kSceneTitle, "05\\1.ogg", 0},  // the title starts its music itself
        {kSceneStageSelect, "05\\2.ogg", kPlayLoop},
        {kSceneRanking, "05\\2.ogg", kPlayLoop},
        {kSceneSettings, "05\\2.ogg", kPlayLoop},
        {kSceneInterlude, "05\\7.ogg", kPlayLoop},
    };
    for (const auto& m : menus) {
        SCOPED_TRACE(m.scene);
        Recorder r = frontEndSoundsOf(m.scene);
        EXPECT_EQ(r.soundIn(&game.soundSlots[0]), m.music);
        EXPECT_EQ(r.streamed, std::set<std::string>{m.music});
        EXPECT_EQ(r.soundIn(&game.soundSlots[1]), "10\\20.wav");
        EXPECT_EQ(r.soundIn(&game.soundSlots[2]), "10\\21.wav");
        EXPECT_EQ(r.soundIn(&game.soundSlots[3]), "10\\22.wav");
        if (m.musicStart == 0) {
            EXPECT_TRUE(r.starts.empty());
        } else {
            ASSERT_EQ(r.starts.size(), 1u);
            EXPECT_EQ(r.starts.count(&game.soundSlots[0]), 1u);
            EXPECT_EQ(r.starts[&game.soundSlots[0]], m.musicStart);
        }
    }
    Recorder over = frontEndSoundsOf(kSceneGameOver);
    EXPECT_EQ(over.sounds.size(), 2u);
    EXPECT_EQ(over.soundIn(&game.soundSlots[1]), "20\\1.wav");
    EXPECT_EQ(over.soundIn(&game.soundSlots[2]), "20\\2.wav");
    EXPECT_TRUE(over.streamed.empty());
    ASSERT_EQ(over.starts.size(), 1u);
    EXPECT_EQ(over.starts[&game.soundSlots[2]], kPlayOnce) << "20\\2.wav once, at once";
    for (int movie : {kSceneOpeningMovie, kSceneStartupMovie, kSceneEndingMovie, kSceneMidGameMovie}) {
        Recorder r = frontEndSoundsOf(movie);
        EXPECT_TRUE(r.sounds.empty() && r.starts.empty()) << "movie scene " << movie;
    }
    // The play scene starts nothing as it loads: its jingle and music wait
    // for the start countdown.
    EXPECT_TRUE(soundsOf(12).starts.empty());
}

}  // namespace

namespace {

// A small 24-bit BMP of w x h pixels.
void writeBmp(const std::string& path, int w, int h) {
    ASSERT_TRUE(testing_support::writeBmp(path, w, h, [](int x, int y) { return uint32_t(x * 7 + y * 13); }));
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
