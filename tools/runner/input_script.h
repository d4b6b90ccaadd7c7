// The input-script language: a stage's solution written as held inputs with
// durations, compiled to a replay.
//
//   ; comment (also '#')
//   stage 3            the stage (default: the number in the file name)
//   charges 2          shot charges at the start (default 0)
//   no-time-limit      play without the timer
//   ready              the stage-start countdown: 124 ticks with nothing held
//   right 40           hold right for 40 ticks
//   walk left 12       "walk" is only a word for reading
//   jump               up for one tick (a jump needs up let go in between)
//   jump right 30      up and right on the first tick, right alone for 29 more
//   up 5               up held for 5 ticks
//   cast / magic       button 1 (make or break a block)
//   shoot / shot       button 2; spell: button 3; pause: button 4
//   crouch / down      down held
//   wait 20            nothing held for 20 ticks
//   repeat 3 ... end   the lines between, three times
// Every line holds its inputs for its count of ticks (default 1); "jump"
// presses up on the line's first tick only.
#pragma once

#include "game/shell/replay.h"

#include <string>
#include <string_view>
#include <vector>

namespace input_script {

struct Result {
    Replay replay;
    bool stageGiven = false;
    std::vector<std::string> errors;  // "file:line:column: message"
    bool ok() const { return errors.empty(); }
};

Result compile(std::string_view text, const std::string& fileName);

// The ticks of the start countdown before the player first moves.
constexpr int kReadyTicks = 124;

}  // namespace input_script
