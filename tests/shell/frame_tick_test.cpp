// The frame tick, the scene dispatch and the scripted-input seam.
#include "game/shell/controls.h"
#include "game/shell/frame_tick.h"
#include "game/shell/saved_files.h"
#include "game/state/globals.h"
#include "game/state/scene_entry.h"
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/media.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <utility>
#include <vector>

namespace {

using testing_support::HeadlessMedia;
using testing_support::ScratchDirectory;

class FrameTickTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(media_.ok());
        game = GameGlobals{};
        setSavedDefaults();
        setDefaultKeyAssignment();
        installShellSceneEntry();
    }
    void TearDown() override {
        removeInputScript();
        setInputObserver(nullptr, nullptr);
        installShellSceneEntry();
    }
    ScratchDirectory dir_{"tick"};
    HeadlessMedia media_;
};

TEST_F(FrameTickTest, StartUpMovieHandsOverToTheTitleWithinTheTick) {
    game.scene = kSceneStartupMovie;
    game.exitCounter = 7;
    FrameTick();
    EXPECT_EQ(game.scene, kSceneTitle);
    EXPECT_EQ(game.exitCounter, 0);  // the title was entered: its reset ran
}

// The routines a scene change ran, in order, with the scene each one saw.
std::vector<std::pair<char, int>>& entryCalls() {
    static std::vector<std::pair<char, int>> calls;
    return calls;
}

void installRecordingEntry() {
    entryCalls().clear();
    installSceneEntry({[] { entryCalls().push_back({'r', game.scene}); },
                       [] { entryCalls().push_back({'i', game.scene}); },
                       [] { entryCalls().push_back({'s', game.scene}); }});
}

TEST_F(FrameTickTest, EnteringASceneInstallsTheShellsDispatchForLaterSceneChanges) {
    installRecordingEntry();
    game.scene = kSceneRanking;
    enterScene();
    EXPECT_TRUE(entryCalls().empty());
    EXPECT_EQ(sceneEntry().resetState, &ResetSceneState);
    EXPECT_EQ(sceneEntry().loadImages, &LoadSceneImages);
    EXPECT_EQ(sceneEntry().loadSounds, &LoadSceneSounds);
}

TEST_F(FrameTickTest, ScenesChangeThroughTheInstalledEntryResetThenPicturesThenSounds) {
    installRecordingEntry();
    game.scene = kSceneStartupMovie;
    FrameTick();
    const std::vector<std::pair<char, int>> expected = {
        {'r', kSceneTitle}, {'i', kSceneTitle}, {'s', kSceneTitle}};
    EXPECT_EQ(entryCalls(), expected);
}

TEST_F(FrameTickTest, SceneNumbersOutsideTheTableRunNothing) {
    for (int scene : {-1, 11, 12, 1000, INT32_MIN}) {
        game.scene = scene;
        const GameGlobals before = game;
        FrameTick();
        ResetSceneState();
        // Only the input records are refilled.
        GameGlobals after = game;
        std::memcpy(after.input, before.input, sizeof after.input);
        EXPECT_EQ(std::memcmp(&after, &before, sizeof before), 0) << "scene " << scene;
    }
}

TEST_F(FrameTickTest, MovieScenesHaveNoEntryWork) {
    for (int scene : {kSceneOpeningMovie, kSceneStartupMovie, kSceneEndingMovie, kSceneMidGameMovie}) {
        game.scene = scene;
        const GameGlobals before = game;
        ResetSceneState();
        EXPECT_EQ(std::memcmp(&game, &before, sizeof before), 0) << "scene " << scene;
    }
}

TEST_F(FrameTickTest, TheTickClearsThenPresents) {
    // Whatever the previous frame left on the back buffer is gone after a
    // tick of a scene that draws nothing.
    SDL_Renderer* r = media::screen::Renderer();
    SDL_SetRenderDrawColor(r, 200, 100, 50, 255);
    SDL_RenderFillRect(r, nullptr);
    game.scene = 1000;
    FrameTick();
    std::vector<uint32_t> pixels(kScreenWidth * kScreenHeight);
    ASSERT_EQ(ReadScreenPixels(pixels.data(), kScreenWidth, kScreenHeight), 0);
    for (uint32_t p : pixels) ASSERT_EQ(p & 0xFFFFFF, 0u);
    EXPECT_FALSE(media::lock::HeldByThisThread());
}

TEST_F(FrameTickTest, AnInputScriptReplacesTheDevicesTickByTick) {
    InputState records[3][2] = {};
    records[0][0].horizontal = 1;
    records[1][0].button[0] = 1;
    records[1][1].vertical = -1;
    records[2][0].button[7] = 1;
    installInputScript(&records[0][0], 3);
    EXPECT_TRUE(inputScriptInstalled());

    // A held key is not seen while the script runs.
    testing_support::pressKey(SDL_SCANCODE_LEFT);
    game.scene = 1000;
    for (int tick = 0; tick < 3; ++tick) {
        FrameTick();
        EXPECT_EQ(std::memcmp(game.input, records[tick], sizeof game.input), 0) << "tick " << tick;
    }
    EXPECT_EQ(inputScriptTicksFed(), 3u);
    FrameTick();  // past the end: nothing held
    const InputState none[2] = {};
    EXPECT_EQ(std::memcmp(game.input, none, sizeof none), 0);

    removeInputScript();
    FrameTick();
    EXPECT_EQ(game.input[0].horizontal, -1);  // the devices again
}

TEST_F(FrameTickTest, TheObserverSeesWhatEachTickUses) {
    struct Recording {
        std::vector<InputState> records;
    } recording;
    setInputObserver(
        [](const InputState* records, void* context) {
            auto* r = static_cast<Recording*>(context);
            r->records.push_back(records[0]);
            r->records.push_back(records[1]);
        },
        &recording);
    game.scene = 1000;
    testing_support::pressKey(SDL_SCANCODE_Z);
    FrameTick();
    testing_support::releaseKey(SDL_SCANCODE_Z);
    FrameTick();
    ASSERT_EQ(recording.records.size(), 4u);
    EXPECT_EQ(recording.records[0].button[0], 1);
    EXPECT_EQ(recording.records[2].button[0], 0);

    // What was recorded plays back the same.
    setInputObserver(nullptr, nullptr);
    installInputScript(recording.records.data(), 2);
    FrameTick();
    EXPECT_EQ(game.input[0].button[0], 1);
    FrameTick();
    EXPECT_EQ(game.input[0].button[0], 0);
}

}  // namespace
