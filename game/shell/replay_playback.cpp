#include "game/shell/replay_playback.h"

#include "game/shell/controls.h"
#include "game/shell/frame_tick.h"
#include "game/state/globals.h"
#include "game/state/scene_entry.h"

#include <cstdio>
#include <vector>

namespace {

// A recording cut short (the player quit mid-stage) still ends: this many
// ticks after its input runs out.
constexpr uint32_t kTicksAfterTheInput = 600;

constexpr uintmax_t kLargestReplayFile = 64u << 20;

struct Playback {
    ReplayStart start;
    uint32_t recordedTicks = 0;
    std::vector<InputState> records;  // player 1 and player 2 for every tick
};

Playback gPlayback;

bool stageLeft() {
    return game.scene != kScenePlay || game.stageNumber != gPlayback.start.stage ||
           game.players[0].lives != gPlayback.start.lives;
}

}  // namespace

bool readReplayFile(const std::string& path, Replay& out, std::string& error) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot be read";
        return false;
    }
    std::vector<unsigned char> bytes;
    unsigned char block[65536];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, f)) > 0) {
        bytes.insert(bytes.end(), block, block + got);
        if (bytes.size() > kLargestReplayFile) break;
    }
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError) {
        error = "cannot be read";
        return false;
    }
    if (bytes.size() > kLargestReplayFile) {
        error = "is too large for a replay";
        return false;
    }
    return decodeReplay(bytes.data(), bytes.size(), out, error);
}

void startReplayPlayback(const Replay& replay) {
    gPlayback.start = replay.start;
    gPlayback.recordedTicks = static_cast<uint32_t>(replay.ticks.size());
    gPlayback.records.assign(2 * (replay.ticks.size() + kTicksAfterTheInput), InputState{});
    for (size_t t = 0; t < replay.ticks.size(); ++t) gPlayback.records[2 * t] = unpackReplayInput(replay.ticks[t]);
    installShellSceneEntry();
    startReplayStage(replay.start);
    sceneEntry().loadImages();
    sceneEntry().loadSounds();
    installInputScript(gPlayback.records.data(), static_cast<uint32_t>(gPlayback.records.size() / 2));
}

bool replayPlaybackEnded() {
    return stageLeft() || inputScriptTicksFed() >= gPlayback.recordedTicks + kTicksAfterTheInput;
}

std::string replayPlaybackOutcome() {
    const char* how = game.stageNumber > gPlayback.start.stage ? "cleared"
                      : stageLeft()                            ? "lost"
                                                               : "not finished";
    char text[160];
    // The stage as the game shows it, and the number of its stage file.
    const int stage = static_cast<int>(gPlayback.start.stage);
    std::snprintf(text, sizeof text, "replay of stage %d (stage file %02d): %s after %u ticks, score %d",
                  stage + 1, stage, how, static_cast<unsigned>(inputScriptTicksFed()),
                  static_cast<int>(game.score));
    return text;
}
