// The shortcut finder: its snapshots put the game state back exactly, the
// copy, step and key of a state allocate nothing, and a small search finds a
// clear that the runner plays back to the same tick.
#include "game/play/play_scene.h"
#include "game/play/state_hash.h"
#include "game/state/globals.h"
#include "game/shell/replay.h"
#include "tools/finder/play_snapshot.h"
#include "tools/finder/search.h"
#include "tools/runner/input_script.h"
#include "tools/runner/stage_run.h"
#include "tools/stagec/stage_io.h"
#include "tests/stages/stage_paths.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

// Every allocation of this test program is counted.
namespace {
std::atomic<long> gAllocations{0};
}  // namespace

void* operator new(std::size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
// Every form of delete frees what every form of new took from malloc (the
// file layer allocates with the nothrow forms).
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using stage_paths::dataDir;

Replay solution(int stage) {
    input_script::Result r = stage_paths::solution(stage);
    EXPECT_TRUE(r.ok());
    return r.replay;
}

// A fresh stage 0 in the game state, ready for a search.
ReplayStart startStageZero() {
    ReplayStart start;
    start.stage = 0;
    std::string error;
    EXPECT_TRUE(stage_run::startStage(dataDir(), start, error)) << error;
    return start;
}

void tick(uint16_t input) {
    game.input[0] = unpackReplayInput(input);
    game.input[1] = InputState{};
    updatePlayLogic();
}

// Stage 14 has a walker, a chaser and a crawler on the move and a soft
// bridge that gets broken: a state with plenty going on.
TEST(Finder, ASnapshotPutsBackExactlyTheStateItTook) {
    Replay replay = solution(14);
    std::string error;
    ASSERT_TRUE(stage_run::startStage(dataDir(), replay.start, error)) << error;
    const size_t from = 650, to = 900;
    ASSERT_GT(replay.ticks.size(), to);
    finder::PlaySnapshot snapshot;
    for (size_t t = 0; t < from; ++t) tick(replay.ticks[t]);
    uint64_t atFrom = hashPlayState();
    finder::saveSnapshot(snapshot);
    for (size_t t = from; t < to; ++t) tick(replay.ticks[t]);
    uint64_t straight = hashPlayState();
    ASSERT_NE(straight, atFrom);

    finder::restoreSnapshot(snapshot);
    EXPECT_EQ(hashPlayState(), atFrom);
    for (size_t t = from; t < to; ++t) tick(replay.ticks[t]);
    EXPECT_EQ(hashPlayState(), straight);
}

TEST(Finder, CopyStepAndRestoreAllocateNothing) {
    Replay replay = solution(14);
    std::string error;
    ASSERT_TRUE(stage_run::startStage(dataDir(), replay.start, error)) << error;
    auto* snapshot = new finder::PlaySnapshot;
    finder::saveSnapshot(*snapshot);
    auto rounds = [&](int n) {
        for (int round = 0; round < n; ++round) {
            finder::restoreSnapshot(*snapshot);
            for (size_t t = 0; t < 1200 && t < replay.ticks.size(); ++t) tick(replay.ticks[t]);
            hashPlayState();
        }
    };
    // The first round may start things up once (the media layer's lock);
    // after that, not one allocation.
    rounds(1);
    long before = gAllocations.load();
    rounds(3);
    EXPECT_EQ(gAllocations.load(), before);
    delete snapshot;
}

TEST(Finder, FindsAClearThatPlaysBackToTheSameTick) {
    ReplayStart start = startStageZero();
    finder::SearchLimits limits;
    limits.width = 60;
    limits.ticks = 1000;
    finder::SearchResult found = finder::search(limits);
    ASSERT_TRUE(found.cleared);
    EXPECT_EQ(static_cast<long>(found.inputs.size()), found.clearTick);
    // Stage 0's own solution clears at 924; a search of the whole stage does
    // no worse.
    EXPECT_LE(found.clearTick, 924);

    std::string script = finder::scriptText(found.inputs, start);
    EXPECT_EQ(script.rfind("stage 0\nready\n", 0), 0u) << script;
    input_script::Result compiled = input_script::compile(script, "found.script");
    ASSERT_TRUE(compiled.ok()) << compiled.errors[0];
    EXPECT_EQ(compiled.replay.ticks, found.inputs);
    std::string error;
    ASSERT_TRUE(stage_run::startStage(dataDir(), compiled.replay.start, error)) << error;
    stage_run::Result played = stage_run::play(compiled.replay, -1);
    EXPECT_EQ(played.outcome, stage_run::Outcome::Cleared) << played.line();
    EXPECT_EQ(played.tick, found.clearTick);
}

TEST(Finder, StopsAtItsTickBoundWithoutAClear) {
    startStageZero();
    finder::SearchLimits limits;
    limits.width = 50;
    limits.ticks = 160;  // far too short to reach the door
    finder::SearchResult found = finder::search(limits);
    EXPECT_FALSE(found.cleared);
    EXPECT_EQ(found.levels, 160 / limits.step);
    EXPECT_TRUE(found.inputs.empty());
}

TEST(Finder, ScriptTextHoldsEveryRunOfEqualInputs) {
    ReplayStart start;
    start.stage = 12;
    start.magic = 2;
    std::vector<uint16_t> inputs(input_script::kReadyTicks, 0);
    auto add = [&](uint16_t bits, int n) { inputs.insert(inputs.end(), static_cast<size_t>(n), bits); };
    add(1, 30);            // right
    add(1 | 4, 1);         // right and up: a jump
    add(1, 7);
    add(2 | 8 | 16, 1);    // left, down, button 1: a crouching cast
    add(0, 19);
    add(32, 1);            // button 2: a shot
    std::string text = finder::scriptText(inputs, start);
    EXPECT_EQ(text,
              "stage 12\ncharges 2\nready\nright 30\nright up 1\nright 7\nleft down cast 1\nwait 19\nshoot 1\n");
    input_script::Result back = input_script::compile(text, "t.script");
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.replay.ticks, inputs);
    EXPECT_EQ(back.replay.start.magic, 2);
}

}  // namespace
