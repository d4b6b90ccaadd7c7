// The generated sounds through the game's own loaders: every scene's sound
// catalogue finds its files in the default data set and the media layer
// accepts them. Skipped while the media layer has no sound.
#include "game/shell/frame_tick.h"
#include "game/state/globals.h"
#include "media/media.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string dataDirectory() {
    const char* dir = std::getenv("LUMOTTA_DATA_DIR");
    return dir && *dir ? dir : LUMOTTA_BUILD_DATA_DIR;
}

// Runs the test from the data directory, as the game runs from its own.
class GameLoadsTheDataSet : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(media_.ok());
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dataDirectory());
        const int probe = LoadSound("10\\01.wav", 3, -1);
        ASSERT_NE(probe, -1) << "the data set's sounds must load";
        DeleteAllSounds(0);
    }
    void TearDown() override {
        DeleteAllSounds(0);
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }

    testing_support::HeadlessMedia media_;
    std::filesystem::path previous_;
};

TEST_F(GameLoadsTheDataSet, PlaySceneSoundsOfEveryStageBand) {
    for (int stage : {0, 9, 10, 20, 30, 40, 49, 50}) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        game.scene = kScenePlay;
        game.stageNumber = stage;
        LoadSceneSounds();
        for (int i = 0; i < 4; ++i) EXPECT_GE(game.soundSlots[i], 0) << "sound slot " << i;
        for (int i = 0; i < 24; ++i) {
            if (i == 19) continue;  // slot 19 loads nothing
            EXPECT_GE(game.effectSounds[i], 0) << "effect sound " << i;
        }
        EXPECT_GE(game.stageStartSound, 0);
        EXPECT_GE(game.exitReachedSound, 0);
        EXPECT_GE(game.timeUpSound, 0);
        EXPECT_GE(game.stageMusic, 0);
        DeleteAllSounds(0);
    }
}

// The front-end scenes' sounds, by file name as the scenes ask for them.
TEST_F(GameLoadsTheDataSet, FrontEndSoundsAndEveryMusicTrack) {
    for (const char* name : {"10\\20.wav", "10\\21.wav", "10\\22.wav", "20\\1.wav", "20\\2.wav"}) {
        EXPECT_GE(LoadSound(name, 3, -1), 0) << name;
    }
    for (int n = 1; n <= 9; ++n) {
        const std::string name = "05\\" + std::to_string(n) + ".ogg";
        SetSoundLoadMode(2);
        const int handle = LoadSound(name.c_str(), 3, -1);
        SetSoundLoadMode(0);
        EXPECT_GE(handle, 0) << name;
        EXPECT_EQ(PlaySound(handle, 3, 1), 0) << name;
        EXPECT_EQ(StopSound(handle), 0) << name;
    }
}

}  // namespace
