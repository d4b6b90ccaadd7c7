#include "tools/report/solution_run.h"

#include "tools/runner/input_script.h"

#include <algorithm>
#include <cstring>

namespace report {

namespace {

bool sameStart(const ReplayStart& a, const ReplayStart& b) {
    return a.stage == b.stage && a.randomState == b.randomState && a.score == b.score &&
           a.noTimeLimit == b.noTimeLimit && a.lives == b.lives && a.magic == b.magic && a.facing == b.facing &&
           std::memcmp(a.prevButtons, b.prevButtons, sizeof a.prevButtons) == 0 &&
           a.prevVertical == b.prevVertical && a.prevHorizontal == b.prevHorizontal && a.crouching == b.crouching;
}

}  // namespace

bool SolutionRun::start(const std::string& dataDir, const std::string& script, int stage, std::string& error) {
    input_script::Result compiled = input_script::compile(script, "solution");
    if (!compiled.ok()) {
        error = compiled.errors.front();
        return false;
    }
    replay_ = compiled.replay;
    if (!compiled.stageGiven) replay_.start.stage = stage;
    if (!stage_run::startStage(dataDir, replay_.start, error)) return false;
    copies_.clear();
    copies_.reserve(replay_.ticks.size() / kCopyEvery + 1);
    copies_.emplace_back();
    finder::saveSnapshot(copies_.back());
    watch_.begin();
    result_ = stage_run::play(replay_, -1, [this](long tick) {
        watch_.afterTick();
        if (tick % kCopyEvery == 0) {
            copies_.emplace_back();
            finder::saveSnapshot(copies_.back());
        }
    });
    return true;
}

bool SolutionRun::variantClears(const std::string& script) {
    input_script::Result compiled = input_script::compile(script, "variant");
    if (!compiled.ok() || copies_.empty()) return false;
    Replay variant = std::move(compiled.replay);
    if (!compiled.stageGiven) variant.start.stage = replay_.start.stage;
    if (!sameStart(variant.start, replay_.start)) return false;
    // The variant plays exactly as the solution up to its first different
    // input, and the solution's run ended at result_.tick.
    const auto& a = replay_.ticks;
    const auto& b = variant.ticks;
    size_t same = static_cast<size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
    long from = std::min<long>(static_cast<long>(same), result_.tick);
    if (from >= result_.tick && result_.outcome != stage_run::Outcome::StillRunning)
        return cleared();
    size_t copy = std::min(static_cast<size_t>(from / kCopyEvery), copies_.size() - 1);
    finder::restoreSnapshot(copies_[copy]);
    stage_run::Result r = stage_run::playFrom(variant, static_cast<long>(copy) * kCopyEvery, -1);
    return r.outcome == stage_run::Outcome::Cleared;
}

}  // namespace report
