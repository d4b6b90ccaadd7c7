// The player's magic: making and breaking blocks, shots and the big spell.
#include "game/play/effects.h"
#include "game/play/player.h"
#include "tests/play/play_fixture.h"

using namespace play_testing;

namespace {

class MagicTest : public PlayTest {
protected:
    // The player stands in column 9 on the floor, facing right.
    static void startWith(const std::vector<std::string>& inside,
                          void (*extra)(stage_builder::StageBuilder&) = nullptr) {
        stage_builder::StageBuilder stage = room(inside);
        stage.block(9, 12, 100);
        if (extra) extra(stage);
        start(stage);
        tick(5);
        ASSERT_EQ(player().airborne, 0);
        ASSERT_EQ(player().facing, 0);
    }
    static void cast(const Pad& held = {}) {
        Pad pad = held;
        pad.magic = true;
        tick(1, pad);
    }
    static int cell(int column, int row) { return column * 15 + row; }
};

const std::vector<std::string> kEmpty = {};

TEST_F(MagicTest, StandingMagicMakesABlockInTheEmptyCellAhead) {
    startWith(kEmpty);
    cast();
    EXPECT_EQ(player().state, kPlayerMagicStanding);
    EXPECT_EQ(blockAtCell(10, 12), 2);
    EXPECT_EQ(game.tileMap.placeTimers[cell(10, 12)], 19);  // counted once this tick
    EXPECT_EQ(game.tileMap.blockVariant[cell(10, 12)], 0);
    EXPECT_EQ(soundCount(1), 1);
    EXPECT_EQ(liveEffects(kEffectBlockMade), 1);
    tick(19);
    EXPECT_EQ(player().state, kPlayerMagicStanding);
    tick(1);
    EXPECT_EQ(player().state, kPlayerStanding);
}

TEST_F(MagicTest, MagicBreaksBreakableAndCrackedBlocksAndReleasesItems) {
    startWith({"", "", "", "", "", "", "", "", "", "         b"},
              [](stage_builder::StageBuilder& s) { s.hiddenItem(10, 11, 49); });
    // A cracked block one row up is out of reach of the standing cast.
    game.tileMap.blocks[cell(10, 12)] = 3;
    cast();
    EXPECT_EQ(blockAtCell(10, 12), 0);
    EXPECT_EQ(game.tileMap.breakTimers[cell(10, 12)], 19);
    EXPECT_EQ(soundCount(3), 1);
    EXPECT_EQ(liveEffects(kEffectPlayerBreak), 1);
    EXPECT_EQ(liveActors(49), 0);
    EXPECT_EQ(blockAtCell(10, 11), 2);

    // In the air the target is the row of y - 15: the breakable block above.
    tick(25);
    tick(1, {0, 1});
    tickUntil([] { return player().airborne == 1 && player().y < 395; }, 40);
    cast();
    EXPECT_EQ(player().state, kPlayerMagicInAir);
    EXPECT_EQ(blockAtCell(10, 11), 0);
    EXPECT_EQ(liveActors(49), 1);
    EXPECT_FLOAT_EQ(game.actors[0].x, 10 * 32 + 16);
    EXPECT_DOUBLE_EQ(game.actors[0].y, 11 * 32 + 31);
}

TEST_F(MagicTest, MagicAgainstASolidBlockOnlySparks) {
    startWith({"", "", "", "", "", "", "", "", "", "", "         #"});
    cast();
    EXPECT_EQ(blockAtCell(10, 12), 1);
    EXPECT_EQ(soundCount(2), 1);
    ASSERT_EQ(liveEffects(kEffectSolidSpark), 1);
    for (const Actor& e : game.effects)
        if (e.live && e.kind == kEffectSolidSpark) {
            EXPECT_DOUBLE_EQ(e.y, 414 - 16);
        }
}

TEST_F(MagicTest, CrouchingMagicAimsAtTheFloorAhead) {
    startWith(kEmpty, [](stage_builder::StageBuilder& s) { s.block(10, 13, 2); });
    tick(1, {0, -1});
    cast({0, -1});
    EXPECT_EQ(player().state, kPlayerMagicCrouching);
    EXPECT_EQ(blockAtCell(10, 13), 0);
    EXPECT_EQ(liveEffects(kEffectPlayerBreak), 1);
}

TEST_F(MagicTest, ActorsInTheWayStopTheBlockAndWakeSleepers) {
    startWith(kEmpty, [](stage_builder::StageBuilder& s) { s.actor(10, 12, 43); });
    // A sleeper half a cell further on: its x - 16 column is the target's.
    Actor& sleeper = game.actors[1];
    sleeper.live = 1;
    sleeper.kind = 30;
    sleeper.x = 10 * 32 + 16 + 20;
    sleeper.y = 12 * 32 + 31;
    sleeper.phase = 0;
    cast();
    EXPECT_EQ(blockAtCell(10, 12), 0);
    EXPECT_EQ(soundCount(2), 2);
    EXPECT_EQ(soundCount(1), 0);
    EXPECT_EQ(sleeper.phase, 1);
    EXPECT_EQ(game.actors[0].phase, 0);
}

// The target is column 10 (x 320..351): an actor is in the way when x,
// x - 16 or x + 15 lies in it.
TEST_F(MagicTest, AnActorIsInTheWayByItsCentreOrSixteenLeftOrFifteenRight) {
    const struct {
        float x;
        bool inTheWay;
    } cases[] = {{304, false}, {305, true}, {330, true}, {367, true}, {368, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        SetUp();
        startWith(kEmpty);
        Actor& a = game.actors[5];
        a.live = 1;
        a.kind = 43;
        a.x = c.x;
        a.y = 12 * 32 + 31;
        cast();
        EXPECT_EQ(blockAtCell(10, 12), c.inTheWay ? 0 : 2);
        EXPECT_EQ(soundCount(2), c.inTheWay ? 1 : 0);
    }
}

TEST_F(MagicTest, TheSparkAgainstASolidBlockSitsAtTheHeightOfEachPose) {
    const struct {
        const char* what;
        Pad pad;
        int facing;
        bool inTheAir;
        int dy;  // the spark's height above (-) or below (+) her feet
    } cases[] = {
        {"standing, right", {}, 0, false, -16}, {"standing, left", {}, 1, false, -16},
        {"crouching, right", {0, -1}, 0, false, 16}, {"crouching, left", {0, -1}, 1, false, 16},
        {"in the air, right", {}, 0, true, -15}, {"in the air, left", {}, 1, true, -16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        startWith(kEmpty);
        // Solid blocks on both sides, at her feet, below them and one up.
        for (int column : {8, 10})
            for (int row : {11, 12, 13}) game.tileMap.blocks[cell(column, row)] = 1;
        Player& p = player();
        p.facing = static_cast<int16_t>(c.facing);
        if (c.inTheAir) {
            p.airborne = 1;
            p.y = 12 * 32 + 20;  // y - 15 still in row 12
        } else if (c.pad.vertical == -1) {
            tick(1, c.pad);
        }
        const int y = static_cast<int>(p.y);
        cast(c.pad);
        ASSERT_EQ(liveEffects(kEffectSolidSpark), 1);
        for (const Actor& e : game.effects)
            if (e.live && e.kind == kEffectSolidSpark) {
                EXPECT_EQ(e.x, static_cast<float>(p.x + (c.facing == 0 ? 32 : -32)));
                EXPECT_EQ(e.y, static_cast<double>(y + c.dy));
                EXPECT_EQ(e.facing, c.facing);
            }
    }
}

TEST_F(MagicTest, TheBeamTakesTheRowAboveOnlyBelowRowTwoAndTheRowBelowOnlyAboveRowThirteen) {
    const struct {
        int row;      // her row
        int first;    // the band's rows
        int last;
    } cases[] = {{2, 2, 3}, {3, 2, 4}, {12, 11, 13}, {13, 12, 13}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        SetUp();
        startWith(kEmpty);
        for (int column = 10; column <= 18; ++column)
            for (int row = 1; row <= 14; ++row) game.tileMap.blocks[cell(column, row)] = 1;
        Player& p = player();
        p.x = 9 * 32 + 16;
        p.y = c.row * 32 + 31;
        p.state = p.prevState = kPlayerSpellBeam;
        p.stateTimer = 2;
        p.lockTimer = 100;
        updatePlayer(0);
        for (int row = 1; row <= 14; ++row) {
            const bool cleared = row >= c.first && row <= c.last;
            for (int column = 10; column <= 18; ++column)
                ASSERT_EQ(blockAtCell(column, row), cleared ? 0 : 1) << column << "," << row;
        }
    }
}

TEST_F(MagicTest, TheBeamStateThrowsTheSpellCoreAndTheBeamPiecesAhead) {
    for (int facing : {0, 1}) {
        SCOPED_TRACE(facing);
        SetUp();
        startWith(kEmpty);
        Player& p = player();
        p.facing = static_cast<int16_t>(facing);
        p.state = p.prevState = kPlayerSpellBeam;
        p.stateTimer = 0;
        p.lockTimer = 100;
        updatePlayer(0);
        EXPECT_EQ(soundCount(41), 1);
        const int s = facing == 0 ? 1 : -1;
        const struct {
            int kind, dx, dy;
        } pieces[] = {{41, 0, 3}, {50, 40, -15}, {55, 20, -15}, {56, 60, -15}, {57, 90, -15}, {58, 140, -15}};
        int n = 0;
        for (const auto& piece : pieces) {
            const Actor& e = game.effects[n++];
            EXPECT_EQ(e.live, 1);
            EXPECT_EQ(e.kind, piece.kind);
            EXPECT_EQ(e.x, static_cast<float>(p.x + s * piece.dx)) << piece.kind;
            EXPECT_EQ(e.y, static_cast<double>(static_cast<int>(p.y) + piece.dy)) << piece.kind;
            EXPECT_EQ(e.facing, facing);
        }
    }
}

TEST_F(MagicTest, AnActorOutsideTheTargetRowsDoesNotStopTheBlock) {
    startWith(kEmpty, [](stage_builder::StageBuilder& s) { s.actor(10, 10, 43); });
    cast();
    EXPECT_EQ(blockAtCell(10, 12), 2);
    EXPECT_EQ(soundCount(2), 0);
}

TEST_F(MagicTest, FullEffectTableSilencesTheMakeButTheBlockIsMade) {
    startWith(kEmpty);
    for (Actor& e : game.effects) {
        e.live = 1;
        e.kind = 26;  // impact remnants stay for the rest of the stage
        e.x = 50;
        e.y = 50;
    }
    cast();
    EXPECT_EQ(blockAtCell(10, 12), 2);
    EXPECT_EQ(soundCount(1), 0);
    tick(25);
    cast();
    EXPECT_EQ(blockAtCell(10, 12), 0);
    EXPECT_EQ(soundCount(3), 0);
}

TEST_F(MagicTest, ShotTakesAChargeAndKnocksOutTheFirstEnemyInItsPath) {
    startWith(kEmpty, [](stage_builder::StageBuilder& s) {
        s.actor(14, 12, 27);
        s.actor(16, 12, 27);
    });
    for (int i = 0; i < 2; ++i) {
        game.actors[i].halfWidth = 3;
        game.actors[i].height = 28;
        game.actors[i].depth = 3;
    }
    Pad shoot;
    shoot.shot = true;
    tick(1, shoot);
    EXPECT_EQ(player().state, kPlayerStanding) << "no charge, no shot";
    player().magic = 2;
    tick(1);
    tick(1, shoot);
    EXPECT_EQ(player().state, kPlayerShotStanding);
    EXPECT_EQ(player().magic, 1);
    tick(1);
    EXPECT_EQ(liveEffects(16), 1);
    tick(9);
    EXPECT_EQ(soundCount(51), 1);
    EXPECT_EQ(liveEffects(kEffectPlayerShot), 1);
    tickUntil([] { return game.actors[0].dying != 0; }, 40);
    EXPECT_EQ(game.actors[0].phase, 10);
    EXPECT_EQ(game.actors[0].vy, 3.0);
    EXPECT_EQ(game.actors[1].dying, 0);
    EXPECT_EQ(liveEffects(kEffectPlayerShot), 0);
    EXPECT_EQ(soundCount(33), 1);
    tick(30);
    EXPECT_EQ(game.actors[1].dying, 0);
    EXPECT_EQ(liveEffects(26), 1);  // the impact leaves its remnant
}

TEST_F(MagicTest, StandingShotUnderABlockLastsLonger) {
    startWith({"", "", "", "", "", "", "", "", "", "        #"});
    ASSERT_EQ(player().headWasBlocked, 1);
    player().magic = 1;
    Pad shoot;
    shoot.shot = true;
    tick(1, shoot);
    EXPECT_EQ(player().lockTimer, 32);
    tick(1);
    EXPECT_EQ(liveEffects(35), 1);
    tick(30);
    // The random draw at tick 24 decides between the stumble and standing.
    EXPECT_TRUE(player().state == kPlayerShotStanding || player().state == kPlayerStumble);
    if (player().state == kPlayerShotStanding) {
        tick(1);
        EXPECT_EQ(player().state, kPlayerStanding);
    }
}

TEST_F(MagicTest, StandingShotUnderABlockSometimesStumbles) {
    int stumbles = 0;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        SetUp();
        startWith({"", "", "", "", "", "", "", "", "", "        #"});
        game.randomState = seed;
        player().magic = 1;
        Pad shoot;
        shoot.shot = true;
        tick(1, shoot);
        tick(25);
        if (player().state == kPlayerStumble) {
            ++stumbles;
            EXPECT_EQ(player().lockTimer, 43);
            tick(58);
            EXPECT_EQ(player().state, kPlayerStumble);
            tick(1);
            EXPECT_EQ(player().state, kPlayerStanding);
        }
    }
    EXPECT_GT(stumbles, 0);
    EXPECT_LT(stumbles, 20);
}

TEST_F(MagicTest, BigSpellRunsFromStartToEndAndClearsItsBand) {
    startWith(
        {
            "",
            "",
            "",
            "",
            "",
            "",
            "",
            "             ####",  // row 9: above the band
            "       b    #####",  // row 10: above the band
            "      b  #    ###",  // row 11
            "          #  c  ",   // row 12
        },
        [](stage_builder::StageBuilder& s) {
            s.actor(14, 12, 12);  // an enemy in the band beyond her: knocked out
            s.actor(4, 12, 12);   // behind her: spared
            s.actor(16, 9, 12);   // above the band: spared
            s.actor(17, 12, 7);   // the key: spared
            s.actor(12, 11, 43);  // an item: spared
            s.actor(13, 11, 36);  // a spawner: knocked out
        });
    player().magic = 3;
    Pad spell;
    spell.spell = true;
    tick(1, spell);
    EXPECT_EQ(player().state, kPlayerSpellStart);
    EXPECT_EQ(player().magic, 0);
    EXPECT_EQ(player().lockTimer, 1000);
    EXPECT_EQ(game.freezeCounter, 100);
    EXPECT_EQ(game.actorsHeld, 1);
    EXPECT_EQ(liveEffects(kEffectSpellStart), 1);

    tick(100);  // the freeze: the spell start throws its sparkles at 60
    EXPECT_EQ(game.freezeCounter, 0);
    EXPECT_EQ(soundCount(37), 1);
    EXPECT_EQ(liveEffects(49), 1);
    for (int kind = 42; kind <= 47; ++kind) EXPECT_GE(liveEffects(kind), 1) << kind;

    tickUntil([] { return player().state == kPlayerSpellCharge; }, 40);
    EXPECT_EQ(soundCount(39), 1);
    tickUntil([] { return player().state == kPlayerSpellTrigger; }, 40);
    tickUntil([] { return player().state == kPlayerSpellBeam; }, 20);
    EXPECT_EQ(soundCount(40), 1);
    tick(3);
    EXPECT_EQ(soundCount(41), 1);
    EXPECT_EQ(liveEffects(41), 1);
    // The band is rows 11..13 from column 10 to 18.
    for (int c = 10; c <= 18; ++c)
        for (int r = 11; r <= 13; ++r) EXPECT_EQ(blockAtCell(c, r), 0) << c << "," << r;
    EXPECT_EQ(blockAtCell(19, 12), 1);
    EXPECT_EQ(blockAtCell(9, 13), 1);
    EXPECT_EQ(blockAtCell(7, 11), 2);  // behind her
    EXPECT_EQ(blockAtCell(8, 10), 2);
    EXPECT_EQ(blockAtCell(14, 10), 1);
    EXPECT_EQ(blockAtCell(14, 9), 1);
    EXPECT_EQ(game.tileMap.breakTimers[10 * 15 + 12], 0);

    auto actorOfKindAt = [](int kind, int column) -> const Actor& {
        for (const Actor& a : game.actors)
            if (a.live && a.kind == kind && static_cast<int>(a.x) / 32 == column) return a;
        static Actor none{};
        return none;
    };
    EXPECT_EQ(actorOfKindAt(12, 14).phase, 10);
    EXPECT_EQ(actorOfKindAt(12, 14).dying, 1);
    EXPECT_EQ(actorOfKindAt(12, 4).dying, 0);
    EXPECT_EQ(actorOfKindAt(12, 16).dying, 0);
    EXPECT_EQ(actorOfKindAt(7, 17).dying, 0);
    EXPECT_EQ(actorOfKindAt(43, 12).dying, 0);
    EXPECT_EQ(actorOfKindAt(36, 13).dying, 1);

    tickUntil([] { return player().state == kPlayerSpellFinish; }, 200);
    for (const Actor& e : game.effects)
        if (e.live && e.kind >= 50 && e.kind <= 58) {
            EXPECT_EQ(e.phase, 1) << e.kind;
        }
    tick(25);
    // The emitter and the beam segments are gone; pulses the emitter sent in
    // its last ticks fly on until they leave the field.
    for (const Actor& e : game.effects) {
        if (!e.live) continue;
        EXPECT_FALSE(e.kind == 50 || (e.kind >= 55 && e.kind <= 58)) << e.kind;
        if (e.kind == 51) {
            EXPECT_EQ(e.phase, 0);
        }
    }
    EXPECT_EQ(game.actorsHeld, 1);
    tickUntil([] { return player().state == kPlayerStanding; }, 100);
    EXPECT_EQ(soundCount(42), 1);
    EXPECT_EQ(game.actorsHeld, 0);
    EXPECT_EQ(player().lockTimer, 0);
}

TEST_F(MagicTest, SpellNeedsThreeChargesAndSolidGround) {
    startWith(kEmpty);
    player().magic = 2;
    Pad spell;
    spell.spell = true;
    tick(1, spell);
    EXPECT_EQ(player().state, kPlayerStanding);
    player().magic = 3;
    tick(1, {0, -1});
    tick(1, {0, -1, false, false, true});
    EXPECT_EQ(player().state, kPlayerCrouching);
    EXPECT_EQ(player().magic, 3);
}

}  // namespace
