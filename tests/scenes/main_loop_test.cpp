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
#include "tools/runner/stage_run.h"
#include "tools/stagec/stage_io.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
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
    // Named by the stage number the game shows: STAGE 01 is stage file 0.
    EXPECT_FALSE(fs::exists("recorded/00-1.rep"));
    const std::string bytes = readWholeFile("recorded/01-1.rep");
    ASSERT_FALSE(bytes.empty()) << "no replay of STAGE 01 was recorded";
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
    // Settings, a highest stage and lumotta.ini of an earlier game, dated
    // in the past.
    const int16_t settings[8] = {1, 2, 3, 4, 5, 1, 7, 0};
    writeFile("01/K.dat", settings, sizeof settings);
    const int32_t highest = 0;
    writeFile("01/H.dat", &highest, sizeof highest);
    const std::string ini = "volume = 40\nwindow = 10,20,640,480\n";
    writeFile("lumotta.ini", ini.data(), ini.size());
    const auto past = fs::file_time_type::clock::now() - std::chrono::hours(24 * 365);
    for (const char* file : {"01/K.dat", "01/H.dat", "lumotta.ini"}) fs::last_write_time(file, past);

    ProgramRun run;
    CommandLine options;
    options.replayFile = "stage00.rep";
    testing::internal::CaptureStdout();
    runProgram(Script{}, run, options);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(run.result, 0);
    EXPECT_FALSE(run.closed) << "the replay did not end by itself";
    // The stage as the HUD shows it, then its file.
    EXPECT_NE(said.find("Lumotta: replay of stage 1 (stage file 00): cleared after "), std::string::npos) << said;
    // Every tick was the stage's, and it ended when stage 1 was entered.
    ASSERT_FALSE(run.ticks.empty());
    EXPECT_EQ(run.ticks.front().scene, kScenePlay);
    EXPECT_EQ(game.stageNumber, 1);
    // Clearing it in a replay changes nothing saved: no file is written, not
    // even with what it held.
    EXPECT_EQ(readWholeFile("01/K.dat"), std::string(reinterpret_cast<const char*>(settings), sizeof settings));
    EXPECT_EQ(int32At(readWholeFile("01/H.dat"), 0), 0);
    EXPECT_EQ(readWholeFile("lumotta.ini"), ini);
    for (const char* file : {"01/K.dat", "01/H.dat", "lumotta.ini"})
        EXPECT_EQ(fs::last_write_time(file), past) << file << " was written";
    for (const char* file : {"01/S.dat", "01/B.dat"}) EXPECT_FALSE(fs::exists(file)) << file << " was made";
}

// The message boxes the run asked for, through the media layer's seam.
std::vector<std::string> gBoxes;
int noteBox(const char* title, const char* text) {
    gBoxes.push_back(std::string(title) + ": " + text);
    return 0;
}

// A save that fails at exit is said in a message box too, for a player who
// started the game from the desktop and never sees standard error.
TEST(MainLoop, AFailedSaveIsShownInAMessageBox) {
    ScratchDirectory scratch("main_loop");
    makeBareGameFolder();
    fs::create_directories("01/S.dat.new/in the way");  // the ranking cannot be written beside
    gBoxes.clear();
    SetMessageBoxShower(noteBox);
    Script script;
    script.idle(20);
    ProgramRun run;
    run.closeWhen = [] { return true; };
    testing::internal::CaptureStderr();
    runProgram(script, run);
    const std::string said = testing::internal::GetCapturedStderr();
    SetMessageBoxShower(nullptr);
    EXPECT_EQ(run.result, 1);
    EXPECT_NE(said.find("Lumotta: The ranking could not be saved to "), std::string::npos) << said;
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0].rfind("Lumotta: Lumotta could not save everything:\n\nThe ranking could not be saved to ", 0), 0u)
        << gBoxes[0];
    EXPECT_EQ(gBoxes[0].find("settings could not"), std::string::npos) << "only the ranking failed: " << gBoxes[0];

    // A run whose saves succeed shows none.
    fs::remove_all("01/S.dat.new");
    gBoxes.clear();
    SetMessageBoxShower(noteBox);
    ProgramRun fine;
    fine.closeWhen = [] { return true; };
    runProgram(script, fine);
    SetMessageBoxShower(nullptr);
    EXPECT_EQ(fine.result, 0);
    EXPECT_TRUE(gBoxes.empty());
}

TEST(MainLoop, AReplayCutShortEnds600TicksAfterItsInput) {
    ScratchGameData data("main_loop");
    ASSERT_TRUE(data.ok()) << "LUMOTTA_DATA_DIR holds no game data";
    Replay replay;
    replay.start.noTimeLimit = 1;
    replay.ticks.assign(40, 0);  // a recording stopped after 40 ticks of nothing held
    const std::vector<unsigned char> bytes = encodeReplay(replay);
    writeFile("idle.rep", bytes.data(), bytes.size());

    ProgramRun run;
    CommandLine options;
    options.replayFile = "idle.rep";
    testing::internal::CaptureStdout();
    runProgram(Script{}, run, options);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(run.result, 0);
    EXPECT_FALSE(run.closed) << "the replay did not end by itself";
    EXPECT_NE(said.find("Lumotta: replay of stage 1 (stage file 00): not finished after 640 ticks"), std::string::npos) << said;
    EXPECT_EQ(run.ticks.size(), 40u + 600u);
}

// A whole game, as a player who knows every solution plays it: from the
// title a new game, every stage from 0 to 50 cleared in order by its shipped
// solution through the real main loop, the interludes and movies passed by a
// press, the ending movie, and the ranking chosen on the title it leads back
// to. The input of each tick is decided by what the tick is about to run.
constexpr int kLastStage = 50;
// Far more than the game needs (about 90000 ticks): a game that goes wrong
// is closed here.
constexpr long kWholeGameTickLimit = 200000;

struct WholeGame {
    std::vector<std::vector<InputState>> solutions;
    // Each scene entered, with the stage for play and interludes (-1 else).
    std::vector<std::pair<int, int>> scenes;
    // The score as each stage's play began, by stage.
    std::vector<int32_t> scoreAtStart = std::vector<int32_t>(kLastStage + 1, -1);
    int sceneTicks = 0;
    int titleVisits = 0;
    int playing = -1;
    size_t next = 0;
    long ticks = 0;
    int32_t scoreAtEnding = -1;
    bool closed = false;
};

int stageShown(int scene) {
    return scene == kScenePlay || scene == kSceneInterlude ? game.stageNumber : -1;
}

// On the title: past the intro to the live menu, then a new game the first
// time, the ranking (one item down) the second.
InputState titleInput(int tick, int visit) {
    InputState in{};
    const int choose = visit == 1 ? 35 : 37;
    if (tick == 1 || tick == 3 || tick == choose) in.button[0] = 1;
    if (visit == 2 && tick == 35) in.vertical = -1;
    return in;
}

void playWholeGame(const InputState*, void* context) {
    WholeGame& g = *static_cast<WholeGame*>(context);
    ++g.ticks;
    const std::pair<int, int> now{game.scene, stageShown(game.scene)};
    if (g.scenes.empty() || g.scenes.back() != now) {
        g.scenes.push_back(now);
        g.sceneTicks = 0;
        if (game.scene == kSceneTitle) ++g.titleVisits;
        if (game.scene == kSceneEndingMovie) g.scoreAtEnding = game.score;
    } else {
        ++g.sceneTicks;
    }
    InputState in{};
    switch (game.scene) {
    case kScenePlay:
        if (game.stageNumber != g.playing) {
            g.playing = game.stageNumber;
            g.next = 0;
            if (g.playing >= 0 && g.playing <= kLastStage) g.scoreAtStart[g.playing] = game.score;
        }
        if (g.playing >= 0 && g.playing <= kLastStage && g.next < g.solutions[g.playing].size())
            in = g.solutions[g.playing][g.next++];
        break;
    case kSceneTitle:
        in = titleInput(g.sceneTicks, g.titleVisits);
        break;
    case kSceneInterlude:
        // One press: a second one would start its fade over again.
        in.button[0] = g.sceneTicks == 1;
        break;
    case kSceneOpeningMovie:
    case kSceneMidGameMovie:
    case kSceneEndingMovie:
        in.button[0] = 1;
        break;
    default:
        break;
    }
    game.input[0] = in;
    const bool done = game.scene == kSceneRanking || game.scene == kSceneGameOver;
    if (!g.closed && (done || g.ticks >= kWholeGameTickLimit)) {
        testing_support::pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
        g.closed = true;
    }
}

TEST(WholeGame, EveryStageClearedInOrderLeadsToTheEndingAndTheRanking) {
    ScratchGameData data("main_loop");
    ASSERT_TRUE(data.ok()) << "LUMOTTA_DATA_DIR holds no game data";
    WholeGame g;
    // What each solution scores on its own, from a fresh stage: the game's
    // final score is their sum, nothing is added at a clear.
    int32_t sum = 0;
    std::vector<int32_t> expectedAtStart;
    for (int stage = 0; stage <= kLastStage; ++stage) {
        g.solutions.push_back(solutionOf(stage));
        ASSERT_FALSE(g.solutions.back().empty()) << "stage " << stage;
        Replay replay;
        replay.start.stage = stage;
        for (const InputState& in : g.solutions.back()) replay.ticks.push_back(packReplayInput(in));
        std::string error;
        ASSERT_TRUE(stage_run::startStage(std::getenv("LUMOTTA_DATA_DIR"), replay.start, error)) << error;
        const stage_run::Result alone = stage_run::play(replay, -1);
        ASSERT_EQ(alone.outcome, stage_run::Outcome::Cleared) << "stage " << stage << ": " << alone.line();
        expectedAtStart.push_back(sum);
        sum += alone.score;
    }

    // No script: the controls are fed nothing, and the observer decides.
    const int result = runGameFed(nullptr, 0, playWholeGame, &g);
    std::string seen;
    for (const auto& [scene, stage] : g.scenes)
        seen += " " + std::to_string(scene) + (stage >= 0 ? ":" + std::to_string(stage) : "");
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(g.closed);
    ASSERT_LT(g.ticks, kWholeGameTickLimit) << "the game never reached the ranking; scenes (scene:stage):" << seen;

    // The scenes in order: the start-up movie, the title, the opening movie,
    // the stages with an interlude before every fifth, the mid-game movie
    // after the interlude before stage 30, the ending movie, the title again
    // and the ranking.
    std::vector<std::pair<int, int>> expected = {
        {kSceneStartupMovie, -1}, {kSceneTitle, -1}, {kSceneOpeningMovie, -1}};
    for (int stage = 0; stage <= kLastStage; ++stage) {
        if (stage > 0 && stage % 5 == 0) expected.push_back({kSceneInterlude, stage});
        if (stage == 30) expected.push_back({kSceneMidGameMovie, -1});
        expected.push_back({kScenePlay, stage});
    }
    expected.push_back({kSceneEndingMovie, -1});
    expected.push_back({kSceneTitle, -1});
    expected.push_back({kSceneRanking, -1});
    EXPECT_EQ(g.scenes, expected);

    // Each stage began with the score of the ones before it, and the game
    // ends with their sum, ranked first with stage 52 reached (the one after
    // the last, counted from 1).
    for (int stage = 0; stage <= kLastStage; ++stage)
        EXPECT_EQ(g.scoreAtStart[stage], expectedAtStart[stage]) << "stage " << stage;
    EXPECT_GT(sum, 0);
    EXPECT_EQ(g.scoreAtEnding, sum);
    EXPECT_EQ(game.highScores[0].score, sum);
    EXPECT_EQ(game.highScores[0].stageReached, kLastStage + 2);
    EXPECT_EQ(game.highestStage, kLastStage + 1);
    std::printf("whole game: %ld ticks, final score %d\n", g.ticks, sum);
}

}  // namespace
