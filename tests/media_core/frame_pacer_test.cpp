#include "media/screen/frame_pacer.h"
#include "media/screen/letterbox.h"

#include <gtest/gtest.h>

namespace {

using media::screen::FramePacer;
using media::screen::Letterbox;

constexpr int64_t kMs = 1'000'000;

TEST(FramePacer, DeadlinesFollowAnExactSixtiethGrid) {
    FramePacer pacer;
    const int64_t start = 5'000 * kMs;
    EXPECT_EQ(pacer.NextPresent(start), start);  // the first frame goes at once
    int64_t now = start;
    for (int frame = 1; frame <= 600; ++frame) {
        now += 3 * kMs;  // the tick's work is quick
        const int64_t due = pacer.NextPresent(now);
        EXPECT_EQ(due, start + frame * FramePacer::kSecondNs / 60) << frame;
        now = due;
    }
    // Ten seconds are ten seconds: no rounding creeps in.
    EXPECT_EQ(now - start, 10 * FramePacer::kSecondNs);
}

TEST(FramePacer, ALateFrameGoesAtOnceAndStartsANewScheduleWithoutCatchingUp) {
    const int64_t period = FramePacer::kSecondNs / 60;
    // Late by a little, by a frame and a bit, by several frames, by a stall.
    for (int64_t late : {int64_t{1}, 17 * kMs, 40 * kMs, 100 * kMs, 500 * kMs}) {
        SCOPED_TRACE(late);
        FramePacer pacer;
        pacer.NextPresent(0);
        EXPECT_EQ(pacer.NextPresent(period), period) << "on time";
        const int64_t lateAt = 2 * FramePacer::kSecondNs / 60 + late;
        EXPECT_EQ(pacer.NextPresent(lateAt), lateAt) << "the late frame goes at once";
        // Every following frame keeps the full spacing from it: none goes
        // out back to back to make up the time.
        int64_t now = lateAt + kMs;
        for (int frame = 1; frame <= 6; ++frame) {
            const int64_t due = pacer.NextPresent(now);
            EXPECT_EQ(due, lateAt + frame * FramePacer::kSecondNs / 60) << frame;
            now = due + 3 * kMs;  // the next tick's work is quick
        }
    }
}

TEST(FramePacer, AFrameExactlyOnItsDeadlineKeepsTheGrid) {
    FramePacer pacer;
    pacer.NextPresent(0);
    const int64_t second = 2 * FramePacer::kSecondNs / 60;
    pacer.NextPresent(kMs);
    EXPECT_EQ(pacer.NextPresent(second), second);
    EXPECT_EQ(pacer.NextPresent(second + kMs), 3 * FramePacer::kSecondNs / 60);
}

TEST(FramePacer, ResetStartsOver) {
    FramePacer pacer;
    pacer.NextPresent(0);
    pacer.NextPresent(kMs);
    pacer.Reset();
    EXPECT_EQ(pacer.NextPresent(77 * kMs), 77 * kMs);
    EXPECT_EQ(pacer.NextPresent(78 * kMs), 77 * kMs + FramePacer::kSecondNs / 60);
}

TEST(FramePacer, TheGridCanBeAnchoredWhereTheFirstFrameShowed) {
    FramePacer pacer;
    EXPECT_EQ(pacer.NextPresent(10 * kMs), 10 * kMs);
    EXPECT_TRUE(pacer.AtFirstFrame());
    pacer.AnchorFirstFrame(13 * kMs);   // its present took 3 ms
    EXPECT_EQ(pacer.NextPresent(14 * kMs), 13 * kMs + FramePacer::kSecondNs / 60);
    EXPECT_FALSE(pacer.AtFirstFrame());
    pacer.AnchorFirstFrame(99 * kMs);   // only the first frame anchors
    EXPECT_EQ(pacer.NextPresent(31 * kMs), 13 * kMs + 2 * FramePacer::kSecondNs / 60);
}

TEST(PresentCost, TheMedianOfRecentPresentsIgnoresOneSlowPresent) {
    media::screen::PresentCost cost;
    EXPECT_EQ(cost.Estimate(), 0);   // nothing known: sleep to the deadline
    for (int i = 0; i < 10; ++i) cost.Record(kMs / 2);
    cost.Record(30 * kMs);           // one stall
    EXPECT_EQ(cost.Estimate(), kMs / 2);
    // A lasting change is followed once it makes up most of the window.
    for (int i = 0; i < media::screen::PresentCost::kKept; ++i) cost.Record(2 * kMs);
    EXPECT_EQ(cost.Estimate(), 2 * kMs);
}

TEST(PresentCost, NeverWakesEarlierThanItsCapAndForgetsOnReset) {
    media::screen::PresentCost cost;
    for (int i = 0; i < 20; ++i) cost.Record(50 * kMs);
    EXPECT_EQ(cost.Estimate(), media::screen::PresentCost::kMostNs);
    cost.Record(-5 * kMs);           // a clock step backwards counts as nothing
    cost.Reset();
    EXPECT_EQ(cost.Estimate(), 0);
    cost.Record(-5 * kMs);
    EXPECT_EQ(cost.Estimate(), 0);
}

TEST(Letterbox, FitsTheLargest4To3PictureCentred) {
    auto same = [](media::screen::PictureRect r, int x, int y, int w, int h, bool whole) {
        return r.x == x && r.y == y && r.w == w && r.h == h && r.wholeMultiple == whole;
    };
    EXPECT_TRUE(same(Letterbox(640, 480), 0, 0, 640, 480, true));
    EXPECT_TRUE(same(Letterbox(1280, 960), 0, 0, 1280, 960, true));
    EXPECT_TRUE(same(Letterbox(1920, 1080), 240, 0, 1440, 1080, false));    // bars left and right
    EXPECT_TRUE(same(Letterbox(1280, 1024), 0, 32, 1280, 960, true));       // bars above and below
    EXPECT_TRUE(same(Letterbox(2560, 1440), 320, 0, 1920, 1440, true));     // 3x, sharp
    EXPECT_TRUE(same(Letterbox(800, 600), 0, 0, 800, 600, false));
    EXPECT_TRUE(same(Letterbox(1, 1000), 0, 500, 1, 0, false));
    EXPECT_TRUE(same(Letterbox(0, 0), 0, 0, 640, 480, true));               // no output yet
}

}  // namespace
