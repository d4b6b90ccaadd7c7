// A started media layer whose audio device is held, so that a test drives the
// mixer by pulling samples itself.
#pragma once

#include "media/media.h"
#include "media/sound/mixer.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace sound_testing {

inline std::string CurrentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name)
        if (c == '/') c = '_';
    return name;
}

class SoundTest : public ::testing::Test {
protected:
    SoundTest() : scratch_(CurrentTestName()) {}

    void SetUp() override {
        ASSERT_TRUE(media_.ok());
        ASSERT_TRUE(media::sound::mixer::DeviceOpen()) << "no audio device (SDL_AUDIODRIVER=dummy expected)";
        media::sound::mixer::HoldDevice(true);
    }

    // The next frames of the mix, stereo interleaved.
    static std::vector<float> Pull(size_t frames) {
        std::vector<float> out(frames * 2);
        media::sound::mixer::Pull(out.data(), frames);
        return out;
    }

    // Pulls in pieces of about one upkeep period, running the message pump
    // (and with it the stream upkeep) between them, as the game does.
    static std::vector<float> PullWithUpkeep(size_t frames, size_t piece = 750) {
        std::vector<float> out;
        out.reserve(frames * 2);
        while (out.size() < frames * 2) {
            const size_t n = std::min(piece, frames - out.size() / 2);
            const std::vector<float> part = Pull(n);
            out.insert(out.end(), part.begin(), part.end());
            ProcessMessage();
        }
        return out;
    }

    std::string LogText() const {
        std::ifstream in(scratch_.path() + "/Log.txt", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    testing_support::ScratchDirectory scratch_;
    testing_support::HeadlessMedia media_;
};

constexpr float kStep = 1.0f / 32768.0f;

// Zero crossings upward per second over a mono view of the mix.
inline double MeasureFrequency(const std::vector<float>& stereo, size_t from, size_t to, int rate) {
    int crossings = 0;
    size_t first = 0, last = 0;
    for (size_t i = from + 1; i < to; ++i) {
        if (stereo[(i - 1) * 2] < 0.0f && stereo[i * 2] >= 0.0f) {
            if (crossings == 0) first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return (crossings - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

inline double Rms(const std::vector<float>& stereo, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += stereo[i * 2] * stereo[i * 2];
    return std::sqrt(sum / static_cast<double>(to - from));
}

}  // namespace sound_testing
