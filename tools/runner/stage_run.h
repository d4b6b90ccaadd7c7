// Running one stage headless from its files with a replay: as fast as the
// logic goes, no display and no sound, to an outcome.
#pragma once

#include "game/shell/replay.h"

#include <cstdint>
#include <functional>
#include <string>

namespace stage_run {

enum class Outcome { Cleared, Died, TimedOut, StillRunning };

struct Result {
    Outcome outcome = Outcome::StillRunning;
    long tick = 0;  // ticks run; for an ending, the tick (1-based) it happened on
    int32_t score = 0;
    uint64_t hash = 0;
    // "cleared at tick 812, score 300, state hash 00ab..."
    std::string line() const;
};

// Fresh game state with the replay's stage built from dataDir/01 and its
// start values restored, read as the game reads it (the loose files, never
// an archive).
// False (with a reason) when the stage's block file is not there; a short or
// empty one is played as it stands, with a note on standard error.
bool startStage(const std::string& dataDir, const ReplayStart& start, std::string& error);

// Plays the replay's ticks on the stage already started, then ticks with
// nothing held up to `tickLimit` ticks in all (the replay's length when
// negative), stopping at the first ending. `afterTick`, when given, is called
// after every tick with the tick number.
Result play(const Replay& replay, long tickLimit, const std::function<void(long)>& afterTick = {});

// The same from the replay's tick `firstTick` on, for a game state that has
// already played the ticks before it (restored from a copy, say).
Result playFrom(const Replay& replay, long firstTick, long tickLimit,
                const std::function<void(long)>& afterTick = {});

}  // namespace stage_run
