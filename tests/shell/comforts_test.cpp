// The comfort keys in the real media layer, headless: volume and muting reach
// the mixer, Alt+Enter and F11 switch the window and the saved setting, and
// the note shows on the frame for a moment.
#include "game/shell/comforts.h"
#include "game/state/globals.h"
#include "media/core/area_hooks.h"
#include "media/media.h"
#include "media/sound/mixer.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using testing_support::HeadlessMedia;
using testing_support::pressKey;
using testing_support::releaseKey;
using testing_support::ScratchDirectory;

class Comforts : public ::testing::Test {
protected:
    void SetUp() override {
        game = GameGlobals{};
        ASSERT_TRUE(media_.ok());
        applyUserSettings(UserSettings{}, false);
    }
    void TearDown() override {
        applyUserSettings(UserSettings{}, false);
    }
    // One tap of a key, as the frame tick sees it.
    static void tap(SDL_Scancode key) {
        pressKey(key);
        handleComfortKeys();
        releaseKey(key);
        handleComfortKeys();
    }
    static float gain() { return media::sound::mixer::MasterGain(); }

    ScratchDirectory scratch_{"comforts"};
    HeadlessMedia media_;
};

TEST_F(Comforts, MinusPlusAndMSetTheVolumeAndMute) {
    EXPECT_FLOAT_EQ(gain(), 1.0f);
    tap(SDL_SCANCODE_MINUS);
    EXPECT_FLOAT_EQ(gain(), 0.81f);  // 90 %, squared
    tap(SDL_SCANCODE_KP_MINUS);
    EXPECT_FLOAT_EQ(gain(), 0.64f);
    tap(SDL_SCANCODE_EQUALS);
    EXPECT_FLOAT_EQ(gain(), 0.81f);
    tap(SDL_SCANCODE_M);
    EXPECT_EQ(gain(), 0.0f);
    EXPECT_TRUE(userSettingsNow(UserSettings{}).muted);
    tap(SDL_SCANCODE_M);
    EXPECT_FLOAT_EQ(gain(), 0.81f);
    tap(SDL_SCANCODE_KP_PLUS);
    tap(SDL_SCANCODE_KP_PLUS);  // no louder than 100 %
    EXPECT_FLOAT_EQ(gain(), 1.0f);
    EXPECT_EQ(userSettingsNow(UserSettings{}).volume, 100);

    // Held down over many ticks, a key counts once.
    pressKey(SDL_SCANCODE_MINUS);
    for (int tick = 0; tick < 30; ++tick) handleComfortKeys();
    releaseKey(SDL_SCANCODE_MINUS);
    handleComfortKeys();
    EXPECT_FLOAT_EQ(gain(), 0.81f);
    const UserSettings now = userSettingsNow(UserSettings{});
    EXPECT_EQ(now.volume, 90);
    EXPECT_FALSE(now.muted);
}

TEST_F(Comforts, ChangingTheVolumeWhileMutedTurnsTheSoundOn) {
    tap(SDL_SCANCODE_M);
    EXPECT_EQ(gain(), 0.0f);
    tap(SDL_SCANCODE_MINUS);
    EXPECT_FLOAT_EQ(gain(), 0.81f);
}

TEST_F(Comforts, TheSettingsFileGivesTheStartingVolume) {
    UserSettings quiet;
    quiet.volume = 50;
    quiet.muted = true;
    applyUserSettings(quiet, false);
    EXPECT_EQ(gain(), 0.0f);
    tap(SDL_SCANCODE_M);
    EXPECT_FLOAT_EQ(gain(), 0.25f);
}

bool fullScreen() {
    return (SDL_GetWindowFlags(media::screen::Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

TEST_F(Comforts, AltEnterAndF11SwitchFullScreenAndTheSavedSettingFollows) {
    ASSERT_FALSE(fullScreen());
    pressKey(SDL_SCANCODE_LALT);
    tap(SDL_SCANCODE_RETURN);
    releaseKey(SDL_SCANCODE_LALT);
    EXPECT_TRUE(fullScreen());
    EXPECT_EQ(game.settings.fullScreen, 1);
    tap(SDL_SCANCODE_F11);
    EXPECT_FALSE(fullScreen());
    EXPECT_EQ(game.settings.fullScreen, 0);
    pressKey(SDL_SCANCODE_RALT);
    tap(SDL_SCANCODE_RETURN);
    releaseKey(SDL_SCANCODE_RALT);
    EXPECT_TRUE(fullScreen());
    EXPECT_EQ(game.settings.fullScreen, 1);
    // Enter alone is no switch.
    tap(SDL_SCANCODE_RETURN);
    EXPECT_TRUE(fullScreen());
    tap(SDL_SCANCODE_F11);
    EXPECT_FALSE(fullScreen());
}

struct Box {
    int left, top, right, bottom;
};

// Bright pixels inside and outside BOX of the frame.
void countBright(Box box, int* inNote, int* elsewhere) {
    std::vector<uint32_t> pixels(static_cast<size_t>(kScreenWidth) * kScreenHeight);
    ASSERT_EQ(ReadScreenPixels(pixels.data(), kScreenWidth, kScreenHeight), 0);
    *inNote = *elsewhere = 0;
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y) * kScreenWidth + x];
            if (((p >> 16) & 0xFF) < 128) continue;
            const bool inside = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            (inside ? *inNote : *elsewhere) += 1;
        }
}

// Outside play the note shows in the top left corner; in play in the status
// band's empty stretch between the magic charges (up to x 392) and the
// hi-score (from x 512), never over the lives, the stage or the time.
TEST_F(Comforts, TheNoteShowsForASecondAndAHalfWhereItHidesNothing) {
    SetDrawTarget(kDrawTargetBack);
    struct Case {
        int scene;
        SDL_Scancode key;
        Box box;
    };
    const Case cases[] = {
        {kSceneTitle, SDL_SCANCODE_M, {0, 0, 320, 40}},
        {kScenePlay, SDL_SCANCODE_M, {393, 0, 512, 32}},
        {kScenePlay, SDL_SCANCODE_M, {393, 0, 512, 32}},
    };
    for (const Case& c : cases) {
        game.scene = c.scene;
        tap(c.key);
        int inNote = 0, elsewhere = 0;
        int ticksShown = 0;
        for (int tick = 0; tick < 120; ++tick) {
            ClearScreen();
            drawComfortNote();
            countBright(c.box, &inNote, &elsewhere);
            EXPECT_EQ(elsewhere, 0) << "scene " << c.scene << ", tick " << tick;
            if (inNote > 20) ++ticksShown;
        }
        EXPECT_EQ(ticksShown, kNoteTicks) << "scene " << c.scene;
    }
}

}  // namespace
