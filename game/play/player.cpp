// The player: input, gravity, landing, head bumps, wall push and the timed
// state changes.
#include "game/play/player.h"

#include "game/play/effects.h"
#include "game/play/game_random.h"
#include "game/play/magic.h"
#include "game/play/play_sounds.h"
#include "game/play/tile_map.h"
#include "game/state/globals.h"

#include <initializer_list>

namespace {

constexpr double kJumpSpeed = 2.8;
constexpr double kGravity = 0.13;

bool solid(double px, double py) { return solidAtPoint(px, py); }

int16_t add16(int16_t v, int d) { return static_cast<int16_t>(v + d); }

// Nothing over the head any more: a stop or a stand-up looks up (41) when a
// block had been over her head, otherwise she simply stands (0).
int16_t stillStateAfterMoving(const Player& p) {
    bool clearAbove = !solid(p.x + 9, p.y - 35) && !solid(p.x - 9, p.y - 35);
    return p.headWasBlocked == 1 && clearAbove ? kPlayerLookingUp : kPlayerStanding;
}

bool pressed(int index, int button) {
    return game.input[index].button[button] != 0 && game.prevButtons[index][button] == 0;
}

// Timed state changes, tested in this order; the timer restarts in the new state.
enum class When { Always, HeadClear, HeadBlocked, HeadBlockedStumble };
struct TimedChange {
    int16_t state;
    int16_t at;
    int16_t next;
    When when;
};
constexpr TimedChange kTimedChanges[] = {
    {kPlayerMagicStanding, 20, kPlayerStanding, When::Always},
    {kPlayerMagicInAir, 20, kPlayerInAir, When::Always},
    {kPlayerMagicCrouching, 20, kPlayerStanding, When::Always},
    {kPlayerLanded, 5, kPlayerStanding, When::Always},
    {kPlayerLandedAfterBump, 20, kPlayerStanding, When::Always},
    {kPlayerKeyTaken, 30, kPlayerKeyRecovering, When::Always},
    {kPlayerKeyRecovering, 7, kPlayerStanding, When::Always},  // in the air: 3
    {kPlayerShotStanding, 20, kPlayerStanding, When::HeadClear},
    {kPlayerShotStanding, 24, kPlayerStumble, When::HeadBlockedStumble},
    {kPlayerShotStanding, 32, kPlayerStanding, When::HeadBlocked},
    {kPlayerShotInAir, 20, kPlayerInAir, When::Always},
    {kPlayerShotCrouching, 20, kPlayerStanding, When::Always},
    {kPlayerLookingUp, 52, kPlayerStanding, When::Always},
    {kPlayerStumble, 60, kPlayerStanding, When::Always},
    {kPlayerSpellTrigger, 8, kPlayerSpellBeam, When::Always},
    {kPlayerSpellBeam, 150, kPlayerSpellFinish, When::Always},
    {kPlayerSpellFinish, 80, kPlayerStanding, When::Always},
};

void applyTimedChanges(Player& p) {
    for (const TimedChange& change : kTimedChanges) {
        if (p.state != change.state || p.stateTimer != change.at) continue;
        switch (change.when) {
        case When::Always: break;
        case When::HeadClear:
            if (p.headWasBlocked != 0) continue;
            break;
        case When::HeadBlocked:
            if (p.headWasBlocked != 1) continue;
            break;
        case When::HeadBlockedStumble:
            if (p.headWasBlocked != 1 || gameRandomBelow(10) != 5) continue;
            p.lockTimer = 44;
            break;
        }
        p.state = change.next;
        p.stateTimer = 0;
        if (change.state == kPlayerKeyRecovering && p.airborne) p.state = kPlayerInAir;
        if (change.next == kPlayerSpellFinish) startSpellEnding();
        if (change.state == kPlayerSpellFinish) {
            game.actorsHeld = 0;
            p.lockTimer = 0;
        }
    }
}

void land(Player& p) {
    p.y -= 1.0;
    p.airborne = 0;
    p.state = kPlayerLanded;
    p.stateTimer = 0;
    p.headWasBlocked = 0;
    p.vy = 0.0;
    if (p.bumped == 1) {
        p.state = kPlayerLandedAfterBump;
        playSceneSound(35);
    }
    if (game.controlsLocked > 0) {
        p.state = kPlayerLyingDead;
        game.deathCounter = 1;
    }
    p.bumped = 0;
}

void applyGravityAndLanding(Player& p) {
    if (!solid(p.x - 8, p.y + 2) && !solid(p.x + 8, p.y + 2) && !p.airborne) {
        p.state = kPlayerInAir;
        p.airborne = 1;
    }
    if (p.airborne) {
        p.y -= p.vy;
        p.vy -= kGravity;
    }
    for (int probe : {8, -8})
        for (int tries = 0; tries < 64 && solid(p.x + probe, p.y + 1); ++tries) land(p);
}

// Feet below this can never land again: she would fall for ever with the
// stage running and the timer at 0. It counts as a death, and the death
// countdown starts as if she had landed, hanging where she is.
void loseFallenPlayer(Player& p) {
    if (p.y <= kPlayerLostBelowY || game.deathCounter != 0 || game.clearCounter != 0) return;
    if (game.controlsLocked == 0) startDeathJump(p);
    p.airborne = 0;
    p.vy = 0.0;
    p.state = kPlayerLyingDead;
    p.stateTimer = 0;
    p.lockTimer = 10000;
    game.deathCounter = 1;
}

void bumpHead(Player& p) {
    for (int d = 0; d <= 6; ++d) {
        for (int px : {p.x + d, p.x - d}) {
            for (int tries = 0; tries < 32; ++tries) {
                int column = cellColumnOf(px);
                int row = cellRowOf(p.y - 29);
                if (blockAt(column, row) == kBlockEmpty || placeTimerAt(column, row) != 0) break;
                if (p.holdTimer == 0) bumpBlock(column, row);
                p.vy = 0.0;
                p.y += 1.0;
                if (game.controlsLocked == 0) {
                    p.state = kPlayerHeadBump;
                    p.holdTimer = 20;
                    p.bumped = 1;
                    playSceneSound(4);
                }
            }
        }
    }
}

// Pushed out of walls, at most 34 pixels per side per tick.
void pushOutOfWalls(Player& p) {
    int rowFeet = cellRowOf(p.y);
    int rowHead = cellRowOf(p.y - 28);
    for (int i = 0; i < 17; ++i) {
        if (blockAt(cellColumnOf(p.x - 12), rowFeet) != kBlockEmpty) p.x = add16(p.x, 1);
        if (blockAt(cellColumnOf(p.x - 12), rowHead) != kBlockEmpty) p.x = add16(p.x, 1);
    }
    for (int i = 0; i < 17; ++i) {
        if (blockAt(cellColumnOf(p.x + 12), rowFeet) != kBlockEmpty) p.x = add16(p.x, -1);
        if (blockAt(cellColumnOf(p.x + 12), rowHead) != kBlockEmpty) p.x = add16(p.x, -1);
    }
}

}  // namespace

void startDeathJump(Player& p) {
    p.vy = kJumpSpeed;
    p.stateTimer = 0;
    p.state = kPlayerDeathJump;
    p.airborne = 1;
    stopStageMusic();
    playSceneSound(7);
    game.controlsLocked = 1;
}

void readPlayerInput(int index) {
    Player& p = game.players[index];
    const InputState& in = game.input[index];
    if (p.lockTimer != 0) return;
    int h = in.horizontal;
    int v = in.vertical;

    if (h == -1 || h == 1) {
        p.x = add16(p.x, h);
        p.facing = h < 0 ? 1 : 0;
        // The first four ticks of the wind-up only turn her.
        if (p.state == kPlayerJumpWindUp && p.stateTimer < 4) p.x = add16(p.x, -h);
        if (!p.airborne && p.state != kPlayerJumpWindUp) p.state = kPlayerWalking;
    }
    if (p.state == kPlayerWalking && h == 0) {
        p.state = stillStateAfterMoving(p);
        p.stateTimer = 0;
    }
    if (v == 1 && game.prevDirection[index].vertical != 1 && !p.airborne) {
        p.stateTimer = 0;
        p.state = kPlayerJumpWindUp;
    }
    if (v == -1 && !p.airborne) {
        p.crouching = 1;
        p.state = h != 0 ? kPlayerCrouchWalking : kPlayerCrouching;
    }
    if (p.crouching == 1 && v != -1) {
        p.crouching = 0;
        if (p.state == kPlayerCrouching || p.state == kPlayerCrouchWalking) {
            p.state = stillStateAfterMoving(p);
            p.stateTimer = 0;
        }
    }
    if (pressed(index, 0)) {
        p.lockTimer = 20;
        p.state = p.airborne ? kPlayerMagicInAir
                  : p.crouching ? kPlayerMagicCrouching
                                : kPlayerMagicStanding;
    }
    if (pressed(index, 1) && p.magic > 0) {
        --p.magic;
        p.lockTimer = 20;
        if (p.airborne) {
            p.state = kPlayerShotInAir;
        } else if (p.crouching) {
            p.state = kPlayerShotCrouching;
        } else {
            p.state = kPlayerShotStanding;
            if (p.headWasBlocked == 1) p.lockTimer = 32;
        }
    }
    if (pressed(index, 2) && p.magic > 2 && !p.airborne && !p.crouching) {
        p.magic = 0;
        p.state = kPlayerSpellStart;
        p.stateTimer = 0;
        game.freezeCounter = 100;
        game.actorsHeld = 1;
        spawnEffect(0, 0, kEffectSpellStart, p.facing);
        p.lockTimer = 1000;
    }
    if (pressed(index, 3)) game.pauseCounter = 1;
    for (int b = 0; b < 4; ++b) game.prevButtons[index][b] = in.button[b];
}

void updatePlayer(int index) {
    Player& p = game.players[index];
    if (p.active != 1) return;
    if (p.holdTimer != 0) {
        --p.holdTimer;
        return;
    }
    if (p.lockTimer > 0) --p.lockTimer;

    if (p.state == kPlayerJumpWindUp || p.state == kPlayerLookingUp) p.headWasBlocked = 0;
    if (solid(p.x + 9, p.y - 35) || solid(p.x - 9, p.y - 35)) p.headWasBlocked = 1;

    if (game.controlsLocked == 0) readPlayerInput(index);

    if (p.state == kPlayerDeathJump) p.x = add16(p.x, p.facing == 0 ? -1 : 1);
    if (p.state == kPlayerJumpWindUp) {
        if (p.stateTimer == 4) {
            p.airborne = 1;
            p.vy = kJumpSpeed;
        }
        if (p.stateTimer == 30) {
            p.stateTimer = 0;
            p.state = kPlayerInAir;
        }
    }

    if (p.lockTimer == 0) applyGravityAndLanding(p);
    loseFallenPlayer(p);

    p.stateTimer = add16(p.stateTimer, 1);
    if (p.prevState != p.state) p.stateTimer = 0;

    applyTimedChanges(p);

    if (p.stateTimer == 0 &&
        (p.state == kPlayerMagicStanding || p.state == kPlayerMagicInAir ||
         p.state == kPlayerMagicCrouching))
        castBlockMagic(p);

    if (p.airborne) bumpHead(p);

    updateMagicStates(p);
    pushOutOfWalls(p);

    p.halfWidth = 9;
    p.height = p.crouching == 1 ? 15 : 28;
    p.depth = p.airborne == 1 ? 15 : 0;

    game.prevDirection[index].vertical = game.input[index].vertical;
    game.prevDirection[index].horizontal = game.input[index].horizontal;
    p.prevState = p.state;
}
