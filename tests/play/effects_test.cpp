// Effect behaviours: the key spark's flight, sparks snapped to their cell,
// debris, the spell start and the spell ending.
#include "game/play/effects.h"
#include "tests/play/play_fixture.h"

using namespace play_testing;

namespace {

class EffectsTest : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        stage_builder::StageBuilder().load();
        game.startCounter = 0;
    }
    static void run(int slot, int ticks) {
        for (int i = 0; i < ticks; ++i) updateEffect(slot);
    }
    static Actor& putExit(int slot, float x, double y) {
        Actor& a = game.actors[slot];
        a.live = 1;
        a.kind = kKindExit;
        a.x = x;
        a.y = y;
        a.phase = 0;
        return a;
    }
};

TEST_F(EffectsTest, KeySparkRisesJumpsToTheLastExitAndFallsOntoIt) {
    Actor& first = putExit(2, 200, 415);
    Actor& last = putExit(5, 500, 351);
    int slot = spawnEffect(100, 300, kEffectKeySpark, 0);
    Actor& spark = game.effects[slot];
    run(slot, 1);
    EXPECT_DOUBLE_EQ(spark.y, 290);
    run(slot, 40);
    EXPECT_DOUBLE_EQ(spark.y, -110);  // first above -100
    EXPECT_EQ(spark.phase, 1);
    EXPECT_FLOAT_EQ(spark.x, 500);
    EXPECT_EQ(spark.height, 351);
    EXPECT_EQ(liveEffects(28), 1);  // the rising streak of tick 2
    EXPECT_EQ(liveEffects(27), 4);  // a trail piece on ticks 8, 18, 28 and 38
    // Falls until within 50 pixels above the exit's feet: y > 301.
    int ticks = 0;
    while (spark.kind == kEffectKeySpark && ticks < 100) {
        run(slot, 1);
        ++ticks;
    }
    EXPECT_EQ(ticks, 42);  // -110 + 42 * 10 = 310 > 301
    EXPECT_EQ(spark.kind, kEffectKeyArrival);
    EXPECT_DOUBLE_EQ(spark.y, 330);
    EXPECT_EQ(spark.timer, 1);
    EXPECT_EQ(first.phase, 1);
    EXPECT_EQ(last.phase, 1);
    EXPECT_EQ(game.freezeCounter, 24);
    EXPECT_EQ(game.shakeTimerX, 20);
    EXPECT_EQ(game.shakeTimerY, 20);
    EXPECT_EQ(soundCount(31), 1);
    run(slot, 22);
    EXPECT_EQ(spark.live, 1);
    EXPECT_EQ(spark.persist, 1);
    run(slot, 1);
    EXPECT_EQ(spark.live, 0);
}

TEST_F(EffectsTest, BrokenAndMadeBlockSparksSitAtTheCellCentre) {
    int broken = spawnEffect(0, 0, kEffectPlayerBreak, 1);
    game.effects[broken].x = 100.7f;  // cell (3, 6)
    game.effects[broken].y = 200.2;
    run(broken, 1);
    int sparks = 0;
    for (const Actor& e : game.effects) {
        if (!e.live || e.kind == kEffectPlayerBreak) continue;
        ++sparks;
        EXPECT_FLOAT_EQ(e.x, 3 * 32 + 16);
        EXPECT_DOUBLE_EQ(e.y, 6 * 32 + 16);
        EXPECT_EQ(e.persist, 1);
    }
    EXPECT_EQ(sparks, 6);
    run(broken, 19);
    EXPECT_EQ(game.effects[broken].live, 0);
}

TEST_F(EffectsTest, ShortEffectsEndOnTheirTick) {
    const std::pair<int, int> lifetimes[] = {{2, 35}, {7, 30}, {11, 40}, {12, 25}, {19, 20},
                                             {21, 10}, {23, 20}, {32, 40}, {59, 8}, {63, 29},
                                             {64, 27}, {68, 27}};
    for (auto [kind, ends] : lifetimes) {
        int slot = spawnEffect(300, 200, kind, 0);
        run(slot, ends - 1);
        EXPECT_EQ(game.effects[slot].live, 1) << kind;
        run(slot, 1);
        EXPECT_EQ(game.effects[slot].live, 0) << kind;
    }
}

TEST_F(EffectsTest, AShotImpactThrowsItsPiecesOnTimeAndEndsAtTwelve) {
    const int slot = spawnEffect(300, 200, kEffectShotImpact, 1);
    const struct {
        int tick;
        int pieces[4];  // kinds spawned on that tick, 0 ending the list
    } steps[] = {{1, {22, 23, 24, 0}}, {8, {26, 0}}, {12, {22, 0}}};
    int seen = 0;
    for (int tick = 1; tick <= 12; ++tick) {
        run(slot, 1);
        for (const auto& step : steps) {
            if (step.tick != tick) continue;
            for (int k = 0; step.pieces[k]; ++k) {
                const Actor& piece = game.effects[1 + seen++];
                EXPECT_EQ(piece.live, 1);
                EXPECT_EQ(piece.kind, step.pieces[k]) << "tick " << tick;
                EXPECT_EQ(piece.x, 300.0f);
                EXPECT_EQ(piece.y, 200.0);
                EXPECT_EQ(piece.facing, 1);
            }
        }
        int live = 0;
        for (const Actor& e : game.effects) live += e.live != 0;
        // The impact itself, until it ends on tick 12, and what it threw.
        EXPECT_EQ(live, (tick < 12 ? 1 : 0) + seen) << "tick " << tick;
    }
    EXPECT_EQ(seen, 5);
    EXPECT_EQ(game.effects[slot].live, 0);
}

TEST_F(EffectsTest, ExpiryPuffPlaysItsSoundOnTickThree) {
    int slot = spawnEffect(300, 200, kEffectExpiryPuff, 0);
    run(slot, 2);
    EXPECT_EQ(soundCount(53), 0);
    run(slot, 1);
    EXPECT_EQ(soundCount(53), 1);
    run(slot, 15);
    EXPECT_EQ(game.effects[slot].live, 0);
}

TEST_F(EffectsTest, DebrisArcsAndFallsOffTheField) {
    int left = spawnEffect(300, 200, kEffectDebrisMade, 1);
    int right = spawnEffect(300, 200, kEffectDebrisFile, 0);
    run(left, 1);
    run(right, 1);
    EXPECT_EQ(game.effects[left].persist, 1);
    EXPECT_FLOAT_EQ(game.effects[left].x, 297);
    EXPECT_FLOAT_EQ(game.effects[right].x, 303);
    const double firstRise = 200 - game.effects[left].y;
    EXPECT_TRUE(firstRise == 4 || firstRise == 5 || firstRise == 6) << firstRise;
    int ticks = 0;
    while (game.effects[left].live && ticks < 200) {
        run(left, 1);
        ++ticks;
    }
    EXPECT_LT(ticks, 200);
    EXPECT_GT(game.effects[left].y, 800);
}

TEST_F(EffectsTest, SpellStartThrowsThirtySparklesAndTheBackdrop) {
    int slot = spawnEffect(0, 0, kEffectSpellStart, 0);
    EXPECT_EQ(game.effects[slot].persist, 1);
    run(slot, 59);
    EXPECT_EQ(soundCount(37), 0);
    run(slot, 1);
    EXPECT_EQ(soundCount(37), 1);
    EXPECT_EQ(game.effects[slot].live, 0);
    for (int kind = 42; kind <= 47; ++kind) EXPECT_EQ(liveEffects(kind), 5) << kind;
    EXPECT_EQ(liveEffects(49), 1);
    for (const Actor& e : game.effects) {
        if (!e.live || e.kind < 42 || e.kind > 47) continue;
        EXPECT_GE(e.x, 50);
        EXPECT_LT(e.x, 600);
        EXPECT_GE(e.y, 50);
        EXPECT_LT(e.y, 400);
        EXPECT_EQ(e.persist, 1);
    }
}

TEST_F(EffectsTest, SpellPiecesEndTwentyFourTicksAfterTheBeam) {
    int core = spawnEffect(300, 300, 41, 0);
    int segment = spawnEffect(300, 300, 55, 0);
    int trail = spawnEffect(300, 300, 38, 0);  // ends by itself only
    run(core, 5);
    run(segment, 5);
    game.effects[core].phase = 1;
    game.effects[core].age = 1;
    game.effects[segment].phase = 1;
    game.effects[segment].age = 1;
    run(core, 23);
    run(segment, 23);
    EXPECT_EQ(game.effects[core].live, 1);
    EXPECT_EQ(game.effects[segment].live, 1);
    run(core, 1);
    run(segment, 1);
    EXPECT_EQ(game.effects[core].live, 0);
    EXPECT_EQ(game.effects[segment].live, 0);
    run(trail, 24);
    EXPECT_EQ(game.effects[trail].live, 1);
    run(trail, 1);
    EXPECT_EQ(game.effects[trail].live, 0);
}

TEST_F(EffectsTest, SpellChargeAndTriggerMoveThePlayerOn) {
    player().state = kPlayerSpellStart;
    player().stateTimer = 13;
    int charge = spawnEffect(300, 300, 52, 0);
    run(charge, 11);
    EXPECT_FLOAT_EQ(game.effects[charge].x, 300 - 22);
    EXPECT_DOUBLE_EQ(game.effects[charge].y, 300 - 22);
    run(charge, 1);
    EXPECT_EQ(player().state, kPlayerSpellCharge);
    EXPECT_EQ(player().stateTimer, 0);
    EXPECT_EQ(liveEffects(53), 1);
    int trigger = spawnEffect(300, 300, 54, 0);
    run(trigger, 11);
    EXPECT_EQ(player().state, kPlayerSpellCharge);
    run(trigger, 1);
    EXPECT_EQ(player().state, kPlayerSpellTrigger);
    EXPECT_EQ(game.effects[trigger].live, 0);
}

}  // namespace
