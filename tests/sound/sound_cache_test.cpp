// Memory sounds' samples from the decoded cache: every load is a sound of
// its own with its own handle and copies, released handles stay refused, a
// file changed on disk is decoded again, and a load that meets the worker
// still decoding its file plays what the file holds now.
#include "media/core/decoded_cache.h"
#include "media/core/load_report.h"
#include "media/core/work_ahead.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace sound_testing;
using namespace sound_fixtures;
namespace mixer = media::sound::mixer;
using media::cache::Kind;

namespace {

media::report::Counts Sounds() { return media::report::Totals(Kind::Sound); }

std::vector<int16_t> Level(int16_t value, int frames = 4000) { return std::vector<int16_t>(size_t(frames), value); }

class SoundCache : public SoundTest {
protected:
    // What the mix holds a little after `handle` starts alone.
    static float Heard(int handle) {
        if (PlaySound(handle, kPlayOnce, 1) != 0) return -1.0f;
        const std::vector<float> mix = Pull(100);
        StopSound(handle);
        return mix[50 * 2];
    }
};

TEST_F(SoundCache, AnUnchangedEffectIsTakenFromTheCacheYetEachLoadPlaysOnItsOwn) {
    WriteWav16("e.wav", Level(6554), 1, 44100);
    const auto before = Sounds();
    const int first = LoadSound("e.wav", 3, -1);
    const int second = LoadSound("e.wav", 3, -1);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(Sounds().decoded, before.decoded + 1);
    EXPECT_EQ(Sounds().reused, before.reused + 1);
    ASSERT_EQ(PlaySound(first, kPlayLoop, 1), 0);
    EXPECT_EQ(mixer::SoundingVoices(), 1);   // the other load is silent
    ASSERT_EQ(PlaySound(second, kPlayOnce, 1), 0);
    const std::vector<float> mix = Pull(100);
    EXPECT_FLOAT_EQ(mix[50 * 2], 2 * 6554 * kStep);
    ASSERT_EQ(StopSound(first), 0);
    EXPECT_EQ(mixer::SoundingVoices(), 1);   // stopping one leaves the other
}

TEST_F(SoundCache, ReleasedHandlesStayRefusedWhileTheSamplesAreReused) {
    WriteWav16("e.wav", Level(6554), 1, 44100);
    const int old = LoadSound("e.wav", 3, -1);
    ASSERT_EQ(DeleteAllSounds(0), 0);
    const auto before = Sounds();
    const int fresh = LoadSound("e.wav", 3, -1);
    EXPECT_EQ(Sounds().reused, before.reused + 1);
    EXPECT_NE(fresh, old);
    EXPECT_EQ(PlaySound(old, kPlayOnce, 1), -1);
    EXPECT_EQ(StopSound(old), -1);
    EXPECT_FLOAT_EQ(Heard(fresh), 6554 * kStep);
}

TEST_F(SoundCache, AnEffectChangedOnDiskIsDecodedAgain) {
    // A second of one level; then a hundredth of it changed, the same size.
    std::vector<int16_t> samples = Level(6554, 44100);
    WriteWav16("e.wav", samples, 1, 44100);
    const int old = LoadSound("e.wav", 3, -1);
    for (size_t i = 1000; i < 1441; ++i) samples[i] = -3277;
    WriteWav16("e.wav", samples, 1, 44100);
    const auto before = Sounds();
    const int fresh = LoadSound("e.wav", 3, -1);
    EXPECT_EQ(Sounds().decoded, before.decoded + 1);
    EXPECT_EQ(Sounds().reused, before.reused);
    const auto heardAt = [](int handle, size_t frame) {
        PlaySound(handle, kPlayOnce, 1);
        const std::vector<float> mix = Pull(frame + 10);
        StopSound(handle);
        return mix[frame * 2];
    };
    EXPECT_FLOAT_EQ(heardAt(fresh, 1200), -3277 * kStep);
    EXPECT_FLOAT_EQ(heardAt(old, 1200), 6554 * kStep);   // loaded before the change
}

TEST_F(SoundCache, AFileThatCannotBeDecodedLogsItsLinesAtEveryLoad) {
    WriteWav16("e.wav", Level(6554), 1, 44100);
    {
        std::ofstream broken("broken.wav", std::ios::binary);
        broken << "RIFF\x04\0\0\0WAVE";
    }
    for (int i = 0; i < 2; ++i) EXPECT_EQ(LoadSound("broken.wav", 3, -1), -1);
    const std::string log = LogText();
    const std::string line = "右記の音声ファイルのロードに失敗しました_2：broken.wav";
    const size_t first = log.find(line);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_NE(log.find(line, first + 1), std::string::npos) << log;
}

std::atomic<bool> gAnnounced{false};
void HoldDecodeUntilALoadWaits() {
    gAnnounced = true;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (media::cache::Waiting() == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST_F(SoundCache, AnEffectLoadedWhileTheWorkerStillDecodesItPlaysItsSamples) {
    WriteWav16("ahead.wav", Level(9830), 1, 22050);   // resampled for the mixer
    gAnnounced = false;
    media::cache::SetDecodeStartHook(HoldDecodeUntilALoadWaits);
    ASSERT_EQ(PrepareSound("ahead.wav"), 0);
    for (int i = 0; i < 10000 && !gAnnounced; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(gAnnounced);
    const auto before = Sounds();
    const int h = LoadSound("ahead.wav", 3, -1);   // waits for the worker
    media::core::WaitForWorkAhead();
    media::cache::SetDecodeStartHook(nullptr);
    ASSERT_GE(h, 0);
    EXPECT_EQ(Sounds().reused, before.reused + 1) << "the load took the worker's samples";
    EXPECT_EQ(Sounds().decoded, before.decoded);
    EXPECT_NEAR(Heard(h), 9830 * kStep, 2 * kStep);
}

}  // namespace
