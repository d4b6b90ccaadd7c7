// Stream sounds: decoded just ahead of playback into a ring of six seconds,
// primed with four seconds at start and topped up by the upkeep. A looping
// stream decodes on from the start of the data when it runs out, so the
// repeat has no gap; a stream that does not loop stops after its last frame.
#include "media/sound/resampler.h"
#include "media/sound/sound.h"

#include <algorithm>
#include <optional>

namespace media::sound {
namespace {

constexpr uint64_t kRingSeconds = 6;
constexpr uint64_t kPrimeSeconds = 4;
constexpr uint64_t kAheadSeconds = 3;

// The decoder, wrapped round to its start when the sound loops.
class LoopingSource final : public FrameSource {
public:
    explicit LoopingSource(Decoder& decoder) : decoder_(decoder) {}
    bool looping = false;
    bool exhausted = false;

    size_t Read(int16_t* out, size_t frames) override {
        size_t done = 0;
        bool wrapped = false;
        while (done < frames && !exhausted) {
            const size_t got = decoder_.Read(out + done * decoder_.channels(), frames - done);
            if (got > 0) {
                done += got;
                wrapped = false;
                continue;
            }
            // Out of data. An empty stream or a failed rewind ends it even when looping.
            if (!looping || wrapped || !decoder_.Seek(0)) {
                exhausted = true;
                break;
            }
            wrapped = true;
        }
        return done;
    }

private:
    Decoder& decoder_;
};

struct RingShare {
    mixer::Ring ring;
    class StreamSoundImpl* user = nullptr;  // the stream playing through it
};

class StreamSoundImpl final : public Sound {
public:
    StreamSoundImpl(std::unique_ptr<Decoder> decoder, std::shared_ptr<RingShare> share, bool ownsRing)
        : decoder_(std::move(decoder)), source_(*decoder_), share_(std::move(share)), ownsRing_(ownsRing) {
        if (decoder_->rate() != mixer::kRate)
            resampler_.emplace(source_, decoder_->channels(), decoder_->rate(), mixer::kRate);
        sourceFrames_ = decoder_->TotalFrames();
        voice_.ring = &share_->ring;
    }

    ~StreamSoundImpl() override {
        Stop();
        if (share_->user == this) share_->user = nullptr;
    }

    std::shared_ptr<RingShare> share() const { return share_; }
    bool ownsRing() const { return ownsRing_; }
    bool IsStream() const override { return true; }

    void Play(bool looping, bool fromStart) override {
        if (!fromStart && Sounding()) return;
        bool finished;
        uint64_t played;
        {
            auto lock = mixer::Lock();
            mixer::StopLocked(voice_);
            finished = ring().end != mixer::kNoEnd && ring().played >= ring().end;
            played = ring().played;
        }
        const bool ringIsOurs = share_->user == this && hasContent_;
        if (share_->user && share_->user != this) share_->user->LoseRing();
        share_->user = this;

        if (fromStart || finished || (!ringIsOurs && !resumeAt_)) {
            Restart(0);
        } else if (!ringIsOurs) {
            Restart(*resumeAt_);
        } else if (looping != looping_) {
            // What was decoded ahead was decoded for the other way of ending.
            Restart(SourcePositionAt(played));
        }
        resumeAt_.reset();
        looping_ = looping;
        source_.looping = looping;
        uint64_t ahead;
        {
            auto lock = mixer::Lock();
            ahead = ring().written - ring().played;
        }
        if (ahead < kPrimeSeconds * mixer::kRate) Fill(kPrimeSeconds * mixer::kRate - ahead);
        hasContent_ = true;
        auto lock = mixer::Lock();
        mixer::StartLocked(voice_);
    }

    void Stop() override {
        auto lock = mixer::Lock();
        mixer::StopLocked(voice_);
    }

    bool Sounding() const override {
        auto lock = mixer::Lock();
        return voice_.sounding;
    }

    void Upkeep() override {
        if (share_->user != this || ended_) return;
        uint64_t ahead;
        {
            auto lock = mixer::Lock();
            if (!voice_.sounding) return;
            ahead = ring().written - ring().played;
        }
        // In 1/128 s: past 383 keep adding an eighth of a second, else come back to 3 s.
        if (ahead * 128 > 383 * static_cast<uint64_t>(mixer::kRate)) {
            Fill(mixer::kRate / 8);
        } else {
            Fill(kAheadSeconds * mixer::kRate - ahead);
        }
    }

    // Another stream takes the shared ring: remember where this one was.
    void LoseRing() {
        uint64_t played;
        {
            auto lock = mixer::Lock();
            mixer::StopLocked(voice_);
            played = ring().played;
        }
        if (hasContent_) resumeAt_ = SourcePositionAt(played);
        hasContent_ = false;
    }

private:
    mixer::Ring& ring() { return share_->ring; }
    const mixer::Ring& ring() const { return share_->ring; }

    // Rewinds the decoder to a frame and empties the ring.
    void Restart(int64_t frame) {
        if (!decoder_->Seek(frame)) decoder_->Seek(0), frame = 0;
        if (resampler_) resampler_->Reset();
        source_.exhausted = false;
        ended_ = false;
        segmentStart_ = frame;
        auto lock = mixer::Lock();
        ring().written = 0;
        ring().played = 0;
        ring().end = mixer::kNoEnd;
    }

    // The source frame that ring frame `played` came from.
    int64_t SourcePositionAt(uint64_t played) const {
        int64_t at = segmentStart_ + static_cast<int64_t>(played * static_cast<uint64_t>(decoder_->rate()) /
                                                          mixer::kRate);
        if (sourceFrames_ > 0) at = looping_ ? at % sourceFrames_ : std::min(at, sourceFrames_);
        return at;
    }

    // Decodes up to `frames` more into the ring, never over what is still to
    // play. The decoder running dry is not yet the end: a rate converter
    // still holds frames then. The end is where the converter gives out.
    void Fill(uint64_t frames) {
        if (ended_) return;
        uint64_t written, played;
        {
            auto lock = mixer::Lock();
            written = ring().written;
            played = ring().played;
        }
        const uint64_t capacity = ring().capacity;
        const int channels = ring().channels;
        frames = std::min(frames, capacity - (written - played));
        FrameSource& from = resampler_ ? static_cast<FrameSource&>(*resampler_) : source_;
        while (frames > 0) {
            const uint64_t at = written % capacity;
            const size_t want = static_cast<size_t>(std::min(frames, capacity - at));
            const size_t got = from.Read(ring().samples.data() + at * channels, want);
            written += got;
            frames -= got;
            auto lock = mixer::Lock();
            ring().written = written;
            if (got < want) {
                ring().end = written;  // the data is exhausted: play up to here
                ended_ = true;
                break;
            }
        }
    }

    std::unique_ptr<Decoder> decoder_;
    LoopingSource source_;
    std::optional<Resampler> resampler_;
    std::shared_ptr<RingShare> share_;
    bool ownsRing_;
    mixer::Voice voice_;
    int64_t sourceFrames_ = -1;
    int64_t segmentStart_ = 0;          // source frame at ring frame 0
    bool looping_ = false;
    bool ended_ = false;                // the ring's end is recorded
    bool hasContent_ = false;
    std::optional<int64_t> resumeAt_;
};

}  // namespace

std::unique_ptr<Sound> MakeStreamSound(std::unique_ptr<Decoder> decoder, Sound* sharedWith) {
    std::shared_ptr<RingShare> share;
    auto* other = dynamic_cast<StreamSoundImpl*>(sharedWith);
    if (other && other->ownsRing() && other->share()->ring.channels == decoder->channels()) {
        share = other->share();
    } else {
        share = std::make_shared<RingShare>();
        mixer::Ring& ring = share->ring;
        ring.channels = decoder->channels();
        ring.capacity = kRingSeconds * mixer::kRate;
        ring.samples.resize(static_cast<size_t>(ring.capacity) * static_cast<size_t>(ring.channels));
    }
    const bool ownsRing = share.use_count() == 1;
    return std::make_unique<StreamSoundImpl>(std::move(decoder), std::move(share), ownsRing);
}

}  // namespace media::sound
