// Decoding a movie file's video stream frame by frame. The file is read
// through the file layer, so movies inside pack archives play as well.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace media::movies {

constexpr int kMaxFrameSide = 4096;

class MovieDecoder {
public:
    MovieDecoder();
    ~MovieDecoder();
    MovieDecoder(const MovieDecoder&) = delete;
    MovieDecoder& operator=(const MovieDecoder&) = delete;

    // False when the file is missing, not a movie, or has no usable video.
    bool Open(const char* fileName);
    int width() const;
    int height() const;
    // Seconds; 0 when the container does not say.
    double duration() const;

    // The next frame, scaled to width() x height(), 0xFF alpha, as 0xAARRGGBB
    // rows from the top, and its presentation time in seconds. False at the
    // end of the stream or on a decoder error.
    bool NextFrame(std::vector<uint32_t>& pixels, double* seconds);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace media::movies
