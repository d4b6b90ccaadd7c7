// Picture cycles: lists of (picture, ticks) runs, read by tick count.
#pragma once

#include <cstdint>
#include <span>

struct FrameRun {
    int16_t picture;
    int16_t ticks;
};

// The picture shown at tick t of a list that repeats (t taken modulo the
// list's length).
int cyclePicture(std::span<const FrameRun> runs, int t);

// The picture shown at tick t of a list played once; `after` once it is
// used up.
int sequencePicture(std::span<const FrameRun> runs, int t, int after);
