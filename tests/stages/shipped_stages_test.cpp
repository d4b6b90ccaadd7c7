// Every shipped stage is cleared by its shipped solution, played headless
// from the built stage files. A change to the game logic that breaks a
// solution fails here.
#include "game/shell/replay.h"
#include "tests/stages/stage_paths.h"
#include "tools/runner/input_script.h"
#include "tools/runner/stage_run.h"
#include "tools/stagec/stage_io.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <filesystem>

namespace {

// Each stage fits the timer with room to spare: its solution needs at most
// 60 % of it (the countdown before play does not count).
constexpr long kTimerTicks = 9999;

using stage_paths::dataDir;
using stage_paths::sourceDir;

using stage_paths::shippedStages;

bool shipped(int stage) {
    auto s = shippedStages();
    return std::find(s.begin(), s.end(), stage) != s.end();
}

Replay solution(int stage) {
    input_script::Result r = stage_paths::solution(stage);
    for (const std::string& e : r.errors) ADD_FAILURE() << e;
    return r.replay;
}

stage_run::Result run(const Replay& replay) {
    std::string error;
    EXPECT_TRUE(stage_run::startStage(dataDir(), replay.start, error)) << error;
    return stage_run::play(replay, -1);
}

class ShippedStage : public ::testing::TestWithParam<int> {};

TEST_P(ShippedStage, ItsSolutionClearsIt) {
    Replay replay = solution(GetParam());
    ASSERT_EQ(replay.start.stage, GetParam());
    stage_run::Result result = run(replay);
    EXPECT_EQ(result.outcome, stage_run::Outcome::Cleared) << result.line();
    EXPECT_LE(result.tick - input_script::kReadyTicks, kTimerTicks * 6 / 10) << result.line();
}

TEST_P(ShippedStage, TheOutcomeAndHashAreTheSameEveryRun) {
    Replay replay = solution(GetParam());
    // Through the file format too: the shipped form of a solution.
    std::vector<unsigned char> bytes = encodeReplay(replay);
    Replay decoded;
    std::string error;
    ASSERT_TRUE(decodeReplay(bytes.data(), bytes.size(), decoded, error)) << error;
    stage_run::Result first = run(replay);
    stage_run::Result second = run(decoded);
    EXPECT_EQ(first.line(), second.line());
    EXPECT_EQ(first.hash, second.hash);
}

INSTANTIATE_TEST_SUITE_P(Stages, ShippedStage, ::testing::ValuesIn(shippedStages()));

TEST(Runner, AnEmptyInputStaysRunningAndAStageWithoutFilesIsRefused) {
    Replay idle;
    idle.start.stage = 0;
    std::string error;
    ASSERT_TRUE(stage_run::startStage(dataDir(), idle.start, error)) << error;
    stage_run::Result r = stage_run::play(idle, 300);
    EXPECT_EQ(r.outcome, stage_run::Outcome::StillRunning);
    EXPECT_EQ(r.tick, 300);
    EXPECT_EQ(r.line().rfind("still running after tick 300, score 0, state hash ", 0), 0u) << r.line();

    idle.start.stage = 99;
    EXPECT_FALSE(stage_run::startStage(dataDir(), idle.start, error));
    EXPECT_NE(error.find("99.dat"), std::string::npos);
}

TEST(Runner, StandingStillRunsOutOfTime) {
    Replay idle;
    std::string error;
    ASSERT_TRUE(stage_run::startStage(dataDir(), idle.start, error)) << error;
    stage_run::Result r = stage_run::play(idle, 20000);
    EXPECT_EQ(r.outcome, stage_run::Outcome::TimedOut);
    // 124 countdown ticks, then 9999 ticks of play.
    EXPECT_EQ(r.tick, input_script::kReadyTicks + kTimerTicks);
    EXPECT_EQ(r.line().rfind("timed out at tick 10123, score 0", 0), 0u) << r.line();

    idle.start.noTimeLimit = 1;
    ASSERT_TRUE(stage_run::startStage(dataDir(), idle.start, error));
    EXPECT_EQ(stage_run::play(idle, 11000).outcome, stage_run::Outcome::StillRunning);
}

// Every stage of the game is designed now: none is left to the plain
// key-and-exit room, and each built stage reads back cleanly and passes the
// design check.
TEST(Shipped, EveryStageOfTheGameIsDesignedAndSound) {
    for (int stage = 0; stage <= 50; ++stage) {
        EXPECT_TRUE(shipped(stage)) << "stage " << stage << " has no source";
        std::string note;
        stagec::StageData d = stagec::readStageFiles(dataDir() + "/01", stage, &note);
        EXPECT_EQ(note, "") << stage;
        EXPECT_EQ(stagec::checkStage(d), std::vector<std::string>{}) << stage;
    }
}

}  // namespace
