// The play-scene driver: the start countdown, the key sequence, the exit,
// every way a stage ends, the time limit, the pause, freezes and the effect
// table.
#include "game/play/actors.h"
#include "game/play/effects.h"
#include "tests/play/play_fixture.h"
#include "game/state/scene_entry.h"
#include "tests/support/test_support.h"

#include <string>
#include <vector>

using namespace play_testing;

namespace {

class DriverTest : public PlayTest {};

constexpr Pad kRight{1, 0};
constexpr Pad kLeft{-1, 0};

// The player in column 3, the key in column 6, the exit in column 15.
stage_builder::StageBuilder keyAndExit() {
    return room({"", "", "", "", "", "", "", "", "", "", "  P  K        E"});
}

TEST_F(DriverTest, StartCountdownPlaysTheJingleThenTheMusicAndHoldsPlay) {
    stage_builder::StageBuilder stage = keyAndExit();
    stage.load();
    const double y = player().y;
    tick(1);
    EXPECT_EQ(soundCount(5), 0);
    tick(1, {0, 0, false, false, false, true});
    EXPECT_EQ(soundCount(5), 1);
    EXPECT_EQ(game.pauseCounter, 0);  // no pausing before play runs
    tick(122, kRight);
    EXPECT_EQ(game.startCounter, 125);
    EXPECT_EQ(soundCount(kStageMusicStarted), 0);
    EXPECT_DOUBLE_EQ(player().y, y);
    EXPECT_EQ(game.playFrame, 124);
    tick(1);
    EXPECT_EQ(game.startCounter, 0);
    EXPECT_EQ(soundCount(kStageMusicStarted), 1);
    EXPECT_NE(player().y, y);  // the last tick of the countdown runs play
}

TEST_F(DriverTest, KeyOpensTheExitAfterTheSparksFlightAndTheExitClearsTheStage) {
    start(keyAndExit());
    const Actor& exit = game.actors[1];
    ASSERT_EQ(exit.kind, kKindExit);

    // A closed exit does nothing; walk onto the key.
    tickUntil([] { return game.freezeCounter != 0; }, 200, kRight);
    EXPECT_EQ(player().state, kPlayerKeyTaken);
    EXPECT_EQ(liveActors(kKindKey), 0);
    EXPECT_EQ(soundCount(50), 1);
    EXPECT_EQ(game.freezeCounter, 180);

    tick(22);  // the spark appears at the key state's tick 21 but waits
    ASSERT_EQ(liveEffects(kEffectKeySpark), 1);
    EXPECT_EQ(soundCount(30), 1);
    const Actor* spark = nullptr;
    for (const Actor& e : game.effects)
        if (e.live && e.kind == kEffectKeySpark) spark = &e;
    const double sparkY = spark->y;
    tick(50);
    EXPECT_DOUBLE_EQ(spark->y, sparkY);
    EXPECT_EQ(player().state, kPlayerKeyRecovering);

    tickUntil([] { return game.freezeCounter == 0; }, 200);
    int flight = tickUntil([] { return exit.phase == 1; }, 200);
    EXPECT_GT(flight, 60);
    EXPECT_EQ(spark->kind, kEffectKeyArrival);
    EXPECT_FLOAT_EQ(spark->x, exit.x);
    EXPECT_EQ(game.freezeCounter, 24);
    EXPECT_EQ(soundCount(31), 1);
    EXPECT_EQ(game.shakeTimerX, 19);  // the shake already ran once this tick

    // The 24-tick freeze: the player stays put.
    const int x = player().x;
    tick(24, kRight);
    EXPECT_EQ(player().x, x);
    EXPECT_EQ(game.freezeCounter, 0);

    tickUntil([] { return game.clearCounter != 0; }, 400, kRight);
    EXPECT_EQ(player().state, kPlayerAtExit);
    EXPECT_EQ(player().lockTimer, 10000);
    EXPECT_EQ(soundCount(6), 1);
    EXPECT_EQ(soundCount(kStageMusicStopped), 1);
    const float timeLeft = game.timeLeft;
    tick(119);
    EXPECT_EQ(soundCount(36), 0);
    tick(1);
    EXPECT_EQ(soundCount(36), 1);
    EXPECT_EQ(game.timeLeft, timeLeft);  // time stops once the exit is reached
    tick(178);
    EXPECT_EQ(game.clearCounter, 299);
    EXPECT_EQ(game.stageNumber, 0);
    tick(1);
    EXPECT_EQ(game.stageNumber, 1);
    EXPECT_EQ(game.highestStage, 1);
    EXPECT_EQ(game.scene, kScenePlay);
    EXPECT_EQ(game.startCounter, 1);
    EXPECT_EQ(game.clearCounter, 0);
}

TEST_F(DriverTest, ScreenShakeFollowsItsTimers) {
    start(keyAndExit());
    game.shakeTimerX = 20;
    game.shakeTimerY = 20;
    const float expectedX[] = {0, 18, 0, -16, 0, 14, 0, -12, 0, 10};
    const float expectedY[] = {0, 18, 0, 0, 0, 14, 0, 0, 0, 10};
    for (int i = 0; i < 10; ++i) {
        tick(1);
        EXPECT_EQ(game.shakeX, expectedX[i]) << i;
        EXPECT_EQ(game.shakeY, expectedY[i]) << i;
    }
    game.shakeTimerX = 0;
    game.shakeX = 5;
    tick(1);
    EXPECT_EQ(game.shakeX, 5);  // a timer at 0 leaves the offset alone
}

struct ClearCase {
    int stage;
    int selectMode;
    int scene;
};

TEST_F(DriverTest, ClearedStageGoesToTheNextStageTheInterludeTheEndingOrStageSelect) {
    const ClearCase cases[] = {
        {3, 0, kScenePlay},       {4, 0, kSceneInterlude},      {9, 0, kSceneInterlude},
        {49, 0, kSceneInterlude}, {50, 0, kSceneEndingMovie},  {12, 0, kScenePlay},
        {3, 1, kSceneStageSelect}, {4, 1, kSceneStageSelect}, {50, 1, kSceneStageSelect},
    };
    for (const ClearCase& c : cases) {
        SetUp();
        testing_support::ScratchDirectory dir("clear");
        game.stageNumber = c.stage;
        game.stageSelectMode = c.selectMode;
        game.highestStage = 20;
        start(keyAndExit());
        game.clearCounter = 299;
        tick(1);
        EXPECT_EQ(game.stageNumber, c.stage + 1) << c.stage;
        EXPECT_EQ(game.scene, c.scene) << c.stage << " mode " << c.selectMode;
        EXPECT_EQ(game.highestStage, std::max(20, c.stage + 1));
    }
}

TEST_F(DriverTest, LosingALifeRestartsTheStageFromItsFiles) {
    testing_support::ScratchDirectory dir("restart");
    stage_builder::StageBuilder stage = keyAndExit();
    stage.writeFiles(dir.path(), 6);
    game.stageNumber = 6;
    loadStage();
    while (game.startCounter != 0) tick();
    player().lives = 1;
    game.actors[0].live = 0;  // the key is gone
    game.deathCounter = 84;
    tick(1);
    EXPECT_EQ(player().lives, 0);
    EXPECT_EQ(game.scene, kScenePlay);
    EXPECT_EQ(game.stageNumber, 6);
    EXPECT_EQ(liveActors(kKindKey), 1);  // reloaded
    EXPECT_EQ(game.deathCounter, 0);
    EXPECT_EQ(player().x, 3 * 32 + 16);
}

TEST_F(DriverTest, LosingTheLastLifeEndsTheGame) {
    for (int selectMode : {0, 1}) {
        SetUp();
        start(keyAndExit());
        game.stageSelectMode = selectMode;
        player().lives = 0;
        game.deathCounter = 84;
        tick(1);
        EXPECT_EQ(player().lives, -1);
        EXPECT_EQ(game.scene, selectMode ? kSceneStageSelect : kSceneGameOver);
    }
}

TEST_F(DriverTest, TimeOutKillsOnceAndTheTimerStopsAtZero) {
    start(keyAndExit());
    game.timeLeft = 3;
    tick(2);
    EXPECT_EQ(game.controlsLocked, 0);
    tick(1);
    EXPECT_EQ(game.timeLeft, 0.0f);
    EXPECT_EQ(game.controlsLocked, 1);
    EXPECT_EQ(player().state, kPlayerDeathJump);
    EXPECT_EQ(player().vy, 2.8);  // thrown up after her own update
    EXPECT_EQ(soundCount(7), 1);
    EXPECT_EQ(soundCount(kStageMusicStopped), 1);
    tickUntil([] { return game.deathCounter != 0; }, 200);
    EXPECT_EQ(player().state, kPlayerLyingDead);
    tick(20);
    EXPECT_EQ(game.timeLeft, 0.0f);
    EXPECT_EQ(soundCount(7), 1);
}

TEST_F(DriverTest, TimeLimitOffLeavesTheTimerAlone) {
    start(keyAndExit());
    EXPECT_EQ(game.timeLeft, 9998.0f);  // the countdown's last tick ran play
    game.settings.noTimeLimit = 1;
    tick(50);
    EXPECT_EQ(game.timeLeft, 9998.0f);
    game.settings.noTimeLimit = 0;
    tick(50);
    EXPECT_EQ(game.timeLeft, 9948.0f);
}

TEST_F(DriverTest, PauseNeedsAFreshPressToEndAndCountersRunOn) {
    start(keyAndExit());
    Pad pause;
    pause.pause = true;
    tick(1, pause);
    EXPECT_EQ(game.pauseCounter, 1);
    const float timeLeft = game.timeLeft;
    const int x = player().x;
    game.clearCounter = 10;
    tick(30, pause);  // still held: the pause goes on
    EXPECT_EQ(game.pauseCounter, 31);
    EXPECT_EQ(game.timeLeft, timeLeft);
    EXPECT_EQ(game.clearCounter, 40);
    tick(5, kRight);
    EXPECT_EQ(player().x, x);
    EXPECT_NE(game.pauseCounter, 0);
    tick(1, pause);  // a fresh press
    EXPECT_EQ(game.pauseCounter, 0);
    tick(1, pause);  // held over from the press that ended it: no new pause
    EXPECT_EQ(game.pauseCounter, 0);
    tick(1);
    tick(1, pause);
    EXPECT_EQ(game.pauseCounter, 1);
}

TEST_F(DriverTest, LongPauseNeverEndsByItself) {
    start(keyAndExit());
    game.pauseCounter = 32390;
    tick(200);
    EXPECT_GT(game.pauseCounter, 0);
    EXPECT_EQ(game.pauseCounter % 200, (32390 + 200) % 200);
}

TEST_F(DriverTest, DuringAFreezeOnlyPersistentEffectsMove) {
    start(keyAndExit());
    int debris = spawnEffect(200, 200, kEffectDebrisFile, 0);
    int shot = spawnEffect(200, 250, kEffectPlayerShot, 0);
    int inherited = spawnEffect(200, 300, kEffectPlayerShot, 0);
    game.effects[debris].persist = 0;
    game.effects[shot].persist = 0;
    game.effects[inherited].persist = 1;  // kept from an earlier occupant
    tick(1);  // debris turns persistent on its first update
    EXPECT_EQ(game.effects[debris].persist, 1);
    const double debrisY = game.effects[debris].y;
    game.freezeCounter = 5;
    tick(5);
    EXPECT_EQ(game.effects[shot].timer, 1);
    EXPECT_FLOAT_EQ(game.effects[shot].x, 210);
    EXPECT_EQ(game.effects[debris].timer, 6);
    EXPECT_NE(game.effects[debris].y, debrisY);
    EXPECT_FLOAT_EQ(game.effects[inherited].x, 260);
    tick(1);
    EXPECT_FLOAT_EQ(game.effects[shot].x, 220);
}

TEST_F(DriverTest, EffectTableFillsUpWithImpactRemnants) {
    start(keyAndExit());
    // Every shot impact leaves a remnant that keeps its slot for the rest of
    // the stage. The last free slot goes to the impact itself, which then
    // finds no room for its remnant.
    for (int impacts = 1; impacts <= 120; ++impacts) {
        ASSERT_GE(spawnEffect(100, 100, kEffectShotImpact, 0), 0) << impacts;
        tick(20);
        ASSERT_EQ(liveEffects(26), std::min(impacts, 99)) << impacts;
    }
    ASSERT_GE(spawnEffect(5, 5, 26, 0), 0);
    EXPECT_EQ(findFreeEffectSlot(), -1);
    EXPECT_EQ(spawnEffect(1, 1, 2, 0), -1);
    spawnBreakEffect(100, 100, kEffectActorBreak);
    spawnMakeEffect(100, 100);
    EXPECT_EQ(soundCount(3), 0);
    EXPECT_EQ(soundCount(1), 0);
    tick(300);
    EXPECT_EQ(liveEffects(26), 100);
}

TEST_F(DriverTest, EffectsLeavingTheFieldAreFreed) {
    start(keyAndExit());
    int shot = spawnEffect(700, 100, kEffectPlayerShot, 0);
    tickUntil([&] { return game.effects[shot].live == 0; }, 40);
    // Freed on the tick it is found beyond x = 800, after that tick's move.
    EXPECT_FLOAT_EQ(game.effects[shot].x, 820);
}

TEST_F(DriverTest, EmptyCellsForgetTheirVariantEveryNormalTickButNotInAFreeze) {
    start(keyAndExit());
    const int cell = 9 * 15 + 6;  // an empty cell
    ASSERT_EQ(game.tileMap.blocks[cell], 0);
    game.tileMap.blockVariant[cell] = 1;
    game.tileMap.blockVariant[0] = 1;  // column 0 holds the wall: kept
    game.freezeCounter = 2;
    tick(2);
    EXPECT_EQ(game.tileMap.blockVariant[cell], 1) << "frozen";
    tick(1);
    EXPECT_EQ(game.tileMap.blockVariant[cell], 0);
    EXPECT_EQ(game.tileMap.blockVariant[0], 1);
    // Also during the start countdown and while paused.
    start(keyAndExit());
    game.startCounter = 50;
    game.tileMap.blockVariant[cell] = 1;
    tick(1);
    EXPECT_EQ(game.tileMap.blockVariant[cell], 0) << "in the countdown";
    game.startCounter = 0;
    game.pauseCounter = 5;
    game.tileMap.blockVariant[cell] = 1;
    tick(1);
    EXPECT_EQ(game.tileMap.blockVariant[cell], 0) << "paused";
}

TEST_F(DriverTest, WithTheControlsLockedNothingIsTouchedOrShot) {
    start(keyAndExit());
    // An item on her.
    Actor& item = game.actors[10];
    item.live = 1;
    item.kind = 43;
    item.x = player().x;
    item.y = player().y;
    game.controlsLocked = 1;
    tick(1);
    EXPECT_EQ(game.actors[10].live, 1) << "the item is not taken";
    EXPECT_EQ(game.score, 0);
    game.controlsLocked = 0;
    tick(1);
    EXPECT_EQ(game.actors[10].live, 0);
    EXPECT_EQ(game.score, 100);
}

TEST_F(DriverTest, FreeActorSlotsLoseDyingAndFacingEveryNormalTick) {
    start(keyAndExit());
    Actor& freed = game.actors[60];
    Actor& live = game.actors[61];
    for (Actor* a : {&freed, &live}) {
        a->dying = 1;
        a->facing = 1;
        a->kind = 99;  // no behaviour of its own
    }
    freed.live = 0;
    live.live = 1;
    game.freezeCounter = 1;
    tick(1);
    EXPECT_EQ(freed.dying, 1) << "not in a freeze";
    EXPECT_EQ(freed.facing, 1);
    tick(1);
    EXPECT_EQ(freed.dying, 0);
    EXPECT_EQ(freed.facing, 0);
    EXPECT_EQ(live.dying, 1) << "a slot in use keeps them";
    EXPECT_EQ(live.facing, 1);
}

// Records the scene-entry steps a stage end takes.
std::vector<char>& entrySteps() {
    static std::vector<char> steps;
    return steps;
}

TEST_F(DriverTest, ALostLifeReloadsStateAndSoundsButKeepsThePicturesAndStageEndsEnterInOrder) {
    installSceneEntry({[] { entrySteps().push_back('r'); }, [] { entrySteps().push_back('i'); },
                       [] { entrySteps().push_back('s'); }});
    const struct {
        int lives;
        int selectMode;
        bool clear;
        int scene;
        const char* steps;
    } cases[] = {
        {1, 0, false, kScenePlay, "rs"},         // a life lost, lives left: pictures kept
        {0, 0, false, kSceneGameOver, "rsi"},    // the last life
        {0, 1, false, kSceneStageSelect, "rsi"},
        {2, 0, true, kScenePlay, "rsi"},         // a cleared stage
        {2, 1, true, kSceneStageSelect, "rsi"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "lives " << c.lives << " mode " << c.selectMode << " clear " << c.clear);
        start(keyAndExit());
        game.scene = kScenePlay;
        entrySteps().clear();
        game.stageNumber = 2;
        game.stageSelectMode = c.selectMode;
        player().lives = static_cast<int16_t>(c.lives);
        if (c.clear)
            game.clearCounter = 299;
        else
            game.deathCounter = 84;
        tick(1);
        EXPECT_EQ(game.scene, c.scene);
        EXPECT_EQ(std::string(entrySteps().begin(), entrySteps().end()), c.steps);
    }
}

// The contact tests on hand-made tables.
class ContactTest : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        stage_builder::StageBuilder().load();
        Player& p = player();
        p.x = 100;
        p.y = 200;
        p.halfWidth = 9;
        p.height = 28;
        p.depth = 0;
    }
    static Actor& put(int slot, int kind, float x, double y) {
        Actor& a = game.actors[slot];
        a.live = 1;
        a.kind = static_cast<int16_t>(kind);
        a.x = x;
        a.y = y;
        a.halfWidth = 12;
        a.height = 28;
        a.depth = 10;
        a.dying = 0;
        a.phase = 0;
        return a;
    }
};

TEST_F(ContactTest, ItemsScoreAndAnEnemyInTheSameTickStillKills) {
    put(0, 11, 100, 200);
    put(1, 43, 100, 200);
    put(2, 47, 105, 200);
    put(3, 46, 95, 200);
    put(4, 48, 100, 200);
    put(5, 49, 100, 200);
    put(6, 45, 100, 200);
    put(7, 44, 100, 200);
    player().lives = 2;
    player().magic = 3;
    touchActors();
    EXPECT_EQ(game.score, 100 + 1000 + 500 + 500 + 200);
    EXPECT_EQ(player().lives, 4);
    EXPECT_EQ(player().magic, 3);
    EXPECT_EQ(player().state, kPlayerDeathJump);
    EXPECT_EQ(game.controlsLocked, 1);
    EXPECT_EQ(game.actors[0].live, 1);  // the enemy stays
    for (int i = 1; i < 8; ++i) EXPECT_EQ(game.actors[i].live, 0) << i;
    EXPECT_EQ(soundCount(43), 2);
    EXPECT_EQ(soundCount(44), 2);
    EXPECT_EQ(soundCount(46), 2);
    EXPECT_EQ(soundCount(45), 1);
}

TEST_F(ContactTest, BoxesMustOverlapStrictly) {
    put(0, 43, 100 + 9 + 12, 200);  // edges meet exactly
    put(1, 43, 100, 200 - 28 + 10);  // actor bottom on the player's top
    put(2, 43, 100 + 20, 200);
    touchActors();
    EXPECT_EQ(game.actors[0].live, 1);
    EXPECT_EQ(game.actors[1].live, 1);
    EXPECT_EQ(game.actors[2].live, 0);
}

TEST_F(ContactTest, DyingActorsAndInactivePlayersTouchNothing) {
    put(0, 11, 100, 200).dying = 1;
    touchActors();
    EXPECT_EQ(game.controlsLocked, 0);
    player().active = 0;
    put(1, 43, 100, 200);
    touchActors();
    EXPECT_EQ(game.actors[1].live, 1);
}

TEST_F(ContactTest, BonusKeyReleasesAHomingBonusAtTheLastExit) {
    put(0, kKindExit, 300, 400);
    put(1, kKindExit, 500, 380);
    put(2, kKindBonusKey, 100, 200);
    game.actors[3].x = 7;  // the slot the bonus will take
    touchActors();
    EXPECT_EQ(game.actors[2].live, 0);
    ASSERT_EQ(game.actors[3].live, 1);
    EXPECT_EQ(game.actors[3].kind, kKindHomingBonus);
    EXPECT_FLOAT_EQ(game.actors[3].x, 500);
    EXPECT_DOUBLE_EQ(game.actors[3].y, 380);
    EXPECT_EQ(soundCount(47), 1);
    put(4, kKindHomingBonus, 100, 200);
    touchActors();
    EXPECT_EQ(game.score, 2000);
    EXPECT_EQ(soundCount(48), 1);
}

TEST_F(ContactTest, OpenExitClearsOnceAndRemovesEveryOtherActor) {
    put(0, kKindExit, 100, 200).phase = 1;
    put(1, 11, 100, 200);
    put(2, 43, 300, 300);
    touchActors();
    EXPECT_EQ(game.clearCounter, 1);
    EXPECT_EQ(player().state, kPlayerAtExit);
    EXPECT_EQ(game.controlsLocked, 0);  // the enemy was removed before its turn
    EXPECT_EQ(game.actors[1].live, 0);
    EXPECT_EQ(game.actors[2].live, 0);
    EXPECT_EQ(game.actors[0].live, 1);
    game.clearCounter = 5;
    player().state = 0;
    touchActors();
    EXPECT_EQ(game.clearCounter, 5);
    EXPECT_EQ(soundCount(6), 1);
}

TEST_F(ContactTest, ClosedExitDoesNothing) {
    put(0, kKindExit, 100, 200);
    const int16_t state = player().state;
    touchActors();
    EXPECT_EQ(game.clearCounter, 0);
    EXPECT_EQ(player().state, state);
    EXPECT_EQ(game.actors[0].live, 1);
}

TEST_F(ContactTest, AShotHitsOnlyTheLowestOverlappingVulnerableActor) {
    put(0, 29, 100, 200);  // cannon shot: not hurt
    put(1, 33, 100, 200);  // flame: not hurt
    put(2, 12, 100, 200);
    put(3, 13, 100, 200);
    put(4, 43, 100, 200);  // items are not hurt
    int shot = spawnEffect(100, 190, kEffectPlayerShot, 0);
    Actor& s = game.effects[shot];
    s.halfWidth = 10;
    s.height = 10;
    s.depth = 10;
    shotsHitActors();
    EXPECT_EQ(game.actors[0].dying, 0);
    EXPECT_EQ(game.actors[1].dying, 0);
    EXPECT_EQ(game.actors[2].dying, 1);
    EXPECT_EQ(game.actors[2].phase, 10);
    EXPECT_EQ(game.actors[2].airborne, 1);
    EXPECT_EQ(game.actors[3].dying, 0);
    EXPECT_EQ(s.kind, kEffectShotImpact);
    EXPECT_EQ(s.timer, 0);
    EXPECT_EQ(soundCount(33), 1);
}

TEST_F(ContactTest, EveryEnemyKindKillsAndNothingElseDoes) {
    for (int kind = 1; kind <= 55; ++kind) {
        SCOPED_TRACE(kind);
        SetUp();
        put(0, kind, 100, 200);
        touchActors();
        const bool enemy = kind >= 11 && kind <= 34;
        EXPECT_EQ(game.controlsLocked, enemy ? 1 : 0);
        EXPECT_EQ(player().state == kPlayerDeathJump, enemy);
        if (enemy) {
            EXPECT_EQ(player().vy, 2.8);
            EXPECT_EQ(player().airborne, 1);
            EXPECT_EQ(game.actors[0].live, 1) << "the enemy stays";
        }
    }
}

TEST_F(ContactTest, BoxesThatOnlyMeetAtAnEdgeDoNotTouchOnAnySide) {
    // Player box: x 91..109, y 172..200. Actor box: half width 12, from 28
    // above its feet to 10 above them.
    const struct {
        float x;
        double y;
        bool touches;
    } cases[] = {
        {121, 200, false}, {120, 200, true},  // right edge
        {79, 200, false},  {80, 200, true},   // left edge
        {100, 182, false}, {100, 183, true},  // the actor above her
        {100, 228, false}, {100, 227, true},  // the actor below her
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        SetUp();
        put(0, 43, c.x, c.y);
        touchActors();
        EXPECT_EQ(game.actors[0].live == 0, c.touches);
    }
}

TEST_F(ContactTest, ShotsKnockOutEveryEnemyButTheCannonShotAndTheFlameAndTheBonus) {
    for (int kind = 1; kind <= 55; ++kind) {
        SCOPED_TRACE(kind);
        SetUp();
        put(0, kind, 100, 200);
        const int shot = spawnEffect(100, 190, kEffectPlayerShot, 0);
        game.effects[shot].halfWidth = 10;
        game.effects[shot].height = 10;
        game.effects[shot].depth = 10;
        shotsHitActors();
        const bool hurt = (kind >= 11 && kind <= 28) || (kind >= 30 && kind <= 32) || kind == 34 || kind == 41;
        EXPECT_EQ(game.actors[0].dying, hurt ? 1 : 0);
        EXPECT_EQ(game.effects[shot].kind, hurt ? kEffectShotImpact : kEffectPlayerShot);
    }
}

TEST_F(ContactTest, ShotsPassDyingActorsAndHitTheNextOne) {
    put(0, 12, 100, 200).dying = 1;
    put(1, 16, 100, 200);
    const int shot = spawnEffect(100, 190, kEffectPlayerShot, 0);
    Actor& s = game.effects[shot];
    s.halfWidth = 10;
    s.height = 10;
    s.depth = 10;
    shotsHitActors();
    EXPECT_EQ(game.actors[0].phase, 0) << "the dying walker is passed";
    EXPECT_EQ(game.actors[1].dying, 1);
    EXPECT_EQ(game.actors[1].phase, 10);
    EXPECT_EQ(game.actors[1].vy, 3.0);
    EXPECT_EQ(s.kind, kEffectShotImpact);
}

TEST_F(ContactTest, TheReleasedBonusStartsFacingRightAndDrifting) {
    put(0, kKindExit, 300, 400);
    put(1, kKindBonusKey, 100, 200);
    Actor& old = game.actors[2];  // the slot's last occupant left these
    old.facing = 1;
    old.phase = 10;
    old.dying = 1;
    old.timer = 77;
    touchActors();
    ASSERT_EQ(old.live, 1);
    EXPECT_EQ(old.kind, kKindHomingBonus);
    EXPECT_EQ(old.facing, 0);
    EXPECT_EQ(old.phase, 0);
    EXPECT_EQ(old.dying, 0);
    EXPECT_EQ(old.timer, 0);
}

TEST_F(ContactTest, OnlyPlayerShotsHit) {
    put(0, 12, 100, 200);
    int flash = spawnEffect(100, 190, 19, 0);
    game.effects[flash].halfWidth = 10;
    game.effects[flash].height = 10;
    game.effects[flash].depth = 10;
    shotsHitActors();
    EXPECT_EQ(game.actors[0].dying, 0);
}

TEST_F(ContactTest, TouchingTheKeyStartsTheKeySequence) {
    put(0, kKindKey, 100, 200);
    touchActors();
    EXPECT_EQ(game.actors[0].live, 0);
    EXPECT_EQ(player().state, kPlayerKeyTaken);
    EXPECT_EQ(player().lockTimer, 34);
    EXPECT_EQ(game.freezeCounter, 180);
}

TEST_F(ContactTest, SpawnersTakeTheLowestFreeSlotAndKeepOldFields) {
    game.effects[0].live = 1;
    game.effects[1].persist = 1;
    game.effects[2].persist = 0;
    EXPECT_EQ(spawnEffect(10, 20, 5, 1), 1);
    EXPECT_EQ(game.effects[1].persist, 1);  // left by the earlier occupant
    EXPECT_EQ(spawnEffect(10, 20, 44, 1), 2);
    EXPECT_EQ(game.effects[2].persist, 1);
    EXPECT_GE(game.effects[2].angle, 0);
    EXPECT_LT(game.effects[2].angle, 360);
    spawnBreakEffect(30, 40, kEffectActorBreak);
    EXPECT_EQ(game.effects[3].persist, 1);
    EXPECT_EQ(soundCount(3), 1);
    EXPECT_EQ(spawnActorAt(12, 5.5, 6.5), 0);
    EXPECT_EQ(spawnActorAt(12, 5.5, 6.5), 1);
}

}  // namespace
