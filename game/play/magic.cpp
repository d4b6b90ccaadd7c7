// Block magic, head bumps on blocks, shots, the key sequence and the big
// spell, all timed by the player's state and stateTimer.
#include "game/play/magic.h"

#include "game/play/effects.h"
#include "game/play/game_random.h"
#include "game/play/play_sounds.h"
#include "game/play/tile_map.h"
#include "game/state/globals.h"

namespace {

int ahead(const Player& p) { return p.facing == 0 ? 1 : -1; }

int whole(double v) { return truncateCoordinate(v); }

// Block-magic target heights, by state 10, 11, 12.
struct MagicHeights {
    int target;
    int actorTest;
    int wallRight;  // the wall spark's height facing right
    int wallLeft;   // and facing left
};
constexpr MagicHeights kMagicHeights[] = {
    {0, -15, -16, -16},   // standing
    {-15, -15, -15, -16}, // in the air
    {10, 10, 16, 16},     // crouching
};

bool actorInTheWay(const Actor& a, int column, int row) {
    bool columnMatch = cellColumnOf(a.x) == column || cellColumnOf(a.x - 16.0) == column ||
                       cellColumnOf(a.x + 15.0) == column;
    bool rowMatch = cellRowOf(a.y - 15) == row || cellRowOf(a.y) == row ||
                    cellRowOf(a.y - 30) == row;
    return columnMatch && rowMatch;
}

// An empty target cell gets a block unless an actor stands in the way.
void makeBlock(int tx, int ty, int column, int row, int actorRow) {
    bool blocked = false;
    for (Actor& a : game.actors) {
        if (a.live != 1 || !actorInTheWay(a, column, actorRow)) continue;
        blocked = true;
        playSceneSound(2);
        if (a.kind == 30 || a.kind == 31) a.phase = 1;
    }
    if (blocked) return;
    spawnMakeEffect(tx, ty);
    setBlock(column, row, kBlockBreakable);
    int i = cellIndex(column, row);
    if (i >= 0) game.tileMap.placeTimers[i] = 20;
}

void shotEffects(const Player& p) {
    int s = ahead(p);
    int x = p.x;
    bool blocked = p.headWasBlocked == 1;
    auto at = [&](int dx, double dy, int kind) { spawnEffect(x + dx, whole(p.y + dy), kind, p.facing); };
    switch (p.state) {
    case kPlayerShotStanding:
        if (p.stateTimer == 1) {
            if (blocked)
                at(18 * s, -7, 35);
            else
                at(-3 * s, -28, 16);
        }
        if (p.stateTimer == 10) {
            playSceneSound(51);
            if (blocked)
                at(20 * s, -10, 19);
            else
                at(15 * s, -20, 19);
            at(15 * s, -20, 20);
        }
        break;
    case kPlayerShotInAir:
        if (p.stateTimer == 1) at(0, -28, 17);
        if (p.stateTimer == 10) {
            at(15 * s, -20, 19);
            at(15 * s, -20, 20);
        }
        break;
    case kPlayerShotCrouching:
        if (p.stateTimer == 1) {
            if (blocked)
                at(12 * s, -3, 34);
            else
                at(0, -13, 17);
        }
        if (p.stateTimer == 10) {
            at(17 * s, -2, 19);
            at(15 * s, -2, 20);
        }
        break;
    default: break;
    }
}

// The beam clears a three-row band beyond the player, columns 1..18 only, and
// knocks out every creature and spawner in it.
void fireBeam(const Player& p) {
    int pc = p.x / kCellSize;
    int pr = whole(p.y) / kCellSize;
    int first = p.facing == 0 ? (pc + 1 > 1 ? pc + 1 : 1) : 1;
    int last = p.facing == 0 ? 18 : pc - 1;
    for (int column = first; column <= last; ++column) {
        setBlock(column, pr, kBlockEmpty);
        if (pr > 2) setBlock(column, pr - 1, kBlockEmpty);
        if (pr < 13) setBlock(column, pr + 1, kBlockEmpty);
    }
    for (Actor& a : game.actors) {
        if (a.live != 1 || a.kind >= 42 || a.kind == kKindKey || a.kind == kKindExit) continue;
        bool beyond = p.facing == 0 ? a.x > p.x : a.x < p.x;
        int row = whole(a.y) / kCellSize;
        if (!beyond || row < pr - 1 || row > pr + 1) continue;
        a.phase = 10;
        a.dying = 1;
        a.airborne = 1;
        a.vy = 3.0;
        a.timer = 0;
        a.age = 0;
    }
}

void spellEffects(const Player& p) {
    int s = ahead(p);
    int x = p.x;
    auto at = [&](int dx, double dy, int kind, int facing) {
        spawnEffect(x + dx, whole(p.y + dy), kind, facing);
    };
    int t = p.stateTimer;
    switch (p.state) {
    case kPlayerSpellStart:
        if (t == 13) {
            playSceneSound(39);
            at(25 * s, -32, 52, p.facing);
        }
        break;
    case kPlayerSpellTrigger:
        if (t == 2) playSceneSound(40);
        break;
    case kPlayerSpellBeam:
        if (t == 1) {
            playSceneSound(41);
            at(0, 3, 41, p.facing);
            static constexpr int kPieces[][2] = {{40, 50}, {20, 55}, {60, 56}, {90, 57}, {140, 58}};
            for (const auto& piece : kPieces) at(piece[0] * s, -15, piece[1], p.facing);
        }
        if (t == 3) fireBeam(p);
        break;
    case kPlayerSpellFinish:
        if (t == 32) {
            playSceneSound(42);
            at(10 * s, -32, 59, p.facing);
            at(10 * s, -22, 60, 0);
        }
        if (t == 40) at(10 * s, -22, 60, 1);
        break;
    default: break;
    }
}

}  // namespace

void castBlockMagic(Player& p) {
    int index = p.state - kPlayerMagicStanding;
    if (index < 0 || index > 2) return;
    const MagicHeights& h = kMagicHeights[index];
    int tx = p.x + 32 * ahead(p);
    int ty = whole(p.y + h.target);
    int column = cellColumnOf(tx);
    int row = cellRowOf(p.y + h.target);
    switch (blockAt(column, row)) {
    case kBlockEmpty:
        makeBlock(tx, ty, column, row, cellRowOf(p.y + h.actorTest));
        break;
    case kBlockSolid:
        playSceneSound(2);
        spawnEffect(tx, whole(p.y + (p.facing == 0 ? h.wallRight : h.wallLeft)), kEffectSolidSpark,
                    p.facing);
        break;
    case kBlockBreakable:
    case kBlockCracked:
        spawnBreakEffect(tx, ty, kEffectPlayerBreak);
        breakCell(column, row);
        break;
    default: break;
    }
}

void bumpBlock(int column, int row) {
    int i = cellIndex(column, row);
    if (i < 0) return;
    TileMap& map = game.tileMap;
    if (map.blocks[i] == kBlockCracked) {
        breakCell(column, row);
        int debris = map.blockVariant[i] == 0 ? kEffectDebrisMade : kEffectDebrisFile;
        for (int n = 0; n < 4; ++n)
            spawnEffect(kCellSize * column + 16, kCellSize * row + 16, debris, gameRandomBelow(2));
    } else if (map.blocks[i] == kBlockBreakable) {
        map.blocks[i] = kBlockCracked;
    }
}

void updateMagicStates(Player& p) {
    if (p.state == kPlayerKeyTaken && p.stateTimer == 21) {
        playSceneSound(30);
        spawnEffect(p.facing == 0 ? p.x - 12 : p.x + 12, whole(p.y - 28), kEffectKeySpark, p.facing);
    }
    shotEffects(p);
    spellEffects(p);
}

void startSpellEnding() {
    for (Actor& e : game.effects) {
        if (e.live == 0 || e.kind < 36 || e.kind > 58) continue;
        e.phase = 1;
        e.age = 1;
    }
}
