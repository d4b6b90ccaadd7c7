#include "media/sound/mixer.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>

namespace media::sound::mixer {
namespace {

constexpr size_t kDeviceFrames = 1024;   // about 23 ms at 44.1 kHz
constexpr size_t kMaxVoices = 1024;

std::mutex gMutex;
std::vector<Voice*> gSounding;           // under gMutex
SDL_AudioDeviceID gDevice = 0;
std::atomic<uint64_t> gUnderruns{0};
uint64_t gPullCounter = 0;               // under gMutex: when the running pull began
std::atomic<float> gMasterGain{1.0f};

void Remove(size_t at) {
    gSounding[at]->sounding = false;
    gSounding[at] = gSounding.back();
    gSounding.pop_back();
}

constexpr float kScale = 1.0f / 32768.0f;

void AddFrames(float* out, const int16_t* in, int channels, size_t frames) {
    if (channels == 2) {
        for (size_t i = 0; i < frames * 2; ++i) out[i] += in[i] * kScale;
    } else {
        for (size_t i = 0; i < frames; ++i) {
            const float v = in[i] * kScale;
            out[i * 2] += v;
            out[i * 2 + 1] += v;
        }
    }
}

// Returns false once the voice has finished.
bool MixMemory(Voice& voice, float* out, size_t frames) {
    size_t done = 0;
    while (done < frames) {
        if (voice.position >= voice.frames) {
            if (!voice.looping || voice.frames == 0) {
                voice.position = 0;  // a finished copy starts over next time
                return false;
            }
            voice.position = 0;
        }
        const size_t n = std::min<size_t>(frames - done, voice.frames - voice.position);
        AddFrames(out + done * 2, voice.samples + static_cast<size_t>(voice.position) * voice.channels,
                  voice.channels, n);
        voice.position += static_cast<uint32_t>(n);
        done += n;
    }
    if (voice.position >= voice.frames && !voice.looping) {
        voice.position = 0;
        return false;
    }
    return true;
}

bool MixRing(Ring& ring, float* out, size_t frames) {
    ring.playedBefore = ring.played;
    ring.pulledAt = gPullCounter;
    size_t done = 0;
    while (done < frames) {
        const uint64_t limit = std::min(ring.written, ring.end);
        if (ring.played >= limit) break;
        const uint64_t at = ring.played % ring.capacity;
        const size_t n = static_cast<size_t>(std::min<uint64_t>({frames - done, limit - ring.played,
                                                                 ring.capacity - at}));
        AddFrames(out + done * 2, ring.samples.data() + at * ring.channels, ring.channels, n);
        ring.played += n;
        done += n;
    }
    if (ring.played >= ring.end) return false;
    if (done < frames) gUnderruns.fetch_add(1, std::memory_order_relaxed);
    return true;
}

void Callback(void*, Uint8* stream, int length) {
    Pull(reinterpret_cast<float*>(stream), static_cast<size_t>(length) / (sizeof(float) * kChannels));
}

}  // namespace

bool OpenDevice() {
    SDL_AudioSpec want{};
    want.freq = kRate;
    want.format = AUDIO_F32SYS;
    want.channels = kChannels;
    want.samples = kDeviceFrames;
    want.callback = Callback;
    SDL_AudioSpec have{};
    // SDL converts to whatever the hardware takes.
    gDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (gDevice == 0) return false;
    {
        std::lock_guard lock(gMutex);
        gSounding.clear();
        gSounding.reserve(kMaxVoices);
    }
    gUnderruns = 0;
    SDL_PauseAudioDevice(gDevice, 0);
    return true;
}

void CloseDevice() {
    if (gDevice != 0) SDL_CloseAudioDevice(gDevice);
    gDevice = 0;
    std::lock_guard lock(gMutex);
    for (Voice* v : gSounding) v->sounding = false;
    gSounding.clear();
}

bool DeviceOpen() { return gDevice != 0; }

std::unique_lock<std::mutex> Lock() { return std::unique_lock(gMutex); }

void StartLocked(Voice& voice) {
    if (voice.sounding) return;
    voice.sounding = true;
    gSounding.push_back(&voice);
}

void StopLocked(Voice& voice) {
    if (!voice.sounding) return;
    for (size_t i = 0; i < gSounding.size(); ++i) {
        if (gSounding[i] == &voice) {
            Remove(i);
            break;
        }
    }
}

void Pull(float* out, size_t frames) {
    std::fill(out, out + frames * kChannels, 0.0f);
    std::lock_guard lock(gMutex);
    gPullCounter = SDL_GetPerformanceCounter();
    for (size_t i = 0; i < gSounding.size();) {
        Voice& voice = *gSounding[i];
        const bool more = voice.ring ? MixRing(*voice.ring, out, frames) : MixMemory(voice, out, frames);
        if (more) {
            ++i;
        } else {
            Remove(i);
        }
    }
    // Many loud sounds at once clip at full scale instead of wrapping round.
    const float gain = gMasterGain.load(std::memory_order_relaxed);
    for (size_t i = 0; i < frames * kChannels; ++i) out[i] = std::clamp(out[i] * gain, -1.0f, 1.0f);
}

void SetMasterGain(float gain) { gMasterGain.store(std::clamp(gain, 0.0f, 1.0f), std::memory_order_relaxed); }

float MasterGain() { return gMasterGain.load(std::memory_order_relaxed); }

void HoldDevice(bool hold) {
    if (gDevice != 0) SDL_PauseAudioDevice(gDevice, hold ? 1 : 0);
}

int SoundingVoices() {
    std::lock_guard lock(gMutex);
    return static_cast<int>(gSounding.size());
}

uint64_t Underruns() { return gUnderruns.load(std::memory_order_relaxed); }

}  // namespace media::sound::mixer
