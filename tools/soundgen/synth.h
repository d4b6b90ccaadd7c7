// One synthesized note: oscillators, envelopes, pitch sweeps, noise and a
// filter, described by an Instrument record and rendered into a mono buffer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

constexpr int kSampleRate = 44100;

enum class Wave { Sine, Triangle, Saw, Square, Noise, Pluck, Fm, Organ };
enum class FilterMode { None, LowPass, HighPass, BandPass };

// Every setting a note can have. Defaults give a plain sine with a short
// attack and release.
struct Instrument {
    Wave wave = Wave::Sine;
    double duty = 0.5;          // square: share of the cycle spent high
    double fmRatio = 2.0;       // fm: modulator frequency / carrier frequency
    double fmIndex = 2.0;       // fm: modulation index at the note's start
    double fmDecay = 0.0;       // fm: seconds for the index to fall to a third (0 keeps it)
    std::vector<double> harmonics{1.0};  // organ: amplitude of harmonic 1, 2, ...
    int unison = 1;             // detuned copies of the oscillator (1..4)
    double detune = 0.0;        // cents between the outermost copies
    double noise = 0.0;         // white noise mixed in, 0..1
    double damping = 0.5;       // pluck: how fast the string loses its highs, 0..1
    double brightness = 1.0;    // pluck: brightness of the pick, 0..1

    double attack = 0.005, decay = 0.1, sustain = 1.0, release = 0.05;  // seconds, level
    double hold = 0.0;          // seconds at full level before the decay starts

    FilterMode filter = FilterMode::None;
    double cutoff = 8000.0;     // Hz
    double cutoffTo = 0.0;      // Hz reached at the end of the held part (0: no sweep)
    double resonance = 0.1;     // 0..0.95
    double filterEnv = 0.0;     // extra cutoff octaves at the note's start, decaying
    double filterDecay = 0.1;   // seconds of that decay
    double keyTrack = 0.0;      // 0..1: cutoff follows the note's pitch

    double vibrato = 0.0;       // cents
    double vibratoRate = 5.0;   // Hz
    double vibratoDelay = 0.0;  // seconds
    double tremolo = 0.0;       // 0..1 amplitude wobble
    double tremoloRate = 6.0;   // Hz
    double sweep = 0.0;         // semitones above the note at its start, gliding down
    double sweepTime = 0.05;    // seconds of that glide
    double drive = 0.0;         // soft saturation, 0 = clean
    double gain = 1.0;
    double pan = 0.0;           // -1 left .. +1 right (music only)
    double reverb = 0.2;        // send to the room (music only)
};

// Reads "key=value" into an instrument; false when the key is not one of
// its settings. A bad value throws std::runtime_error.
bool setInstrumentValue(Instrument& instrument, const std::string& key, const std::string& value);

// One note to render.
struct NoteSpec {
    double frequency = 440.0;     // Hz at the start
    double frequencyTo = 0.0;     // Hz at the end of the held part (0: steady)
    bool linearGlide = false;     // glide linearly in Hz instead of evenly in pitch
    double holdSeconds = 0.1;     // time before the release starts
    double velocity = 1.0;
    uint32_t seed = 1;            // noise and pick randomness
};

// Renders a note (held part plus release) and mixes it into out, starting at
// sample `start`; the buffer grows when needed.
void renderNote(const Instrument& instrument, const NoteSpec& note, std::vector<float>& out, size_t start);

// Seconds a note sounds in all: held part plus release.
double noteSeconds(const Instrument& instrument, double holdSeconds);

// Small deterministic generator, the same on every machine.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    float white() { return static_cast<float>(static_cast<int32_t>(next())) * (1.0f / 2147483648.0f); }

private:
    uint32_t state_;
};

}  // namespace soundgen
