// A playing movie's sound track on its way to the mixer: decoded a little
// ahead of what is heard and handed over through a sound feed.
#pragma once

#include "media/core/area_hooks.h"
#include "media/movies/sound_track.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace media::movies {

class MovieSound {
public:
    // Opens the file's sound track and a feed for it; without sound (none
    // in the file, sound off, or a track that cannot be decoded, which is
    // logged) feed() stays null and the movie plays silent.
    explicit MovieSound(const char* fileName);
    ~MovieSound();
    MovieSound(const MovieSound&) = delete;
    MovieSound& operator=(const MovieSound&) = delete;

    sound::Feed* feed() const { return feed_.get(); }

    // Decodes more while less than a little while is waiting; a track that
    // fails on the way is logged and ends where it got to.
    void TopUp();
    void Start();
    // Silences it at once.
    void Stop();
    // Silences it and says why in the log.
    void LeaveOut(const char* why);
    // Played to its end, or nothing to play.
    bool Over() const;

private:
    std::string fileName_;
    SoundTrack track_;
    std::unique_ptr<sound::Feed> feed_;
    bool finished_ = false;                 // the track has no more to give
    std::array<int16_t, 2 * 4096> piece_;   // decoded frames on their way
};

}  // namespace media::movies
