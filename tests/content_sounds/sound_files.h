// Reading the generated sound files for the tests: a strict WAV reader of
// our own and Ogg Vorbis through vorbisfile.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace sound_files {

struct Pcm {
    int formatTag = 0;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    int blockAlign = 0;
    int bytesPerSecond = 0;
    std::vector<int16_t> samples;  // interleaved
    std::string error;             // empty when the file was read

    size_t frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
    double seconds() const { return sampleRate > 0 ? static_cast<double>(frames()) / sampleRate : 0.0; }
    // One channel as floats in [-1, 1).
    std::vector<float> channel(int index) const;
};

// RIFF/WAVE with 16-bit PCM data; every chunk bound checked.
Pcm readWav(const std::string& path);

// Ogg Vorbis decoded whole to 16-bit samples.
Pcm readOgg(const std::string& path);

// Loudest 50 ms (RMS) and peak of a channel, as fractions of full scale.
double loudestWindow(const std::vector<float>& samples);
double peak(const std::vector<float>& samples);
double rms(const std::vector<float>& samples);

inline double toDb(double v) { return v > 0 ? 20.0 * std::log10(v) : -200.0; }

}  // namespace sound_files
