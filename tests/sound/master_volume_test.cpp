// The master volume and muting over everything the mixer sends out.
#include "tests/sound/sound_test_support.h"

#include <vector>

namespace {

namespace mixer = media::sound::mixer;

class MasterVolumeTest : public sound_testing::SoundTest {
protected:
    void TearDown() override {
        SetSoundMute(0);
        SetMasterVolume(100);
    }
};

// A steady stereo tone at half scale, looping, as a voice of its own.
std::vector<float> pullSteadyVoice() {
    static const std::vector<int16_t> samples(2 * 512, 16384);
    mixer::Voice voice;
    voice.samples = samples.data();
    voice.frames = 512;
    voice.channels = 2;
    voice.looping = true;
    {
        auto lock = mixer::Lock();
        mixer::StartLocked(voice);
    }
    std::vector<float> out(2 * 256);
    mixer::Pull(out.data(), 256);
    auto lock = mixer::Lock();
    mixer::StopLocked(voice);
    return out;
}

TEST_F(MasterVolumeTest, TheVolumeScalesTheMixByItsSquareAndMutingSilencesIt) {
    EXPECT_FLOAT_EQ(pullSteadyVoice()[0], 0.5f);
    ASSERT_EQ(SetMasterVolume(50), 0);
    for (float v : pullSteadyVoice()) ASSERT_FLOAT_EQ(v, 0.125f);
    ASSERT_EQ(SetSoundMute(1), 0);
    for (float v : pullSteadyVoice()) ASSERT_EQ(v, 0.0f);
    ASSERT_EQ(SetMasterVolume(80), 0);  // muted still, the volume kept for later
    EXPECT_EQ(pullSteadyVoice()[0], 0.0f);
    ASSERT_EQ(SetSoundMute(0), 0);
    EXPECT_FLOAT_EQ(pullSteadyVoice()[0], 0.5f * 0.64f);
    ASSERT_EQ(SetMasterVolume(0), 0);
    EXPECT_EQ(pullSteadyVoice()[0], 0.0f);
}

TEST_F(MasterVolumeTest, AVolumeOutsideZeroToAHundredIsRefused) {
    ASSERT_EQ(SetMasterVolume(30), 0);
    EXPECT_EQ(SetMasterVolume(101), -1);
    EXPECT_EQ(SetMasterVolume(-1), -1);
    EXPECT_FLOAT_EQ(mixer::MasterGain(), 0.09f);
}

TEST_F(MasterVolumeTest, ALoudMixIsTurnedDownBeforeItIsClipped) {
    // Three voices at half scale add up past full scale; at 50 % they fit.
    static const std::vector<int16_t> samples(2 * 512, 16384);
    mixer::Voice voices[3];
    {
        auto lock = mixer::Lock();
        for (mixer::Voice& v : voices) {
            v.samples = samples.data(), v.frames = 512, v.channels = 2, v.looping = true;
            mixer::StartLocked(v);
        }
    }
    ASSERT_EQ(SetMasterVolume(50), 0);
    std::vector<float> out(2 * 64);
    mixer::Pull(out.data(), 64);
    {
        auto lock = mixer::Lock();
        for (mixer::Voice& v : voices) mixer::StopLocked(v);
    }
    EXPECT_FLOAT_EQ(out[0], 1.5f * 0.25f);
}

}  // namespace
