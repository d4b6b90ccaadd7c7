// Holds the game at 60 frames per second by the clock, for displays whose
// refresh is not 60 Hz (or when the vertical blank cannot be waited for).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace media::screen {

class FramePacer {
public:
    static constexpr int64_t kSecondNs = 1'000'000'000;
    static constexpr int64_t kFramesPerSecond = 60;

    // Forgets the schedule; the next frame starts a new one.
    void Reset() { started_ = false; }

    // When the frame about to be presented should go out, given the time now.
    // Deadlines lie on a grid of exact 1/60 s steps from the schedule's start,
    // so rounding never adds up. A late frame is shown at once and starts a
    // new schedule from now: the frames after it keep their full spacing
    // instead of going out back to back to catch up with the old grid.
    int64_t NextPresent(int64_t nowNs) {
        if (started_) {
            ++frame_;
            const int64_t deadline = origin_ + frame_ * kSecondNs / kFramesPerSecond;
            if (nowNs <= deadline) return deadline;
        }
        origin_ = nowNs;
        frame_ = 0;
        started_ = true;
        return nowNs;
    }

    // True while the schedule's first frame is being shown.
    bool AtFirstFrame() const { return started_ && frame_ == 0; }
    // Puts the schedule's start where its first frame actually showed.
    void AnchorFirstFrame(int64_t shownNs) {
        if (AtFirstFrame()) origin_ = shownNs;
    }

private:
    bool started_ = false;
    int64_t origin_ = 0;
    int64_t frame_ = 0;
};

// How long a present takes once the frame's drawing is done: the median of
// the last few, so one slow present does not move the next frames. The pacing
// sleep ends that much before the deadline, so the frame shows on time.
class PresentCost {
public:
    static constexpr int kKept = 15;
    static constexpr int64_t kMostNs = 4'000'000;  // never wake earlier than this

    void Reset() {
        count_ = 0;
        next_ = 0;
    }

    void Record(int64_t ns) {
        recent_[static_cast<size_t>(next_)] = std::clamp<int64_t>(ns, 0, kMostNs);
        next_ = (next_ + 1) % kKept;
        count_ = std::min(count_ + 1, kKept);
    }

    int64_t Estimate() const {
        if (count_ == 0) return 0;
        std::array<int64_t, kKept> sorted{};
        std::copy_n(recent_.begin(), count_, sorted.begin());
        std::nth_element(sorted.begin(), sorted.begin() + count_ / 2, sorted.begin() + count_);
        return sorted[static_cast<size_t>(count_ / 2)];
    }

private:
    std::array<int64_t, kKept> recent_{};
    int next_ = 0;
    int count_ = 0;
};

}  // namespace media::screen
