// How steadily the game's frame tick runs: the achieved tick rate and the
// spread of the intervals between presented frames. Run it on a real display
// or under Xvfb (bench/pacing/run.sh); the target is 60.0 ticks/s within
// 0.2 % and a 99th-percentile interval under 18 ms.
//   pacing_bench [seconds]
#include "media/media.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    SetAllowSecondInstance(1);
    SetWindowCaption("Lumotta pacing");
    if (InitMedia() != 0) {
        std::fprintf(stderr, "the media layer could not start; see Log.txt\n");
        return 1;
    }
    using Clock = std::chrono::steady_clock;
    std::vector<double> presents;
    presents.reserve(static_cast<size_t>(seconds * 70) + 16);
    const Clock::time_point start = Clock::now();
    // A settling second first: the window appears, the pacing is chosen.
    const double warmUp = 1.0;
    for (;;) {
        if (ProcessMessage() != 0) break;
        ClearScreen();
        DrawRectangle(100, 100, 300, 200, GetColorValue(255, 200, 0), 1);
        EnterMediaLock();
        FlipScreen();
        LeaveMediaLock();
        const double t = std::chrono::duration<double>(Clock::now() - start).count();
        if (t >= warmUp) presents.push_back(t);
        if (t >= warmUp + seconds) break;
    }
    EndMedia();
    if (presents.size() < 3) {
        std::fprintf(stderr, "too few frames\n");
        return 1;
    }
    std::vector<double> intervals;
    for (size_t i = 1; i < presents.size(); ++i) intervals.push_back((presents[i] - presents[i - 1]) * 1000.0);
    const double span = presents.back() - presents.front();
    const double rate = static_cast<double>(intervals.size()) / span;
    double mean = 0;
    for (double d : intervals) mean += d;
    mean /= static_cast<double>(intervals.size());
    double variance = 0;
    for (double d : intervals) variance += (d - mean) * (d - mean);
    const double deviation = std::sqrt(variance / static_cast<double>(intervals.size()));
    std::vector<double> sorted = intervals;
    std::sort(sorted.begin(), sorted.end());
    auto percentile = [&sorted](double p) {
        const size_t i = std::min(sorted.size() - 1, static_cast<size_t>(p * static_cast<double>(sorted.size())));
        return sorted[i];
    };
    int over18 = 0;
    for (double d : intervals) over18 += d >= 18.0;
    std::printf("ticks            %zu in %.3f s\n", intervals.size(), span);
    std::printf("rate             %.3f ticks/s (%+.3f %% from 60)\n", rate, (rate / 60.0 - 1.0) * 100.0);
    std::printf("interval mean    %.3f ms, deviation %.3f ms\n", mean, deviation);
    std::printf("interval p1/p50  %.3f / %.3f ms\n", percentile(0.01), percentile(0.50));
    std::printf("interval p99/max %.3f / %.3f ms\n", percentile(0.99), sorted.back());
    std::printf("intervals >=18ms %d\n", over18);
    const bool rateOk = std::fabs(rate / 60.0 - 1.0) <= 0.002;
    const bool jitterOk = percentile(0.99) < 18.0;
    std::printf("target           %s\n", rateOk && jitterOk ? "met" : "MISSED");
    return 0;
}
