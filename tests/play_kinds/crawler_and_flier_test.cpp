#include "game/play/actor_kinds.h"
#include "game/play/tile_map.h"
#include "tests/play_kinds/actor_world.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>

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

// The crawlers' turn tests as the rules state them: for each direction three
// tests of a point that must be solid and two that must be empty, relative to
// the crawler after its step; kind 14 looks closer in. Kept apart from the
// game's own table so the two can be compared.
struct ModelPoint {
    int dx, dy;
};
struct ModelTest {
    ModelPoint solid, empty1, empty2;
    int phase, pose;
};

std::array<std::array<ModelTest, 3>, 4> modelTurns(int kind) {
    std::array<std::array<ModelTest, 3>, 4> t = {{
        {{{{-13, -3}, {-12, -3}, {12, -3}, 3, 1},
          {{-13, -29}, {-12, -29}, {13, -29}, 1, 0},
          {{13, -16}, {12, -29}, {-12, -29}, 1, 0}}},
        {{{{13, -3}, {13, -4}, {13, -28}, 0, 0},
          {{-13, -3}, {-13, -4}, {-13, -28}, 2, 1},
          {{0, -29}, {-13, -4}, {-13, -28}, 2, 1}}},
        {{{{13, -29}, {12, -29}, {-12, -29}, 1, 0},
          {{13, -3}, {-12, -3}, {12, -3}, 3, 1},
          {{-13, -16}, {12, -3}, {-12, -3}, 3, 1}}},
        {{{{-13, -29}, {-13, -28}, {-13, -3}, 2, 1},
          {{13, -29}, {13, -4}, {13, -28}, 0, 0},
          {{0, -3}, {13, -4}, {13, -28}, 0, 0}}},
    }};
    if (kind != 14) return t;
    // Right and left: the horizontal offsets 12 and 13 of the empty tests
    // become 11.
    for (int d : {0, 2})
        for (ModelTest& test : t[static_cast<size_t>(d)])
            for (ModelPoint* e : {&test.empty1, &test.empty2})
                if (e->dx == 12 || e->dx == 13) e->dx = 11;
                else if (e->dx == -12 || e->dx == -13) e->dx = -11;
    // Up and down: the empty tests' heights.
    const int heights[2][3][2] = {{{-5, -28}, {-5, -28}, {-4, -27}}, {{-27, -3}, {-4, -27}, {-5, -28}}};
    for (int k = 0; k < 3; ++k) {
        t[1][static_cast<size_t>(k)].empty1.dy = heights[0][k][0];
        t[1][static_cast<size_t>(k)].empty2.dy = heights[0][k][1];
        t[3][static_cast<size_t>(k)].empty1.dy = heights[1][k][0];
        t[3][static_cast<size_t>(k)].empty2.dy = heights[1][k][1];
    }
    return t;
}

bool modelSolid(double px, double py) {
    const int x = static_cast<int>(px), y = static_cast<int>(py);
    return cell(x / 32, y / 32) != kBlockEmpty;
}

// One tick of a crawler by the rules: the step, then the turn tests, a later
// test that holds overriding an earlier one; the slow one tests only on
// whole pixels.
void modelCrawl(int kind, double& x, double& y, int& phase, int& pose) {
    const double step = kind == 14 ? 2.0 : kind == 15 ? 0.5 : 1.0;
    const float fx = static_cast<float>(x);
    switch (phase) {
        case 0: x = static_cast<float>(fx + step); break;
        case 1: y -= step; break;
        case 2: x = static_cast<float>(fx - step); break;
        case 3: y += step; break;
        default: return;
    }
    if (kind == 15 && (static_cast<int>(x * 10) % 10 != 0 || static_cast<int>(y * 10) % 10 != 0)) return;
    const auto table = modelTurns(kind);
    const int direction = phase;
    for (const ModelTest& test : table[static_cast<size_t>(direction)]) {
        if (modelSolid(x + test.solid.dx, y + test.solid.dy) && !modelSolid(x + test.empty1.dx, y + test.empty1.dy) &&
            !modelSolid(x + test.empty2.dx, y + test.empty2.dy)) {
            phase = test.phase;
            pose = test.pose;
        }
    }
}

// Thousands of random block layouts around a crawler: after one tick its
// position, direction and pose agree with the rules, for each kind.
TEST_F(Crawlers, EveryTurnTestOfEveryCrawlerAgreesWithTheRules) {
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    int turns[3] = {0, 0, 0};
    const int kinds[] = {11, 14, 15};
    for (int trial = 0; trial < 150000; ++trial) {
        const int k = trial % 3;
        const int kind = kinds[k];
        clear();
        // A 5 x 5 block of random cells around cell (10, 6).
        for (int column = 8; column <= 12; ++column)
            for (int row = 4; row <= 8; ++row)
                if (next() % 2) setCell(column, row, kBlockSolid);
        double x = 10 * 32 + static_cast<int>(next() % 32);
        double y = 6 * 32 + static_cast<int>(next() % 32);
        if (kind == 15 && next() % 2) (next() % 2 ? x : y) += 0.5;
        int phase = static_cast<int>(next() % 4), pose = static_cast<int>(next() % 2);
        const int slot = place(kind, x, y, 0, phase);
        Actor& a = game.actors[slot];
        a.pose = static_cast<int16_t>(pose);
        updateWallCrawler(slot);
        const int before = phase;
        modelCrawl(kind, x, y, phase, pose);
        turns[k] += phase != before;
        ASSERT_EQ(a.phase, phase) << "kind " << kind << " trial " << trial;
        ASSERT_EQ(a.pose, pose) << "kind " << kind << " trial " << trial;
        ASSERT_EQ(a.x, static_cast<float>(x)) << "kind " << kind << " trial " << trial;
        ASSERT_EQ(a.y, y) << "kind " << kind << " trial " << trial;
    }
    for (int k = 0; k < 3; ++k) EXPECT_GT(turns[k], 1000) << "enough turns of kind " << kinds[k];
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

// The slow fliers move half a pixel a tick and look for a wall only when
// they stand on a whole pixel: the turn comes half a pixel after the probe
// first meets the block.
TEST_F(Fliers, SlowFliersTurnOnlyOnWholePixels) {
    const struct {
        int kind;
        bool vertical;
        int facingAfter;  // on the way back
    } kinds[] = {{22, true, 0}, {23, true, 0}, {26, false, 0}};
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.kind);
        clear();
        int slot;
        if (k.vertical) {
            setCell(3, 5, kBlockSolid);  // a ceiling: bottom row of pixels at y = 191
            slot = place(k.kind, 100, 230, 0, 0);
        } else {
            setCell(3, 13, kBlockSolid);  // a wall: right column of pixels at x = 127
            slot = place(k.kind, 180, kOnFloor, 1, 0);
        }
        Actor& a = game.actors[slot];
        double last = k.vertical ? a.y : a.x;
        int ticks = 0;
        while (a.frame == 0 && ticks < 200) {
            updateVerticalFlier(slot);
            updateHorizontalFlier(slot);
            const double now = k.vertical ? a.y : a.x;
            if (a.frame == 0) ASSERT_EQ(std::abs(now - last), 0.5) << "half a pixel a tick";
            last = now;
            ++ticks;
        }
        // The probe (y - 32 or x - 17) met the block half a pixel earlier.
        if (k.vertical)
            EXPECT_EQ(a.y, 223.0);
        else
            EXPECT_EQ(a.x, 144.0f);
        EXPECT_EQ(a.frame, 10);
        for (int tick = 0; tick < 11; ++tick) {
            updateVerticalFlier(slot);
            updateHorizontalFlier(slot);
        }
        EXPECT_EQ(a.facing, k.facingAfter);
        if (k.vertical)
            EXPECT_EQ(a.y, 223.5);
        else
            EXPECT_EQ(a.x, 144.5f);
    }
}

TEST_F(Fliers, EachFlierFliesAtItsOwnSpeed) {
    const struct {
        int kind;
        int phase;
        double dx, dy;
        int facing;
    } kinds[] = {
        {18, 0, 0, -1, 1}, {19, 1, 0, 1, 0},  {20, 0, 0, -2, 1},  {21, 1, 0, 2, 0},
        {22, 0, 0, -0.5, 1}, {23, 1, 0, 0.5, 0}, {24, 0, -1, 0, 1}, {24, 1, 1, 0, 0},
        {25, 0, -2, 0, 1},  {25, 1, 2, 0, 0},  {26, 0, -0.5, 0, 1}, {26, 1, 0.5, 0, 0},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(testing::Message() << "kind " << k.kind << " phase " << k.phase);
        clear();
        const int slot = place(k.kind, 300, 300, 1 - k.facing, k.phase);
        for (int tick = 0; tick < 4; ++tick) {
            updateVerticalFlier(slot);
            updateHorizontalFlier(slot);
        }
        const Actor& a = game.actors[slot];
        EXPECT_EQ(a.x, static_cast<float>(300 + 4 * k.dx));
        EXPECT_EQ(a.y, 300 + 4 * k.dy);
        EXPECT_EQ(a.facing, k.facing);
        EXPECT_EQ(a.halfWidth, 6);
        EXPECT_EQ(a.height, 25);
        EXPECT_EQ(a.depth, 0);
    }
}

TEST_F(Fliers, FastVerticalFlierMovesTwoPixelsATick) {
    const int slot = place(20, 100, 300, 0, 1);
    updateVerticalFlier(slot);
    EXPECT_EQ(game.actors[slot].y, 302.0);
    EXPECT_EQ(game.actors[slot].facing, 0);
}

}  // namespace
