#include "media/sound/decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace media::sound {
namespace {

class PcmDecoder final : public Decoder {
public:
    PcmDecoder(std::vector<int16_t> samples, int channels, int rate) : samples_(std::move(samples)) {
        channels_ = channels;
        rate_ = rate;
        frames_ = samples_.size() / static_cast<size_t>(channels);
    }
    size_t Read(int16_t* out, size_t frames) override {
        const size_t n = std::min(frames, frames_ - position_);
        std::memcpy(out, samples_.data() + position_ * channels_, n * channels_ * sizeof(int16_t));
        position_ += n;
        return n;
    }
    int64_t TotalFrames() override { return static_cast<int64_t>(frames_); }
    bool Seek(int64_t frame) override {
        if (frame < 0 || frame > static_cast<int64_t>(frames_)) return false;
        position_ = static_cast<size_t>(frame);
        return true;
    }

private:
    std::vector<int16_t> samples_;
    size_t frames_ = 0;
    size_t position_ = 0;
};

bool StartsWith(ByteSource& source, const char* magic, size_t length, size_t at = 0) {
    uint8_t head[16] = {};
    if (!source.Seek(0, 0)) return false;
    const size_t got = source.Read(head, at + length);
    source.Seek(0, 0);
    return got == at + length && std::memcmp(head + at, magic, length) == 0;
}

}  // namespace

std::unique_ptr<Decoder> OpenDecoder(std::unique_ptr<ByteSource> source, std::string& why) {
    if (!source) return nullptr;
    if (StartsWith(*source, "RIFF", 4) && StartsWith(*source, "WAVE", 4, 8))
        return OpenWavDecoder(source, why);
    if (StartsWith(*source, "OggS", 4)) return OpenOggDecoder(source, why);
    why = "not a RIFF/WAVE or Ogg Vorbis file";
    return nullptr;
}

std::unique_ptr<Decoder> MakePcmDecoder(std::vector<int16_t> samples, int channels, int rate) {
    return std::make_unique<PcmDecoder>(std::move(samples), channels, rate);
}

bool DecodeAll(FrameSource& source, int channelCount, std::vector<int16_t>& samples, int64_t expectedFrames) {
    const size_t channels = static_cast<size_t>(channelCount);
    try {
        samples.clear();
        // The expected length comes from the file: trust it only so far.
        constexpr int64_t kMaxReservedFrames = int64_t{1} << 22;
        if (expectedFrames > 0)
            samples.reserve(static_cast<size_t>(std::min(expectedFrames + 1, kMaxReservedFrames)) * channels);
        constexpr size_t kPiece = 4096;
        for (;;) {
            const size_t at = samples.size();
            if (at > kMaxDecodedSamples) {
                std::vector<int16_t>().swap(samples);
                return false;
            }
            samples.resize(at + kPiece * channels);
            const size_t got = source.Read(samples.data() + at, kPiece);
            samples.resize(at + got * channels);
            if (got == 0) break;
        }
        samples.shrink_to_fit();
        return true;
    } catch (const std::bad_alloc&) {
        std::vector<int16_t>().swap(samples);
        return false;
    }
}

void FoldToStereo(const int16_t* in, int inChannels, size_t frames, int16_t* out) {
    for (size_t f = 0; f < frames; ++f) {
        const int16_t* frame = in + f * static_cast<size_t>(inChannels);
        int32_t left = 0, right = 0, centre = 0;
        int leftCount = 0, rightCount = 0;
        for (int c = 0; c < inChannels; ++c) {
            if (c == 2) {  // centre: half to each side
                centre = frame[c] / 2;
                continue;
            }
            if (c == 3) continue;  // low-frequency effects
            if (c % 2 == 0) {
                left += frame[c];
                ++leftCount;
            } else {
                right += frame[c];
                ++rightCount;
            }
        }
        const int32_t l = left / std::max(1, leftCount) + centre;
        const int32_t r = right / std::max(1, rightCount) + centre;
        out[f * 2] = static_cast<int16_t>(std::clamp(l, -32768, 32767));
        out[f * 2 + 1] = static_cast<int16_t>(std::clamp(r, -32768, 32767));
    }
}

}  // namespace media::sound
