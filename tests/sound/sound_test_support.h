// A started media layer whose audio device is held, so that a test drives the
// mixer by pulling samples itself.
#pragma once

#include "media/media.h"
#include "media/sound/mixer.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
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

// Stands in for the audio device while the test thread waits inside
// PlaySound (play type 0): after each pass of the message pump it pulls one
// piece, so every pull follows a stream upkeep and the ring never runs dry,
// however busy the machine. A sound that has not stopped after `most` frames
// is given up on: a quit request ends the wait.
class PumpPacedDevice {
public:
    explicit PumpPacedDevice(size_t most, size_t piece = 750)
        : most_(most), piece_(piece), thread_([this] { Run(); }) {}
    ~PumpPacedDevice() { Finish(); }

    // Stops pulling; the frames pulled so far, stereo interleaved.
    const std::vector<float>& Finish() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return pulled_;
    }
    bool gaveUp() const { return gaveUp_; }

private:
    void Run() {
        while (!stop_) {
            SDL_Event event{};
            event.type = SDL_USEREVENT;
            SDL_PushEvent(&event);
            while (!stop_ && SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_USEREVENT, SDL_USEREVENT) > 0)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            if (stop_) break;
            std::vector<float> part(piece_ * 2);
            media::sound::mixer::Pull(part.data(), piece_);
            pulled_.insert(pulled_.end(), part.begin(), part.end());
            if (pulled_.size() / 2 >= most_) {
                gaveUp_ = true;
                SDL_Event quit{};
                quit.type = SDL_QUIT;
                SDL_PushEvent(&quit);
                break;
            }
        }
    }

    size_t most_;
    size_t piece_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> gaveUp_{false};
    std::vector<float> pulled_;
    std::thread thread_;
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
