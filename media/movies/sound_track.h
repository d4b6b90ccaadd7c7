// The sound track of a movie file: its audio stream (PCM or any codec the
// decoder library reads) decoded and brought to 16-bit stereo at the
// mixer's rate, laid out on the movie's time line: output frame n belongs at
// n / kFeedRate seconds of the movie. A gap in the stream's timestamps is
// heard as silence and an overlap is cut, so a damaged stretch never moves
// the rest of the sound against the picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace media::movies {

class SoundTrack {
public:
    enum class Opened { kNoSound, kPlayable, kUnplayable };

    SoundTrack();
    ~SoundTrack();
    SoundTrack(const SoundTrack&) = delete;
    SoundTrack& operator=(const SoundTrack&) = delete;

    // kUnplayable: the file has an audio stream that cannot be decoded
    // (why() says what is wrong).
    Opened Open(const char* fileName);

    // Up to `frames` stereo frames; fewer only at the end of the track or
    // once it has failed.
    size_t Read(int16_t* out, size_t frames);

    // The stream turned out to be undecodable while playing.
    bool failed() const;
    const std::string& why() const;

private:
    struct State;
    std::unique_ptr<State> state_;
    std::string why_;
};

}  // namespace media::movies
