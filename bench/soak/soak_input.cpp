#include "bench/soak/soak_input.h"

#include "game/shell/replay.h"
#include "game/state/globals.h"
#include "tools/runner/input_script.h"
#include "tools/stagec/stage_io.h"

#include <cstdio>

namespace soak {

namespace {

constexpr int kStages = 51;
constexpr int kTitleQuitItem = 4;
constexpr int kMenuDeadTicks = 30;
constexpr int kSettingsBackRow = 4;
constexpr int kSettingsTimeLimitRow = 2;
constexpr int kPadBackRow = 4;
// The scenes every session meets; interludes and the ending need clears.
constexpr int kCycleScenes[] = {kSceneStartupMovie, kSceneTitle, kSceneOpeningMovie, kScenePlay,
                                kSceneGameOver,     kSceneStageSelect, kSceneRanking,  kSceneSettings};
constexpr const char* kSceneNames[] = {"play",  "game over", "title",     "stage select", "ranking",  "settings",
                                       "opening", "start-up", "interlude", "ending",       "mid-game"};

bool neutral(const InputState& in) {
    if (in.horizontal != 0 || in.vertical != 0) return false;
    for (int b = 0; b < 4; ++b)
        if (in.button[b] != 0) return false;
    return true;
}

InputState vertical(int v) {
    InputState in{};
    in.vertical = v;
    return in;
}

InputState horizontal(int h) {
    InputState in{};
    in.horizontal = h;
    return in;
}

InputState button(int b) {
    InputState in{};
    in.button[b] = 1;
    return in;
}

}  // namespace

InputMaker::InputMaker(unsigned seed, const std::string& source, long ticks)
    : random_(seed), records_(static_cast<size_t>(ticks) * 2), solutions_(kStages) {
    for (int stage = 0; stage < kStages; ++stage) {
        char name[64];
        std::snprintf(name, sizeof name, "/content/replays/%02d.script", stage);
        std::string text;
        if (!stagec::readTextFile(source + name, text)) continue;
        const input_script::Result compiled = input_script::compile(text, name);
        if (!compiled.ok()) continue;
        for (uint16_t packed : compiled.replay.ticks) solutions_[stage].push_back(unpackReplayInput(packed));
    }
}

std::string InputMaker::scenesVisited() const {
    std::string names;
    for (int s = 0; s < 11; ++s)
        if (visited_[s]) names += (names.empty() ? "" : ", ") + std::string(kSceneNames[s]);
    return names;
}

void InputMaker::afterTick(const InputState* current, long tick) {
    if (game.scene != scene_) {
        scene_ = game.scene;
        ticksInScene_ = 0;
        target_ = -1;
        waitTicks_ = 0;
        if (scene_ >= 0 && scene_ <= 10) visited_[scene_] = true;
        bool all = true;
        for (int s : kCycleScenes) all = all && visited_[s];
        if (all && firstCycleSeconds_ < 0) firstCycleSeconds_ = static_cast<int>(tick / 60);
    }
    ++ticksInScene_;
    if (tick >= tickCapacity()) return;
    records_[static_cast<size_t>(tick) * 2] = decide(current[0]);
}

InputState InputMaker::decide(const InputState& now) {
    switch (scene_) {
        case kSceneTitle: return title(now);
        case kSceneStageSelect: return stageSelect(now);
        case kSceneSettings: return settings(now);
        case kScenePlay: return play(now);
        case kSceneGameOver: return pressAfter(now, 60 + roll(600), roll(3) == 0 ? 1 : 0);  // 1 continues
        case kSceneRanking: return pressAfter(now, 60 + roll(900), roll(2) == 0 ? 0 : 2);
        case kSceneInterlude: return pressAfter(now, 60 + roll(600), 0);
        default: return pressAfter(now, 30 + roll(roll(4) == 0 ? 3000 : 300), 0);  // movies
    }
}

// Presses `b` once the scene has run `wait` ticks (decided on entry).
InputState InputMaker::pressAfter(const InputState& now, int wait, int b) {
    if (waitTicks_ == 0) waitTicks_ = wait;
    if (ticksInScene_ < waitTicks_ || !neutral(now)) return InputState{};
    waitTicks_ = static_cast<int>(ticksInScene_) + 30 + roll(120);  // the next press, if the scene stays
    return button(b);
}

InputState InputMaker::title(const InputState& now) {
    if (!game.menuShown) return pressAfter(now, 20 + roll(300), 0);
    if (game.menuTimer < kMenuDeadTicks + 5 || !neutral(now)) return InputState{};
    if (target_ < 0) {
        // New game, stage select, ranking, settings: a life without a clear
        // lasts its whole time limit, so stages are mostly reached from the
        // stage select, two lives at a time.
        static constexpr int kItems[] = {0, 0, 2, 2, 2, 2, 1, 3};
        target_ = kItems[roll(8)];
        waitTicks_ = static_cast<int>(ticksInScene_) + 20 + roll(200);
    }
    if (roll(6) != 0) return InputState{};
    // Up (+1) moves the cursor to the item above.
    if (game.menuCursor < target_) return vertical(-1);
    if (game.menuCursor > target_) return vertical(1);
    if (ticksInScene_ < waitTicks_ || game.menuCursor == kTitleQuitItem) return InputState{};
    return button(0);
}

InputState InputMaker::stageSelect(const InputState& now) {
    if (!neutral(now) || ticksInScene_ < 20 || roll(5) != 0) return InputState{};
    if (target_ < 0) {
        target_ = roll(8) == 0 ? -2 : 1 + roll(kStages);  // -2: back to the title
        waitTicks_ = static_cast<int>(ticksInScene_) + 30 + roll(300);
    }
    if (target_ == -2) return ticksInScene_ < waitTicks_ ? InputState{} : button(2);
    const int choice = game.stageSelectChoice;
    const int gap = target_ - choice;
    if (gap >= 10) return vertical(1);
    if (gap <= -10) return vertical(-1);
    if (gap > 0) return horizontal(1);
    if (gap < 0) return horizontal(-1);
    if (ticksInScene_ < waitTicks_) return InputState{};
    return button(0);
}

InputState InputMaker::settings(const InputState& now) {
    if (!neutral(now) || ticksInScene_ < 30 || roll(8) != 0) return InputState{};
    if (waitTicks_ == 0) waitTicks_ = 120 + roll(900);
    const bool leaving = ticksInScene_ > waitTicks_;
    if (game.settingsPage != 0) {
        // The joypad page: look around, then its back row.
        if (!leaving) return roll(2) == 0 ? vertical(roll(2) == 0 ? 1 : -1) : InputState{};
        if (game.padRow < kPadBackRow) return vertical(-1);
        if (game.padRow > kPadBackRow) return vertical(1);
        return button(0);
    }
    if (leaving) {
        if (game.optionsRow < kSettingsBackRow) return vertical(-1);
        return button(0);
    }
    switch (roll(5)) {
        case 0: return vertical(1);
        case 1: return vertical(-1);
        case 2:
            // The time limit is only ever turned back on: a stage without one
            // could keep random play in it for the rest of the run.
            if (game.optionsRow == kSettingsTimeLimitRow && game.settings.noTimeLimit == 0) return InputState{};
            return horizontal(roll(2) == 0 ? 1 : -1);
        case 3: return game.optionsRow == 0 ? button(0) : InputState{};  // the joypad page
        default: return InputState{};
    }
}

InputState InputMaker::play(const InputState& now) {
    const int lives = game.players[0].lives;
    if (game.stageNumber != stage_ || ticksInScene_ == 1 || lives < lives_) {
        // A new attempt: a stage entered, or the same one after a death.
        if (lives < lives_ && game.stageNumber == stage_) ++deaths_;
        stage_ = game.stageNumber;
        ++stagesStarted_;
        const bool solved = stage_ >= 0 && stage_ < kStages && !solutions_[stage_].empty() && roll(5) != 0;
        solution_ = solved ? &solutions_[stage_] : nullptr;
        solutionTick_ = 1;  // the attempt's first tick has run
        holdTicks_ = 0;
        clearing_ = false;
    }
    lives_ = lives;
    if (game.clearCounter > 0 && !clearing_) ++clears_;
    clearing_ = game.clearCounter > 0;
    if (solution_ && solutionTick_ < solution_->size()) return (*solution_)[solutionTick_++];
    solution_ = nullptr;
    if (game.pauseCounter != 0) {
        // Paused: held for a while, then released by the same button.
        return ticksInScene_ % 240 == 0 && now.button[3] == 0 ? button(3) : InputState{};
    }
    if (holdTicks_-- <= 0) {
        held_ = InputState{};
        held_.horizontal = roll(5) - 2 > 0 ? 1 : roll(3) == 0 ? -1 : 0;
        held_.vertical = roll(6) == 0 ? 1 : roll(10) == 0 ? -1 : 0;
        holdTicks_ = 5 + roll(80);
    }
    InputState in = held_;
    for (int b = 0; b < 3; ++b) in.button[b] = roll(b == 0 ? 12 : 40) == 0;
    in.button[3] = roll(4000) == 0;
    return in;
}

}  // namespace soak
