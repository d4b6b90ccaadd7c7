// A fixed input script on a fixed stage always ends in the same state.
#include "game/play/game_random.h"
#include "game/play/state_hash.h"
#include "tests/play/play_fixture.h"

#include <memory>

using namespace play_testing;

namespace {

class StateHashTest : public PlayTest {
protected:
    static uint64_t runScript();
};

// Items, key, exit, blocks to make and break: only the scene's own logic.
stage_builder::StageBuilder hashStage() {
    stage_builder::StageBuilder stage = room({
        "",
        "",
        "",
        "",
        "",
        "   bbb    ###",
        "",
        "      1  2   5",
        "  M  bbcc",
        "         M   $   L",
        " P   K  2   M    E",
    });
    stage.hiddenItem(6, 10, 47).hiddenItem(8, 10, 49);
    return stage;
}

// A scripted run: segments of walking, jumping, crouching, casting and
// shooting, with a pause in the middle.
uint64_t StateHashTest::runScript() {
    hashStage().load();
    uint32_t script = 12345;
    auto next = [&script](int n) {
        script = script * 1103515245u + 12345u;
        return static_cast<int>((script >> 16) % static_cast<uint32_t>(n));
    };
    int t = 0;
    while (t < 3000) {
        int action = next(100);
        int length = 10 + next(30);
        Pad pad;
        if (action < 40) {
            pad.horizontal = 1;
        } else if (action < 55) {
            pad.horizontal = -1;
        } else if (action < 70) {
            pad.horizontal = next(2) ? 1 : -1;
            pad.vertical = 1;
        } else if (action < 80) {
            pad.magic = true;
        } else if (action < 85) {
            pad.vertical = -1;
        } else if (action < 90) {
            pad.shot = true;
        } else if (action < 95) {
            pad.spell = true;
        }
        for (int i = 0; i < length; ++i, ++t) {
            Pad now = pad;
            now.magic = pad.magic && i == 0;
            now.shot = pad.shot && i == 0;
            now.spell = pad.spell && i == 0;
            now.pause = t == 900 || t == 960;
            tick(1, now);
        }
    }
    return hashPlayState();
}

TEST_F(StateHashTest, SameScriptSameHash) {
    const uint64_t first = runScript();
    SetUp();
    const uint64_t second = runScript();
    EXPECT_EQ(first, second);
    // The run really played: items were taken and blocks changed.
    EXPECT_GT(game.playFrame, 2000);
    EXPECT_GT(game.score, 0);
    EXPECT_EQ(player().state, kPlayerAtExit);
}

TEST_F(StateHashTest, HashIsStableAcrossRunsAndPlatforms) {
    // The stage holds no creatures, so this value depends only on the play
    // logic of the player, magic, items and effects.
    const uint64_t hash = runScript();
    EXPECT_EQ(hash, 0x6686ad1c19fc892aull) << std::hex << hash;
}

TEST_F(StateHashTest, RestoredStateReplaysIdentically) {
    hashStage().load();
    tick(300, {1, 0});
    auto saved = std::make_unique<GameGlobals>(game);
    tick(200, {1, 1, true});
    const uint64_t after = hashPlayState();
    game = *saved;
    tick(200, {1, 1, true});
    EXPECT_EQ(hashPlayState(), after);
    game = *saved;
    tick(200, {-1, 1, true});
    EXPECT_NE(hashPlayState(), after);
}

TEST_F(StateHashTest, RandomGeneratorFollowsTheClassicRecurrence) {
    game.randomState = 1;
    EXPECT_EQ(gameRandom(), 41);
    EXPECT_EQ(gameRandom(), 18467);
    EXPECT_EQ(gameRandom(), 6334);
    EXPECT_EQ(game.randomState, 1u * 214013u * 214013u * 214013u + 2531011u * 214013u * 214013u +
                                    2531011u * 214013u + 2531011u);
}

}  // namespace
