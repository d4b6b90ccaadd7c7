#include "tools/runner/stage_run.h"

#include "game/play/play_scene.h"
#include "game/play/stage_files.h"
#include "game/play/state_hash.h"
#include "game/state/globals.h"
#include "tools/stagec/stage_io.h"

#include <cinttypes>
#include <cstdio>
#include <vector>

namespace stage_run {

namespace {

const char* outcomeText(Outcome outcome) {
    switch (outcome) {
        case Outcome::Cleared: return "cleared";
        case Outcome::Died: return "died";
        case Outcome::TimedOut: return "timed out";
        case Outcome::StillRunning: break;
    }
    return "still running";
}

void silenceSounds() {
    // No sounds are loaded in a run: every handle is the failed one.
    for (int32_t& h : game.soundSlots) h = -1;
    for (int32_t& h : game.effectSounds) h = -1;
    game.stageStartSound = game.exitReachedSound = game.timeUpSound = game.stageMusic = -1;
}

bool ended(Outcome& outcome) {
    if (game.clearCounter >= 1) {
        outcome = Outcome::Cleared;
        return true;
    }
    if (game.controlsLocked != 0) {
        outcome = game.timeLeft == 0.0f ? Outcome::TimedOut : Outcome::Died;
        return true;
    }
    return false;
}

}  // namespace

std::string Result::line() const {
    char text[160];
    if (outcome == Outcome::StillRunning)
        std::snprintf(text, sizeof text, "still running after tick %ld, score %" PRId32 ", state hash %016" PRIx64,
                      tick, score, hash);
    else
        std::snprintf(text, sizeof text, "%s at tick %ld, score %" PRId32 ", state hash %016" PRIx64,
                      outcomeText(outcome), tick, score, hash);
    return text;
}

bool startStage(const std::string& dataDir, const ReplayStart& start, std::string& error) {
    std::vector<unsigned char> files[3];
    std::string folder = dataDir + "/01/";
    for (int f = 0; f < 3; ++f) stagec::readFileBytes(folder + stagec::stageFileBase(start.stage, f), files[f]);
    if (files[0].empty()) {
        error = folder + stagec::stageFileBase(start.stage, 0) + " is missing";
        return false;
    }
    game = GameGlobals{};
    silenceSounds();
    game.scene = kScenePlay;
    game.stageNumber = start.stage;
    StageBytes bytes;
    bytes.blocks = files[0].data();
    bytes.blocksSize = files[0].size();
    bytes.hiddenItems = files[1].data();
    bytes.hiddenItemsSize = files[1].size();
    bytes.cellScripts = files[2].data();
    bytes.cellScriptsSize = files[2].size();
    loadStageFrom(bytes);
    applyReplayStart(start);
    return true;
}

Result play(const Replay& replay, long tickLimit, const std::function<void(long)>& afterTick) {
    Result result;
    long limit = tickLimit < 0 ? static_cast<long>(replay.ticks.size()) : tickLimit;
    for (long t = 0; t < limit; ++t) {
        game.input[0] = t < static_cast<long>(replay.ticks.size()) ? unpackReplayInput(replay.ticks[t]) : InputState{};
        game.input[1] = InputState{};
        updatePlayLogic();
        result.tick = t + 1;
        if (afterTick) afterTick(result.tick);
        if (ended(result.outcome)) break;
    }
    result.score = game.score;
    result.hash = hashPlayState();
    return result;
}

}  // namespace stage_run
