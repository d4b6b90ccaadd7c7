#include "tools/report/play_watch.h"

#include "game/state/globals.h"

namespace report {

namespace {

constexpr const char* kSkillNames[kSkillCount] = {
    "walk", "jump", "make", "break", "dig", "turned cast", "head bump",
    "shoot", "big spell", "lull", "drop", "shield", "bonus key",
};

constexpr int16_t kCannonShot = 29;
constexpr int16_t kSleeper = 30, kCrashingSleeper = 31;

int cellOf(int column, int row) { return column * kGridRows + row; }

bool inField(int column, int row) { return column >= 0 && column < kGridColumns && row >= 0 && row < kGridRows; }

bool blockMagic(int state) {
    return state == kPlayerMagicStanding || state == kPlayerMagicInAir || state == kPlayerMagicCrouching;
}

bool shot(int state) {
    return state == kPlayerShotStanding || state == kPlayerShotInAir || state == kPlayerShotCrouching;
}

// Creatures that walk and can fall: not the fliers, cannons, their shots,
// flames or spawners, which never fall through a floor.
bool walksOnFloors(int kind) {
    return (kind >= 11 && kind <= 17) || kind == 30 || kind == 31 || kind == 32 || kind == 34;
}

}  // namespace

const char* skillName(int skill) { return skill >= 0 && skill < kSkillCount ? kSkillNames[skill] : "?"; }

std::pair<int, int> routeCell(int x, double feet) {
    return {x / kCellSize, static_cast<int>(feet - 16) / kCellSize};
}

int PlayWatch::rows() const {
    std::set<int> seen;
    for (const auto& cell : cells_) seen.insert(cell.second);
    return static_cast<int>(seen.size());
}

void PlayWatch::begin() {
    *this = PlayWatch{};
    remember();
}

void PlayWatch::remember() {
    player_ = game.players[0];
    for (int i = 0; i < kCellCount; ++i) {
        blocks_[i] = game.tileMap.blocks[i];
        placeTimers_[i] = game.tileMap.placeTimers[i];
    }
    for (int i = 0; i < kActorSlots; ++i) {
        const Actor& a = game.actors[i];
        actors_[i] = {a.live, a.kind, a.phase, a.dying, a.y};
    }
}

void PlayWatch::afterTick() {
    const Player& p = game.players[0];
    const Player& was = player_;
    const TileMap& map = game.tileMap;
    cells_.insert(routeCell(p.x, p.y));

    auto entered = [&](bool (*in)(int)) { return in(p.state) && !in(was.state); };
    // The first tick of block magic: the state starts at timer 0 (a freeze
    // can hold it there, so the tick before must not have been the same).
    bool cast = blockMagic(p.state) && p.stateTimer == 0 && !(was.state == p.state && was.stateTimer == 0);

    if (p.state == kPlayerWalking) skills_ |= 1u << kWalk;
    if (p.state == kPlayerJumpWindUp && was.state != kPlayerJumpWindUp) skills_ |= 1u << kJump;
    if (p.state == kPlayerHeadBump && was.state != kPlayerHeadBump) skills_ |= 1u << kHeadBump;
    if (entered(shot)) skills_ |= 1u << kShoot;
    if (p.state == kPlayerSpellStart && was.state != kPlayerSpellStart) skills_ |= 1u << kBigSpell;
    if (cast && p.facing != was.facing) skills_ |= 1u << kTurnedCast;

    bool madeBlockBroke = false;
    for (int i = 0; i < kCellCount; ++i) {
        if (map.placeTimers[i] > placeTimers_[i]) {
            skills_ |= 1u << kMake;
            madeByPlayer_[i] = true;
        }
        bool broke = (blocks_[i] == kBlockBreakable || blocks_[i] == kBlockCracked) && map.blocks[i] == kBlockEmpty;
        if (!broke) continue;
        bool byHead = p.state == kPlayerHeadBump && was.state != kPlayerHeadBump;
        if (cast || byHead) {
            brokenByPlayer_[i] = true;
            if (cast) skills_ |= 1u << (p.state == kPlayerMagicCrouching ? kDig : kBreak);
        } else if (madeByPlayer_[i]) {
            madeBlockBroke = true;
        }
        madeByPlayer_[i] = false;
    }

    for (int i = 0; i < kActorSlots; ++i) {
        const Actor& a = game.actors[i];
        const ActorSeen& before = actors_[i];
        bool same = a.live && before.live && a.kind == before.kind;
        if (cast && same && (a.kind == kSleeper || a.kind == kCrashingSleeper) && before.phase == 0 && a.phase == 1)
            skills_ |= 1u << kLull;
        if (same && a.kind == kCannonShot && before.phase == 0 && a.phase == 5 && madeBlockBroke)
            skills_ |= 1u << kShield;
        if (same && !a.dying && walksOnFloors(a.kind) && a.y > before.y) {
            int column = static_cast<int>(a.x) / kCellSize, row = static_cast<int>(a.y) / kCellSize;
            if (inField(column, row) && brokenByPlayer_[cellOf(column, row)]) skills_ |= 1u << kDrop;
        }
        if (before.live && before.kind == kKindBonusKey && !(a.live && a.kind == kKindBonusKey) &&
            game.clearCounter == 0)
            skills_ |= 1u << kBonusKey;
    }
    remember();
}

}  // namespace report
