// The play scene's sounds, named by the file they come from.
#pragma once

// Plays a play-scene sound once, from the start: fileNumber is the number of
// "10\NN.wav" (1..7 and 30..53). Unknown numbers play nothing.
void playSceneSound(int fileNumber);

// The stage music: start looping, or stop.
void startStageMusic();
void stopStageMusic();

// Tests and tools may watch what the scene plays: the observer receives the
// file number of every sound, or one of the two music events below.
constexpr int kStageMusicStarted = -1;
constexpr int kStageMusicStopped = -2;
using PlaySoundObserver = void (*)(int fileNumber);
void setPlaySoundObserver(PlaySoundObserver observer);
