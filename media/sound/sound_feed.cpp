// A sound track fed from outside the sound table (a movie's): a ring that the
// feeding area fills and the mixer plays, with the ring's own count of frames
// played as the track's clock.
#include "media/core/area_hooks.h"
#include "media/sound/mixer.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace media::sound {
namespace {

static_assert(kFeedRate == mixer::kRate, "a feed hands the mixer frames at its own rate");

class RingFeed final : public Feed {
public:
    explicit RingFeed(uint64_t capacity) {
        ring_.channels = 2;
        ring_.capacity = capacity;
        ring_.samples.resize(static_cast<size_t>(capacity) * 2);
        voice_.ring = &ring_;
    }

    ~RingFeed() override {
        auto lock = mixer::Lock();
        mixer::StopLocked(voice_);
    }

    size_t Room() override {
        auto lock = mixer::Lock();
        return static_cast<size_t>(ring_.capacity - (ring_.written - ring_.played));
    }

    size_t Write(const int16_t* frames, size_t count) override {
        // Outside played..written the ring is ours to fill without the lock.
        uint64_t written;
        {
            auto lock = mixer::Lock();
            if (finished_) return 0;
            written = ring_.written;
            count = std::min<size_t>(count, static_cast<size_t>(ring_.capacity - (written - ring_.played)));
        }
        for (size_t done = 0; done < count;) {
            const uint64_t at = (written + done) % ring_.capacity;
            const size_t n = std::min<size_t>(count - done, static_cast<size_t>(ring_.capacity - at));
            std::memcpy(ring_.samples.data() + at * 2, frames + done * 2, n * 2 * sizeof(int16_t));
            done += n;
        }
        auto lock = mixer::Lock();
        ring_.written = written + count;
        return count;
    }

    void Start() override {
        auto lock = mixer::Lock();
        if (ring_.played < ring_.end) mixer::StartLocked(voice_);
    }

    void Finish() override {
        auto lock = mixer::Lock();
        finished_ = true;
        ring_.end = ring_.written;
    }

    double Heard() override {
        auto lock = mixer::Lock();
        // The last pull's frames are taken to be heard one after another
        // from the moment it began.
        uint64_t heard = ring_.playedBefore;
        if (ring_.pulledAt != 0) {
            const double since = static_cast<double>(SDL_GetPerformanceCounter() - ring_.pulledAt) /
                                 static_cast<double>(SDL_GetPerformanceFrequency());
            heard += std::min(ring_.played - ring_.playedBefore, static_cast<uint64_t>(since * mixer::kRate));
        }
        return static_cast<double>(heard) / mixer::kRate;
    }

    double Queued() override {
        auto lock = mixer::Lock();
        return static_cast<double>(ring_.written - ring_.played) / mixer::kRate;
    }

    bool Done() override {
        auto lock = mixer::Lock();
        return finished_ && ring_.played >= ring_.end;
    }

private:
    mixer::Ring ring_;
    mixer::Voice voice_;
    bool finished_ = false;
};

}  // namespace

std::unique_ptr<Feed> Feed::Open(double seconds) {
    if (!mixer::DeviceOpen()) return nullptr;
    const uint64_t frames = static_cast<uint64_t>(std::clamp(seconds, 0.05, 60.0) * mixer::kRate);
    return std::make_unique<RingFeed>(frames);
}

}  // namespace media::sound
