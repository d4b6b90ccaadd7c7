// The actor table: spawning, the items, the key and the exit, and what
// happens when the player or a shot touches an actor.
#include "game/play/actors.h"

#include "game/play/play_sounds.h"
#include "game/play/player.h"
#include "game/state/globals.h"

int findFreeActorSlot() {
    for (int i = 0; i < kActorSlots; ++i)
        if (game.actors[i].live == 0) return i;
    return -1;
}

int spawnActorAt(int kind, double x, double y) {
    int slot = findFreeActorSlot();
    if (slot < 0) return -1;
    Actor& a = game.actors[slot];
    a.live = 1;
    a.kind = static_cast<int16_t>(kind);
    a.timer = 0;
    a.phase = 0;
    a.x = static_cast<float>(x);
    a.y = y;
    return slot;
}

bool actorTouchesPlayer(const Actor& a, const Player& p) {
    return a.x + a.halfWidth > p.x - p.halfWidth && p.x + p.halfWidth > a.x - a.halfWidth &&
           a.y - a.depth > p.y - p.height && a.y - a.height < p.y - p.depth;
}

namespace {

bool hurtByShots(int kind) {
    return (kind >= 11 && kind <= 28) || (kind >= 30 && kind <= 32) || kind == 34 ||
           kind == kKindHomingBonus;
}

bool shotTouchesActor(const Actor& shot, const Actor& a) {
    return a.x + a.halfWidth > shot.x - shot.halfWidth &&
           a.x - a.halfWidth < shot.x + shot.halfWidth && a.y - a.depth > shot.y - shot.height &&
           a.y - a.height < shot.y + shot.depth;
}

// The bonus key makes a homing bonus appear at the exit.
void releaseBonusAtExit() {
    int slot = findFreeActorSlot();
    if (slot < 0) return;
    Actor& bonus = game.actors[slot];
    bonus.live = 1;
    bonus.kind = kKindHomingBonus;
    bonus.timer = 0;
    for (int i = kActorSlots - 1; i >= 0; --i) {
        const Actor& exit = game.actors[i];
        if (exit.live != 0 && exit.kind == kKindExit) {
            bonus.x = exit.x;
            bonus.y = exit.y;
            break;
        }
    }
    bonus.phase = 0;
    bonus.facing = 0;
    bonus.dying = 0;
}

void reachExit(Player& p) {
    game.clearCounter = 1;
    p.stateTimer = 0;
    p.state = kPlayerAtExit;
    p.lockTimer = 10000;
    for (Actor& a : game.actors)
        if (a.kind != kKindExit) a.live = 0;
    stopStageMusic();
    playSceneSound(6);
}

struct ScoreItem {
    int16_t kind;
    int32_t points;
    int16_t lives;
    int sound;
};
// Items that raise the score or the lives, in the order they are tested.
constexpr ScoreItem kScoreItems[] = {
    {kKindExtraLife, 0, 1, 46},  {kKindScore1000, 1000, 0, 44}, {kKindScore500Life, 500, 1, 46},
    {kKindScore500, 500, 0, 44}, {kKindScore200, 200, 0, 43},   {kKindScore100, 100, 0, 43},
};

void touchOne(Player& p, Actor& a) {
    Player& first = game.players[0];
    if (a.kind == kKindExit && a.phase == 1 && game.clearCounter == 0) reachExit(p);
    if (a.kind == kKindMagicCharge) {
        if (first.magic < 3) ++first.magic;
        a.live = 0;
        playSceneSound(45);
    }
    for (const ScoreItem& item : kScoreItems) {
        if (a.kind != item.kind) continue;
        game.score += item.points;
        first.lives = static_cast<int16_t>(first.lives + item.lives);
        a.live = 0;
        playSceneSound(item.sound);
    }
    if (a.kind == kKindBonusKey) {
        playSceneSound(47);
        releaseBonusAtExit();
        a.live = 0;
    }
    if (a.kind == kKindHomingBonus) {
        playSceneSound(48);
        game.score += 2000;
        a.live = 0;
    }
    if (a.kind >= 11 && a.kind <= 34) startDeathJump(p);
    if (a.kind == kKindKey) {
        playSceneSound(50);
        a.live = 0;
        p.stateTimer = 0;
        p.state = kPlayerKeyTaken;
        p.lockTimer = 34;
        game.freezeCounter = 180;
    }
}

}  // namespace

void touchActors() {
    for (Player& p : game.players) {
        if (p.active <= 0) continue;
        for (Actor& a : game.actors) {
            if (a.live <= 0 || a.dying != 0) continue;
            if (actorTouchesPlayer(a, p)) touchOne(p, a);
        }
    }
}

void shotsHitActors() {
    for (Actor& shot : game.effects) {
        if (shot.live <= 0) continue;
        for (Actor& a : game.actors) {
            // Once the shot has hit it is no longer a shot: one hit per shot.
            if (shot.kind != 20) break;
            if (a.live <= 0 || a.dying != 0 || !hurtByShots(a.kind)) continue;
            if (!shotTouchesActor(shot, a)) continue;
            a.vy = 3.0;
            a.phase = 10;
            a.dying = 1;
            a.airborne = 1;
            shot.kind = 25;
            shot.timer = 0;
            playSceneSound(33);
        }
    }
}

void updateItem(int slot) {
    Actor& a = game.actors[slot];
    if (a.kind < kKindBonusKey || a.kind > kKindMagicCharge) return;
    a.halfWidth = 12;
    a.height = 28;
    a.depth = 10;
}

void updateKeyAndExit(int slot) {
    Actor& a = game.actors[slot];
    if (a.kind == kKindExit) {
        ++a.timer;
        a.halfWidth = 14;
        a.height = 28;
        a.depth = 0;
    } else if (a.kind == kKindKey) {
        ++a.timer;
        a.halfWidth = 14;
        a.height = 32;
        a.depth = 0;
    }
}
