// The CPU rasteriser against the plain per-pixel formula it must reproduce
// exactly: edge rule, texel choice, blending and clipping, on many quads.
#include "media/images/soft_raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using media::images::Corner;
using media::images::RasteriseQuad;
using media::images::RasterSource;
using media::images::RasterTarget;

uint32_t Mul255(uint32_t a, uint32_t b) { return (a * b + 127) / 255; }

struct Edge {
    double dx, dy, ax, ay;
    bool topLeft;
    double At(double px, double py) const { return dx * (py - ay) - dy * (px - ax); }
    bool Inside(double w) const { return w > 0 || (w == 0 && topLeft); }
};

Edge MakeEdge(const Corner& a, const Corner& b) {
    Edge e{b.x - a.x, b.y - a.y, a.x, a.y, false};
    e.topLeft = (e.dy == 0 && e.dx > 0) || e.dy < 0;
    return e;
}

// Every pixel on its own: is its centre inside, which texel lies under it,
// and how is it mixed.
void ModelTriangle(const RasterTarget& target, const SDL_Rect& clip, const RasterSource* source, bool honourAlpha,
                   int blendMode, SDL_Color colour, Corner a, Corner b, Corner c) {
    double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (area == 0) return;
    if (area < 0) {
        std::swap(b, c);
        area = -area;
    }
    const Edge ab = MakeEdge(a, b), bc = MakeEdge(b, c), ca = MakeEdge(c, a);
    for (int y = clip.y; y < clip.y + clip.h; ++y) {
        for (int x = clip.x; x < clip.x + clip.w; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double wa = bc.At(px, py), wb = ca.At(px, py), wc = ab.At(px, py);
            if (!bc.Inside(wa) || !ca.Inside(wb) || !ab.Inside(wc)) continue;
            uint32_t sr = colour.r, sg = colour.g, sb = colour.b, sa = colour.a;
            if (source) {
                const double u = (wa * a.u + wb * b.u + wc * c.u) / area;
                const double v = (wa * a.v + wb * b.v + wc * c.v) / area;
                const int tx = std::clamp(static_cast<int>(std::floor(u)), source->area.x,
                                          source->area.x + source->area.w - 1);
                const int ty = std::clamp(static_cast<int>(std::floor(v)), source->area.y,
                                          source->area.y + source->area.h - 1);
                const uint32_t t = source->pixels[static_cast<size_t>(ty) * source->stride + tx];
                sr = Mul255((t >> 16) & 255, colour.r);
                sg = Mul255((t >> 8) & 255, colour.g);
                sb = Mul255(t & 255, colour.b);
                sa = Mul255(honourAlpha ? t >> 24 : 255, colour.a);
            }
            if (sa == 0) continue;
            uint32_t& d = target.pixels[static_cast<size_t>(y) * target.stride + x];
            uint32_t dr = (d >> 16) & 255, dg = (d >> 8) & 255, db = d & 255, da = d >> 24;
            if (blendMode == 2) {
                dr = std::min(255u, dr + Mul255(sr, sa));
                dg = std::min(255u, dg + Mul255(sg, sa));
                db = std::min(255u, db + Mul255(sb, sa));
            } else {
                dr = Mul255(sr, sa) + Mul255(dr, 255 - sa);
                dg = Mul255(sg, sa) + Mul255(dg, 255 - sa);
                db = Mul255(sb, sa) + Mul255(db, 255 - sa);
                da = sa + Mul255(da, 255 - sa);
            }
            d = (da << 24) | (dr << 16) | (dg << 8) | db;
        }
    }
}

void ModelQuad(const RasterTarget& target, const SDL_Rect& clip, const RasterSource* source, bool honourAlpha,
               int blendMode, SDL_Color colour, const Corner c[4]) {
    SDL_Rect bounds{0, 0, target.width, target.height}, area;
    if (!SDL_IntersectRect(&clip, &bounds, &area)) return;
    ModelTriangle(target, area, source, honourAlpha, blendMode, colour, c[0], c[1], c[3]);
    ModelTriangle(target, area, source, honourAlpha, blendMode, colour, c[1], c[2], c[3]);
}

class SoftRaster : public ::testing::Test {
protected:
    static constexpr int kW = 96, kH = 80;    // the target
    static constexpr int kTw = 24, kTh = 20;  // the texture

    SoftRaster() : texture_(kTw * kTh), random_(12345) {
        // Opaque, clear and part-transparent texels, every one distinct.
        for (int i = 0; i < kTw * kTh; ++i) {
            const uint32_t alphas[] = {255, 255, 0, 128, 1, 254, 255, 77};
            texture_[i] = alphas[(i * 7) % 8] << 24 | static_cast<uint32_t>(i * 2654435761u) >> 8;
        }
    }

    std::vector<uint32_t> Background() {
        std::vector<uint32_t> p(kW * kH);
        for (uint32_t& v : p) v = static_cast<uint32_t>(random_());
        return p;
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    SDL_Color RandomColour() {
        const uint8_t levels[] = {0, 1, 128, 200, 254, 255, 255, 255};
        return {levels[Pick(0, 7)], levels[Pick(0, 7)], levels[Pick(0, 7)], levels[Pick(0, 7)]};
    }

    // Draws the quad both ways on the same background and compares.
    void Check(const Corner c[4], bool withSource, const SDL_Rect& area, bool honourAlpha, int mode,
               SDL_Color colour, const SDL_Rect& clip) {
        std::vector<uint32_t> expected = Background(), actual = expected;
        const RasterSource source{texture_.data(), kTw, area};
        const RasterTarget modelTarget{expected.data(), kW, kW, kH}, target{actual.data(), kW, kW, kH};
        ModelQuad(modelTarget, clip, withSource ? &source : nullptr, honourAlpha, mode, colour, c);
        RasteriseQuad(target, clip, withSource ? &source : nullptr, honourAlpha, mode, colour, c);
        for (int i = 0; i < kW * kH; ++i) {
            ASSERT_EQ(actual[i], expected[i])
                << "pixel " << i % kW << "," << i / kW << " corners (" << c[0].x << "," << c[0].y << ") ("
                << c[1].x << "," << c[1].y << ") (" << c[2].x << "," << c[2].y << ") (" << c[3].x << ","
                << c[3].y << ") mode " << mode << " source " << withSource << " alpha " << honourAlpha
                << " colour " << int(colour.r) << "," << int(colour.g) << "," << int(colour.b) << ","
                << int(colour.a);
        }
    }

    std::vector<uint32_t> texture_;
    std::mt19937 random_;
};

TEST_F(SoftRaster, UprightRectanglesOfEverySizeAndMirroringMatchTheFormula) {
    for (int n = 0; n < 600; ++n) {
        const float x0 = static_cast<float>(Pick(-20, kW)), y0 = static_cast<float>(Pick(-20, kH));
        const float x1 = x0 + static_cast<float>(Pick(-60, 60)), y1 = y0 + static_cast<float>(Pick(-60, 60));
        const SDL_Rect area{Pick(0, 4), Pick(0, 4), Pick(1, kTw - 4), Pick(1, kTh - 4)};
        const float u0 = static_cast<float>(area.x), v0 = static_cast<float>(area.y);
        const float u1 = u0 + static_cast<float>(area.w), v1 = v0 + static_cast<float>(area.h);
        const Corner c[4] = {{x0, y0, u0, v0}, {x1, y0, u1, v0}, {x1, y1, u1, v1}, {x0, y1, u0, v1}};
        Check(c, true, area, Pick(0, 1), Pick(0, 2), RandomColour(), SDL_Rect{0, 0, kW, kH});
        if (HasFatalFailure()) return;
    }
}

TEST_F(SoftRaster, TurnedSlantedAndCrossedQuadsMatchTheFormula) {
    for (int n = 0; n < 600; ++n) {
        Corner c[4];
        const SDL_Rect area{0, 0, kTw, kTh};
        const float uv[4][2] = {{0, 0}, {kTw, 0}, {kTw, kTh}, {0, kTh}};
        for (int i = 0; i < 4; ++i)
            c[i] = {static_cast<float>(Pick(-30, kW + 30)), static_cast<float>(Pick(-30, kH + 30)), uv[i][0],
                    uv[i][1]};
        Check(c, true, area, Pick(0, 1), Pick(0, 2), RandomColour(), SDL_Rect{0, 0, kW, kH});
        if (HasFatalFailure()) return;
    }
}

TEST_F(SoftRaster, FillsAndClipRectanglesMatchTheFormula) {
    for (int n = 0; n < 400; ++n) {
        Corner c[4];
        for (Corner& corner : c) corner = {static_cast<float>(Pick(-10, kW + 10)), static_cast<float>(Pick(-10, kH + 10)), 0, 0};
        if (n % 2) {   // upright, as rectangles are drawn
            c[1].y = c[0].y;
            c[3].x = c[0].x;
            c[2] = {c[1].x, c[3].y, 0, 0};
        }
        const SDL_Rect clip{Pick(-5, kW / 2), Pick(-5, kH / 2), Pick(0, kW), Pick(0, kH)};
        Check(c, n % 3 != 0, SDL_Rect{0, 0, kTw, kTh}, true, Pick(0, 2), RandomColour(), clip);
        if (HasFatalFailure()) return;
    }
}

TEST_F(SoftRaster, CornersOffTheWholeNumberGridMatchTheFormula) {
    for (int n = 0; n < 300; ++n) {
        Corner c[4];
        const float uv[4][2] = {{0, 0}, {kTw, 0}, {kTw, kTh}, {0, kTh}};
        for (int i = 0; i < 4; ++i)
            c[i] = {static_cast<float>(Pick(-40, 4 * kW)) / 4, static_cast<float>(Pick(-40, 4 * kH)) / 4,
                    uv[i][0] + (n % 2 ? 0.5f : 0.0f), uv[i][1]};
        Check(c, true, SDL_Rect{0, 0, kTw, kTh}, Pick(0, 1), Pick(0, 2), RandomColour(), SDL_Rect{0, 0, kW, kH});
        if (HasFatalFailure()) return;
    }
}

TEST_F(SoftRaster, PicturesWiderThanTheColumnTableStillDrawWhole) {
    // A 5000-pixel-wide target row, drawn as an upright stretch of one texel row.
    constexpr int kWide = 5000;
    std::vector<uint32_t> row(kWide, 0xFF000000u), model = row;
    const RasterSource source{texture_.data(), kTw, SDL_Rect{0, 0, kTw, 1}};
    const Corner c[4] = {{0, 0, 0, 0}, {kWide, 0, kTw, 0}, {kWide, 1, kTw, 1}, {0, 1, 0, 1}};
    RasteriseQuad(RasterTarget{row.data(), kWide, kWide, 1}, SDL_Rect{0, 0, kWide, 1}, &source, false, 0,
                  SDL_Color{255, 255, 255, 255}, c);
    ModelQuad(RasterTarget{model.data(), kWide, kWide, 1}, SDL_Rect{0, 0, kWide, 1}, &source, false, 0,
              SDL_Color{255, 255, 255, 255}, c);
    EXPECT_EQ(row, model);
    EXPECT_EQ(row[kWide - 1], texture_[kTw - 1] | 0xFF000000u);
}

}  // namespace
