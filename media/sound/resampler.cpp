#include "media/sound/resampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace media::sound {
namespace {

double KaiserWindow(double x, double beta) {
    // x in -1..1
    const double t = 1.0 - x * x;
    if (t <= 0.0) return 0.0;
    return std::cyl_bessel_i(0.0, beta * std::sqrt(t)) / std::cyl_bessel_i(0.0, beta);
}

double Sinc(double x) {
    if (std::fabs(x) < 1e-12) return 1.0;
    return std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
}

}  // namespace

Resampler::Resampler(FrameSource& input, int channels, int inRate, int outRate)
    : input_(input), channels_(channels), inRate_(inRate), outRate_(outRate) {
    // Cut-off a little below the lower of the two Nyquist frequencies, in
    // cycles per input frame.
    const double cutoff = 0.5 * std::min(1.0, static_cast<double>(outRate) / inRate) * 0.96;
    constexpr double kBeta = 8.0;
    table_.resize(static_cast<size_t>((kPhases + 1) * kTaps));
    for (int p = 0; p <= kPhases; ++p) {
        float* row = &table_[static_cast<size_t>(p * kTaps)];
        double sum = 0.0;
        for (int k = 0; k < kTaps; ++k) {
            // Distance from the output instant to input frame k of the window.
            const double d = (k - (kHalfTaps - 1)) - static_cast<double>(p) / kPhases;
            const double v = 2.0 * cutoff * Sinc(2.0 * cutoff * d) * KaiserWindow(d / kHalfTaps, kBeta);
            row[k] = static_cast<float>(v);
            sum += v;
        }
        for (int k = 0; k < kTaps; ++k) row[k] = static_cast<float>(row[k] / sum);
    }
    history_.resize(static_cast<size_t>((kPieceFrames + kTaps + 1) * channels_));
    piece_.resize(static_cast<size_t>(kPieceFrames * channels_));
    Reset();
}

void Resampler::Reset() {
    // The window starts over silence so the first output frame lies on the
    // first input frame.
    std::fill(history_.begin(), history_.end(), 0.0f);
    frames_ = kHalfTaps - 1;
    index_ = kHalfTaps - 1;
    fraction_ = 0;
    inputEnd_ = -1;
}

bool Resampler::Refill() {
    // Keep the frames the next window still needs.
    const int64_t keep = index_ - (kHalfTaps - 1);
    if (keep > 0) {
        std::copy(history_.begin() + keep * channels_, history_.begin() + frames_ * channels_, history_.begin());
        frames_ -= keep;
        index_ -= keep;
        if (inputEnd_ >= 0) inputEnd_ -= keep;
    }
    const int64_t room = static_cast<int64_t>(history_.size() / channels_) - frames_;
    if (room <= 0) return false;
    size_t got = 0;
    if (inputEnd_ < 0) {
        got = input_.Read(piece_.data(), static_cast<size_t>(std::min<int64_t>(room, kPieceFrames)));
        if (got == 0) inputEnd_ = frames_;
    }
    float* at = history_.data() + frames_ * channels_;
    if (got > 0) {
        for (size_t i = 0; i < got * channels_; ++i) at[i] = piece_[i] * (1.0f / 32768.0f);
        frames_ += static_cast<int64_t>(got);
    } else {
        // Past the end: silence for the tail of the window.
        const int64_t pad = std::min<int64_t>(room, kTaps);
        std::fill(at, at + pad * channels_, 0.0f);
        frames_ += pad;
    }
    return true;
}

size_t Resampler::Read(int16_t* out, size_t frames) {
    size_t done = 0;
    while (done < frames) {
        if (inputEnd_ >= 0 && index_ >= inputEnd_) break;
        if (index_ + kHalfTaps >= frames_) {
            if (!Refill()) break;
            continue;
        }
        const double phase = static_cast<double>(fraction_) / outRate_ * kPhases;
        const int row = std::min(static_cast<int>(phase), kPhases - 1);
        const float mix = static_cast<float>(phase - row);
        const float* a = &table_[static_cast<size_t>(row * kTaps)];
        const float* b = a + kTaps;
        const float* window = history_.data() + (index_ - (kHalfTaps - 1)) * channels_;
        for (int c = 0; c < channels_; ++c) {
            float sum = 0.0f;
            for (int k = 0; k < kTaps; ++k) {
                const float coefficient = a[k] + (b[k] - a[k]) * mix;
                sum += window[k * channels_ + c] * coefficient;
            }
            const float scaled = std::clamp(sum * 32768.0f, -32768.0f, 32767.0f);
            out[done * channels_ + c] = static_cast<int16_t>(std::lrintf(scaled));
        }
        ++done;
        fraction_ += inRate_;
        index_ += fraction_ / outRate_;
        fraction_ %= outRate_;
    }
    return done;
}

}  // namespace media::sound
