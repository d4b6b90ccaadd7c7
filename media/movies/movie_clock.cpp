#include "media/movies/movie_clock.h"

#include <SDL.h>

namespace media::movies {
namespace {

constexpr double kFlipsPerSecond = 60.0;
// Sound waiting in the mixer that has not moved on for this long means the
// device has stopped taking it; the picture then goes on by itself.
constexpr double kStallSeconds = 1.0;

double SecondsBetween(uint64_t from, uint64_t to) {
    return static_cast<double>(to - from) / static_cast<double>(SDL_GetPerformanceFrequency());
}

}  // namespace

MovieClock::MovieClock(bool paced) : paced_(paced), baseCounter_(SDL_GetPerformanceCounter()) {}

void MovieClock::Follow(sound::Feed* feed) {
    feed_ = feed;
    lastHeard_ = -1;
    lastMoved_ = SDL_GetPerformanceCounter();
}

void MovieClock::Unfollow() {
    if (!feed_) return;
    base_ = feed_->Heard();
    baseCounter_ = SDL_GetPerformanceCounter();
    baseFlips_ = flips_;
    feed_ = nullptr;
}

long MovieClock::Flipped() { return ++flips_; }

double MovieClock::Elapsed() const {
    if (paced_) return SecondsBetween(baseCounter_, SDL_GetPerformanceCounter());
    return static_cast<double>(flips_ - baseFlips_) / kFlipsPerSecond;
}

double MovieClock::Now() {
    if (!feed_) return base_ + Elapsed();
    const double heard = feed_->Heard();
    if (heard > lastHeard_) {
        lastHeard_ = heard;
        lastMoved_ = SDL_GetPerformanceCounter();
    }
    return heard;
}

bool MovieClock::SoundStalled() {
    if (!feed_) return false;
    Now();
    return feed_->Queued() > 0 && SecondsBetween(lastMoved_, SDL_GetPerformanceCounter()) > kStallSeconds;
}

}  // namespace media::movies
