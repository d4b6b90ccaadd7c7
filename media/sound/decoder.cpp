#include "media/sound/decoder.h"

#include <algorithm>
#include <bit>
#include <iterator>
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
        if (n == 0) return 0;  // an empty sound has no samples to point at
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

namespace {

constexpr Side L = Side::kLeft, R = Side::kRight, C = Side::kCentre, LFE = Side::kLowFrequency;

// Vorbis orders by channel count (rows 3 to 8).
constexpr Side kVorbisSides[9][kMaxFileChannels] = {
    {}, {}, {},
    {L, C, R},                   // left, centre, right
    {L, R, L, R},                // front left, front right, rear left, rear right
    {L, C, R, L, R},             // front left, centre, front right, rear left, rear right
    {L, C, R, L, R, LFE},        // 5.1
    {L, C, R, L, R, C, LFE},     // ... side left, side right, rear centre, LFE
    {L, C, R, L, R, L, R, LFE},  // ... side left, side right, rear left, rear right, LFE
};

// The WAV speaker bits in order: front left, front right, front centre, low
// frequency, back left, back right, front left of centre, front right of
// centre, back centre, side left, side right, then the top speakers (centre,
// front left, front centre, front right, back left, back centre, back right).
constexpr Side kWavSpeakerSides[] = {L, R, C, LFE, L, R, L, R, C, L, R, C, L, C, R, L, C, R};
constexpr uint32_t kWavKnownSpeakers = (1u << std::size(kWavSpeakerSides)) - 1;
// The speakers a file without a mask has, by channel count (rows 3 to 8):
// 3.0, quad, 5.0, 5.1, 6.1 and 7.1.
constexpr uint32_t kWavUsualMasks[9] = {0, 0, 0, 0x7, 0x33, 0x37, 0x3F, 0x70F, 0x63F};

}  // namespace

ChannelOrder VorbisChannelOrder(int channels) {
    ChannelOrder order;
    order.channels = std::clamp(channels, 0, kMaxFileChannels);
    if (order.channels >= 3) std::copy_n(kVorbisSides[order.channels], order.channels, order.sides.begin());
    return order;
}

ChannelOrder WavChannelOrder(int channels, uint32_t speakerMask) {
    ChannelOrder order;
    order.channels = std::clamp(channels, 0, kMaxFileChannels);
    if (order.channels < 3) return order;
    speakerMask &= kWavKnownSpeakers;
    if (std::popcount(speakerMask) < order.channels) speakerMask = kWavUsualMasks[order.channels];
    int c = 0;
    for (size_t bit = 0; bit < std::size(kWavSpeakerSides) && c < order.channels; ++bit)
        if (speakerMask & (1u << bit)) order.sides[static_cast<size_t>(c++)] = kWavSpeakerSides[bit];
    return order;
}

void FoldToStereo(const int16_t* in, const ChannelOrder& order, size_t frames, int16_t* out) {
    int counts[4] = {};
    for (int c = 0; c < order.channels; ++c) ++counts[static_cast<int>(order.sides[static_cast<size_t>(c)])];
    const int leftCount = std::max(1, counts[0]), rightCount = std::max(1, counts[1]);
    const int centreCount = 2 * std::max(1, counts[2]);
    for (size_t f = 0; f < frames; ++f) {
        const int16_t* frame = in + f * static_cast<size_t>(order.channels);
        int32_t sums[4] = {};
        for (int c = 0; c < order.channels; ++c) sums[static_cast<int>(order.sides[static_cast<size_t>(c)])] += frame[c];
        const int32_t centre = sums[2] / centreCount;
        const int32_t l = sums[0] / leftCount + centre;
        const int32_t r = sums[1] / rightCount + centre;
        out[f * 2] = static_cast<int16_t>(std::clamp(l, -32768, 32767));
        out[f * 2 + 1] = static_cast<int16_t>(std::clamp(r, -32768, 32767));
    }
}

}  // namespace media::sound
