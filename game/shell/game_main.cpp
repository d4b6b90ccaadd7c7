#include "game/shell/game_main.h"

#include "game/shell/comforts.h"
#include "game/shell/controls.h"
#include "game/shell/data_directory.h"
#include "game/shell/file_writing.h"
#include "game/shell/frame_tick.h"
#include "game/shell/replay_playback.h"
#include "game/shell/replay_recorder.h"
#include "game/shell/saved_files.h"
#include "game/shell/user_settings.h"
#include "game/shell/write_folders.h"
#include "game/state/globals.h"
#include "media/media.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kWindowIcon = "21\\icon.png";

// A path given relative to where the program was started, which stays right
// after the move into the data folder.
std::string absolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code error;
    const fs::path whole = fs::absolute(path, error);
    return error ? path : whole.lexically_normal().string();
}

// Into --data's folder, or where data_directory.h finds the data. False
// (said on standard error) when --data names no game data.
bool enterDataFolder(const std::string& wanted) {
    if (wanted.empty()) {
        if (moveToDataDirectory() || holdsGameData(".")) return true;
        // Nothing to play: said and stopped here, before anything is written
        // (saved files made in the start folder would pass for game data).
        std::string places = "the current folder";
        std::vector<std::string> looked;
        for (const std::string& dir : defaultDataDirectories())
            if (!dir.empty() && std::find(looked.begin(), looked.end(), dir) == looked.end()) looked.push_back(dir);
        for (const std::string& dir : looked) places += ", " + dir;
        std::fprintf(stderr,
                     "lumotta: no game data found (looked in %s); name the data folder with --data\n",
                     places.c_str());
        return false;
    }
    std::error_code error;
    if (holdsGameData(wanted)) fs::current_path(wanted, error);
    if (!holdsGameData(wanted) || error) {
        std::fprintf(stderr,
                     "lumotta: %s holds no game data (the pictures of folder 00, loose or as 00.lmt, "
                     "and the first stage 01/00.dat)\n",
                     wanted.c_str());
        return false;
    }
    return true;
}

std::string currentFolder() {
    std::error_code error;
    const fs::path here = fs::current_path(error);
    return error ? std::string(".") : here.string();
}

void logFolders(const std::string& dataDir, const WriteFolders& folders, const std::vector<std::string>& problems) {
    const std::string lines[] = {
        "Data folder: " + dataDir,
        "Saved files: " + folders.saves + "/01" +
            (folders.userFolders ? " (the user's folder: the data folder is not written to)" : ""),
        "Screenshots: " + folders.screenshots + "/screenshots",
    };
    for (const std::string& line : lines) LogText(line.c_str());
    for (const std::string& problem : problems) LogText(problem.c_str());
}

// Tells the saved files and the media layer where the game writes, for the
// data folder now current.
WriteFolders directWriting(const std::string& dataDir) {
    const WriteFolders folders = chooseWriteFolders(dataDir);
    setSavedFilesFolder(folders.saves);
    SetLogFolder(folders.log.c_str());
    SetScreenshotFolder(folders.screenshots.c_str());
    return folders;
}

// One frame tick per pass until the window is closed, Escape is held, a
// scene asks to quit or a watched replay is over.
void mainLoop(bool watching) {
    for (;;) {
        if (ProcessMessage() != 0) break;
        if (CheckKey(1)) break;  // Escape
        if (game.quitRequested) break;
        FrameTick();
        if (watching && replayPlaybackEnded()) break;
    }
}

// How the watched replay went, on standard output and in the log.
void finishWatching() {
    const std::string outcome = replayPlaybackOutcome();
    LogText(outcome.c_str());
    std::printf("Lumotta: %s\n", outcome.c_str());
}

// What the game saves when it ends: the replay being recorded, the saved
// files and lumotta.ini. Kept for the one run under way, so that an end
// from inside a call (the X library calls exit() when the connection to the
// display is lost) saves as a normal end would, before the program ends.
struct ExitSave {
    bool pending = false;
    bool watching = false;
    UserSettings ini;
    std::string iniPath;
};
ExitSave gExitSave;

// With the media layer running or not: after a lost display only what
// SDL has kept of the window is read, nothing is asked of the X server.
void saveAtExit(bool endMedia) {
    if (!gExitSave.pending) return;
    gExitSave.pending = false;
    finishReplayRecording();
    if (gExitSave.watching) finishWatching();
    const UserSettings comforts = userSettingsNow(gExitSave.ini);
    if (endMedia) EndMedia();
    // Watching a replay changes nothing saved: not the four files, not
    // lumotta.ini (a window moved or a key pressed while watching is not
    // the player's choice for the game).
    if (gExitSave.watching) return;
    writeSavedFiles();
    writeUserSettings(gExitSave.iniPath, comforts);
}

void saveOnUnexpectedExit() { saveAtExit(false); }

}  // namespace

int runProgram(int argc, const char* const* argv) {
    CommandLine options;
    std::string error;
    if (!parseCommandLine(argc, argv, options, error)) {
        std::fprintf(stderr, "lumotta: %s\n\n%s", error.c_str(), usageText().c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(versionText().c_str(), stdout);
        return 0;
    }
    return runGame(options);
}

int runGame(const CommandLine& options) {
    resetFailedWrites();
    const char* recordFromEnvironment = std::getenv("LUMOTTA_RECORD");
    const std::string recordFolder =
        absolutePath(!options.recordFolder.empty() ? options.recordFolder
                                                   : recordFromEnvironment ? recordFromEnvironment : "");
    Replay replay;
    const bool watching = !options.replayFile.empty();
    if (watching) {
        std::string error;
        if (!readReplayFile(options.replayFile, replay, error)) {
            std::fprintf(stderr, "lumotta: the replay %s %s\n", options.replayFile.c_str(), error.c_str());
            return kExitUsage;
        }
    }
    // Started from a directory without the game's data, play the default set.
    // --data naming no data is a bad command line; no data anywhere, a game
    // that cannot start.
    if (!enterDataFolder(absolutePath(options.dataFolder))) return options.dataFolder.empty() ? -1 : kExitUsage;
    const std::string dataDir = currentFolder();
    const WriteFolders folders = directWriting(dataDir);
    std::vector<std::string> problems;
    const std::string iniPath = userSettingsPath(folders.saves);
    const UserSettings ini = readUserSettings(iniPath, problems);
    applyUserSettings(ini, options.scale <= 0);
    if (options.scale > 0) SetWindowScale(options.scale);

    ChangeWindowMode(1);
    SetWindowCaption("Lumotta");
    if (InitMedia() == -1) return -1;
    logFolders(dataDir, folders, problems);
    SetPackArchiveExtension("lmt");
    SetWindowIcon(kWindowIcon);
    setDefaultKeyAssignment();
    SetDrawTarget(kDrawTargetBack);
    SetTransparentColor(0, 255, 0);
    game.scene = kSceneStartupMovie;
    game.randomState = 1;
    setSavedDefaults();
    readSavedFiles();
    // --windowed and --fullscreen decide for this start; the setting follows
    // the window, as the settings' screen row makes it.
    if (options.windowed >= 0) game.settings.fullScreen = static_cast<int16_t>(options.windowed ? 0 : 1);
    if (game.settings.fullScreen) {
        SetWindowScale(1.0);
        ChangeWindowMode(0);
        SetDrawTarget(kDrawTargetBack);
    }
    gExitSave.watching = watching;
    gExitSave.ini = ini;
    gExitSave.iniPath = iniPath;
    gExitSave.pending = true;
    static const bool exitSaveRegistered = std::atexit(saveOnUnexpectedExit) == 0;
    (void)exitSaveRegistered;
    if (watching) {
        startReplayPlayback(replay);
    } else {
        startReplayRecording(recordFolder.c_str());
        enterScene();
    }

    mainLoop(watching);

    saveAtExit(true);
    if (failedWrites() == 0) return 0;
    tellFailedWrites();
    return kExitSavedFilesFailed;
}
