// The whole program run in-process from its entry (runGame), headless, with
// an input script in place of the devices: what the main-loop and bad-data
// tests share.
#pragma once

#include "game/shell/command_line.h"
#include "game/shell/controls.h"
#include "game/shell/game_main.h"
#include "game/shell/replay.h"
#include "game/state/globals.h"
#include "media/media.h"
#include "tests/support/test_support.h"
#include "tools/runner/input_script.h"
#include "tools/stagec/stage_io.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace program_run {

namespace fs = std::filesystem;
using testing_support::ScratchDirectory;

// A program that does not end by itself is closed after this many ticks.
constexpr int kTickLimit = 4000;

// Player 1's controls, one record pair per tick.
class Script {
public:
    void hold(const InputState& player1, int ticks) {
        for (int i = 0; i < ticks; ++i) {
            records_.push_back(player1);
            records_.push_back(InputState{});
        }
    }
    void idle(int ticks) { hold(InputState{}, ticks); }
    // A fresh press: a tick with nothing held, then a tick holding `button`.
    void pressButton(int button) {
        InputState held{};
        held.button[button] = 1;
        idle(1);
        hold(held, 1);
    }
    void pressDown() { pressDirection(-1, 0); }
    void pressRight() { pressDirection(0, 1); }
    void pressDirection(int vertical, int horizontal) {
        InputState held{};
        held.vertical = vertical;
        held.horizontal = horizontal;
        idle(1);
        hold(held, 1);
    }
    // Ticks so far: the number of the tick the last line ends on.
    int ticks() const { return static_cast<int>(records_.size() / 2); }
    const InputState* data() const { return records_.data(); }

private:
    std::vector<InputState> records_;
};

// What each tick of the run started from, seen by the controls' observer
// before the scene runs.
struct TickSeen {
    int scene;
    int stageNumber;
};

struct ProgramRun {
    std::vector<TickSeen> ticks;
    // Closes the window (as a player would) once this holds, or at the limit.
    std::function<bool()> closeWhen;
    bool closed = false;
    int result = 99;
};

inline void observe(const InputState*, void* context) {
    ProgramRun& run = *static_cast<ProgramRun*>(context);
    run.ticks.push_back({game.scene, game.stageNumber});
    const bool wanted = run.closeWhen && run.closeWhen();
    if (!run.closed && (wanted || run.ticks.size() >= kTickLimit)) {
        testing_support::pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
        run.closed = true;
    }
}

// The program from its entry, as on a fresh start: `records` feed the
// controls (none: nothing held) and `observer` sees every tick's input.
inline int runGameFed(const InputState* records, uint32_t ticks, InputObserver observer, void* context,
                      const CommandLine& options = {}) {
    // The program's single-instance lock goes into the scratch folder: the
    // machine-wide one belongs to a real copy of the game (or to another
    // test that starts one).
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string previousRuntime = runtime ? runtime : "";
    setenv("XDG_RUNTIME_DIR", fs::current_path().c_str(), 1);
    game = GameGlobals{};
    SetAllowSecondInstance(1);
    SetFramePacing(0);
    installInputScript(records, ticks);
    setInputObserver(observer, context);
    const int result = runGame(options);
    setInputObserver(nullptr, nullptr);
    removeInputScript();
    if (runtime)
        setenv("XDG_RUNTIME_DIR", previousRuntime.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
    return result;
}

// The program fed by `script`.
inline void runProgram(const Script& script, ProgramRun& run, const CommandLine& options = {}) {
    run.result = runGameFed(script.data(), static_cast<uint32_t>(script.ticks()), observe, &run, options);
}

// The first tick (1-based) on which `scene` ran, or 0.
inline int firstTickIn(const ProgramRun& run, int scene, int stageNumber = -1) {
    for (size_t i = 0; i < run.ticks.size(); ++i)
        if (run.ticks[i].scene == scene && (stageNumber < 0 || run.ticks[i].stageNumber == stageNumber))
            return static_cast<int>(i) + 1;
    return 0;
}

inline int ticksIn(const ProgramRun& run, int scene) {
    int count = 0;
    for (const TickSeen& t : run.ticks) count += t.scene == scene;
    return count;
}

inline int32_t int32At(const std::string& bytes, size_t offset) {
    int32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

inline int16_t int16At(const std::string& bytes, size_t offset) {
    int16_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

inline void writeFile(const std::string& path, const void* bytes, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(bytes, 1, size, file);
    std::fclose(file);
}

// From the title's first tick: past the intro and up to the live menu. The
// first press jumps to the end of the intro, the second brings the menu up,
// whose input is dead for 30 ticks.
inline void reachLiveMenu(Script& script) {
    script.pressButton(0);
    script.pressButton(0);
    script.idle(30);
}

// Every folder of the default data set linked into a scratch folder, but 01
// copied, so that the saved files the program writes land in the scratch.
class ScratchGameData {
public:
    explicit ScratchGameData(const std::string& name) : scratch_(name) {
        const char* data = std::getenv("LUMOTTA_DATA_DIR");
        ok_ = data && fs::is_directory(fs::path(data) / "01");
        if (!ok_) return;
        for (const auto& entry : fs::directory_iterator(data)) {
            const fs::path name = entry.path().filename();
            if (name == "01")
                copyStageFiles(entry.path());
            else if (name != "Log.txt")
                fs::create_symlink(entry.path(), name);
        }
    }
    bool ok() const { return ok_; }

private:
    static void copyStageFiles(const fs::path& from) {
        fs::create_directory("01");
        for (const auto& file : fs::directory_iterator(from)) {
            const std::string name = file.path().filename().string();
            if (name == "S.dat" || name == "B.dat" || name == "H.dat" || name == "K.dat") continue;
            fs::copy_file(file.path(), fs::path("01") / name);
        }
    }

    ScratchDirectory scratch_;
    bool ok_ = false;
};

// A game folder without pictures, sounds, movies or stages, but one the
// program takes for its own: folder 00 and a (here empty) first stage.
inline void makeBareGameFolder() {
    fs::create_directory("00");
    fs::create_directory("01");
    std::ofstream("01/00.dat");
}


inline std::vector<InputState> solutionOf(int stage) {
    const char* source = std::getenv("LUMOTTA_SOURCE_DIR");
    char name[32];
    std::snprintf(name, sizeof name, "content/replays/%02d.script", stage);
    const std::string path = (fs::path(source ? source : ".") / name).string();
    std::string text;
    EXPECT_TRUE(stagec::readTextFile(path, text)) << path;
    const input_script::Result compiled = input_script::compile(text, path);
    for (const std::string& e : compiled.errors) ADD_FAILURE() << e;
    std::vector<InputState> ticks;
    for (uint16_t packed : compiled.replay.ticks) ticks.push_back(unpackReplayInput(packed));
    return ticks;
}

}  // namespace program_run
