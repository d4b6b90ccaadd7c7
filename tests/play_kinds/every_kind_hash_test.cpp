// A stage holding one of every creature, played by a fixed input script, ends
// in the same state on every run.
#include "game/play/state_hash.h"
#include "tests/play/play_fixture.h"

#include <algorithm>

using namespace play_testing;

namespace {

class EveryKindStage : public PlayTest {
protected:
    static stage_builder::StageBuilder stage() {
        stage_builder::StageBuilder s = room({
            "",
            "",
            "  bbb        bbb",
            "",
            "       ###",
            "",
            "  b      b   bbbb",
            "",
            "     cc        bb",
            " P         #     E",
        });
        // One of every creature and spawner, spread over the room.
        const int kinds[] = {11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                             26, 27, 28, 30, 31, 32, 34, 36, 37, 38, 39, 40, 41};
        int column = 2;
        int row = 3;
        for (int kind : kinds) {
            s.actor(column, row, kind);
            column += 3;
            if (column > 17) {
                column = 2 + row % 3;
                row += 2;
            }
        }
        stage_builder::SpawnScript script;
        script.kinds = {12, 16, 0};
        script.facings = {1, 0};
        script.lifetimes = {300, 0};
        script.interval = 60;
        script.limit = 3;
        s.actor(9, 2, 35).script(9, 2, script);
        s.actor(6, 12, 7);
        return s;
    }

    // The most spawned walkers seen at once during the run.
    static inline int mostSpawned = 0;

    static uint64_t play() {
        mostSpawned = 0;
        start(stage());
        uint32_t seed = 7;
        for (int t = 0; t < 2400; ++t) {
            seed = seed * 1103515245u + 12345u;
            const int roll = static_cast<int>((seed >> 16) % 100);
            Pad pad;
            pad.horizontal = roll < 45 ? 1 : roll < 70 ? -1 : 0;
            pad.vertical = roll % 7 == 0 ? 1 : 0;
            pad.magic = roll % 11 == 0;
            pad.shot = roll % 13 == 0;
            tick(1, pad);
            mostSpawned = std::max(mostSpawned, liveActors(12) + liveActors(34) + liveActors(16));
        }
        return hashPlayState();
    }
};

TEST_F(EveryKindStage, SameInputSameStateOnEveryRun) {
    const uint64_t first = play();
    const int spawnedFirst = mostSpawned;
    SetUp();
    const uint64_t second = play();
    EXPECT_EQ(first, second);
    EXPECT_EQ(spawnedFirst, mostSpawned);
    // The creatures really ran: the spawners added walkers to the placed ones.
    EXPECT_GT(mostSpawned, 3);
}

}  // namespace
