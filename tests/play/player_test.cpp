// The player on the tile map: jumps, ledges, head bumps, crouching, walls
// and falling out of the field.
#include "game/play/player.h"
#include "game/play/tile_map.h"
#include "tests/play/play_fixture.h"

using namespace play_testing;

namespace {

class PlayerTest : public PlayTest {};

constexpr Pad kUp{0, 1};
constexpr Pad kUpRight{1, 1};
constexpr Pad kRight{1, 0};
constexpr Pad kDown{0, -1};

// The player standing on the floor (row 13) in column 9.
stage_builder::StageBuilder openRoom() {
    return room({"", "", "", "", "", "", "", "", "", "", "        P"});
}

TEST_F(PlayerTest, LandsFromTheStartCellOnTheFloor) {
    start(openRoom());
    EXPECT_EQ(player().airborne, 0);
    EXPECT_DOUBLE_EQ(player().y, 414.0);
    EXPECT_EQ(player().x, 9 * 32 + 16);
    EXPECT_EQ(player().halfWidth, 9);
    EXPECT_EQ(player().height, 28);
    EXPECT_EQ(player().depth, 0);
}

TEST_F(PlayerTest, JumpRisesOneCellAndUpHeldJumpsOnlyOnce) {
    start(openRoom());
    tick(10);
    const double ground = player().y;
    double top = ground;
    int airTicks = 0;
    int groundTicksBeforeTakeOff = 0;
    bool tookOff = false;
    for (int i = 0; i < 200; ++i) {
        tick(1, kUp);
        if (player().airborne) {
            tookOff = true;
            ++airTicks;
        } else if (!tookOff) {
            ++groundTicksBeforeTakeOff;
        }
        top = std::min(top, player().y);
    }
    EXPECT_EQ(groundTicksBeforeTakeOff, 5);  // the press tick and four of wind-up
    EXPECT_NEAR(ground - top, 31.57, 0.01);
    EXPECT_EQ(airTicks, 44);
    // Landing lifts her pixel by pixel, keeping the fraction of the fall.
    EXPECT_EQ(static_cast<int>(player().y), 414);
    EXPECT_EQ(player().state, kPlayerStanding);

    tick(1);  // let go of up once
    tick(6, kUp);
    EXPECT_EQ(player().airborne, 1);
}

TEST_F(PlayerTest, JumpCarriesHerAcrossWithAirControl) {
    start(openRoom());
    tick(10);
    const int x0 = player().x;
    tick(1, kUpRight);
    EXPECT_EQ(player().x, x0 + 1);  // the press tick still walks
    tick(4, kUpRight);
    EXPECT_EQ(player().x, x0 + 1);  // the wind-up only turns her
    EXPECT_EQ(player().airborne, 0);
    tickUntil([] { return player().airborne == 0 && player().state == kPlayerLanded; }, 100, kUpRight);
    EXPECT_EQ(player().x, x0 + 1 + 45);
}

TEST_F(PlayerTest, StaysOnALedgeWhileOneFootProbeIsOnIt) {
    // A three-cell ledge on row 10 (columns 3..5) with the player on it.
    stage_builder::StageBuilder stage = room();
    stage.draw({"###"}, 10, 3).block(4, 9, 100);
    start(stage);
    ASSERT_EQ(player().airborne, 0);
    ASSERT_DOUBLE_EQ(player().y, 318.0);
    tickUntil([] { return player().x == 199; }, 200, kRight);
    EXPECT_EQ(player().airborne, 0);  // x - 8 = 191 is still over the ledge
    tick(1, kRight);
    EXPECT_EQ(player().x, 200);
    EXPECT_EQ(player().airborne, 1);
    EXPECT_EQ(player().state, kPlayerInAir);
    EXPECT_EQ(player().vy, -0.13);  // the fall starts from rest
}

// The player under a block in row 11 of column 9, one cell above her.
stage_builder::StageBuilder blockOverhead(char block) {
    return room({"", "", "", "", "", "", "", "", "", std::string(8, ' ') + block, "        P"});
}

TEST_F(PlayerTest, HeadBumpCracksThenBreaksAndReleasesTheHiddenItem) {
    stage_builder::StageBuilder stage = blockOverhead('b');
    stage.hiddenItem(9, 11, 47);
    start(stage);
    tick(1);  // the landing tick clears the memory of the block overhead
    EXPECT_EQ(player().headWasBlocked, 1);

    tick(6, kUp);
    EXPECT_EQ(player().state, kPlayerHeadBump);
    EXPECT_EQ(blockAtCell(9, 11), 3);
    EXPECT_EQ(player().holdTimer, 20);
    EXPECT_GE(soundCount(4), 1);
    tickUntil([] { return player().airborne == 0; }, 100);
    EXPECT_EQ(player().state, kPlayerLandedAfterBump);
    EXPECT_EQ(soundCount(35), 1);
    tick(20);
    EXPECT_EQ(player().state, kPlayerStanding);

    tick(6, kUp);
    EXPECT_EQ(blockAtCell(9, 11), 0);
    EXPECT_EQ(game.tileMap.breakTimers[9 * 15 + 11], 19);  // counted down once
    EXPECT_EQ(game.tileMap.hiddenItems[9 * 15 + 11], 0);
    EXPECT_EQ(liveActors(47), 1);
    EXPECT_EQ(liveEffects(62), 4);  // debris of a block from the stage file
}

TEST_F(PlayerTest, HeadBumpLeavesASolidBlock) {
    start(blockOverhead('#'));
    tick(6, kUp);
    EXPECT_EQ(player().state, kPlayerHeadBump);
    EXPECT_EQ(blockAtCell(9, 11), 1);
    tickUntil([] { return player().airborne == 0; }, 100);
    tick(30);
    tick(6, kUp);
    EXPECT_EQ(blockAtCell(9, 11), 1);
}

TEST_F(PlayerTest, FreshlyMadeBlockIsPassedThroughByTheHead) {
    start(blockOverhead('b'));
    game.tileMap.placeTimers[9 * 15 + 11] = 20;
    game.tileMap.blockVariant[9 * 15 + 11] = 0;
    tick(6, kUp);
    tick(4, kUp);
    EXPECT_EQ(player().state, kPlayerJumpWindUp);
    EXPECT_EQ(blockAtCell(9, 11), 2);
    EXPECT_EQ(soundCount(4), 0);
}

TEST_F(PlayerTest, CrouchLowersTheBoxAndStandingUpUnderAGoneBlockLooksUp) {
    stage_builder::StageBuilder stage = blockOverhead('b');
    start(stage);
    tick(3, kDown);
    EXPECT_EQ(player().state, kPlayerCrouching);
    EXPECT_EQ(player().crouching, 1);
    EXPECT_EQ(player().height, 15);
    game.tileMap.blocks[9 * 15 + 11] = 0;  // the block over her head goes
    tick(1);
    EXPECT_EQ(player().crouching, 0);
    EXPECT_EQ(player().state, kPlayerLookingUp);
    tick(52);
    EXPECT_EQ(player().state, kPlayerStanding);
}

TEST_F(PlayerTest, WallPushMovesHerOutOfAWallPixelByPixel) {
    stage_builder::StageBuilder stage = room();
    for (int r = 2; r < 13; ++r) stage.block(8, r, 1);
    start(stage);
    tickUntil([] { return player().airborne == 0; }, 200);
    player().x = 8 * 32 + 2;  // just inside the wall's left face
    tick(1);
    EXPECT_EQ(player().x, 8 * 32 - 13);  // until x + 12 leaves the wall's column
    player().x = 8 * 32 + 20;  // inside, nearer the right face
    tick(1);
    EXPECT_EQ(player().x, 9 * 32 + 12);
}

TEST_F(PlayerTest, WallPushMovesAtMost34PixelsPerSide) {
    stage_builder::StageBuilder stage = room();
    for (int c = 6; c <= 10; ++c)
        for (int r = 2; r < 13; ++r) stage.block(c, r, 1);
    stage.block(3, 12, 100);
    start(stage);
    player().x = 8 * 32 + 16;  // deep inside a five-column wall
    tick(1);
    EXPECT_EQ(player().x, 8 * 32 + 16 + 34 - 34);
    player().x = 10 * 32 + 10;  // near the right face: pushed out to the right
    tick(1);
    EXPECT_EQ(player().x, 11 * 32 + 12);
}

TEST_F(PlayerTest, CastInTheAirHangsForTwentyTicks) {
    start(openRoom());
    tick(10);
    tick(1, kUp);
    tickUntil([] { return player().vy <= 0.1 && player().airborne; }, 100);
    Pad cast;
    cast.magic = true;
    tick(1, cast);
    EXPECT_EQ(player().state, kPlayerMagicInAir);
    const double y = player().y;
    tick(19);
    EXPECT_DOUBLE_EQ(player().y, y);
    EXPECT_EQ(player().state, kPlayerMagicInAir);
    tick(1);
    EXPECT_EQ(player().state, kPlayerInAir);
    tick(1);
    EXPECT_LT(player().y, y + 1);
    EXPECT_NE(player().y, y);
}

TEST_F(PlayerTest, FallingBelowTheScreenCountsAsADeath) {
    stage_builder::StageBuilder stage;  // no floor at all
    stage.block(5, 2, 100);
    start(stage);
    int ticks = tickUntil([] { return game.deathCounter != 0; }, 400);
    ASSERT_GT(ticks, 0);
    EXPECT_GT(player().y, 560.0);
    EXPECT_EQ(player().state, kPlayerLyingDead);
    EXPECT_EQ(game.controlsLocked, 1);
    EXPECT_EQ(soundCount(7), 1);
    EXPECT_EQ(soundCount(kStageMusicStopped), 1);
    const double y = player().y;
    tick(83);
    EXPECT_DOUBLE_EQ(player().y, y);  // she hangs where the fall was stopped
    EXPECT_EQ(game.deathCounter, 85 - 1);
    EXPECT_EQ(player().lives, 2);
    tick(1);
    EXPECT_EQ(player().lives, 1);
    EXPECT_EQ(game.scene, kScenePlay);
    EXPECT_EQ(game.startCounter, 1);  // the stage was loaded again
    EXPECT_EQ(soundCount(7), 1);
}

TEST_F(PlayerTest, DeathJumpFromAnEnemyEndsLyingOnTheFloor) {
    stage_builder::StageBuilder stage = openRoom();
    stage.actor(10, 12, 33);  // a flame: kills on contact, never moves here
    start(stage);
    game.actors[0].halfWidth = 8;
    game.actors[0].height = 32;
    tickUntil([] { return game.controlsLocked != 0; }, 100, kRight);
    EXPECT_EQ(player().state, kPlayerDeathJump);
    const int x = player().x;
    tickUntil([] { return player().state == kPlayerLyingDead; }, 200);
    EXPECT_LT(player().x, x);  // thrown backwards
    EXPECT_EQ(game.deathCounter, 1);
    EXPECT_EQ(static_cast<int>(player().y), 414);
}

TEST_F(PlayerTest, LandingLiftsHerUpTo64PixelsOnEachFootProbe) {
    // A block three rows high (rows 11..13) under her right foot only: the
    // right probe lifts her, the left one stands over the open floor.
    stage_builder::StageBuilder stage = room();
    stage.block(10, 11, 1).block(10, 12, 1);
    start(stage);
    const struct {
        double y;      // her feet, sunk into the block
        double after;  // where the landing leaves them
    } cases[] = {
        {414, 350},  // 64 lifts: clear of the block (351 is its top row of pixels - 1)
        {415, 351},  // 65 would be needed: she stays one pixel in
        {400, 350},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.y);
        Player& p = player();
        p.x = 10 * 32 - 5;  // x + 8 over column 10, x - 8 over column 9
        p.y = c.y;
        p.vy = 0;
        p.airborne = 1;
        p.state = kPlayerInAir;
        p.lockTimer = 0;
        updatePlayer(0);
        EXPECT_EQ(p.y, c.after);
        EXPECT_EQ(p.airborne, 0);
        EXPECT_EQ(p.state, kPlayerLanded);
    }
}

// Every timed state change at its tick: the state holds until the tick
// before and changes on the tick itself, restarting the timer.
TEST_F(PlayerTest, TimedStateChangesHappenOnTheirTick) {
    const struct {
        int16_t state;
        int at;
        bool airborne;
        int16_t next;
    } changes[] = {
        // The wind-up ends before the timer counts: on the tick after it read 30.
        {kPlayerJumpWindUp, 31, false, kPlayerInAir},
        {kPlayerMagicStanding, 20, false, kPlayerStanding},
        {kPlayerMagicInAir, 20, true, kPlayerInAir},
        {kPlayerMagicCrouching, 20, false, kPlayerStanding},
        {kPlayerLanded, 5, false, kPlayerStanding},
        {kPlayerLandedAfterBump, 20, false, kPlayerStanding},
        {kPlayerKeyTaken, 30, false, kPlayerKeyRecovering},
        {kPlayerKeyRecovering, 7, false, kPlayerStanding},
        {kPlayerKeyRecovering, 7, true, kPlayerInAir},
        {kPlayerShotStanding, 20, false, kPlayerStanding},
        {kPlayerShotInAir, 20, true, kPlayerInAir},
        {kPlayerShotCrouching, 20, false, kPlayerStanding},
        {kPlayerLookingUp, 52, false, kPlayerStanding},
        {kPlayerStumble, 60, false, kPlayerStanding},
        {kPlayerSpellTrigger, 8, false, kPlayerSpellBeam},
        {kPlayerSpellBeam, 150, false, kPlayerSpellFinish},
        {kPlayerSpellFinish, 80, false, kPlayerStanding},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << (c.airborne ? " in the air" : ""));
        start(openRoom());
        tick(10);
        Player& p = player();
        p.state = p.prevState = c.state;
        p.stateTimer = static_cast<int16_t>(c.at - 2);
        p.airborne = c.airborne;
        p.lockTimer = 500;  // no input and no gravity: only the timers run
        game.actorsHeld = 1;
        updatePlayer(0);
        EXPECT_EQ(p.state, c.state);
        EXPECT_EQ(p.stateTimer, c.at - 1);
        updatePlayer(0);
        EXPECT_EQ(p.state, c.next);
        EXPECT_EQ(p.stateTimer, 0);
        const bool spellEnds = c.state == kPlayerSpellFinish;
        EXPECT_EQ(game.actorsHeld, spellEnds ? 0 : 1);
        EXPECT_EQ(p.lockTimer, spellEnds ? 0 : 498);
    }
}

TEST_F(PlayerTest, HitBoxIsFifteenHighOffTheFeetInTheAir) {
    start(openRoom());
    tick(10);
    EXPECT_EQ(player().depth, 0);
    ASSERT_GT(tickUntil([] { return player().airborne == 1; }, 10, kUp), 0);
    EXPECT_EQ(player().depth, 15);
    EXPECT_EQ(player().height, 28);
    EXPECT_EQ(player().halfWidth, 9);
}

TEST_F(PlayerTest, TheMemoryOfABlockOverheadIsClearedOnlyInTheWindUpAndLookingUp) {
    const struct {
        int16_t state;
        int16_t after;
    } cases[] = {{kPlayerJumpWindUp, 0}, {kPlayerLookingUp, 0}, {kPlayerStanding, 1},
                 {kPlayerWalking, 1},    {kPlayerCrouching, 1}, {kPlayerLanded, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        start(openRoom());  // nothing over her head
        tick(10);
        Player& p = player();
        p.state = p.prevState = c.state;
        p.stateTimer = 10;
        p.headWasBlocked = 1;
        p.lockTimer = 100;
        updatePlayer(0);
        EXPECT_EQ(p.headWasBlocked, c.after);
    }
}

TEST_F(PlayerTest, ABlockOverheadIsSeenNinePixelsEitherSideAnd35Up) {
    // A solid block in column 9, row 11 (x 288..319, y 352..383); she stands
    // on the floor, feet at 414, so y - 35 = 379 lies in row 11.
    const struct {
        int x;
        bool seen;
    } cases[] = {{9 * 32 - 9, true}, {9 * 32 - 10, false}, {9 * 32 + 31 + 9, true}, {9 * 32 + 31 + 10, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        start(blockOverhead('#'));
        tick(1);
        Player& p = player();
        p.x = static_cast<int16_t>(c.x);
        p.headWasBlocked = 0;
        p.lockTimer = 5;
        updatePlayer(0);
        EXPECT_EQ(p.headWasBlocked, c.seen ? 1 : 0);
    }
}

TEST_F(PlayerTest, HeadBumpsReachSixPixelsEitherSideOfHer) {
    // A breakable block in column 9, row 11; she jumps with her centre d
    // pixels past its left or right edge.
    const struct {
        int x;
        bool bumps;
    } cases[] = {
        {9 * 32 - 6, true},        // x + 6 meets the block's left column
        {9 * 32 - 7, false},
        {9 * 32 + 31 + 6, true},   // x - 6 meets its right column
        {9 * 32 + 31 + 7, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        stage_builder::StageBuilder stage = room();
        stage.block(9, 11, 2).block(3, 12, 100);
        start(stage);
        tick(5);
        player().x = static_cast<int16_t>(c.x);
        tick(1);
        const int ticks = tickUntil([] { return player().state == kPlayerHeadBump; }, 12, kUp);
        EXPECT_EQ(ticks >= 0, c.bumps);
        EXPECT_EQ(blockAtCell(9, 11), c.bumps ? 3 : 2);
    }
}

TEST_F(PlayerTest, StoppingUnderWhereABlockWasLooksUpAndUnderABlockStands) {
    // Walking out from under a block: the memory of it stays until she stops.
    start(blockOverhead('#'));
    tick(1);
    ASSERT_EQ(player().headWasBlocked, 1);
    tickUntil([] { return player().x - 9 >= 10 * 32; }, 100, kRight);
    EXPECT_EQ(player().state, kPlayerWalking);
    tick(1);
    EXPECT_EQ(player().state, kPlayerLookingUp);
    EXPECT_EQ(player().stateTimer, 0);
    // Stopping with the block still over her head: she simply stands.
    start(blockOverhead('#'));
    tick(1);
    tick(3, kRight);
    tick(1);
    EXPECT_EQ(player().state, kPlayerStanding);
    EXPECT_EQ(player().headWasBlocked, 1);
}

TEST_F(PlayerTest, DownWithASideCrouchWalks) {
    start(openRoom());
    tick(10);
    const int x = player().x;
    tick(3, Pad{1, -1});
    EXPECT_EQ(player().state, kPlayerCrouchWalking);
    EXPECT_EQ(player().crouching, 1);
    EXPECT_EQ(player().x, x + 3);
    EXPECT_EQ(player().height, 15);
    tick(1, kDown);
    EXPECT_EQ(player().state, kPlayerCrouching);
    EXPECT_EQ(player().x, x + 3);
}

TEST_F(PlayerTest, AStageLoadForgetsAHeadBump) {
    player().bumped = 1;
    player().lockTimer = 7;
    player().stateTimer = 9;
    start(openRoom());
    EXPECT_EQ(player().bumped, 0);
    EXPECT_EQ(player().state, kPlayerLanded) << "an ordinary landing";
    EXPECT_EQ(soundCount(35), 0);
}

TEST_F(PlayerTest, SecondPlayerRecordNeverActs) {
    start(openRoom());
    game.players[1].x = 100;
    game.input[1].horizontal = 1;
    tick(10);
    EXPECT_EQ(game.players[1].x, 100);
    EXPECT_EQ(game.players[1].active, 0);
}

}  // namespace
