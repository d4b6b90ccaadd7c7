// A picture in memory (0xAARRGGBB, rows from the top) and the few shapes the
// movie scenes are drawn with. Every shape blends by an opacity of 0..1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace moviegen {

struct Colour {
    float r, g, b;
};

Colour Mix(Colour a, Colour b, float t);

class Canvas {
public:
    Canvas(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<uint32_t>& pixels() const { return pixels_; }

    void Fill(Colour c);
    void VerticalGradient(Colour top, Colour bottom);
    void Rect(float x0, float y0, float x1, float y1, Colour c, float opacity = 1);
    void Circle(float cx, float cy, float radius, Colour c, float opacity = 1);
    // A soft glow: opacity falls off to nothing at `radius`.
    void Glow(float cx, float cy, float radius, Colour c, float opacity);
    void Triangle(float x0, float y0, float x1, float y1, float x2, float y2, Colour c, float opacity = 1);
    void Line(float x0, float y0, float x1, float y1, float thickness, Colour c, float opacity = 1);
    // Text centred on (cx, cy); false when the font cannot be used.
    bool Text(const std::string& text, float cx, float cy, int pointSize, Colour c, float opacity = 1);

private:
    void Blend(int x, int y, Colour c, float opacity);
    int width_, height_;
    std::vector<uint32_t> pixels_;
};

// The font the words are set in; the tool stops when it is missing.
bool OpenFonts(const std::string& fontFile);
void CloseFonts();

}  // namespace moviegen
