// Windowed-sinc rate conversion of 16-bit frames, pulled piece by piece from
// a frame source. Output frame n lies at input time n * inRate / outRate
// exactly (rational stepping, no drift); a finite input of N frames gives
// ceil(N * outRate / inRate) frames.
#pragma once

#include "media/sound/decoder.h"

#include <cstdint>
#include <vector>

namespace media::sound {

class Resampler final : public FrameSource {
public:
    Resampler(FrameSource& input, int channels, int inRate, int outRate);
    // Forget all history, as after a seek of the input.
    void Reset();
    size_t Read(int16_t* out, size_t frames) override;

private:
    static constexpr int kHalfTaps = 16;           // input frames on each side
    static constexpr int kTaps = 2 * kHalfTaps;
    static constexpr int kPhases = 256;            // table rows per input frame
    static constexpr int kPieceFrames = 1024;      // input pulled at a time

    bool Refill();

    FrameSource& input_;
    int channels_;
    int64_t inRate_;
    int64_t outRate_;
    std::vector<float> table_;     // (kPhases + 1) rows of kTaps coefficients
    std::vector<float> history_;   // input frames, channels interleaved
    std::vector<int16_t> piece_;
    int64_t frames_ = 0;           // frames held in history_
    int64_t index_ = 0;            // history frame the next output lies at (or after)
    int64_t fraction_ = 0;         // ... plus fraction_ / outRate_ of a frame
    int64_t inputEnd_ = -1;        // history frame where the input ended, -1 while it lasts
};

}  // namespace media::sound
