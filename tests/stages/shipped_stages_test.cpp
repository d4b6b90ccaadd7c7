// Every shipped stage is cleared by its shipped solution, played headless
// from the built stage files. A change to the game logic that breaks a
// solution fails here.
#include "game/shell/replay.h"
#include "tests/stages/stage_paths.h"
#include "tools/report/script_lines.h"
#include "tools/report/solution_run.h"
#include "tools/report/stage_layout.h"
#include "tools/report/stage_report.h"
#include "tools/runner/input_script.h"
#include "tools/runner/stage_run.h"
#include "tools/stagec/stage_io.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <sstream>

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

// The stages built to the design rules of content/stages/README.md. Today's
// stages 10 to 29 are being redesigned to them; 30 to 50 follow.
constexpr int kFirstRuledStage = 10;
constexpr int kLastRuledStage = 29;

std::vector<int> ruledStages() {
    std::vector<int> stages;
    for (int stage = kFirstRuledStage; stage <= kLastRuledStage; ++stage) stages.push_back(stage);
    return stages;
}

bool bandFinale(int stage) { return stage % 5 == 4; }

std::string solutionText(int stage) {
    char name[32];
    std::snprintf(name, sizeof name, "/content/replays/%02d.script", stage);
    std::string text;
    EXPECT_TRUE(stagec::readTextFile(sourceDir() + name, text)) << name;
    return text;
}

report::Layout layout(int stage) {
    std::string note;
    report::Layout l = report::layoutOf(stagec::readStageFiles(dataDir() + "/01", stage, &note));
    EXPECT_EQ(note, "") << stage;
    return l;
}

// A player who hesitates loses time, not a life: a wait of 4 ticks before
// at least 80 % of the solution's lines still clears the stage. And the
// route climbs: through 5 rows at least, 7 in a band finale.
class RuledStage : public ::testing::TestWithParam<int> {};

TEST_P(RuledStage, ItsSolutionHasSlackAndItsRouteUsesTheField) {
    const int stage = GetParam();
    const std::string script = solutionText(stage);
    report::SolutionRun run;
    std::string error;
    ASSERT_TRUE(run.start(dataDir(), script, stage, error)) << error;
    ASSERT_TRUE(run.cleared()) << run.result().line();
    const size_t lines = report::commandLines(script).size();
    std::vector<int> failing;
    const int clear = report::clearsWithWaitBefore(run, script, 4, &failing);
    std::ostringstream where;
    for (int line : failing) where << ' ' << line;
    EXPECT_GE(clear * 10, static_cast<int>(lines) * 8)
        << "stage " << stage << ": " << clear << " of " << lines << " lines clear with a wait of 4 before them;"
        << " these do not:" << where.str();
    EXPECT_GE(run.watch().rows(), bandFinale(stage) ? 7 : 5) << "stage " << stage;
}

INSTANTIATE_TEST_SUITE_P(Stages, RuledStage, ::testing::ValuesIn(ruledStages()));

// The whole field is used and no layout repeats: at most 3 fully solid rows
// among rows 2..13, no two stages sharing more than 60 % of their solid
// cells, at most 8 out-and-back stages and never two in a row.
TEST(RuledStages, UseTheFieldAndNeverRepeatALayout) {
    std::vector<report::Layout> layouts;
    for (int stage : ruledStages()) {
        layouts.push_back(layout(stage));
        EXPECT_LE(layouts.back().fullRows, 3) << "stage " << stage;
    }
    for (size_t a = 0; a < layouts.size(); ++a)
        for (size_t b = a + 1; b < layouts.size(); ++b)
            EXPECT_LE(report::jaccard(layouts[a], layouts[b]), 0.6)
                << "stages " << kFirstRuledStage + a << " and " << kFirstRuledStage + b;
    int outAndBack = 0;
    bool before = layout(kFirstRuledStage - 1).outAndBack();
    for (size_t i = 0; i < layouts.size(); ++i) {
        bool now = layouts[i].outAndBack();
        outAndBack += now;
        EXPECT_FALSE(before && now) << "stages " << kFirstRuledStage + i - 1 << " and " << kFirstRuledStage + i
                                    << " are both out and back";
        before = now;
    }
    EXPECT_LE(outAndBack, 8);
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
