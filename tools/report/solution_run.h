// A stage's solution played once, with copies of the play state kept along
// the way, so that variants of the script (a wait put in, a line held longer)
// are played only from where their inputs part from the solution's.
#pragma once

#include "game/shell/replay.h"
#include "tools/finder/play_snapshot.h"
#include "tools/report/play_watch.h"
#include "tools/runner/stage_run.h"

#include <string>
#include <vector>

namespace report {

class SolutionRun {
public:
    // Compiles the script (its stage is `stage` unless it names one) and plays
    // it on the stage's files in dataDir/01. False with a reason when the
    // script does not compile or the stage cannot be started.
    bool start(const std::string& dataDir, const std::string& script, int stage, std::string& error);

    const stage_run::Result& result() const { return result_; }
    bool cleared() const { return result_.outcome == stage_run::Outcome::Cleared; }
    const PlayWatch& watch() const { return watch_; }
    const Replay& replay() const { return replay_; }

    // Whether a variant of the script clears the stage as the runner plays
    // it (its own length of ticks). A variant that does not compile, or
    // starts the stage differently, does not.
    bool variantClears(const std::string& script);

    // The copies are taken every this many ticks.
    static constexpr long kCopyEvery = 8;

private:
    Replay replay_;
    stage_run::Result result_;
    PlayWatch watch_;
    std::vector<finder::PlaySnapshot> copies_;  // copies_[k]: after k * kCopyEvery ticks
};

}  // namespace report
