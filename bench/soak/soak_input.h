// Random but plausible input for the soak run, decided tick by tick from
// what the game shows: the title's items but never its quit item, stages
// picked in the stage select, stages played by their shipped solutions or by
// random running, jumping and casting until the player dies, the settings
// changed and left, movies watched or skipped.
#pragma once

#include "game/state/shell_state.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace soak {

class InputMaker {
public:
    // Solutions are read from <source>/content/replays; room for `ticks` ticks.
    InputMaker(unsigned seed, const std::string& source, long ticks);

    const InputState* records() const { return records_.data(); }
    long tickCapacity() const { return static_cast<long>(records_.size() / 2); }

    // Seen by the controls' observer on tick `tick` (1-based), whose records
    // are `current`: decides player 1's input for the next tick.
    void afterTick(const InputState* current, long tick);

    // When every scene a player meets in a session (start-up movie, title,
    // opening movie, play, game over, stage select, ranking, settings) had
    // been visited once, in seconds of play (60 ticks each); -1 before.
    int firstCycleSeconds() const { return firstCycleSeconds_; }
    std::string scenesVisited() const;
    int stagesStarted() const { return stagesStarted_; }
    int clears() const { return clears_; }
    int deaths() const { return deaths_; }

private:
    InputState decide(const InputState& now);
    InputState title(const InputState& now);
    InputState stageSelect(const InputState& now);
    InputState settings(const InputState& now);
    InputState play(const InputState& now);
    InputState pressAfter(const InputState& now, int waitTicks, int button);
    int roll(int below) { return static_cast<int>(random_() % static_cast<unsigned>(below)); }

    std::mt19937 random_;
    std::vector<InputState> records_;
    std::vector<std::vector<InputState>> solutions_;  // by stage; empty when none
    int scene_ = -1, stage_ = -1, lives_ = -1;
    long ticksInScene_ = 0;
    int target_ = 0;           // the menu item or stage choice aimed at
    int waitTicks_ = 0;        // before a press, in the scene
    const std::vector<InputState>* solution_ = nullptr;
    size_t solutionTick_ = 0;
    InputState held_{};        // random play: what is held, and for how long
    int holdTicks_ = 0;
    bool clearing_ = false;
    bool visited_[11] = {};
    int firstCycleSeconds_ = -1;
    int stagesStarted_ = 0, clears_ = 0, deaths_ = 0;
};

}  // namespace soak
