#include "game/play/play_sounds.h"

#include "game/state/globals.h"
#include "media/media.h"

namespace {
PlaySoundObserver soundObserver = nullptr;

// The handle slot that holds "10\NN.wav", or nullptr.
int32_t* soundSlotOf(int fileNumber) {
    if (fileNumber >= 1 && fileNumber <= 4) return &game.soundSlots[fileNumber - 1];
    if (fileNumber == 5) return &game.stageStartSound;
    if (fileNumber == 6) return &game.exitReachedSound;
    if (fileNumber == 7) return &game.timeUpSound;
    if (fileNumber >= 30 && fileNumber < 30 + 24) return &game.effectSounds[fileNumber - 30];
    return nullptr;
}
}  // namespace

void setPlaySoundObserver(PlaySoundObserver observer) { soundObserver = observer; }

void playSceneSound(int fileNumber) {
    int32_t* slot = soundSlotOf(fileNumber);
    if (!slot) return;
    if (soundObserver) soundObserver(fileNumber);
    PlaySound(*slot, kPlayOnce, 1);
}

void startStageMusic() {
    if (soundObserver) soundObserver(kStageMusicStarted);
    PlaySound(game.stageMusic, kPlayLoop, 1);
}

void stopStageMusic() {
    if (soundObserver) soundObserver(kStageMusicStopped);
    StopSound(game.stageMusic);
}
