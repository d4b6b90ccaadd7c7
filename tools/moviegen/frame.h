// One frame of a film and the ways pictures are put on it: backdrops that
// slide by fractions of a pixel (the far layers of a parallax), pictures
// laid over with their alpha, light added, and the whole frame graded or
// veiled. Pictures are kept premultiplied, 0xAARRGGBB.
#pragma once

#include "tools/artgen/canvas.h"

#include <cstdint>
#include <vector>

namespace moviegen {

constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;

struct Rgb {
    float r = 0, g = 0, b = 0;  // 0..1
};

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // premultiplied 0xAARRGGBB, rows from the top
};

Picture ToPicture(const artgen::Canvas& canvas);
// The picture's colours times `multiply`, plus `add` where it is opaque.
Picture Graded(Picture picture, Rgb multiply, Rgb add = {});

// How much of each pixel of a frame a shade keeps (255: all of it).
struct Shade {
    std::vector<uint8_t> keep;
};

class Frame {
public:
    Frame();
    const std::vector<uint32_t>& pixels() const { return pixels_; }

    void Fill(Rgb colour);
    // An opaque picture, shown from (scrollX, scrollY) of it on; scrollX may
    // be fractional. Where the picture ends, its edge column goes on.
    void Backdrop(const Picture& picture, double scrollX, int scrollY = 0);
    // A picture repeated across the frame with its top at y, moved left by
    // scrollX (fractional).
    void Band(const Picture& tile, double scrollX, int y);
    // The picture with its top left at (x, y), rounded to whole pixels.
    void Over(const Picture& picture, double x, double y, double opacity = 1);
    // Light: the picture's colours added, scaled by strength.
    void Add(const Picture& picture, double x, double y, double strength = 1);
    // A soft round light falling off to nothing at `radius`.
    void Glow(double cx, double cy, double radius, Rgb colour, double strength);
    // Every pixel darkened by a shade, or all alike by `keep` (0..1).
    void Darken(const Shade& shade);
    void Dim(double keep);
    // The frame mixed towards one colour by `amount` (0..1).
    void Veil(Rgb colour, double amount);
    // The frame mixed towards another by `amount` (0..1): a cross-fade.
    void Mix(const Frame& other, double amount);

private:
    std::vector<uint32_t> pixels_;
};

}  // namespace moviegen
