// Ticks per second of the play logic alone on a stage with 100 live actors
// and 100 live effects. The crowded state is restored every few hundred
// ticks so the tables stay full; only the ticks are timed.
//
//   build/bench/play_logic/bench_play_logic [seconds]
#include "bench/common/crowded_stage.h"
#include "game/play/play_scene.h"
#include "game/state/globals.h"

#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <memory>

namespace {

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
