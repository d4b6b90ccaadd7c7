// Sound files made on the spot for the sound tests and the mixer benchmark.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sound_fixtures {

struct Chunk {
    std::string id;
    std::vector<uint8_t> bytes;
    bool pad = true;   // false: leave out the padding byte after an odd size
};

// "RIFF" size "WAVE" and the chunks in the order given.
std::vector<uint8_t> RiffWave(const std::vector<Chunk>& chunks);
Chunk FormatChunk(uint16_t tag, int channels, int rate, int bits, int blockAlign);
// EXTENSIBLE header with the given sub-format tag and valid bits; a speaker
// mask of 0 writes front left and right for stereo, else front centre.
Chunk ExtensibleChunk(uint16_t subTag, int channels, int rate, int containerBits, int validBits,
                      uint32_t speakerMask = 0);
Chunk DataChunk(const std::vector<int16_t>& samples);

// Plain 16-bit PCM.
void WriteWav16(const std::string& path, const std::vector<int16_t>& samples, int channels, int rate);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Ogg Vorbis through libvorbisenc, and the reference decoding of such a file
// straight through vorbisfile. Files of different serial numbers one after
// another make a chained file.
std::vector<uint8_t> OggBytes(const std::vector<int16_t>& samples, int channels, int rate, int serial = 12345);
void WriteOgg(const std::string& path, const std::vector<int16_t>& samples, int channels, int rate);
std::vector<int16_t> DecodeOggReference(const std::string& path, int* channels = nullptr);

// A sine wave, interleaved over `channels` (same value on each).
std::vector<int16_t> Sine(double frequency, int rate, int frames, int channels, double amplitude);
// Something music-like that a listener would notice a gap in.
std::vector<int16_t> Chord(int rate, int frames, int channels);

}  // namespace sound_fixtures
