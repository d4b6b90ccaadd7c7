#include "game/state/globals.h"
#include "game/state/high_scores.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void setScores(std::initializer_list<int> scores) {
    std::memset(game.highScores, 0, sizeof game.highScores);
    int r = 0;
    for (int s : scores) {
        game.highScores[r] = {s, r + 1};
        ++r;
    }
}

TEST(InsertHighScore, EqualScoreGoesBelowAndLastRowDrops) {
    setScores({900, 500, 100, 90, 80, 70, 60, 50, 40, 30});
    InsertHighScore(500, 7);
    EXPECT_EQ(game.highScores[1].score, 500);
    EXPECT_EQ(game.highScores[1].stageReached, 2);  // the old row stays above
    EXPECT_EQ(game.highScores[2].score, 500);
    EXPECT_EQ(game.highScores[2].stageReached, 8);  // stageNumber + 1
    EXPECT_EQ(game.highScores[3].score, 100);
    EXPECT_EQ(game.highScores[9].score, 40);        // 30 fell off
}

TEST(InsertHighScore, ZeroIntoNonNegativeTableChangesNothing) {
    setScores({900, 500});
    HighScoreEntry before[10];
    std::memcpy(before, game.highScores, sizeof before);
    InsertHighScore(0, 3);
    EXPECT_EQ(std::memcmp(before, game.highScores, sizeof before), 0);
}

TEST(InsertHighScore, BestScoreTakesTheTopRow) {
    setScores({900, 500});
    InsertHighScore(1000, 50);
    EXPECT_EQ(game.highScores[0].score, 1000);
    EXPECT_EQ(game.highScores[0].stageReached, 51);
    EXPECT_EQ(game.highScores[1].score, 900);
    EXPECT_EQ(game.highScores[2].score, 500);
}

}  // namespace
