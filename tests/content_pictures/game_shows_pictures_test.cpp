// The default picture set as the game shows it: the play scene entered the
// way the game enters it, from the build's data directory, fills every
// picture slot of its catalogue; a stage played through by its shipped
// solution loads every overlay frame it asks for and puts a full picture on
// the screen.
#include "game/shell/controls.h"
#include "game/shell/frame_tick.h"
#include "game/shell/play_catalogue.h"
#include "game/shell/replay.h"
#include "game/shell/saved_files.h"
#include "game/state/globals.h"
#include "media/core/load_report.h"
#include "media/core/work_ahead.h"
#include "media/media.h"
#include "tests/content_pictures/picture_files.h"
#include "tests/support/test_support.h"
#include "tools/runner/input_script.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// Every handle slot the play scene's catalogue fills, with the file it takes.
class SlotList final : public PlayAssetVisitor {
public:
    struct Slot {
        const int32_t* slot;
        std::string file;
    };
    std::vector<Slot> slots;

    void picture(int32_t* slot, const char* fileName) override { slots.push_back({slot, fileName}); }
    void sheet(int32_t* firstSlot, const char* fileName, int cells, int, int) override {
        for (int c = 0; c < cells; ++c)
            slots.push_back({firstSlot + c, std::string(fileName) + " cell " + std::to_string(c)});
    }
    void sound(int32_t*, const char*, bool) override {}
};

SlotList playSlots(int stage) {
    SlotList list;
    visitPlaySceneImages(stage, list);
    return list;
}

// The game's start-up, less the window: media started headless, the colour
// key, the saved defaults, and the data directory as working directory.
class GameShowsPictures : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(media_.ok());
        SetTransparentColor(0, 255, 0);
        SetDrawTarget(kDrawTargetBack);
        game = GameGlobals{};
        game.randomState = 1;
        setSavedDefaults();
        in_ = std::make_unique<InDirectory>(pictureDataDir());
    }
    void TearDown() override {
        removeInputScript();
        DeleteAllImages(0);
        DeleteAllSounds(0);
        in_.reset();
    }

    testing_support::HeadlessMedia media_;
    std::unique_ptr<InDirectory> in_;
};

// How much of the back buffer shows something: distinct colours and the
// share of pixels that are not black.
struct ScreenSummary {
    size_t colours = 0;
    double lit = 0;
};

ScreenSummary summariseScreen() {
    std::vector<uint32_t> pixels(size_t(kScreenWidth) * kScreenHeight);
    EXPECT_EQ(ReadScreenPixels(pixels.data(), kScreenWidth, kScreenHeight), 0);
    std::set<uint32_t> colours;
    size_t lit = 0;
    for (uint32_t p : pixels) {
        p &= 0xFFFFFF;
        colours.insert(p);
        lit += p != 0;
    }
    return {colours.size(), double(lit) / double(pixels.size())};
}

TEST_F(GameShowsPictures, EveryStageBandFillsEveryCatalogueSlot) {
    // The first stage of each band and the last stage: the background changes.
    for (int stage : {0, 10, 20, 30, 40, 50}) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        game.scene = kScenePlay;
        game.stageNumber = stage;
        LoadSceneImages();
        const SlotList list = playSlots(stage);
        ASSERT_GT(list.slots.size(), 500u);
        for (const SlotList::Slot& s : list.slots) EXPECT_GE(*s.slot, 0) << s.file;
    }
}

TEST_F(GameShowsPictures, TheFirstStagePlayedThroughShowsEveryPicture) {
    const char* source = std::getenv("LUMOTTA_SOURCE_DIR");
    const std::string scriptPath = std::string(source && *source ? source : ARTGEN_SOURCE_DIR) +
                                   "/content/replays/00.script";
    const std::string text = testing_support::readWholeFile(scriptPath);
    ASSERT_FALSE(text.empty()) << "no solution at " << scriptPath;
    const input_script::Result solution = input_script::compile(text, scriptPath);
    ASSERT_TRUE(solution.ok()) << solution.errors.front();

    // Into the play scene as the title's START takes the game there.
    game.scene = kScenePlay;
    game.stageNumber = 0;
    enterScene();
    applyReplayStart(solution.replay.start);
    const SlotList list = playSlots(0);
    for (const SlotList::Slot& s : list.slots) ASSERT_GE(*s.slot, 0) << s.file << " after entering the scene";

    std::vector<InputState> records;
    for (uint16_t packed : solution.replay.ticks) {
        records.push_back(unpackReplayInput(packed));
        records.push_back(InputState{});
    }
    installInputScript(records.data(), uint32_t(solution.replay.ticks.size()));

    // The overlays load one frame at a time into their slot, replacing the
    // one before; a slot whose handle changes has loaded a frame.
    struct Overlay {
        int slot;
        const char* name;
        int framesLoaded = 0;
        int32_t last = -1;
    };
    Overlay overlays[] = {{11, "stage intro"}, {17, "key flash"}, {18, "key arrival"}};
    for (Overlay& o : overlays) o.last = game.pictures[o.slot];

    ScreenSummary inPlay{}, keyFlash{};
    const long limit = long(solution.replay.ticks.size()) + 600;
    long tick = 0;
    for (; tick < limit && game.scene == kScenePlay && game.stageNumber == 0; ++tick) {
        FrameTick();
        for (Overlay& o : overlays) {
            ASSERT_GE(game.pictures[o.slot], 0) << o.name << " frame at tick " << tick;
            if (game.pictures[o.slot] != o.last) ++o.framesLoaded;
            o.last = game.pictures[o.slot];
        }
        if (tick == input_script::kReadyTicks + 60) inPlay = summariseScreen();
        if (overlays[1].framesLoaded == 8 && keyFlash.colours == 0) keyFlash = summariseScreen();
    }
    ASSERT_NE(game.stageNumber, 0) << "the solution did not clear the stage in " << tick << " ticks";
    for (const Overlay& o : overlays) EXPECT_GT(o.framesLoaded, 0) << o.name << " never ran";

    // A stage in play: background, blocks, sprites and status, no black holes.
    EXPECT_GT(inPlay.colours, 200u);
    EXPECT_GT(inPlay.lit, 0.95);
    // The key's flash lights the stage up over its picture.
    EXPECT_GT(keyFlash.colours, 200u);
    EXPECT_GT(keyFlash.lit, 0.95);
    std::printf("stage cleared after %ld ticks\n", tick);
}

}  // namespace

// While the title runs, the first stage's pictures and effects are decoded
// on the worker: entering the stage afterwards decodes nothing, and every
// slot holds its picture; a lost life or the next stage reuses them all.
TEST_F(GameShowsPictures, TheTitleDecodesTheFirstStageAheadSoEnteringItDecodesNothing) {
    using media::cache::Kind;
    game.scene = kSceneTitle;
    enterScene();
    media::core::WaitForWorkAhead();
    for (int stage : {0, 0, 1}) {
        const auto pictures = media::report::Totals(Kind::Picture);
        const auto sounds = media::report::Totals(Kind::Sound);
        game.scene = kScenePlay;
        game.stageNumber = stage;
        enterScene();
        ClearScreen();
        EXPECT_EQ(media::report::Totals(Kind::Picture).decoded, pictures.decoded) << "stage " << stage;
        EXPECT_GT(media::report::Totals(Kind::Picture).reused, pictures.reused + 500);
        EXPECT_EQ(media::report::Totals(Kind::Sound).decoded, sounds.decoded) << "stage " << stage;
        EXPECT_GT(media::report::Totals(Kind::Sound).reused, sounds.reused + 20);
        for (const SlotList::Slot& s : playSlots(stage).slots) EXPECT_GE(*s.slot, 0) << s.file;
    }
}
