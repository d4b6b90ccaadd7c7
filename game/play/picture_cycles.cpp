#include "game/play/picture_cycles.h"

namespace {

int totalTicks(std::span<const FrameRun> runs) {
    int total = 0;
    for (const FrameRun& run : runs) total += run.ticks;
    return total;
}

}  // namespace

int sequencePicture(std::span<const FrameRun> runs, int t, int after) {
    if (t < 0) t = 0;
    for (const FrameRun& run : runs) {
        if (t < run.ticks) return run.picture;
        t -= run.ticks;
    }
    return after;
}

int cyclePicture(std::span<const FrameRun> runs, int t) {
    const int total = totalTicks(runs);
    if (total <= 0) return -1;
    const int wrapped = ((t % total) + total) % total;
    return sequencePicture(runs, wrapped, -1);
}
