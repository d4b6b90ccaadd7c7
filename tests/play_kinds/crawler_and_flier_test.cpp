#include "game/play/actor_kinds.h"
#include "game/play/tile_map.h"
#include "tests/play_kinds/actor_world.h"

#include <gtest/gtest.h>

namespace {

using namespace actor_world;

class Crawlers : public ::testing::Test {
protected:
    void SetUp() override {
        clear();
        // A wall three cells high standing on the floor: column 8, rows 11..13.
        for (int row = 11; row <= 13; ++row) setCell(8, row, kBlockSolid);
    }
};

TEST_F(Crawlers, CrawlerClimbsOverAWallAndCarriesOnAlongTheFloor) {
    const int slot = place(11, 200, kOnFloor, 0, 0);
    Actor& a = game.actors[slot];
    std::vector<int> turns;
    int firstUpAt = -1;
    for (int tick = 0; tick < 400; ++tick) {
        const int before = a.phase;
        updateWallCrawler(slot);
        if (a.phase != before) {
            turns.push_back(a.phase);
            if (a.phase == 1 && firstUpAt < 0) firstUpAt = static_cast<int>(a.x);
        }
    }
    EXPECT_EQ(turns, (std::vector<int>{1, 0, 3, 0}));
    EXPECT_EQ(firstUpAt, 256 - 13) << "it turns up when x + 13 enters the wall's column";
    EXPECT_EQ(a.phase, 0);
    EXPECT_GT(a.x, 288.0f);
    EXPECT_EQ(a.y, 32.0 * kFloorRow + 3);
    EXPECT_EQ(a.live, 1);
}

TEST_F(Crawlers, CrawlerWithNothingNearMovesStraightAndNeverFalls) {
    const int slot = place(11, 100, 200, 0, 2);  // in mid-air, moving left
    for (int tick = 0; tick < 50; ++tick) updateWallCrawler(slot);
    EXPECT_EQ(game.actors[slot].phase, 2);
    EXPECT_EQ(game.actors[slot].x, 50.0f);
    EXPECT_EQ(game.actors[slot].y, 200.0);
}

TEST_F(Crawlers, SlowCrawlerOffWholePixelsDoesNotTurnUntilItIsOnThemAgain) {
    const int slot = place(15, 200.25, kOnFloor, 0, 0);
    Actor& a = game.actors[slot];
    while (a.x < 260) updateWallCrawler(slot);
    EXPECT_EQ(a.phase, 0) << "off whole pixels it runs into the wall without turning";
    // Back on whole pixels just as x + 13 enters the wall's column, it turns.
    a.x = 242.5f;
    updateWallCrawler(slot);
    EXPECT_EQ(a.x, 243.0f);
    EXPECT_EQ(a.phase, 1);
}

TEST_F(Crawlers, CrawlerExpiresIntoAPuff) {
    const int slot = place(11, 100, 200, 0, 0);
    game.actors[slot].lifetime = 3;
    for (int tick = 0; tick < 3; ++tick) updateWallCrawler(slot);
    EXPECT_EQ(game.actors[slot].live, 1);
    updateWallCrawler(slot);
    EXPECT_EQ(game.actors[slot].live, 0);
    EXPECT_EQ(effectCount(33), 1);
}

class Fliers : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
};

TEST_F(Fliers, VerticalFlierPausesTenTicksAtTheCeilingAndBreaksABreakableFloor) {
    setCell(3, 5, kBlockSolid);                  // ceiling, bottom at y = 191
    setCell(3, kFloorRow, kBlockBreakable, 143);  // floor under it hides an item
    const int slot = place(18, 100, kOnFloor - 1, 0, 0);
    Actor& a = game.actors[slot];
    while (a.phase == 0) updateVerticalFlier(slot);
    EXPECT_EQ(a.y, 223.0) << "it turns when y - 32 meets the ceiling";
    EXPECT_EQ(cell(3, 5), kBlockSolid);
    for (int tick = 0; tick < 10; ++tick) updateVerticalFlier(slot);
    EXPECT_EQ(a.y, 223.0);
    updateVerticalFlier(slot);
    EXPECT_EQ(a.y, 224.0);
    while (a.phase == 1) updateVerticalFlier(slot);
    EXPECT_EQ(a.y, kOnFloor);
    EXPECT_EQ(cell(3, kFloorRow), kBlockEmpty);
    EXPECT_EQ(liveCount(43), 1);
}

TEST_F(Fliers, HorizontalFlierTurnsAtAWallAndBreaksIt) {
    setCell(5, 13, kBlockBreakable);
    const int slot = place(24, 300, kOnFloor, 0, 0);
    Actor& a = game.actors[slot];
    while (a.phase == 0) updateHorizontalFlier(slot);
    EXPECT_EQ(a.x, 208.0f);
    EXPECT_EQ(cell(5, 13), kBlockEmpty);
    EXPECT_EQ(a.frame, 10);
}

TEST_F(Fliers, FastVerticalFlierMovesTwoPixelsATick) {
    const int slot = place(20, 100, 300, 0, 1);
    updateVerticalFlier(slot);
    EXPECT_EQ(game.actors[slot].y, 302.0);
    EXPECT_EQ(game.actors[slot].facing, 0);
}

}  // namespace
