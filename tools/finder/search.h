// The shortcut finder: a bounded search over input sequences for the fastest
// clear of the stage loaded in the game state.
//
// Play after the start countdown is cut into steps of a few ticks. In each
// step the player does one move: wait, walk, jump, crouch, cast (standing,
// turned, crouching), shoot (likewise) or the big spell; a move's buttons and
// its jump are pressed on the first tick the player can act, its direction is
// held for the whole step. All states reached after the same number of steps
// form one level. A child state is kept only when its coarse key (where the
// player stands and how she moves, her charges, the blocks, where the
// creatures and items are, the key and the exit, the freeze and lock counts)
// has not been seen before. Of the new ones at most `width` go on to the next
// level: first the nearest to the key (or, once it is taken, to the exit) of
// every situation (the player's cell, her charges, the blocks, how many
// creatures and items are left), then the second nearest of each, and so on.
// The first level that holds a clear gives the fastest clear found.
#pragma once

#include "game/shell/replay.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace finder {

struct SearchLimits {
    int width = 1500;       // states kept per level
    int step = 8;           // ticks per move
    long ticks = 6000;      // ticks of play searched after the countdown
    double seconds = 900;   // wall-clock bound
    long seenCapacity = 0;  // coarse keys remembered (0: from width and ticks)
    int logEvery = 25;      // a progress line every so many steps
};

struct SearchResult {
    bool cleared = false;
    long clearTick = 0;             // in the runner's count: countdown included
    std::vector<uint16_t> inputs;   // every tick from the stage load to the clear
    long levels = 0;                // levels searched
    long states = 0;                // states kept over all levels
    long simulatedTicks = 0;
    double seconds = 0;
    bool stoppedByClock = false;
};

// Searches from the stage now loaded in the game state (fresh from the stage
// files, before its first tick). Progress lines go to `log` when given. The
// game state is left somewhere in the search afterwards.
SearchResult search(const SearchLimits& limits, std::FILE* log = nullptr);

// The inputs as an input script the runner accepts: "ready", then one line
// per run of equal inputs. `start` gives the stage and the starting charges.
std::string scriptText(const std::vector<uint16_t>& inputs, const ReplayStart& start);

}  // namespace finder
