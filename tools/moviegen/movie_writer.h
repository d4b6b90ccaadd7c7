// Writes pictures as an AVI movie (MPEG-4 part 2 video, no sound). Output is
// the same bytes on every run.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace moviegen {

class MovieWriter {
public:
    MovieWriter();
    ~MovieWriter();
    MovieWriter(const MovieWriter&) = delete;
    MovieWriter& operator=(const MovieWriter&) = delete;

    bool Open(const std::string& path, int width, int height, int framesPerSecond);
    // One frame of width x height 0xAARRGGBB pixels.
    bool Add(const std::vector<uint32_t>& pixels);
    bool Close();  // flushes the encoder and finishes the file

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace moviegen
