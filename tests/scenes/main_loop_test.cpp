// The whole program through its real main loop and frame tick, headless,
// with an input script in place of the devices: the title's quit item, and a
// new game from the start-up movie to the second stage, the first one
// cleared by its shipped solution.
#include "game/shell/command_line.h"
#include "game/shell/controls.h"
#include "game/shell/game_main.h"
#include "game/shell/replay.h"
#include "game/state/globals.h"
#include "media/core/area_hooks.h"
#include "media/media.h"
#include "tests/scenes/program_run.h"
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

namespace {

namespace fs = std::filesystem;
using namespace program_run;
using testing_support::readWholeFile;
using testing_support::ScratchDirectory;

TEST(MainLoop, QuitItemEndsTheProgram85TicksLaterAndWritesTheSavedFiles) {
    // No pictures, sounds or movies: the scenes draw and play nothing, and
    // the start-up movie hands over at once.
    ScratchDirectory scratch("main_loop");
    makeBareGameFolder();
    // Settings and progress from an earlier run: 7 lives, no time limit.
    const int16_t settings[8] = {1, 2, 3, 4, 5, 1, 7, 0};
    writeFile("01/K.dat", settings, sizeof settings);
    const int32_t highest = 12;
    writeFile("01/H.dat", &highest, sizeof highest);

    Script script;
    script.idle(1);  // the start-up movie
    reachLiveMenu(script);
    for (int i = 0; i < 4; ++i) script.pressDown();
    script.pressButton(0);
    const int choiceTick = script.ticks();
    script.idle(200);

    ProgramRun run;
    runProgram(script, run);
    EXPECT_EQ(run.result, 0);
    EXPECT_FALSE(run.closed) << "the program did not end by itself";
    // The choice's tick counts as exitCounter 1; at 85 the loop ends before
    // the next tick.
    EXPECT_EQ(static_cast<int>(run.ticks.size()), choiceTick + 84);
    EXPECT_EQ(game.quitRequested, 1);
    EXPECT_EQ(game.menuCursor, 4);
    EXPECT_EQ(ticksIn(run, kSceneTitle), static_cast<int>(run.ticks.size()) - 1);

    const std::string k = readWholeFile("01/K.dat");
    const std::string s = readWholeFile("01/S.dat");
    const std::string b = readWholeFile("01/B.dat");
    const std::string h = readWholeFile("01/H.dat");
    ASSERT_EQ(k.size(), 16u);
    ASSERT_EQ(s.size(), 80u);
    ASSERT_EQ(b.size(), 80u);
    ASSERT_EQ(h.size(), 4u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(int16At(k, 2 * i), settings[i]) << "settings value " << i;
    EXPECT_EQ(int32At(h, 0), 12);
    EXPECT_EQ(s, std::string(80, '\0'));
    // The joypad defaults: buttons 1..8 in order, joypads 1 and 2.
    for (int p = 0; p < 2; ++p) {
        for (int i = 0; i < 8; ++i) EXPECT_EQ(int32At(b, 40 * p + 4 * i), 0x10 << i);
        EXPECT_EQ(int32At(b, 40 * p + 36), p);
    }
    // No file was left half-written beside the saved ones.
    int files = 0;
    for (const auto& entry : fs::directory_iterator("01")) files += entry.is_regular_file();
    EXPECT_EQ(files, 5) << "the four saved files and the stage";
}

bool windowIsFullScreen() {
    return (SDL_GetWindowFlags(media::screen::Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

TEST(MainLoop, FullScreenChosenInTheSettingsIsSavedAndTheNextStartOpensFullScreen) {
    ScratchDirectory scratch("main_loop");
    makeBareGameFolder();

    Script script;
    script.idle(1);  // the start-up movie
    reachLiveMenu(script);
    for (int i = 0; i < 3; ++i) script.pressDown();
    script.pressButton(0);  // settings
    script.idle(84);
    for (int i = 0; i < 3; ++i) script.pressDown();
    script.pressRight();  // full screen
    script.pressDown();
    script.pressButton(0);  // back to the title
    script.idle(25);
    reachLiveMenu(script);  // the cursor still on settings
    script.pressDown();
    script.pressButton(0);  // quit
    script.idle(200);

    bool fullScreenInSettings = false;
    ProgramRun run;
    run.closeWhen = [&fullScreenInSettings] {
        if (game.scene == kSceneSettings && game.settings.fullScreen == 1)
            fullScreenInSettings = windowIsFullScreen();
        return false;
    };
    runProgram(script, run);
    EXPECT_FALSE(run.closed) << "the program did not end by itself";
    EXPECT_TRUE(fullScreenInSettings) << "the window did not switch at once";
    EXPECT_EQ(game.quitRequested, 1);
    const std::string k = readWholeFile("01/K.dat");
    ASSERT_EQ(k.size(), 16u);
    EXPECT_EQ(int16At(k, 14), 1);
    EXPECT_EQ(int16At(k, 12), 2);  // the lives untouched

    // The next start reads it and opens full screen before the first tick.
    bool fullScreenAtStart = false;
    ProgramRun next;
    next.closeWhen = [&fullScreenAtStart] {
        fullScreenAtStart = windowIsFullScreen();
        return true;
    };
    runProgram(Script{}, next);
    EXPECT_TRUE(fullScreenAtStart);
    EXPECT_EQ(next.ticks.size(), 1u);
    EXPECT_EQ(game.settings.fullScreen, 1);
}

// The shipped solution of a stage as one input record per tick.

TEST(MainLoop, NewGameFromTheTitleClearsStage0AndEntersStage1) {
    ScratchGameData data("main_loop");
    ASSERT_TRUE(data.ok()) << "LUMOTTA_DATA_DIR holds no game data";
    const std::vector<InputState> solution = solutionOf(0);
    ASSERT_FALSE(solution.empty());

    Script script;
    script.idle(1);  // the start-up movie
    reachLiveMenu(script);
    script.pressButton(0);  // item 0, a new game
    const int choiceTick = script.ticks();
    script.idle(84);  // the title fades out; the opening movie is entered
    script.idle(1);   // the opening movie plays
    const int firstPlayTick = script.ticks() + 1;
    for (const InputState& in : solution) script.hold(in, 1);

    ProgramRun run;
    run.closeWhen = [] { return game.scene == kScenePlay && game.stageNumber == 1; };
    runProgram(script, run);
    EXPECT_EQ(run.result, 0);
    ASSERT_TRUE(run.closed);
    ASSERT_LT(run.ticks.size(), static_cast<size_t>(kTickLimit)) << "stage 1 was never entered";

    // Start-up movie, title, opening movie, stage 0, stage 1, each on its tick.
    ASSERT_GE(run.ticks.size(), 2u);
    EXPECT_EQ(run.ticks[0].scene, kSceneStartupMovie);
    EXPECT_EQ(run.ticks[1].scene, kSceneTitle);
    EXPECT_EQ(firstTickIn(run, kSceneOpeningMovie), choiceTick + 85);
    EXPECT_EQ(ticksIn(run, kSceneOpeningMovie), 1);
    EXPECT_EQ(firstTickIn(run, kScenePlay), firstPlayTick);
    EXPECT_EQ(firstTickIn(run, kScenePlay, 0), firstPlayTick);
    const int stage1 = firstTickIn(run, kScenePlay, 1);
    // The solution clears the stage before it runs out; the fanfare follows.
    EXPECT_GT(stage1, firstPlayTick + 124);
    EXPECT_LE(stage1, firstPlayTick + static_cast<int>(solution.size()) + 400);
    for (const TickSeen& t : run.ticks)
        EXPECT_TRUE(t.scene == kSceneStartupMovie || t.scene == kSceneTitle ||
                    t.scene == kSceneOpeningMovie || t.scene == kScenePlay)
            << "scene " << t.scene;

    // Stage 1 has just started, in a normal game with every life left.
    EXPECT_EQ(game.scene, kScenePlay);
    EXPECT_EQ(game.stageNumber, 1);
    EXPECT_EQ(game.stageSelectMode, 0);
    EXPECT_EQ(game.players[0].lives, 2);
    EXPECT_EQ(game.clearCounter, 0);
    EXPECT_EQ(game.highestStage, 1);

    // The progress is saved at the exit.
    const std::string h = readWholeFile("01/H.dat");
    ASSERT_EQ(h.size(), 4u);
    EXPECT_EQ(int32At(h, 0), 1);
}

int windowWidth() {
    int w = 0, h = 0;
    SDL_GetWindowSize(media::screen::Window(), &w, &h);
    return w;
}

// Starts the program with `options`, lets `look` see it at its first tick,
// and closes it.
void runOneTick(const CommandLine& options, const std::function<void()>& look) {
    ProgramRun run;
    run.closeWhen = [&look] {
        look();
        return true;
    };
    runProgram(Script{}, run, options);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.ticks.size(), 1u);
}

TEST(MainLoop, FullScreenAndWindowedOptionsDecideTheStartAndTheSettingFollows) {
    ScratchDirectory scratch("main_loop");
    makeBareGameFolder();
    CommandLine options;
    options.windowed = 0;
    bool fullScreenAtStart = false;
    runOneTick(options, [&] { fullScreenAtStart = windowIsFullScreen(); });
    EXPECT_TRUE(fullScreenAtStart);
    EXPECT_EQ(int16At(readWholeFile("01/K.dat"), 14), 1);

    // Saved as full screen; --windowed opens a window all the same.
    options.windowed = 1;
    runOneTick(options, [&] { fullScreenAtStart = windowIsFullScreen(); });
    EXPECT_FALSE(fullScreenAtStart);
    EXPECT_EQ(int16At(readWholeFile("01/K.dat"), 14), 0);
}

TEST(MainLoop, ScaleOptionSizesTheWindowAndItsPlaceIsRememberedInLumottaIni) {
    ScratchDirectory scratch("main_loop");
    makeBareGameFolder();
    CommandLine options;
    options.scale = 1.5;
    int width = 0;
    runOneTick(options, [&] { width = windowWidth(); });
    EXPECT_EQ(width, 960);
    const std::string ini = readWholeFile("lumotta.ini");
    EXPECT_NE(ini.find(",960,720\n"), std::string::npos) << ini;

    // Without --scale the next start opens at the remembered size.
    width = 0;
    runOneTick(CommandLine{}, [&] { width = windowWidth(); });
    EXPECT_EQ(width, 960);
    SetWindowScale(1.0);
}

TEST(MainLoop, RecordOptionWritesAReplayOfTheStagePlayed) {
    ScratchGameData data("main_loop");
    ASSERT_TRUE(data.ok()) << "LUMOTTA_DATA_DIR holds no game data";
    const std::vector<InputState> solution = solutionOf(0);
    Script script;
    script.idle(1);
    reachLiveMenu(script);
    script.pressButton(0);
    script.idle(85);
    for (const InputState& in : solution) script.hold(in, 1);

    ProgramRun run;
    run.closeWhen = [] { return game.scene == kScenePlay && game.stageNumber == 1; };
    CommandLine options;
    options.recordFolder = "recorded";  // made when missing, relative to the start
    runProgram(script, run, options);
    ASSERT_TRUE(run.closed);
    const std::string bytes = readWholeFile("recorded/00-1.rep");
    ASSERT_FALSE(bytes.empty()) << "no replay of stage 0 was recorded";
    Replay replay;
    std::string error;
    ASSERT_TRUE(decodeReplay(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), replay, error))
        << error;
    EXPECT_EQ(replay.start.stage, 0);
    ASSERT_GE(replay.ticks.size(), solution.size());
    for (size_t t = 0; t < solution.size(); ++t)
        ASSERT_EQ(replay.ticks[t], packReplayInput(solution[t])) << "tick " << t;
}

TEST(MainLoop, ReplayOptionPlaysTheAttemptThroughAndChangesNothingSaved) {
    ScratchGameData data("main_loop");
    ASSERT_TRUE(data.ok()) << "LUMOTTA_DATA_DIR holds no game data";
    Replay replay;
    for (const InputState& in : solutionOf(0)) replay.ticks.push_back(packReplayInput(in));
    const std::vector<unsigned char> bytes = encodeReplay(replay);
    writeFile("stage00.rep", bytes.data(), bytes.size());
    const int16_t settings[8] = {1, 2, 3, 4, 5, 1, 7, 0};
    writeFile("01/K.dat", settings, sizeof settings);

    ProgramRun run;
    CommandLine options;
    options.replayFile = "stage00.rep";
    testing::internal::CaptureStdout();
    runProgram(Script{}, run, options);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(run.result, 0);
    EXPECT_FALSE(run.closed) << "the replay did not end by itself";
    EXPECT_NE(said.find("Lumotta: replay of stage 0: cleared after "), std::string::npos) << said;
    // Every tick was the stage's, and it ended when stage 1 was entered.
    ASSERT_FALSE(run.ticks.empty());
    EXPECT_EQ(run.ticks.front().scene, kScenePlay);
    EXPECT_EQ(game.stageNumber, 1);
    // Clearing it in a replay raises nothing saved; the settings stay as read.
    EXPECT_EQ(int32At(readWholeFile("01/H.dat"), 0), 0);
    const std::string k = readWholeFile("01/K.dat");
    ASSERT_EQ(k.size(), 16u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(int16At(k, 2 * i), settings[i]) << "settings value " << i;
}

}  // namespace
