// Streamed sounds through the ring: sample-exact loops (also shorter than the
// priming), stop and restart, resume, the end of a stream that does not loop,
// the upkeep that keeps the ring ahead, and every load mode.
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_test_support.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace sound_testing;
using namespace sound_fixtures;
namespace mixer = media::sound::mixer;

namespace {

class StreamSoundTest : public SoundTest {
protected:
    // Loads a file in one of the stream modes.
    static int LoadStream(const char* name, int mode) {
        EXPECT_EQ(SetSoundLoadMode(mode), 0);
        const int h = LoadSound(name, 3, -1);
        SetSoundLoadMode(0);
        return h;
    }
};

// Expects mix frames [0, frames) to be reference frames starting at `from`,
// wrapping round when `loop` is set, with silence after the end otherwise.
void ExpectPlays(const std::vector<float>& mix, const std::vector<int16_t>& reference, size_t from, bool loop,
                 const char* what) {
    const size_t length = reference.size() / 2;
    for (size_t i = 0; i < mix.size() / 2; ++i) {
        size_t frame = from + i;
        float left = 0.0f, right = 0.0f;
        if (loop) frame %= length;
        if (frame < length) {
            left = reference[frame * 2] * kStep;
            right = reference[frame * 2 + 1] * kStep;
        }
        ASSERT_EQ(mix[i * 2], left) << what << ": frame " << i;
        ASSERT_EQ(mix[i * 2 + 1], right) << what << ": frame " << i;
    }
}

}  // namespace

TEST_F(StreamSoundTest, ShortLoopShorterThanThePrimingRepeatsSampleExactly) {
    WriteOgg("loop.ogg", Chord(44100, 57000, 2), 2, 44100);  // about 1.3 s
    const std::vector<int16_t> reference = DecodeOggReference("loop.ogg");
    const int h = LoadStream("loop.ogg", 2);
    ASSERT_GE(h, 0);
    ASSERT_EQ(PlaySound(h, kPlayLoop, 1), 0);
    const uint64_t underruns = mixer::Underruns();
    ExpectPlays(PullWithUpkeep(44100 * 9), reference, 0, true, "ogg loop");
    EXPECT_EQ(mixer::Underruns(), underruns);
}

TEST_F(StreamSoundTest, EveryStreamModeLoopsSampleExactly) {
    const std::vector<int16_t> chord = Chord(44100, 30011, 2);
    WriteWav16("loop.wav", chord, 2, 44100);
    for (int mode : {1, 2, 3}) {
        const int h = LoadStream("loop.wav", mode);
        ASSERT_GE(h, 0) << "mode " << mode;
        PlaySound(h, kPlayLoop, 1);
        ExpectPlays(PullWithUpkeep(44100 * 7), chord, 0, true, mode == 1 ? "mode 1" : mode == 2 ? "mode 2" : "mode 3");
        StopSound(h);
    }
}

TEST_F(StreamSoundTest, LongStreamThatDoesNotLoopPlaysThroughThenStops) {
    // Longer than the ring, so the ring wraps several times.
    WriteOgg("song.ogg", Chord(44100, 44100 * 14, 2), 2, 44100);
    const std::vector<int16_t> reference = DecodeOggReference("song.ogg");
    const int h = LoadStream("song.ogg", 3);
    ASSERT_EQ(PlaySound(h, kPlayOnce, 1), 0);
    const uint64_t underruns = mixer::Underruns();
    ExpectPlays(PullWithUpkeep(reference.size() / 2 + 5000), reference, 0, false, "song");
    EXPECT_EQ(mixer::SoundingVoices(), 0);
    EXPECT_EQ(mixer::Underruns(), underruns);
}

TEST_F(StreamSoundTest, StopThenFromStartOneBeginsAgain) {
    const std::vector<int16_t> chord = Chord(44100, 44100 * 2, 2);
    WriteWav16("music.wav", chord, 2, 44100);
    const int h = LoadStream("music.wav", 2);
    PlaySound(h, kPlayLoop, 1);
    PullWithUpkeep(30000);
    ASSERT_EQ(StopSound(h), 0);
    for (float v : Pull(500)) ASSERT_EQ(v, 0.0f);
    PlaySound(h, kPlayLoop, 1);
    ExpectPlays(PullWithUpkeep(44100 * 3), chord, 0, true, "restart");
}

TEST_F(StreamSoundTest, StopThenFromStartZeroResumesWhereItStopped) {
    const std::vector<int16_t> chord = Chord(44100, 44100 * 2, 2);
    WriteWav16("music.wav", chord, 2, 44100);
    const int h = LoadStream("music.wav", 2);
    PlaySound(h, kPlayLoop, 1);
    PullWithUpkeep(70000);
    StopSound(h);
    PlaySound(h, kPlayLoop, 0);
    ExpectPlays(PullWithUpkeep(44100 * 3), chord, 70000, true, "resume");
    // From-start 0 while sounding changes nothing.
    PlaySound(h, kPlayLoop, 0);
    ExpectPlays(PullWithUpkeep(1000), chord, 70000 + 44100 * 3, true, "still sounding");
}

TEST_F(StreamSoundTest, SwitchingBetweenLoopAndOnceKeepsThePlaceAndTheEnding) {
    const std::vector<int16_t> chord = Chord(44100, 44100 * 2, 2);
    WriteWav16("music.wav", chord, 2, 44100);
    const int h = LoadStream("music.wav", 2);
    PlaySound(h, kPlayLoop, 1);
    PullWithUpkeep(44100 * 3);  // into the second time round, a loop's worth decoded ahead
    StopSound(h);
    PlaySound(h, kPlayOnce, 0);
    const size_t at = 44100 * 3 - 44100 * 2;
    ExpectPlays(PullWithUpkeep(44100 * 2), chord, at, false, "once after loop");
    EXPECT_EQ(mixer::SoundingVoices(), 0);
}

TEST_F(StreamSoundTest, WithoutUpkeepThePrimingRunsOutAndIsCounted) {
    WriteWav16("music.wav", Chord(44100, 44100 * 8, 2), 2, 44100);
    const int h = LoadStream("music.wav", 3);
    PlaySound(h, kPlayOnce, 1);
    const uint64_t before = mixer::Underruns();
    const std::vector<float> mix = Pull(44100 * 5);  // no message pump in between
    EXPECT_GT(mixer::Underruns(), before);
    EXPECT_EQ(mix[(44100 * 5 - 100) * 2], 0.0f);  // silence, not stale ring data
    // The upkeep catches up and the music goes on where it broke off.
    EXPECT_EQ(mixer::SoundingVoices(), 1);
}

TEST_F(StreamSoundTest, StreamAtHalfTheRateKeepsItsPitch) {
    WriteWav16("sine.wav", Sine(1000.0, 22050, 22050 * 3, 2, 0.5), 2, 22050);
    const int h = LoadStream("sine.wav", 3);
    PlaySound(h, kPlayLoop, 1);
    const std::vector<float> mix = PullWithUpkeep(44100 * 5);
    EXPECT_NEAR(MeasureFrequency(mix, 1000, 44100 * 5 - 1000, 44100), 1000.0, 0.5);
    EXPECT_NEAR(Rms(mix, 1000, 44100 * 5 - 1000), 0.5 / std::sqrt(2.0), 0.01);
}

TEST_F(StreamSoundTest, PlayTypeZeroWaitsForTheStreamToEnd) {
    WriteOgg("short.ogg", Chord(44100, 11025, 2), 2, 44100);
    const int h = LoadStream("short.ogg", 2);
    mixer::HoldDevice(false);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PlaySound(h, kPlayWait, 1), 0);
    EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.2);
    EXPECT_EQ(mixer::SoundingVoices(), 0);
}

TEST_F(StreamSoundTest, SharedRingPlaysOneStreamAtATime) {
    const std::vector<int16_t> a = Chord(44100, 44100, 2);
    const std::vector<int16_t> b = Sine(500.0, 44100, 44100, 2, 0.3);
    WriteWav16("a.wav", a, 2, 44100);
    WriteWav16("b.wav", b, 2, 44100);
    const int ha = LoadStream("a.wav", 2);
    SetSoundLoadMode(2);
    const int hb = LoadSound("b.wav", 3, ha);
    SetSoundLoadMode(0);
    ASSERT_GE(hb, 0);
    PlaySound(ha, kPlayLoop, 1);
    PullWithUpkeep(1000);
    PlaySound(hb, kPlayLoop, 1);
    EXPECT_EQ(mixer::SoundingVoices(), 1);
    ExpectPlays(PullWithUpkeep(2000), b, 0, true, "b through a's ring");
    // a picks up where it was.
    PlaySound(ha, kPlayLoop, 0);
    ExpectPlays(PullWithUpkeep(2000), a, 1000, true, "a again");
}
