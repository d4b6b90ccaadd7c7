#include "game/shell/replay_recorder.h"

#include "game/play/play_scene.h"
#include "game/shell/file_writing.h"
#include "game/shell/replay.h"
#include "game/state/globals.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace {

// About four and a half hours of one stage; longer attempts keep their start.
constexpr size_t kMaxRecordedTicks = 1u << 20;

struct Recorder {
    std::string folder;
    bool open = false;
    Replay replay;
};

Recorder gRecorder;

bool fileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

void writeOpenReplay() {
    if (!gRecorder.open) return;
    gRecorder.open = false;
    char name[32];
    for (int attempt = 1; attempt < 100000; ++attempt) {
        // Named by the stage number the game shows (STAGE 01 is stage file 0).
        std::snprintf(name, sizeof name, "/%02d-%d.rep", gRecorder.replay.start.stage + 1, attempt);
        std::string path = gRecorder.folder + name;
        if (fileExists(path)) continue;
        std::vector<unsigned char> bytes = encodeReplay(gRecorder.replay);
        std::string reason;
        if (!makeFolder(gRecorder.folder, reason) || !replaceFile(path, bytes.data(), bytes.size(), reason))
            reportFailedWrite("The replay", path, reason);
        return;
    }
}

void onStageLoaded() {
    writeOpenReplay();
    gRecorder.replay.start = captureReplayStart();
    gRecorder.replay.ticks.clear();
    gRecorder.open = true;
}

void onTickStarting() {
    if (!gRecorder.open) return;
    // The buffer was reserved once: recording never allocates during play.
    if (gRecorder.replay.ticks.size() < kMaxRecordedTicks)
        gRecorder.replay.ticks.push_back(packReplayInput(game.input[0]));
}

void onTickFinished() {
    if (game.scene != kScenePlay) writeOpenReplay();
}

constexpr PlayWatcher kRecorderWatcher = {onStageLoaded, onTickStarting, onTickFinished};

}  // namespace

void startReplayRecording(const char* folder) {
    finishReplayRecording();
    if (!folder || !*folder) {
        setPlayWatcher(nullptr);
        return;
    }
    gRecorder.folder = folder;
    gRecorder.replay.ticks.reserve(kMaxRecordedTicks);
    setPlayWatcher(&kRecorderWatcher);
}

void finishReplayRecording() { writeOpenReplay(); }
