// Memory sounds: decoded once at load, played through 1..10 copies that share
// the decoded data, so that an effect can overlap itself.
#include "media/sound/resampler.h"
#include "media/sound/sound.h"

#include <algorithm>
#include <array>
#include <new>

namespace media::sound {

WaveFormat WaveFormat::Pcm16(int channels, int rate) {
    WaveFormat f;
    f.channels = static_cast<uint16_t>(channels);
    f.samplesPerSecond = static_cast<uint32_t>(rate);
    f.blockAlign = static_cast<uint16_t>(channels * 2);
    f.bytesPerSecond = f.samplesPerSecond * f.blockAlign;
    return f;
}

bool DecodeForMixer(Decoder& decoder, std::vector<int16_t>& out) {
    const int64_t total = decoder.TotalFrames();
    if (decoder.rate() == mixer::kRate) return DecodeAll(decoder, decoder.channels(), out, total);
    const int64_t expected = total > 0 ? total * mixer::kRate / decoder.rate() + 1 : -1;
    Resampler resampler(decoder, decoder.channels(), decoder.rate(), mixer::kRate);
    return DecodeAll(resampler, decoder.channels(), out, expected);
}

namespace {

constexpr int kMaxCopies = 10;

class MemorySound final : public Sound {
public:
    MemorySound(std::shared_ptr<const DecodedSound> decoded, int copies)
        : decoded_(std::move(decoded)), copies_(copies), lastCopy_(copies - 1) {
        const std::vector<int16_t>& samples = decoded_->samples;
        for (mixer::Voice& voice : voices_) {
            voice.samples = samples.data();
            voice.channels = decoded_->channels;
            voice.frames = static_cast<uint32_t>(samples.size() / static_cast<size_t>(decoded_->channels));
        }
    }
    ~MemorySound() override { Stop(); }

    bool IsStream() const override { return false; }

    void Play(bool looping, bool fromStart) override {
        auto lock = mixer::Lock();
        const uint32_t noted = voices_[lastCopy_].position;
        const int next = (lastCopy_ + 1) % copies_;
        mixer::Voice& voice = voices_[next];
        if (voice.sounding) {
            if (!fromStart) return;
            mixer::StopLocked(voice);
        }
        voice.position = fromStart ? 0 : noted;
        voice.looping = looping;
        lastCopy_ = next;
        mixer::StartLocked(voice);
    }

    void Stop() override {
        auto lock = mixer::Lock();
        for (mixer::Voice& voice : voices_) mixer::StopLocked(voice);
    }

    bool Sounding() const override {
        auto lock = mixer::Lock();
        return std::any_of(voices_.begin(), voices_.begin() + copies_,
                           [](const mixer::Voice& v) { return v.sounding; });
    }

private:
    std::shared_ptr<const DecodedSound> decoded_;   // other sounds of the same bytes share it
    std::array<mixer::Voice, kMaxCopies> voices_;
    int copies_;
    int lastCopy_;
};

}  // namespace

std::unique_ptr<Sound> MakeMemorySound(std::shared_ptr<const DecodedSound> decoded, int copies) {
    copies = std::clamp(copies, 1, kMaxCopies);
    return std::make_unique<MemorySound>(std::move(decoded), copies);
}

}  // namespace media::sound
