// A plain RGBA picture and the drawing operations the painters share.
#pragma once

#include <cstdint>
#include <vector>

namespace artgen {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    constexpr Rgba() = default;
    constexpr Rgba(int red, int green, int blue, int alpha = 255)
        : r(uint8_t(red)), g(uint8_t(green)), b(uint8_t(blue)), a(uint8_t(alpha)) {}
    bool operator==(const Rgba&) const = default;
};

Rgba mix(Rgba a, Rgba b, double t);          // straight interpolation of all four channels
Rgba withAlpha(Rgba c, int alpha);
Rgba shade(Rgba c, double factor);           // factor < 1 darkens, > 1 lightens towards white

struct Point {
    double x = 0, y = 0;
};

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Rgba fill = {});

    int width() const { return w_; }
    int height() const { return h_; }
    bool empty() const { return w_ == 0 || h_ == 0; }
    const std::vector<Rgba>& pixels() const { return px_; }

    Rgba get(int x, int y) const;
    void set(int x, int y, Rgba c);                 // replace
    void blend(int x, int y, Rgba c);               // source over
    void blendCoverage(int x, int y, Rgba c, double coverage);
    void add(int x, int y, Rgba c);                 // additive light (alpha scales the colour)

    void fill(Rgba c);
    void fillRect(int x, int y, int w, int h, Rgba c);
    void frameRect(int x, int y, int w, int h, Rgba c, int thickness = 1);
    void verticalGradient(int x, int y, int w, int h, Rgba top, Rgba bottom);

    // Anti-aliased shapes (coverage sampled 4x4 per pixel).
    void fillEllipse(double cx, double cy, double rx, double ry, Rgba c);
    void fillCircle(double cx, double cy, double r, Rgba c) { fillEllipse(cx, cy, r, r, c); }
    void ring(double cx, double cy, double r, double thickness, Rgba c);
    void fillPolygon(const std::vector<Point>& points, Rgba c);
    void line(double x0, double y0, double x1, double y1, double thickness, Rgba c);
    void fillRoundRect(double x, double y, double w, double h, double radius, Rgba c);
    void star(double cx, double cy, double outer, double inner, int points, double angleDeg, Rgba c);

    // Hard-edged pixel shapes for sprites.
    void pixelLine(int x0, int y0, int x1, int y1, Rgba c);
    void pixelDisc(int cx, int cy, int r, Rgba c);

    // Light: a soft radial glow added to the picture.
    void glow(double cx, double cy, double radius, Rgba c, double falloff = 2.0);

    // Copies `src` with its top-left at (x, y), alpha blended.
    void draw(const Canvas& src, int x, int y, bool mirror = false, int opacity = 255);
    void drawAdd(const Canvas& src, int x, int y);
    // Nearest-neighbour scaled copy.
    void drawScaled(const Canvas& src, int x, int y, int scale, bool mirror = false);

    // Uses the picture's alpha as a mask over `paint` (same size).
    void maskWith(const Canvas& paint);
    // Multiplies every alpha by `factor`.
    void fade(double factor);

private:
    int w_ = 0, h_ = 0;
    std::vector<Rgba> px_;
};

// Whole-picture operations that return a new picture.
Canvas mirrored(const Canvas& c);
Canvas scaled(const Canvas& c, int factor);                  // nearest neighbour
Canvas resized(const Canvas& c, int w, int h);               // area average
Canvas rotated(const Canvas& c, double angleDeg, int outW, int outH); // nearest, about the centre
Canvas rotatedQuarter(const Canvas& c, int quarters);        // exact 90-degree turns
Canvas cropped(const Canvas& c, int x, int y, int w, int h);
// Paints a `thickness`-pixel edge of colour `c` around every opaque pixel.
Canvas outlined(const Canvas& c, Rgba colour, int thickness = 1, bool diagonal = true);
Canvas blurred(const Canvas& c, int radius);                 // three box passes
Canvas recoloured(const Canvas& c, const std::vector<std::pair<Rgba, Rgba>>& swaps);
// A soft drop shadow under the picture (same size plus margin).
Canvas withShadow(const Canvas& c, int dx, int dy, int blur, int alpha);

// Deterministic pseudo-random numbers for the painters.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t next();
    double uniform();                    // [0, 1)
    double range(double lo, double hi);  // [lo, hi)
    int below(int n);                    // 0..n-1

private:
    uint64_t state_;
};

// Smooth value noise in 0..1, periodic over `period` cells when period > 0.
double valueNoise(double x, double y, uint32_t seed, int period = 0);
double fractalNoise(double x, double y, uint32_t seed, int octaves, int period = 0);

}  // namespace artgen
