// Ticks per second of the play logic alone on a stage with 100 live actors
// and 100 live effects. The crowded state is restored every few hundred
// ticks so the tables stay full; only the ticks are timed.
//
//   build/bench/play_logic/bench_play_logic [seconds]
#include "game/play/effects.h"
#include "game/play/play_scene.h"
#include "game/shell/globals.h"
#include "tests/play/stage_builder.h"

#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <memory>

namespace {

// Floor, walls, shelves of breakable blocks, the player, and 100 actors of
// every creature and item kind.
void buildCrowdedStage() {
    stage_builder::StageBuilder stage;
    for (int c = 0; c < 20; ++c) stage.block(c, 13, 1);
    for (int r = 0; r < 14; ++r) stage.block(0, r, 1).block(19, r, 1);
    for (int c = 2; c < 18; c += 2) stage.block(c, 9, 2).block(c + 1, 5, 3);
    stage.block(9, 12, 100);
    int placed = 0;
    for (int c = 1; c < 40 && placed < 100; ++c) {
        for (int r = 2; r < 13 && placed < 100; ++r) {
            if (stage.blockCode(c, r) != 0) continue;
            int kind = 11 + placed % 39;  // kinds 11..49
            if (kind == 35) kind = 36;
            stage.actor(c, r, kind);
            ++placed;
        }
    }
    stage.load();
}

// A mix of long-lived effects (remnants, spell pieces, emitters) and busy
// short ones (sparks, debris, shots, impacts).
void fillEffects() {
    static constexpr int kKinds[] = {26, 36, 41, 50, 55, 56, 57, 58, 49, 11, 32, 61, 62, 20, 25, 14, 15};
    constexpr int kKindCount = static_cast<int>(sizeof kKinds / sizeof kKinds[0]);
    uint32_t seed = 7;
    for (int i = 0; i < kEffectSlots; ++i) {
        seed = seed * 1664525u + 1013904223u;
        spawnEffect(40 + static_cast<int>((seed >> 12) % 560), 40 + static_cast<int>((seed >> 20) % 400),
                    kKinds[i % kKindCount], static_cast<int>(seed >> 31));
    }
}

int liveCount(const Actor* table) {
    int n = 0;
    for (int i = 0; i < 100; ++i) n += table[i].live != 0;
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    game = GameGlobals{};
    game.randomState = 1;
    game.players[0].lives = 99;
    game.settings.noTimeLimit = 1;
    buildCrowdedStage();
    game.startCounter = 0;  // skip the countdown
    fillEffects();
    auto snapshot = std::make_unique<GameGlobals>(game);

    // Thread CPU time: the figure holds on a machine shared with other work.
    auto now = [] {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return ts.tv_sec + ts.tv_nsec * 1e-9;
    };
    constexpr int kChunk = 100;
    long long ticks = 0;
    long long actorSum = 0;
    long long effectSum = 0;
    double elapsed = 0;
    while (elapsed < seconds) {
        game = *snapshot;
        actorSum += liveCount(game.actors);
        effectSum += liveCount(game.effects);
        const double begin = now();
        for (int t = 0; t < kChunk; ++t) {
            InputState& in = game.input[0];
            in.horizontal = (t / 40) % 2 ? -1 : 1;
            in.vertical = t % 50 == 0 ? 1 : 0;
            in.button[0] = t % 30 == 0;
            in.button[1] = t % 45 == 0;
            game.players[0].magic = 3;
            updatePlayLogic();
        }
        elapsed += now() - begin;
        ticks += kChunk;
        actorSum += liveCount(game.actors);
        effectSum += liveCount(game.effects);
    }
    const long long chunks = ticks / kChunk;
    std::printf("play logic: %lld ticks in %.3f s of CPU time = %.0f ticks/s (%.2f us per tick)\n", ticks,
                elapsed, ticks / elapsed, 1e6 * elapsed / ticks);
    std::printf("live actors %.1f, live effects %.1f (average of chunk starts and ends)\n",
                actorSum / (2.0 * chunks), effectSum / (2.0 * chunks));
    return 0;
}
