// Where the 640x480 picture goes in a window or display of another shape.
#pragma once

#include "media/media.h"

#include <algorithm>

namespace media::screen {

struct PictureRect {
    int x, y, w, h;
    bool wholeMultiple;  // drawn at a whole-number scale (sharp pixels)
};

// The largest 4:3 rectangle that fits, centred, with black bars around it.
inline PictureRect Letterbox(int outputW, int outputH) {
    if (outputW <= 0 || outputH <= 0) return {0, 0, kScreenWidth, kScreenHeight, true};
    PictureRect r{};
    // Compare outputW / 640 with outputH / 480 without rounding.
    if (static_cast<long long>(outputW) * kScreenHeight <= static_cast<long long>(outputH) * kScreenWidth) {
        r.w = outputW;
        r.h = static_cast<int>(static_cast<long long>(outputW) * kScreenHeight / kScreenWidth);
    } else {
        r.h = outputH;
        r.w = static_cast<int>(static_cast<long long>(outputH) * kScreenWidth / kScreenHeight);
    }
    r.x = (outputW - r.w) / 2;
    r.y = (outputH - r.h) / 2;
    r.wholeMultiple = r.w % kScreenWidth == 0 && r.h == r.w / kScreenWidth * kScreenHeight;
    return r;
}

// Sharp scaling: the largest whole multiple of 640x480 that fits, centred,
// black bars around it. An output smaller than 640x480 gets the largest fit,
// still with nearest pixels.
inline PictureRect SharpBox(int outputW, int outputH) {
    const int factor = std::min(outputW / kScreenWidth, outputH / kScreenHeight);
    if (factor < 1) {
        PictureRect r = Letterbox(outputW, outputH);
        r.wholeMultiple = true;
        return r;
    }
    const int w = kScreenWidth * factor, h = kScreenHeight * factor;
    return {(outputW - w) / 2, (outputH - h) / 2, w, h, true};
}

// The picture's place for the chosen scaling (kScalingSmooth or kScalingSharp).
inline PictureRect PictureBox(int outputW, int outputH, int scaling) {
    return scaling == kScalingSharp ? SharpBox(outputW, outputH) : Letterbox(outputW, outputH);
}

}  // namespace media::screen
