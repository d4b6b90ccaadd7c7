// Where a playing movie is on its time line, and so which frame is due.
// While its sound track plays, the sound is the clock: the picture follows
// what has been heard, so the two cannot drift apart. Without sound, time
// is the wall clock's, or, when frames are shown as fast as they come (no
// pacing), 1/60 s for every frame presented.
#pragma once

#include "media/core/area_hooks.h"

#include <cstdint>

namespace media::movies {

class MovieClock {
public:
    explicit MovieClock(bool paced);

    // From now on the clock is what has been heard of the feed.
    void Follow(sound::Feed* feed);
    // The sound is over or gone: time runs on from where it was heard.
    void Unfollow();
    bool Following() const { return feed_ != nullptr; }

    long Flipped();   // one more frame presented: how many now
    double Now();     // seconds of the movie

    // The followed sound has had sound waiting and not moved on for too
    // long: its device has stopped taking it.
    bool SoundStalled();

private:
    double Elapsed() const;  // since base_ was set, by the wall clock or the frames

    bool paced_;
    sound::Feed* feed_ = nullptr;
    double base_ = 0;            // movie time when the present stretch began
    uint64_t baseCounter_ = 0;   // performance counter then
    long baseFlips_ = 0;         // frames presented then
    long flips_ = 0;
    double lastHeard_ = -1;
    uint64_t lastMoved_ = 0;     // performance counter when the sound last moved on
};

}  // namespace media::movies
