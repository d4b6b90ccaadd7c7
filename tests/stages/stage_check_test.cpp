// The design checks of the stage compiler.
#include "tools/stagec/stage_text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using stagec::cellIndex;
using stagec::StageData;

bool mentions(const std::vector<std::string>& problems, const std::string& part) {
    return std::any_of(problems.begin(), problems.end(),
                       [&](const std::string& p) { return p.find(part) != std::string::npos; });
}

TEST(StageCheck, ThePlaceholderIsSound) {
    EXPECT_EQ(stagec::checkStage(stagec::placeholderStage()), std::vector<std::string>{});
}

TEST(StageCheck, PlayerStarts) {
    StageData d = stagec::placeholderStage();
    d.blocks[cellIndex(2, 13)] = 0;
    EXPECT_TRUE(mentions(stagec::checkStage(d), "no player start"));
    d.blocks[cellIndex(2, 13)] = 100;
    d.blocks[cellIndex(4, 13)] = 100;
    EXPECT_TRUE(mentions(stagec::checkStage(d), "2 player starts"));
}

TEST(StageCheck, KeyAndExit) {
    StageData d = stagec::placeholderStage();
    d.blocks[cellIndex(9, 12)] = 0;
    EXPECT_TRUE(mentions(stagec::checkStage(d), "no key"));
    // A key hidden in a block counts.
    d.blocks[cellIndex(5, 13)] = 2;
    d.hidden[cellIndex(5, 13)] = 107;
    EXPECT_FALSE(mentions(stagec::checkStage(d), "no key"));
    d.blocks[cellIndex(17, 13)] = 0;
    EXPECT_TRUE(mentions(stagec::checkStage(d), "no exit"));
}

TEST(StageCheck, TooManyPlacements) {
    StageData d = stagec::placeholderStage();
    int placed = 3;  // start, key, exit: two placements
    for (int c = 20; c < 40 && placed < 102; ++c)
        for (int r = 0; r < 15 && placed < 102; ++r, ++placed) d.blocks[cellIndex(c, r)] = 143;
    // 2 + 99 = 101 placements
    EXPECT_TRUE(mentions(stagec::checkStage(d), "101 placements"));
    d.blocks[cellIndex(20, 0)] = 0;
    EXPECT_FALSE(mentions(stagec::checkStage(d), "placements"));
}

TEST(StageCheck, SpawnerScriptsNeedARestart) {
    StageData d = stagec::placeholderStage();
    int cell = cellIndex(5, 10);
    d.blocks[cell] = 135;
    for (int e = 0; e < 10; ++e) d.record(cell)[e] = 12;
    EXPECT_TRUE(mentions(stagec::checkStage(d), "cell 5,10 has no restart"));
    d.record(cell)[9] = 0;
    EXPECT_EQ(stagec::checkStage(d), std::vector<std::string>{});
    // Script data in a cell without a spawner mean nothing.
    d.record(cell)[9] = 12;
    d.blocks[cell] = 0;
    EXPECT_EQ(stagec::checkStage(d), std::vector<std::string>{});
}

TEST(StageCheck, TheFieldMustBeClosed) {
    StageData d = stagec::placeholderStage();
    d.blocks[cellIndex(19, 1)] = 0;
    auto problems = stagec::checkStage(d);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "the field is not closed: cell 19,1 is not a solid block");
    d = stagec::placeholderStage();
    d.blocks[cellIndex(7, 14)] = 2;  // breakable: the player could dig through
    EXPECT_TRUE(mentions(stagec::checkStage(d), "cell 7,14 is not a solid block"));
    d = stagec::placeholderStage();
    d.blocks[cellIndex(0, 0)] = 0;
    EXPECT_TRUE(mentions(stagec::checkStage(d), "cell 0,0"));
}

}  // namespace
