#include "media/movies/movie_sound.h"

#include "media/core/log.h"

#include <algorithm>

namespace media::movies {
namespace {

// The feed holds two seconds of sound and is kept a second ahead of what is
// heard: enough for the game thread to be held up a while (a busy machine,
// the window being dragged) without a gap in the sound. A skip silences it
// at once all the same.
constexpr double kFeedSeconds = 2.0;
constexpr double kAheadSeconds = 1.0;

void LogLeftOut(const std::string& why, const std::string& fileName) {
    log::Write("The sound track of the movie is left out (%s): %s\n", why.c_str(), fileName.c_str());
}

}  // namespace

MovieSound::MovieSound(const char* fileName) : fileName_(fileName) {
    switch (track_.Open(fileName)) {
    case SoundTrack::Opened::kNoSound: return;
    case SoundTrack::Opened::kUnplayable: LogLeftOut(track_.why(), fileName_); return;
    case SoundTrack::Opened::kPlayable: break;
    }
    feed_ = sound::Feed::Open(kFeedSeconds);
}

MovieSound::~MovieSound() = default;

void MovieSound::TopUp() {
    if (!feed_ || finished_) return;
    const double missing = kAheadSeconds - feed_->Queued();
    if (missing <= 0) return;
    size_t want = std::min(feed_->Room(), static_cast<size_t>(missing * sound::kFeedRate));
    while (want > 0) {
        const size_t asked = std::min(want, piece_.size() / 2);
        const size_t got = track_.Read(piece_.data(), asked);
        feed_->Write(piece_.data(), got);
        want -= got;
        if (got < asked) {
            if (track_.failed()) LogLeftOut(track_.why(), fileName_);
            feed_->Finish();
            finished_ = true;
            break;
        }
    }
}

void MovieSound::Start() {
    if (feed_) feed_->Start();
}

void MovieSound::Stop() { feed_.reset(); }

void MovieSound::LeaveOut(const char* why) {
    if (feed_) LogLeftOut(why, fileName_);
    Stop();
}

bool MovieSound::Over() const { return !feed_ || feed_->Done(); }

}  // namespace media::movies
