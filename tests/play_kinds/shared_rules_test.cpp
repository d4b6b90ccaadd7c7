// The rules the creatures share, kind by kind: being knocked out, flying
// away after a crash, and expiring at the end of a lifetime.
#include "game/play/tile_map.h"
#include "tests/play_kinds/actor_world.h"

#include <gtest/gtest.h>

namespace {

using namespace actor_world;

class SharedRules : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
};

// Every kind that a shot or the beam can knock out.
constexpr int kKnockedOutKinds[] = {11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                                    23, 24, 25, 26, 27, 28, 30, 31, 32, 34};

TEST_F(SharedRules, AKnockedOutCreatureRisesAndFallsUnderAGravityOfATenthOfTwoPixels) {
    for (int kind : kKnockedOutKinds) {
        SCOPED_TRACE(kind);
        clear();
        // In open air, in the middle of the field.
        const int slot = place(kind, 300.0, 200.0, 1, 10);
        Actor& a = game.actors[slot];
        a.dying = 1;
        a.airborne = 1;
        a.vy = 3.0;
        double y = 200.0, vy = 3.0;
        for (int tick = 1; tick <= 40; ++tick) {
            runBehaviours(slot);
            y -= vy;
            vy -= 0.2;
            ASSERT_NEAR(a.y, y, 1e-9) << "tick " << tick;
            ASSERT_NEAR(a.vy, vy, 1e-9) << "tick " << tick;
            ASSERT_EQ(a.live, 1);
        }
        EXPECT_EQ(a.x, 300.0f) << "straight up and down";
        EXPECT_EQ(effectCount(33), 0);
    }
}

TEST_F(SharedRules, ACrashedCreatureFliesFivePixelsATickUpAndAwayForTwoHundredTicks) {
    for (int kind : {13, 31, 32}) {
        for (int facing : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << " facing " << facing);
            clear();
            const int slot = place(kind, 300.0, 300.0, facing, 6);
            Actor& a = game.actors[slot];
            a.dying = 1;
            a.timer = 180;  // ticks since it crashed
            const float step = facing == 1 ? -5.0f : 5.0f;
            for (int tick = 1; tick < 20; ++tick) {
                runBehaviours(slot);
                ASSERT_EQ(a.x, 300.0f + step * tick) << tick;
                ASSERT_EQ(a.y, 300.0 - 5 * tick) << tick;
                ASSERT_EQ(a.live, 1) << "timer " << a.timer;
            }
            runBehaviours(slot);
            EXPECT_EQ(a.timer, 200);
            EXPECT_EQ(a.live, 0);
        }
    }
}

// A creature with a lifetime of 5 expires on the tick its count passes 5:
// the expiry puff at its feet and the slot freed.
TEST_F(SharedRules, CreaturesExpireWhenTheirCountPassesTheirLifetime) {
    const struct {
        int kind;
        int phase;
        bool dying;
        int expiresOnTick;  // 0: never
    } cases[] = {
        {11, 0, false, 6}, {14, 1, false, 6}, {15, 2, false, 6},
        {13, 3, false, 6}, {32, 1, false, 6},
        {18, 0, false, 6}, {21, 1, false, 6}, {22, 0, false, 6}, {24, 0, false, 6}, {26, 1, false, 6},
        {30, 0, false, 6}, {31, 1, false, 6},
        {34, 0, false, 6}, {34, 10, true, 6},  // the fire walker expires even while dying
        {12, 0, false, 6}, {12, 1, false, 6},  // block walkers count their timer
        {16, 1, false, 6}, {16, 0, false, 0},  // the fast and slow ones only walking left
        {17, 1, false, 6}, {17, 0, false, 0},
        {11, 10, true, 0}, {13, 10, true, 0}, {30, 10, true, 0}, {24, 10, true, 0},
        {41, 0, false, 0},  // the homing bonus has no lifetime
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " phase " << c.phase << (c.dying ? " dying" : ""));
        clear();
        // Standing on the floor, facing into open space, far from any wall.
        const int slot = place(c.kind, 300.0, kOnFloor, c.phase == 1 ? 1 : 0, c.phase);
        Actor& a = game.actors[slot];
        a.lifetime = 5;
        a.dying = c.dying;
        a.airborne = c.dying;
        a.vy = c.dying ? 3.0 : 0.0;
        int freedOn = 0;
        for (int tick = 1; tick <= 10 && !freedOn; ++tick) {
            runBehaviours(slot);
            if (!a.live) freedOn = tick;
        }
        EXPECT_EQ(freedOn, c.expiresOnTick);
        if (c.expiresOnTick) {
            ASSERT_EQ(effectCount(33), 1);
            const Actor& puff = game.effects[0];
            EXPECT_EQ(puff.kind, 33);
            EXPECT_EQ(puff.facing, 0);
            EXPECT_EQ(puff.x, static_cast<float>(static_cast<int>(a.x)));
            EXPECT_EQ(puff.y, static_cast<double>(static_cast<int>(a.y)));
            EXPECT_EQ(a.timer, 0);
        } else {
            EXPECT_EQ(effectCount(33), 0);
        }
    }
}

}  // namespace
