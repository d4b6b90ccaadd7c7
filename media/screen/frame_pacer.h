// Holds the game at 60 frames per second by the clock, for displays whose
// refresh is not 60 Hz (or when the vertical blank cannot be waited for).
#pragma once

#include <cstdint>

namespace media::screen {

class FramePacer {
public:
    static constexpr int64_t kSecondNs = 1'000'000'000;
    static constexpr int64_t kFramesPerSecond = 60;
    static constexpr int64_t kStallNs = 100'000'000;  // later than this: start anew

    // Forgets the schedule; the next frame starts a new one.
    void Reset() { started_ = false; }

    // When the frame about to be presented should go out, given the time now.
    // Deadlines lie on a grid of exact 1/60 s steps from the schedule's start,
    // so rounding never adds up. A frame a little late is shown at once and
    // the following frames catch up with the grid; after a stall of more than
    // 100 ms the schedule starts anew from now instead of racing to catch up.
    int64_t NextPresent(int64_t nowNs) {
        if (!started_) {
            origin_ = nowNs;
            frame_ = 0;
            started_ = true;
            return nowNs;
        }
        ++frame_;
        const int64_t deadline = origin_ + frame_ * kSecondNs / kFramesPerSecond;
        if (nowNs - deadline > kStallNs) {
            origin_ = nowNs;
            frame_ = 0;
            return nowNs;
        }
        return deadline;
    }

private:
    bool started_ = false;
    int64_t origin_ = 0;
    int64_t frame_ = 0;
};

}  // namespace media::screen
