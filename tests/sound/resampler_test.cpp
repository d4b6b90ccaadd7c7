// Rate conversion keeps pitch, level and length, and does not depend on how
// the input is cut into pieces.
#include "media/sound/resampler.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_test_support.h"

#include <gtest/gtest.h>

using namespace media::sound;

namespace {

std::vector<float> Convert(const std::vector<int16_t>& mono, int inRate, int outRate, size_t piece = 100000) {
    auto decoder = MakePcmDecoder(mono, 1, inRate);
    Resampler resampler(*decoder, 1, inRate, outRate);
    std::vector<float> out;  // written as "stereo" with both sides equal, for the helpers
    std::vector<int16_t> buffer(piece);
    size_t got;
    while ((got = resampler.Read(buffer.data(), piece)) > 0)
        for (size_t i = 0; i < got; ++i) out.insert(out.end(), 2, buffer[i] / 32768.0f);
    return out;
}

}  // namespace

TEST(Resampler, KeepsPitchAndLevelUpAndDown) {
    struct Case {
        int inRate, outRate;
        double frequency;
    };
    for (const Case& c : {Case{22050, 44100, 1000.0}, Case{48000, 44100, 3000.0}, Case{8000, 44100, 440.0},
                          Case{11025, 44100, 2500.0}, Case{32000, 48000, 7000.0}}) {
        const std::vector<int16_t> sine = sound_fixtures::Sine(c.frequency, c.inRate, c.inRate, 1, 0.5);
        const std::vector<float> out = Convert(sine, c.inRate, c.outRate);
        const size_t frames = out.size() / 2;
        ASSERT_NEAR(static_cast<double>(frames), c.outRate, 1.0);
        const double measured = sound_testing::MeasureFrequency(out, frames / 10, frames * 9 / 10, c.outRate);
        EXPECT_NEAR(measured, c.frequency, c.frequency * 0.002) << c.inRate << " -> " << c.outRate;
        EXPECT_NEAR(sound_testing::Rms(out, frames / 10, frames * 9 / 10), 0.5 / std::sqrt(2.0), 0.01)
            << c.inRate << " -> " << c.outRate;
    }
}

TEST(Resampler, LengthIsTheInputTimeAtTheNewRate) {
    for (int inRate : {8000, 11025, 22050, 32000, 48000, 96000}) {
        for (int frames : {1, 7, 1000, 4097}) {
            const std::vector<float> out = Convert(std::vector<int16_t>(static_cast<size_t>(frames), 100), inRate, 44100);
            const int64_t expected = (static_cast<int64_t>(frames) * 44100 + inRate - 1) / inRate;
            EXPECT_EQ(static_cast<int64_t>(out.size() / 2), expected) << inRate << " Hz, " << frames << " frames";
        }
    }
}

TEST(Resampler, PiecesOfAnySizeGiveTheSameOutput) {
    const std::vector<int16_t> chord = sound_fixtures::Chord(22050, 5000, 1);
    const std::vector<float> whole = Convert(chord, 22050, 44100);
    for (size_t piece : {1u, 3u, 64u, 1023u, 1025u}) EXPECT_EQ(Convert(chord, 22050, 44100, piece), whole) << piece;
}

TEST(Resampler, HighFrequenciesAboveTheNewNyquistAreRemoved) {
    // 30 kHz at 96 kHz cannot exist at 44.1 kHz: it must not fold back as a loud alias.
    const std::vector<int16_t> sine = sound_fixtures::Sine(30000.0, 96000, 48000, 1, 0.5);
    const std::vector<float> out = Convert(sine, 96000, 44100);
    EXPECT_LT(sound_testing::Rms(out, 1000, out.size() / 2 - 1000), 0.01);
}
