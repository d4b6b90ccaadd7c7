// Decoders turn a sound file into signed 16-bit frames, one or two channels
// (files with more channels are folded down to stereo), at the file's rate.
#pragma once

#include "media/sound/byte_source.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace media::sound {

// Anything that hands out frames one piece after another.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    // Fills up to frames frames; returns how many, 0 at the end of the data.
    virtual size_t Read(int16_t* out, size_t frames) = 0;
};

class Decoder : public FrameSource {
public:
    int channels() const { return channels_; }
    int rate() const { return rate_; }
    // Frames in the whole data, -1 when the decoder cannot tell.
    virtual int64_t TotalFrames() = 0;
    // Moves to a frame counted from the start of the data.
    virtual bool Seek(int64_t frame) = 0;

protected:
    int channels_ = 0;
    int rate_ = 0;
};

// Rates and channel counts a file may have.
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;
constexpr int kMaxFileChannels = 8;
// The most samples a sound may decode to when kept whole in memory.
constexpr size_t kMaxDecodedSamples = size_t{1} << 27;

// Tries the decoders in turn (RIFF/WAVE, then Ogg Vorbis). Null when none
// accepts the data; why then says what went wrong.
std::unique_ptr<Decoder> OpenDecoder(std::unique_ptr<ByteSource> source, std::string& why);
std::unique_ptr<Decoder> OpenWavDecoder(std::unique_ptr<ByteSource>& source, std::string& why);
std::unique_ptr<Decoder> OpenOggDecoder(std::unique_ptr<ByteSource>& source, std::string& why);

// Frames already decoded, played back as a decoder.
std::unique_ptr<Decoder> MakePcmDecoder(std::vector<int16_t> samples, int channels, int rate);

// Reads everything a source still holds. False when the data would exceed
// kMaxDecodedSamples or memory runs out. expectedFrames, when known, sizes
// the buffer in one go.
bool DecodeAll(FrameSource& source, int channels, std::vector<int16_t>& samples, int64_t expectedFrames = -1);

// Where a channel is heard once its frame is folded to stereo.
enum class Side : uint8_t { kLeft, kRight, kCentre, kLowFrequency };

// The channels of a frame in the order a file stores them.
struct ChannelOrder {
    int channels = 0;
    std::array<Side, kMaxFileChannels> sides{};
};

// Ogg Vorbis orders 3 to 8 channels front left, centre, front right, then
// the surrounds and the low frequency last.
ChannelOrder VorbisChannelOrder(int channels);
// WAV orders them by its speaker bits (front left, front right, centre, low
// frequency, back left, back right, ...): those of `speakerMask` when it
// names a speaker for every channel, else the usual set for the count.
ChannelOrder WavChannelOrder(int channels, uint32_t speakerMask = 0);

// Folds frames of 3..8 channels down to stereo: each side gets the average
// of its channels plus half the average of the centre channels; the low
// frequency is left out.
void FoldToStereo(const int16_t* in, const ChannelOrder& order, size_t frames, int16_t* out);

}  // namespace media::sound
