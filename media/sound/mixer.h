// The mixer: every sounding voice added into one stereo float stream for the
// SDL audio device. Voices hold 16-bit frames already at the mixer's rate,
// either a whole sound in memory or a ring that a stream keeps topped up.
//
// Voice and ring fields belong to the mixer: change or read them only while
// holding Lock(). Ring samples between played and written are the mixer's;
// the rest of the ring is the stream's to fill.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace media::sound::mixer {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr uint64_t kNoEnd = ~uint64_t{0};

struct Ring {
    std::vector<int16_t> samples;
    int channels = 2;
    uint64_t capacity = 0;         // frames
    uint64_t written = 0;          // frames ever written
    uint64_t played = 0;           // frames ever played
    uint64_t end = kNoEnd;         // playback stops when played reaches this
    // The last pull that played from the ring: where it began and when
    // (SDL's performance counter), so that what is heard between pulls can
    // be told.
    uint64_t playedBefore = 0;
    uint64_t pulledAt = 0;
};

struct Voice {
    // Memory playback: the whole sound.
    const int16_t* samples = nullptr;
    uint32_t frames = 0;
    int channels = 1;
    uint32_t position = 0;
    bool looping = false;
    // Ring playback instead when set.
    Ring* ring = nullptr;
    bool sounding = false;
};

// Opens the audio device (false when there is none). The device starts
// playing at once.
bool OpenDevice();
void CloseDevice();
bool DeviceOpen();

std::unique_lock<std::mutex> Lock();

// With the lock held:
void StartLocked(Voice& voice);
void StopLocked(Voice& voice);

// Mixes the next frames into out (frames x 2 floats, -1..1). The device
// callback calls this; tests call it directly after HoldDevice(true).
void Pull(float* out, size_t frames);

// true: the device stops pulling (it plays silence) so that a test or a
// benchmark can drive the mixer itself; false lets it run again.
void HoldDevice(bool hold);

// Everything mixed is multiplied by this (0 silent, 1 as made); any thread.
void SetMasterGain(float gain);
float MasterGain();

// Voices sounding right now.
int SoundingVoices();
// How many pulls found a stream ring without enough data.
uint64_t Underruns();

}  // namespace media::sound::mixer
