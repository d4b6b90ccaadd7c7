#include "tools/runner/stage_run.h"

#include "game/play/play_scene.h"
#include "game/play/stage_files.h"
#include "game/play/state_hash.h"
#include "game/state/globals.h"
#include "media/media.h"

#include <sys/stat.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>

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
    char name[kStageFileNameSize];
    stageFileName(name, start.stage, StageFile::Blocks);
    std::string shown = dataDir + "/" + name;
    std::replace(shown.begin(), shown.end(), '\\', '/');
    // The game reads its stage files straight from the disk (a pack archive
    // named 01.lmt does not stand in for them); so does the run. Pictures
    // and sounds, for screenshots, may come from the data set's archives.
    SetPackArchiveExtension("lmt");
    char startFolder[4096];
    if (FileGetCurrentDirectory(startFolder, sizeof startFolder) != 0 ||
        FileSetCurrentDirectory(dataDir.c_str()) != 0) {
        error = dataDir + ": the folder cannot be entered";
        return false;
    }
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        FileSetCurrentDirectory(startFolder);
        error = shown + " is missing";
        return false;
    }
    std::fclose(file);
    // The game plays a short or empty file as it stands, and a folder in a
    // stage file's place (it opens, and nothing can be read from it) as an
    // empty file; so does the run, and says so.
    for (StageFile which : {StageFile::Blocks, StageFile::HiddenItems, StageFile::CellScripts}) {
        stageFileName(name, start.stage, which);
        std::string each = name;
        std::replace(each.begin(), each.end(), '\\', '/');
        const std::string shownEach = dataDir + "/" + each;
        struct stat info {};
        if (::stat(each.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            std::fprintf(stderr, "%s is a folder: the game reads nothing from it, as from an empty file\n",
                         shownEach.c_str());
        } else if (which == StageFile::Blocks && info.st_size < static_cast<off_t>(kStageLayerBytes)) {
            std::fprintf(stderr, "%s holds %" PRId64 " of %zu bytes: the cells beyond are empty\n", shown.c_str(),
                         static_cast<int64_t>(info.st_size), kStageLayerBytes);
        }
    }
    game = GameGlobals{};
    silenceSounds();
    game.scene = kScenePlay;
    game.stageNumber = start.stage;
    loadStage();
    FileSetCurrentDirectory(startFolder);
    applyReplayStart(start);
    return true;
}

Result play(const Replay& replay, long tickLimit, const std::function<void(long)>& afterTick) {
    return playFrom(replay, 0, tickLimit, afterTick);
}

Result playFrom(const Replay& replay, long firstTick, long tickLimit, const std::function<void(long)>& afterTick) {
    Result result;
    result.tick = firstTick;
    long limit = tickLimit < 0 ? static_cast<long>(replay.ticks.size()) : tickLimit;
    for (long t = firstTick; t < limit; ++t) {
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
