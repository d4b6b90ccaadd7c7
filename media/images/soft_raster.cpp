#include "media/images/soft_raster.h"

#include <algorithm>
#include <cmath>

namespace media::images {
namespace {

inline uint32_t Mul255(uint32_t a, uint32_t b) { return (a * b + 127) / 255; }

struct Edge {
    double dx, dy, ax, ay;
    bool topLeft;
    double At(double px, double py) const { return dx * (py - ay) - dy * (px - ax); }
};

Edge MakeEdge(const Corner& a, const Corner& b) {
    Edge e{b.x - a.x, b.y - a.y, a.x, a.y, false};
    e.topLeft = (e.dy == 0 && e.dx > 0) || e.dy < 0;
    return e;
}

inline bool Inside(double w, const Edge& e) { return w > 0 || (w == 0 && e.topLeft); }

void RasteriseTriangle(const RasterTarget& target, const SDL_Rect& clip, const RasterSource* source,
                       bool honourAlpha, int blendMode, SDL_Color colour, Corner a, Corner b, Corner c) {
    double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (area == 0) return;
    if (area < 0) {
        std::swap(b, c);
        area = -area;
    }
    const Edge ab = MakeEdge(a, b), bc = MakeEdge(b, c), ca = MakeEdge(c, a);
    const int x0 = std::max(clip.x, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
    const int y0 = std::max(clip.y, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
    const int x1 = std::min(clip.x + clip.w, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
    const int y1 = std::min(clip.y + clip.h, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
    const uint32_t cr = colour.r, cg = colour.g, cb = colour.b, ca8 = colour.a;
    for (int y = y0; y < y1; ++y) {
        const double py = y + 0.5;
        uint32_t* row = target.pixels + static_cast<size_t>(y) * target.stride;
        for (int x = x0; x < x1; ++x) {
            const double px = x + 0.5;
            const double wa = bc.At(px, py), wb = ca.At(px, py), wc = ab.At(px, py);
            if (!Inside(wa, bc) || !Inside(wb, ca) || !Inside(wc, ab)) continue;
            uint32_t sr, sg, sb, sa;
            if (source) {
                const double u = (wa * a.u + wb * b.u + wc * c.u) / area;
                const double v = (wa * a.v + wb * b.v + wc * c.v) / area;
                const int tx = std::clamp(static_cast<int>(std::floor(u)), source->area.x,
                                          source->area.x + source->area.w - 1);
                const int ty = std::clamp(static_cast<int>(std::floor(v)), source->area.y,
                                          source->area.y + source->area.h - 1);
                const uint32_t t = source->pixels[static_cast<size_t>(ty) * source->stride + tx];
                sr = Mul255((t >> 16) & 255, cr);
                sg = Mul255((t >> 8) & 255, cg);
                sb = Mul255(t & 255, cb);
                sa = Mul255(honourAlpha ? t >> 24 : 255, ca8);
            } else {
                sr = cr;
                sg = cg;
                sb = cb;
                sa = ca8;
            }
            if (sa == 0) continue;
            const uint32_t d = row[x];
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
            row[x] = (da << 24) | (dr << 16) | (dg << 8) | db;
        }
    }
}

}  // namespace

void RasteriseQuad(const RasterTarget& target, const SDL_Rect& clip, const RasterSource* source,
                   bool honourAlpha, int blendMode, SDL_Color colour, const Corner corners[4]) {
    SDL_Rect bounds{0, 0, target.width, target.height}, area;
    if (!SDL_IntersectRect(&clip, &bounds, &area)) return;
    RasteriseTriangle(target, area, source, honourAlpha, blendMode, colour, corners[0], corners[1], corners[3]);
    RasteriseTriangle(target, area, source, honourAlpha, blendMode, colour, corners[1], corners[2], corners[3]);
}

}  // namespace media::images
