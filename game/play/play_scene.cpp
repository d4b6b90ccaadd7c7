// The play-scene driver: one tick of play in its three phases (freeze,
// normal, every tick) and the scene exits when a stage ends.
#include "game/play/play_scene.h"

#include "game/play/actor_kinds.h"
#include "game/play/actors.h"
#include "game/play/effects.h"
#include "game/play/play_render.h"
#include "game/play/play_sounds.h"
#include "game/play/player.h"
#include "game/play/tile_map.h"
#include "game/state/globals.h"
#include "game/state/scene_entry.h"

#include <cstdint>

namespace {

constexpr int kStartCountdownEnd = 125;
constexpr int16_t kDeathCountdownEnd = 85;
constexpr int16_t kClearCountdownEnd = 300;
constexpr int kLastStage = 50;

using ActorRoutine = void (*)(int slot);
struct ActorStep {
    ActorRoutine routine;
    int16_t firstKind;
    int16_t lastKind;
};
// The fixed order of the actor behaviours. Each entry runs only while the
// slot holds one of its kinds, read afresh before every entry.
constexpr ActorStep kActorSteps[] = {
    {updateItem, 42, 49},
    {updateHomingBonus, 41, 41},
    {updateTimedSpawner, 40, 40},
    {updateTimedSpawner, 39, 39},
    {updateTimedSpawner, 38, 38},
    {updateTimedSpawner, 37, 37},
    {updateTimedSpawner, 36, 36},
    {updateScriptedSpawner, 35, 35},
    {updateFireWalker, 34, 34},
    {updateFlame, 33, 33},
    {updateFireBreathingWalker, 32, 32},
    {updateSleeper, 31, 31},
    {updateSleeper, 30, 30},
    {updateCannonShot, 29, 29},
    {updateCannon, 27, 27},
    {updateCannon, 28, 28},
    {updateChaser, 13, 13},
    {updateBlockWalker, 12, 12},
    {updateBlockWalker, 16, 16},
    {updateBlockWalker, 17, 17},
    {updateWallCrawler, 11, 11},
    {updateWallCrawler, 14, 14},
    {updateWallCrawler, 15, 15},
    {updateVerticalFlier, 18, 19},
    {updateVerticalFlier, 20, 21},
    {updateVerticalFlier, 22, 23},
    {updateHorizontalFlier, 24, 24},
    {updateHorizontalFlier, 25, 25},
    {updateHorizontalFlier, 26, 26},
};

constexpr int kStepCount = static_cast<int>(sizeof kActorSteps / sizeof kActorSteps[0]);
constexpr int kKindsWithSteps = 50;

// The step that handles each kind (-1: none). Every kind has at most one.
struct StepOfKind {
    int8_t step[kKindsWithSteps];
    constexpr StepOfKind() : step{} {
        for (int8_t& s : step) s = -1;
        for (int i = 0; i < kStepCount; ++i)
            for (int k = kActorSteps[i].firstKind; k <= kActorSteps[i].lastKind; ++k)
                step[k] = static_cast<int8_t>(i);
    }
};
constexpr StepOfKind kStepOfKind{};

void updateActors() {
    // A slot filled during this loop at a higher index runs in the same tick.
    for (int slot = 0; slot < kActorSlots; ++slot) {
        Actor& a = game.actors[slot];
        if (a.live != 1) continue;
        // Going through the steps in order, each reading the kind afresh, comes
        // down to: run the kind's step if it lies after the last one run.
        int next = 0;
        for (;;) {
            int kind = a.kind;
            if (kind < 0 || kind >= kKindsWithSteps) break;
            int step = kStepOfKind.step[kind];
            if (step < next) break;
            kActorSteps[step].routine(slot);
            next = step + 1;
        }
        updateKeyAndExit(slot);
    }
}

void runFreezePhase() {
    for (int i = 0; i < 2; ++i)
        if (game.players[i].state == kPlayerKeyTaken) updatePlayer(i);
    for (int slot = 0; slot < kEffectSlots; ++slot) {
        const Actor& e = game.effects[slot];
        if (e.persist >= 1 && e.live >= 1) updateEffect(slot);
    }
    --game.freezeCounter;
}

void countDownTime() {
    if (game.timeLeft > 0 && game.clearCounter == 0 && game.settings.noTimeLimit == 0) {
        game.timeLeft -= 1.0f;
        if (game.timeLeft == 0.0f) startDeathJump(game.players[0]);
    }
}

void runPause() {
    // A long pause wraps its counter back by whole pulses and never reaches 0.
    game.pauseCounter = static_cast<int16_t>(game.pauseCounter + 1);
    if (game.pauseCounter > 32400) game.pauseCounter = static_cast<int16_t>(game.pauseCounter - 32400);
    int32_t& remembered = game.prevButtons[0][3];
    if (game.input[0].button[3] == 0) {
        remembered = 0;
    } else {
        if (remembered == 0) game.pauseCounter = 0;
        remembered = 1;
    }
}

void runNormalPhase() {
    for (Actor& a : game.actors) {
        if (a.live != 0) continue;
        a.dying = 0;
        a.facing = 0;
    }
    ++game.playFrame;
    resetEmptyCellVariants();

    if (game.startCounter >= 1) {
        if (game.startCounter == 2) playSceneSound(5);
        ++game.startCounter;
        if (game.startCounter > kStartCountdownEnd) {
            game.startCounter = 0;
            startStageMusic();
        }
    }
    if (game.clearCounter >= 1) {
        if (game.clearCounter == 120) playSceneSound(36);
        ++game.clearCounter;
    }
    if (game.deathCounter >= 1) ++game.deathCounter;
    if (game.startCounter != 0) return;

    if (game.pauseCounter != 0) {
        runPause();
        return;
    }

    updatePlayer(0);
    updatePlayer(1);
    countDownTime();
    if (game.actorsHeld == 0) updateActors();
    for (int slot = 0; slot < kEffectSlots; ++slot)
        if (game.effects[slot].live >= 1) updateEffect(slot);
    countDownCellTimers();
    if (game.controlsLocked == 0) {
        shotsHitActors();
        touchActors();
    }
}

void updateShake() {
    if (game.shakeTimerY >= 1) {
        int t = --game.shakeTimerY;
        game.shakeY = t % 4 == 2 ? static_cast<float>(t) : 0.0f;
    }
    if (game.shakeTimerX >= 1) {
        int t = --game.shakeTimerX;
        static constexpr int kSign[4] = {-1, 0, 1, 0};
        game.shakeX = static_cast<float>(kSign[t % 4] * t);
    }
}

void enterNextScene() {
    // Sounds before pictures: the order the scene change has always had.
    sceneEntry().resetState();
    sceneEntry().loadSounds();
    sceneEntry().loadImages();
}

void loseLifeIfDone() {
    if (game.deathCounter != kDeathCountdownEnd) return;
    Player& first = game.players[0];
    first.lives = static_cast<int16_t>(first.lives - 1);
    if (first.lives < 0) {
        game.scene = game.stageSelectMode == 1 ? kSceneStageSelect : kSceneGameOver;
        enterNextScene();
        return;
    }
    // The same stage again, with its sounds reloaded and its pictures kept.
    sceneEntry().resetState();
    sceneEntry().loadSounds();
}

void finishStageIfDone() {
    if (game.clearCounter != kClearCountdownEnd) return;
    ++game.stageNumber;
    if (game.highestStage < game.stageNumber) game.highestStage = game.stageNumber;
    if (game.stageNumber % 5 == 0) game.scene = kSceneInterlude;
    if (game.stageNumber == kLastStage + 1) game.scene = kSceneEndingMovie;
    if (game.stageSelectMode == 1) game.scene = kSceneStageSelect;
    enterNextScene();
}

}  // namespace

void advancePlayScene(bool draw) {
    if (game.freezeCounter >= 1)
        runFreezePhase();
    else
        runNormalPhase();

    updateShake();
    if (draw) drawPlayScene();
    loseLifeIfDone();
    finishStageIfDone();
}

namespace {
const PlayWatcher* gWatcher = nullptr;
}  // namespace

void setPlayWatcher(const PlayWatcher* watcher) { gWatcher = watcher; }

void notifyStageLoaded() {
    if (gWatcher) gWatcher->stageLoaded();
}

int updatePlayScene() {
    if (gWatcher) gWatcher->tickStarting();
    advancePlayScene(true);
    if (gWatcher) gWatcher->tickFinished();
    return 0;
}

void updatePlayLogic() { advancePlayScene(false); }
