// The designed stages are puzzles: no naive way of playing clears them.
// Every stage from 10 on that has a source is played with a handful of
// fixed input patterns; none may reach the exit.
#include "game/shell/replay.h"
#include "tests/stages/stage_paths.h"
#include "tools/runner/input_script.h"
#include "tools/runner/stage_run.h"
#include "tools/stagec/stage_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kFirstPuzzleStage = 10;
// Long enough to cross the field several times, well short of the timer.
constexpr long kNaiveTicks = 3000;

using stage_paths::dataDir;
using stage_paths::sourceDir;

std::vector<int> puzzleStages() { return stage_paths::shippedStages(kFirstPuzzleStage); }

// The column of the first cell (in scan order) holding `code`, placed or
// hidden in a block.
int columnOf(const stagec::StageData& d, int32_t code) {
    for (int cell = 0; cell < stagec::kCells; ++cell)
        if (d.blocks[cell] == code || d.hidden[cell] == code) return cell / stagec::kRows;
    return -1;
}

struct Naive {
    std::string name;
    std::string script;
};

std::string repeat(int times, const std::string& body) {
    return "repeat " + std::to_string(times) + "\n" + body + "end\n";
}

// Walk from the start column to `column` (by its centre) and hold there.
std::string walkTo(int& x, int column) {
    int target = column * 32 + 16;
    int dx = target - x;
    x = target;
    if (dx == 0) return "";
    return std::string(dx > 0 ? "right " : "left ") + std::to_string(dx > 0 ? dx : -dx) + "\n";
}

std::vector<Naive> naiveScripts(int stage) {
    std::string note;
    stagec::StageData d = stagec::readStageFiles(dataDir() + "/01", stage, &note);
    int start = columnOf(d, 100), key = columnOf(d, 107), exit = columnOf(d, 108);
    std::vector<Naive> scripts;
    std::string ticks = std::to_string(kNaiveTicks);
    scripts.push_back({"hold right", "ready\nright " + ticks + "\n"});
    scripts.push_back({"hold left", "ready\nleft " + ticks + "\n"});
    scripts.push_back({"jump in place", "ready\n" + repeat(60, "jump\nwait 49\n")});
    scripts.push_back({"walk and jump right", "ready\n" + repeat(60, "jump right 50\n")});
    scripts.push_back({"walk and jump left", "ready\n" + repeat(60, "jump left 50\n")});
    if (start >= 0 && key >= 0 && exit >= 0) {
        int x = start * 32 + 16;
        std::string toKey = walkTo(x, key);
        int xBack = x;
        std::string back = walkTo(xBack, start);
        std::string toExit = walkTo(x, exit);
        scripts.push_back({"to the key's column and back", "ready\n" + toKey + "wait 300\n" + back});
        scripts.push_back({"to the key's column, then the exit's", "ready\n" + toKey + "wait 300\n" + toExit});
    }
    return scripts;
}

class PuzzleStage : public ::testing::TestWithParam<int> {};

TEST_P(PuzzleStage, NaivePlayDoesNotClearIt) {
    const int stage = GetParam();
    std::vector<Naive> scripts = naiveScripts(stage);
    ASSERT_EQ(scripts.size(), 7u) << "stage " << stage << " has no start, key or exit";
    for (const Naive& naive : scripts) {
        input_script::Result r = input_script::compile(naive.script, naive.name);
        ASSERT_TRUE(r.ok()) << r.errors[0];
        r.replay.start.stage = stage;
        std::string error;
        ASSERT_TRUE(stage_run::startStage(dataDir(), r.replay.start, error)) << error;
        stage_run::Result result = stage_run::play(r.replay, input_script::kReadyTicks + kNaiveTicks);
        EXPECT_NE(result.outcome, stage_run::Outcome::Cleared) << "stage " << stage << ", " << naive.name << ": "
                                                              << result.line();
    }
}

INSTANTIATE_TEST_SUITE_P(Stages, PuzzleStage, ::testing::ValuesIn(puzzleStages()));

TEST(PuzzleStages, EveryStageFrom10To50IsDesigned) {
    std::vector<int> stages = puzzleStages();
    for (int stage = 10; stage <= 50; ++stage)
        EXPECT_TRUE(std::find(stages.begin(), stages.end(), stage) != stages.end()) << "stage " << stage;
}

// Placed actor kinds of stages 10 to 50: in the block layer or hidden in a
// block (a bonus key brings its homing bonus with it). Every placeable kind
// from 11 to 49 is met somewhere; the cannon shot and the flame are made by
// their makers. Read from the compiled stage files, as the game reads them.
TEST(PuzzleStages, EveryCreatureAndItemIsMetFromStage10On) {
    std::set<int> placeable;
    for (int kind = 11; kind <= 49; ++kind)
        if (kind != 29 && kind != 33) placeable.insert(kind);
    std::set<int> met;
    for (int stage = 10; stage <= 50; ++stage) {
        std::string note;
        stagec::StageData d = stagec::readStageFiles(dataDir() + "/01", stage, &note);
        EXPECT_EQ(note, "") << "stage " << stage;
        for (int cell = 0; cell < stagec::kCells; ++cell)
            for (int32_t code : {d.blocks[cell], d.hidden[cell]})
                if (placeable.count(code - 100)) met.insert(code - 100);
    }
    if (met.count(42)) met.insert(41);
    std::string missing;
    for (int kind : placeable)
        if (!met.count(kind)) missing += " " + std::to_string(kind);
    EXPECT_EQ(missing, "") << "met " << met.size() << " of " << placeable.size();
}

}  // namespace
