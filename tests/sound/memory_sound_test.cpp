// Effects decoded into memory: the copy rule, restart and resume, looping,
// waiting, pitch and clean clipping, heard through the mixer's output.
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_test_support.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>

using namespace sound_testing;
using namespace sound_fixtures;
namespace mixer = media::sound::mixer;

namespace {

// A constant level, so that the mix tells how many copies are sounding.
std::vector<int16_t> Level(int16_t value, int frames) { return std::vector<int16_t>(static_cast<size_t>(frames), value); }

// Each frame holds its own index: the mix tells where a copy is.
std::vector<int16_t> Ramp(int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) out[static_cast<size_t>(i)] = static_cast<int16_t>(i);
    return out;
}

float At(const std::vector<float>& mix, size_t frame) { return mix[frame * 2]; }

class MemorySoundTest : public SoundTest {};

}  // namespace

TEST_F(MemorySoundTest, FourthStartOfAThreeCopyEffectRestartsTheOldest) {
    constexpr int kLength = 10000;
    constexpr int16_t kLevel = 6554;  // 0.2
    WriteWav16("level.wav", Level(kLevel, kLength), 1, 44100);
    const int h = LoadSound("level.wav", 3, -1);
    ASSERT_GE(h, 0);
    const float one = kLevel * kStep;
    // Copies start at frames 0, 100 and 200; the fourth start at 300 must
    // cut the first and start it again rather than add a fourth or do nothing.
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(PlaySound(h, kPlayOnce, 1), 0);
        const std::vector<float> mix = Pull(100);
        EXPECT_FLOAT_EQ(At(mix, 50), one * static_cast<float>(i + 1)) << "after start " << i + 1;
    }
    ASSERT_EQ(PlaySound(h, kPlayOnce, 1), 0);
    EXPECT_EQ(mixer::SoundingVoices(), 3);
    std::vector<float> mix = Pull(kLength);  // frames 300 .. kLength + 300
    EXPECT_FLOAT_EQ(At(mix, 0), 3 * one);
    // Copy 2 ends at kLength + 100, copy 3 at + 200, the restarted copy 1 at + 300.
    EXPECT_FLOAT_EQ(At(mix, kLength - 300 + 50), 3 * one);
    mix = Pull(400);  // frames kLength + 300 ...
    (void)mix;
    EXPECT_EQ(mixer::SoundingVoices(), 0);
}

TEST_F(MemorySoundTest, CopiesEndInTheOrderTheyStarted) {
    constexpr int kLength = 10000;
    WriteWav16("level.wav", Level(6554, kLength), 1, 44100);
    const int h = LoadSound("level.wav", 3, -1);
    const float one = 6554 * kStep;
    for (int i = 0; i < 3; ++i) {
        PlaySound(h, kPlayOnce, 1);
        Pull(100);
    }
    PlaySound(h, kPlayOnce, 1);  // at 300: restarts the first copy
    const std::vector<float> mix = Pull(kLength + 100);  // from frame 300
    const auto levelAt = [&](int frame) { return At(mix, static_cast<size_t>(frame - 300)); };
    EXPECT_FLOAT_EQ(levelAt(kLength + 150), 2 * one);  // copies 3 and the restarted 1
    EXPECT_FLOAT_EQ(levelAt(kLength + 250), one);      // only the restarted 1
    EXPECT_FLOAT_EQ(levelAt(kLength + 350), 0.0f);
}

TEST_F(MemorySoundTest, FromStartZeroLeavesASoundingCopyAlone) {
    WriteWav16("ramp.wav", Ramp(20000), 1, 44100);
    const int h = LoadSound("ramp.wav", 1, -1);
    ASSERT_EQ(PlaySound(h, kPlayOnce, 1), 0);
    Pull(100);
    EXPECT_EQ(PlaySound(h, kPlayOnce, 0), 0);
    EXPECT_EQ(mixer::SoundingVoices(), 1);
    EXPECT_FLOAT_EQ(At(Pull(1), 0), 100 * kStep);  // not restarted

    // Three copies all sounding: the next one is busy, so nothing starts.
    const int h3 = LoadSound("ramp.wav", 3, -1);
    for (int i = 0; i < 3; ++i) PlaySound(h3, kPlayOnce, 1);
    EXPECT_EQ(mixer::SoundingVoices(), 4);
    EXPECT_EQ(PlaySound(h3, kPlayOnce, 0), 0);
    EXPECT_EQ(mixer::SoundingVoices(), 4);
    EXPECT_FLOAT_EQ(At(Pull(1), 0), (101 + 0 + 0 + 0) * kStep);
}

TEST_F(MemorySoundTest, FromStartZeroWithStaggeredCopies) {
    WriteWav16("ramp.wav", Ramp(20000), 1, 44100);
    // Copies started 100 frames apart stand at 300, 200 and 100. The next
    // copy (the oldest) is sounding: fromStart 0 neither restarts it where
    // the newest stands nor from the start.
    const int h3 = LoadSound("ramp.wav", 3, -1);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(PlaySound(h3, kPlayOnce, 1), 0);
        Pull(100);
    }
    ASSERT_EQ(PlaySound(h3, kPlayOnce, 0), 0);
    EXPECT_EQ(mixer::SoundingVoices(), 3);
    EXPECT_FLOAT_EQ(At(Pull(1), 0), (300 + 200 + 100) * kStep);
    ASSERT_EQ(StopSound(h3), 0);

    // The next copy is silent: it starts where the copy used last stands.
    const int h2 = LoadSound("ramp.wav", 2, -1);
    ASSERT_EQ(PlaySound(h2, kPlayOnce, 1), 0);
    Pull(500);
    ASSERT_EQ(PlaySound(h2, kPlayOnce, 0), 0);
    EXPECT_EQ(mixer::SoundingVoices(), 2);
    EXPECT_FLOAT_EQ(At(Pull(1), 0), (500 + 500) * kStep);
}

TEST_F(MemorySoundTest, StopThenFromStartZeroResumesWhereTheCopyWas) {
    WriteWav16("ramp.wav", Ramp(20000), 1, 44100);
    const int h = LoadSound("ramp.wav", 1, -1);
    PlaySound(h, kPlayOnce, 1);
    Pull(1234);
    ASSERT_EQ(StopSound(h), 0);
    EXPECT_FLOAT_EQ(At(Pull(10), 5), 0.0f);
    PlaySound(h, kPlayOnce, 0);
    EXPECT_FLOAT_EQ(At(Pull(1), 0), 1234 * kStep);
    StopSound(h);
    PlaySound(h, kPlayOnce, 1);
    EXPECT_FLOAT_EQ(At(Pull(1), 0), 0.0f);
    EXPECT_FLOAT_EQ(At(Pull(1), 0), 1 * kStep);
}

TEST_F(MemorySoundTest, BufferCountTwentyBehavesAsTen) {
    WriteWav16("level.wav", Level(1000, 20000), 1, 44100);
    const int h = LoadSound("level.wav", 20, -1);
    ASSERT_GE(h, 0);
    for (int i = 0; i < 12; ++i) {
        PlaySound(h, kPlayOnce, 1);
        Pull(10);
    }
    EXPECT_EQ(mixer::SoundingVoices(), 10);
    EXPECT_FLOAT_EQ(At(Pull(1), 0), 10 * 1000 * kStep);
}

TEST_F(MemorySoundTest, LoopingCopyRepeatsExactlyUntilStopped) {
    const std::vector<int16_t> ramp = Ramp(777);
    WriteWav16("ramp.wav", ramp, 1, 44100);
    const int h = LoadSound("ramp.wav", 3, -1);
    ASSERT_EQ(PlaySound(h, kPlayLoop, 1), 0);
    const std::vector<float> mix = Pull(777 * 5 + 13);
    for (size_t i = 0; i < mix.size() / 2; ++i) ASSERT_FLOAT_EQ(At(mix, i), ramp[i % 777] * kStep) << i;
    ASSERT_EQ(StopSound(h), 0);
    EXPECT_EQ(mixer::SoundingVoices(), 0);
    for (float v : Pull(100)) ASSERT_EQ(v, 0.0f);
}

TEST_F(MemorySoundTest, OnceCopyEndsAfterItsLastFrame) {
    WriteWav16("level.wav", Level(3000, 500), 1, 44100);
    const int h = LoadSound("level.wav", 3, -1);
    PlaySound(h, kPlayOnce, 1);
    const std::vector<float> mix = Pull(600);
    EXPECT_FLOAT_EQ(At(mix, 499), 3000 * kStep);
    EXPECT_EQ(At(mix, 500), 0.0f);
    EXPECT_EQ(mixer::SoundingVoices(), 0);
}

TEST_F(MemorySoundTest, StereoKeepsItsSidesAndMonoFeedsBoth) {
    std::vector<int16_t> stereo;
    for (int i = 0; i < 300; ++i) stereo.insert(stereo.end(), {1000, -2000});
    WriteWav16("stereo.wav", stereo, 2, 44100);
    WriteWav16("mono.wav", Level(500, 300), 1, 44100);
    PlaySound(LoadSound("stereo.wav", 1, -1), kPlayOnce, 1);
    PlaySound(LoadSound("mono.wav", 1, -1), kPlayOnce, 1);
    const std::vector<float> mix = Pull(10);
    EXPECT_FLOAT_EQ(mix[0], 1500 * kStep);
    EXPECT_FLOAT_EQ(mix[1], -1500 * kStep);
}

TEST_F(MemorySoundTest, ManyLoudSoundsClipInsteadOfWrappingRound) {
    std::vector<int16_t> square(4410);
    for (size_t i = 0; i < square.size(); ++i) square[i] = (i / 441) % 2 ? -30000 : 30000;
    WriteWav16("square.wav", square, 1, 44100);
    const int h = LoadSound("square.wav", 10, -1);
    for (int i = 0; i < 10; ++i) PlaySound(h, kPlayOnce, 1);
    const std::vector<float> mix = Pull(4410);
    for (size_t i = 0; i < 4410; ++i) {
        ASSERT_EQ(mix[i * 2], square[i] > 0 ? 1.0f : -1.0f) << i;
        ASSERT_EQ(mix[i * 2 + 1], mix[i * 2]);
    }
}

TEST_F(MemorySoundTest, EffectAtHalfTheRateKeepsItsPitch) {
    WriteWav16("sine.wav", Sine(1000.0, 22050, 22050, 1, 0.5), 1, 22050);
    const int h = LoadSound("sine.wav", 1, -1);
    ASSERT_GE(h, 0);
    PlaySound(h, kPlayOnce, 1);
    const std::vector<float> mix = Pull(44100 + 100);
    EXPECT_NEAR(MeasureFrequency(mix, 2000, 42000, 44100), 1000.0, 1.0);
    EXPECT_NEAR(Rms(mix, 2000, 42000), 0.5 / std::sqrt(2.0), 0.01);
    // One second of sound lasts one second.
    EXPECT_NE(At(mix, 44000), 0.0f);
    EXPECT_EQ(At(mix, 44100 + 50), 0.0f);
}

TEST_F(MemorySoundTest, OggLoadedWholePlaysLikeAnEffect) {
    WriteOgg("jingle.ogg", Chord(44100, 20000, 2), 2, 44100);
    const std::vector<int16_t> reference = DecodeOggReference("jingle.ogg");
    const int h = LoadSound("jingle.ogg", 3, -1);
    ASSERT_GE(h, 0);
    PlaySound(h, kPlayOnce, 1);
    const std::vector<float> mix = Pull(reference.size() / 2);
    for (size_t i = 0; i < reference.size(); ++i) ASSERT_FLOAT_EQ(mix[i], reference[i] * kStep) << i;
    PlaySound(h, kPlayOnce, 1);
    PlaySound(h, kPlayOnce, 1);
    EXPECT_EQ(mixer::SoundingVoices(), 2);
}

TEST_F(MemorySoundTest, PlayTypeZeroWaitsForTheEnd) {
    WriteWav16("beep.wav", Sine(880.0, 44100, 4410 * 2, 1, 0.3), 1, 44100);  // 0.2 s
    const int h = LoadSound("beep.wav", 1, -1);
    mixer::HoldDevice(false);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PlaySound(h, kPlayWait, 1), 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(seconds, 0.15);
    EXPECT_EQ(mixer::SoundingVoices(), 0);
}

TEST_F(MemorySoundTest, PlayTypeZeroReturnsWhenTheProgramMustEnd) {
    WriteWav16("long.wav", Level(100, 44100), 1, 44100);
    const int h = LoadSound("long.wav", 1, -1);
    // The device is held, so the sound never ends by itself.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EQ(PlaySound(h, kPlayWait, 1), 0);
    EXPECT_EQ(mixer::SoundingVoices(), 1);
    EXPECT_EQ(ProcessMessage(), -1);
}
