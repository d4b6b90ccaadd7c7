// The end of a stream that does not loop, at rates other than the mixer's:
// whatever the rate and however the length falls against the four-second
// priming, a streamed sound plays exactly the frames and the length of the
// same file loaded into memory, then stops, and PlaySound with play type 0
// comes back.
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace sound_testing;
using namespace sound_fixtures;
namespace mixer = media::sound::mixer;

namespace {

constexpr int kMixRate = mixer::kRate;

struct Case {
    double seconds;   // of the file, at its own rate
    bool ogg;         // else WAV
    int mode;         // stream load mode
};

// Around the four seconds a stream is primed with, and past the six of its
// ring, where the upkeep adds only what has been played since.
constexpr Case kCases[] = {
    {3.9, false, 3}, {4.0, true, 2}, {4.3, false, 2}, {4.7, true, 3}, {6.5, false, 3}, {8.3, true, 2},
};

class StreamEndTest : public SoundTest, public ::testing::WithParamInterface<int> {
protected:
    // Writes the file; returns the frames it plays at the mixer's rate.
    static size_t WriteSound(const std::string& name, const Case& c, int rate) {
        // An odd count, so no length falls on a whole block by luck.
        const int frames = static_cast<int>(c.seconds * rate) | 1;
        const std::vector<int16_t> chord = Chord(rate, frames, 2);
        size_t sourceFrames = static_cast<size_t>(frames);
        if (c.ogg) {
            WriteOgg(name, chord, 2, rate);
            sourceFrames = DecodeOggReference(name).size() / 2;
        } else {
            WriteWav16(name, chord, 2, rate);
        }
        // The resampler makes ceil(frames x 44100 / rate) of them.
        return (sourceFrames * kMixRate + static_cast<size_t>(rate) - 1) / static_cast<size_t>(rate);
    }

    static int Load(const std::string& name, int mode) {
        EXPECT_EQ(SetSoundLoadMode(mode), 0);
        const int h = LoadSound(name.c_str(), 3, -1);
        SetSoundLoadMode(0);
        return h;
    }

    // Plays once through the held device: still sounding after length - 1
    // frames, silent after length. Returns the mix, with a little after it.
    static std::vector<float> PlayOnce(int h, size_t length, const std::string& what) {
        EXPECT_EQ(PlaySound(h, kPlayOnce, 1), 0) << what;
        std::vector<float> mix = PullWithUpkeep(length - 1);
        EXPECT_EQ(mixer::SoundingVoices(), 1) << what << ": stopped early";
        const std::vector<float> rest = PullWithUpkeep(kMixRate / 4);
        EXPECT_EQ(mixer::SoundingVoices(), 0) << what << ": still sounding after its end";
        mix.insert(mix.end(), rest.begin(), rest.end());
        StopSound(h);
        return mix;
    }
};

void ExpectSameMix(const std::vector<float>& got, const std::vector<float>& want, const std::string& what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], want[i]) << what << ": sample " << i;
}

std::string Describe(const Case& c, int rate) {
    return std::to_string(rate) + " Hz " + std::to_string(c.seconds).substr(0, 4) + " s " +
           (c.ogg ? "ogg" : "wav") + " mode " + std::to_string(c.mode);
}

}  // namespace

TEST_P(StreamEndTest, PlaysTheFramesOfTheMemorySoundThenStops) {
    const int rate = GetParam();
    for (const Case& c : kCases) {
        const std::string what = Describe(c, rate);
        const std::string name = c.ogg ? "sound.ogg" : "sound.wav";
        const size_t length = WriteSound(name, c, rate);
        const int memory = Load(name, 0);
        const int stream = Load(name, c.mode);
        ASSERT_GE(memory, 0) << what;
        ASSERT_GE(stream, 0) << what;
        const std::vector<float> reference = PlayOnce(memory, length, what + " in memory");
        const std::vector<float> streamed = PlayOnce(stream, length, what + " streamed");
        ExpectSameMix(streamed, reference, what);
        DeleteAllSounds(0);
    }
}

TEST_P(StreamEndTest, PlayTypeZeroComesBackAfterTheLastFrame) {
    // Pieces smaller than the eighth of a second an upkeep adds at least.
    constexpr size_t kPiece = 2400;
    const int rate = GetParam();
    for (const Case& c : {kCases[1], kCases[3], kCases[5]}) {
        const std::string what = Describe(c, rate);
        const std::string name = c.ogg ? "sound.ogg" : "sound.wav";
        const size_t length = WriteSound(name, c, rate);
        const int memory = Load(name, 0);
        const int stream = Load(name, c.mode);
        const std::vector<float> reference = PlayOnce(memory, length, what + " in memory");
        std::vector<float> pulled;
        {
            PumpPacedDevice device(length + kMixRate, kPiece);
            EXPECT_EQ(PlaySound(stream, kPlayWait, 1), 0) << what;
            ASSERT_FALSE(device.gaveUp()) << what << ": PlaySound waited past the end of the sound";
            pulled = device.Finish();
        }
        EXPECT_EQ(mixer::SoundingVoices(), 0) << what;
        // PlaySound returned within a piece or two of the last frame.
        ASSERT_GE(pulled.size() / 2, length) << what;
        EXPECT_LE(pulled.size() / 2, length + 2 * kPiece) << what;
        pulled.resize(std::min(pulled.size(), reference.size()));
        ExpectSameMix(pulled, std::vector<float>(reference.begin(), reference.begin() + pulled.size()), what);
        DeleteAllSounds(0);
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, StreamEndTest, ::testing::Values(22050, 32000, 48000, 96000),
                         [](const auto& info) { return std::to_string(info.param) + "Hz"; });

// As a player hears it: the real (dummy) device at its own pace, a 48 kHz
// sine a frame longer than the priming, PlaySound waiting for it.
TEST_F(SoundTest, WaitingForAFourSecondStreamAtFortyEightKilohertzEnds) {
    WriteOgg("sine.ogg", Sine(440.0, 48000, 48000 * 4 + 1, 2, 0.5), 2, 48000);
    SetSoundLoadMode(2);
    const int h = LoadSound("sine.ogg", 3, -1);
    SetSoundLoadMode(0);
    ASSERT_GE(h, 0);
    mixer::HoldDevice(false);
    std::atomic<bool> returned{false};
    std::thread watchdog([&] {
        // A wait that never ends is cut short by a quit request.
        for (int i = 0; i < 200 && !returned; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!returned) {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PlaySound(h, kPlayWait, 1), 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    returned = true;
    watchdog.join();
    EXPECT_EQ(ProcessMessage(), 0) << "the wait only ended on the quit request";
    EXPECT_GE(seconds, 3.9);
    EXPECT_LT(seconds, 6.5);
    EXPECT_EQ(mixer::SoundingVoices(), 0);
}
