#include "game/scenes/front_end_framework.h"
#include "media/core/area_hooks.h"
#include "tests/scenes/scene_driver.h"
#include "tests/support/test_support.h"
#include "tools/moviegen/movie_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace scene_test;

void RecordFile(const char* fileName, double, void* context) {
    static_cast<std::vector<std::string>*>(context)->push_back(fileName);
}

// Each scene plays its own file: four small movies in a folder 25 of their
// own, and the name of every frame the player was shown.
TEST(MovieScenes, EachScenePlaysItsOwnFile) {
    testing_support::ScratchDirectory scratch("movie_files");
    std::filesystem::create_directory("25");
    for (int n = 0; n < 4; ++n) {
        moviegen::MovieWriter writer;
        ASSERT_TRUE(writer.Open("25/" + std::to_string(n) + ".avi", 32, 32, 30));
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(writer.Add(std::vector<uint32_t>(32 * 32, 0xFF808080u)));
        ASSERT_TRUE(writer.Close());
    }
    const struct {
        int scene;
        const char* file;
    } kMovies[] = {{kSceneStartupMovie, "25\\0.avi"},
                   {kSceneOpeningMovie, "25\\1.avi"},
                   {kSceneEndingMovie, "25\\2.avi"},
                   {kSceneMidGameMovie, "25\\3.avi"}};
    std::vector<std::string> shown;
    media::movies::SetFrameObserver(RecordFile, &shown);
    for (const auto& movie : kMovies) {
        SCOPED_TRACE(movie.file);
        startIn(movie.scene);
        shown.clear();
        tick();
        ASSERT_FALSE(shown.empty()) << "no movie played";
        for (const std::string& name : shown) EXPECT_EQ(name, movie.file);
    }
    media::movies::SetFrameObserver(nullptr, nullptr);
}

TEST(MovieScenes, StartupMovieHandsOverToTheTitle) {
    startIn(kSceneStartupMovie);
    tick();
    EXPECT_EQ(game.scene, kSceneTitle);
    EXPECT_EQ(game.sceneFrame, 0);  // the title's entry ran
    tick();
    EXPECT_EQ(game.sceneFrame, 1);
}

TEST(MovieScenes, OpeningMovieStartsANormalGame) {
    startIn(kSceneOpeningMovie);
    game.stageSelectMode = 1;
    game.stageNumber = 0;
    tick();
    EXPECT_EQ(game.scene, kScenePlay);
    EXPECT_EQ(game.stageSelectMode, 0);
    EXPECT_EQ(game.stageNumber, 0);
}

TEST(MovieScenes, MidGameMovieResumesPlayAtTheSameStage) {
    startIn(kSceneMidGameMovie);
    game.stageNumber = 30;
    game.score = 777;
    tick();
    EXPECT_EQ(game.scene, kScenePlay);
    EXPECT_EQ(game.stageNumber, 30);
    EXPECT_EQ(game.score, 777);
}

TEST(MovieScenes, EndingRanksTheScoreWithStageReached52AndKeepsIt) {
    startIn(kSceneEndingMovie);
    game.highScores[0] = {90000, 40};
    game.highScores[1] = {100, 3};
    game.score = 12345;
    game.stageNumber = 51;
    tick();
    EXPECT_EQ(game.scene, kSceneTitle);
    EXPECT_EQ(game.highScores[0].score, 90000);
    EXPECT_EQ(game.highScores[1].score, 12345);
    EXPECT_EQ(game.highScores[1].stageReached, 52);
    EXPECT_EQ(game.highScores[2].score, 100);
    EXPECT_EQ(game.score, 12345);  // the next new game clears it
}

}  // namespace
