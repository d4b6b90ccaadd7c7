#include "game/shell/game_main.h"

#include "game/shell/controls.h"
#include "game/shell/data_directory.h"
#include "game/shell/frame_tick.h"
#include "game/shell/replay_recorder.h"
#include "game/shell/saved_files.h"
#include "game/state/globals.h"
#include "media/media.h"

int runGame() {
    // Started from a directory without the game's data, play the default set.
    moveToDataDirectory();

    ChangeWindowMode(1);
    SetWindowCaption("Lumotta");
    if (InitMedia() == -1) return -1;
    SetPackArchiveExtension("lmt");
    setDefaultKeyAssignment();
    SetDrawTarget(kDrawTargetBack);
    SetTransparentColor(0, 255, 0);
    game.scene = kSceneStartupMovie;
    game.randomState = 1;
    setSavedDefaults();
    readSavedFiles();
    if (game.settings.fullScreen) {
        SetWindowScale(1.0);
        ChangeWindowMode(0);
        SetDrawTarget(kDrawTargetBack);
    }
    startReplayRecordingFromEnvironment();
    enterScene();

    for (;;) {
        if (ProcessMessage() != 0) break;
        if (CheckKey(1)) break;  // Escape
        if (game.quitRequested) break;
        FrameTick();
    }

    finishReplayRecording();
    EndMedia();
    writeSavedFiles();
    return 0;
}
