// What a run of a solution shows, seen tick by tick from the game state: the
// cells the player passes through and the skills she uses.
#pragma once

#include "game/state/play_state.h"

#include <cstdint>
#include <set>
#include <string>
#include <utility>

namespace report {

enum Skill : int {
    kWalk,
    kJump,
    kMake,        // a block made by block magic
    kBreak,       // a block broken by block magic, standing or in the air
    kDig,         // a block broken by block magic cast crouching
    kTurnedCast,  // block magic cast on the tick the player turns round
    kHeadBump,
    kShoot,
    kBigSpell,
    kLull,        // block magic aimed at a sleeper: it crouches low
    kDrop,        // a creature falls through a cell the player broke
    kShield,      // a cannon shot stops on a block the player made
    kBonusKey,
    kSkillCount
};

const char* skillName(int skill);

// The cell of the player's middle: her x and 16 pixels above her feet.
std::pair<int, int> routeCell(int x, double feet);

class PlayWatch {
public:
    // Call once the stage is started, before its first tick.
    void begin();
    // Call after every tick.
    void afterTick();

    uint32_t skills() const { return skills_; }
    const std::set<std::pair<int, int>>& cells() const { return cells_; }  // (column, row)
    int rows() const;

private:
    struct ActorSeen {
        int16_t live, kind, phase, dying;
        double y;
    };
    void remember();

    uint32_t skills_ = 0;
    std::set<std::pair<int, int>> cells_;
    Player player_{};
    int32_t blocks_[kCellCount]{};
    int32_t placeTimers_[kCellCount]{};
    ActorSeen actors_[kActorSlots]{};
    bool madeByPlayer_[kCellCount]{};
    bool brokenByPlayer_[kCellCount]{};
};

}  // namespace report
