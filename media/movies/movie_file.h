// A movie file opened for one of its streams. The file is read through the
// file layer, so movies inside pack archives play as well. The picture and
// the sound track each open the file for themselves and read only the
// packets of their own stream.
#pragma once

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdint>
#include <memory>

namespace media::movies {

class MovieFile {
public:
    MovieFile();
    ~MovieFile();
    MovieFile(const MovieFile&) = delete;
    MovieFile& operator=(const MovieFile&) = delete;

    // False when the file is missing or no container format takes it.
    bool Open(const char* fileName);
    // The best stream of a kind and its decoder: -1 when there is none.
    int FindStream(AVMediaType kind, const AVCodec** decoder) const;
    const AVStream* Stream(int index) const;
    AVRational FrameRate(int stream) const;  // 0/1 when the file does not say
    double Duration() const;                 // seconds; 0 when the file does not say

    // The next packet of the stream into `packet` (unreferenced by the
    // caller); false at the end of the file or on a read error.
    bool NextPacket(int stream, AVPacket* packet);

    // A timestamp of the stream in seconds of the movie: both streams count
    // from the container's start, so the picture and the sound agree.
    double Seconds(int stream, int64_t timestamp) const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace media::movies
