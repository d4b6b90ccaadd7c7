// Writes pictures, and a sound track if wanted, as an AVI movie (MPEG-4
// part 2 video; MPEG-1 Layer II or 16-bit PCM sound). Output is the same
// bytes on every run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace moviegen {

enum class SoundCoding { kMp2, kPcm16 };

struct SoundFormat {
    SoundCoding coding = SoundCoding::kMp2;
    int rate = 44100;
    int channels = 2;
    int bitRate = 192000;  // MPEG audio only
};

class MovieWriter {
public:
    MovieWriter();
    ~MovieWriter();
    MovieWriter(const MovieWriter&) = delete;
    MovieWriter& operator=(const MovieWriter&) = delete;

    // With `sound`, the movie gets a sound track in that format.
    bool Open(const std::string& path, int width, int height, int framesPerSecond,
              const SoundFormat* sound = nullptr);
    // One frame of width x height 0xAARRGGBB pixels.
    bool Add(const std::vector<uint32_t>& pixels);
    // Sound frames (channels interleaved) following those added before. Add
    // it along with the pictures, a frame's worth at a time, so the two are
    // laid out side by side in the file.
    bool AddSound(const int16_t* frames, size_t count);
    bool Close();  // flushes the encoders and finishes the file

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace moviegen
