#include "media/images/soft_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Sampling rule: a pixel belongs to a triangle when its centre lies inside
// (on an edge only for top and left edges), and shows the texel under the
// centre's affine texture position, rounded down. Corners and texture
// positions are whole numbers in every draw the game makes; such quads are
// drawn in exact integer arithmetic, giving the same pixels and texels as the
// plain formula without its per-pixel divisions. Anything else takes the
// plain formula in floating point.
//
// Each row is drawn in two steps: its source pixels are gathered into a
// buffer, then put down on the target by a span routine.
namespace media::images {
namespace {

// (a * b) / 255 rounded to nearest, for a and b in 0..255.
inline uint32_t Mul255(uint32_t a, uint32_t b) { return (a * b + 127) / 255; }

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
    const int64_t q = a / b;
    return q * b > a ? q - 1 : q;
}

constexpr int kChunk = 256;   // source pixels gathered at a time

// --- Putting source pixels onto the target -------------------------------------

// The colour multiplier; `a` scales the source alpha. Plain: all 255, so
// sources go down unchanged.
struct Paint {
    uint32_t r, g, b, a;
    bool plain;
};

// One pixel. Modes 0 and 1 mix by the source alpha:
//   d = s * sa / 255 + d * (255 - sa) / 255 (alpha: sa + da * (255 - sa) / 255);
// mode 2 adds s * sa / 255 to the colour, saturating, and keeps d's alpha.
// With sa = 255 mixing writes the source, with sa = 0 it keeps d.
template <bool Add, bool Plain, bool Honour>
inline void PutOne(uint32_t& d, uint32_t t, const Paint& p) {
    uint32_t sa = Honour ? t >> 24 : 255u;
    uint32_t sr = (t >> 16) & 255, sg = (t >> 8) & 255, sb = t & 255;
    if (!Plain) {
        sa = Mul255(sa, p.a);
        sr = Mul255(sr, p.r);
        sg = Mul255(sg, p.g);
        sb = Mul255(sb, p.b);
    }
    if (sa == 0) return;
    uint32_t dr = (d >> 16) & 255, dg = (d >> 8) & 255, db = d & 255, da = d >> 24;
    if (Add) {
        dr = std::min(255u, dr + Mul255(sr, sa));
        dg = std::min(255u, dg + Mul255(sg, sa));
        db = std::min(255u, db + Mul255(sb, sa));
    } else {
        const uint32_t keep = 255 - sa;
        dr = Mul255(sr, sa) + Mul255(dr, keep);
        dg = Mul255(sg, sa) + Mul255(dg, keep);
        db = Mul255(sb, sa) + Mul255(db, keep);
        da = sa + Mul255(da, keep);
    }
    d = (da << 24) | (dr << 16) | (dg << 8) | db;
}

#if defined(__SSE2__)
// Eight 16-bit lanes of values 0..255: a * b / 255 rounded to nearest, the
// same as Mul255 for every pair.
inline __m128i Mul255x8(__m128i a, __m128i b) {
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// Two pixels (B, G, R, A lanes each) of source s onto d.
template <bool Add, bool Plain>
inline __m128i PutTwo(__m128i s, __m128i d, __m128i colour) {
    if (!Plain) s = Mul255x8(s, colour);
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    if (Add) {
        const __m128i colourLanes = _mm_set_epi16(0, 255, 255, 255, 0, 255, 255, 255);
        return Mul255x8(_mm_and_si128(s, colourLanes), alpha);   // added by the caller
    }
    const __m128i alphaLanes = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
    const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
    return _mm_add_epi16(Mul255x8(_mm_or_si128(s, alphaLanes), alpha), Mul255x8(d, keep));
}
#endif

// `count` source pixels onto the row d.
template <bool Add, bool Plain, bool Honour>
void PutSpan(uint32_t* d, const uint32_t* s, int count, const Paint& p) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i colour = _mm_set_epi16(static_cast<short>(p.a), static_cast<short>(p.r),
                                         static_cast<short>(p.g), static_cast<short>(p.b),
                                         static_cast<short>(p.a), static_cast<short>(p.r),
                                         static_cast<short>(p.g), static_cast<short>(p.b));
    for (; i + 4 <= count; i += 4) {
        __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        if (!Honour) src = _mm_or_si128(src, opaque);
        __m128i* out = reinterpret_cast<__m128i*>(d + i);
        if (!Add && Plain) {
            // Runs of fully opaque or fully clear pixels are common.
            const int solid = _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(src, opaque), opaque));
            if (solid == 0xFFFF) {
                _mm_storeu_si128(out, src);
                continue;
            }
            if (solid == 0 && _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(src, opaque), zero)) == 0xFFFF)
                continue;
        }
        const __m128i dst = _mm_loadu_si128(out);
        const __m128i lo = PutTwo<Add, Plain>(_mm_unpacklo_epi8(src, zero), _mm_unpacklo_epi8(dst, zero), colour);
        const __m128i hi = PutTwo<Add, Plain>(_mm_unpackhi_epi8(src, zero), _mm_unpackhi_epi8(dst, zero), colour);
        const __m128i packed = _mm_packus_epi16(lo, hi);
        _mm_storeu_si128(out, Add ? _mm_adds_epu8(dst, packed) : packed);
    }
#endif
    for (; i < count; ++i) PutOne<Add, Plain, Honour>(d[i], s[i], p);
}

using SpanRoutine = void (*)(uint32_t*, const uint32_t*, int, const Paint&);

SpanRoutine PickSpan(bool add, bool plain, bool honour) {
    static constexpr SpanRoutine kRoutines[2][2][2] = {
        {{&PutSpan<false, false, false>, &PutSpan<false, false, true>},
         {&PutSpan<false, true, false>, &PutSpan<false, true, true>}},
        {{&PutSpan<true, false, false>, &PutSpan<true, false, true>},
         {&PutSpan<true, true, false>, &PutSpan<true, true, true>}},
    };
    return kRoutines[add][plain][honour];
}

// Everything one draw needs besides its geometry.
struct Draw {
    const RasterTarget* target;
    SDL_Rect clip;
    const RasterSource* source;   // null: a colour fill
    Paint paint;
    SpanRoutine put;
    uint32_t fill;                // the fill's source pixel
};

// A fill's row: the same source pixel throughout.
void PutFillRow(const Draw& draw, uint32_t* row, int count) {
    uint32_t pixels[kChunk];
    std::fill(pixels, pixels + std::min(count, kChunk), draw.fill);
    for (int done = 0; done < count; done += kChunk)
        draw.put(row + done, pixels, std::min(kChunk, count - done), draw.paint);
}

// --- Texture positions in exact arithmetic -------------------------------------

// floor(n / den) for n = n0 + i * step, stepped one i at a time.
class ExactStepper {
public:
    ExactStepper(int64_t n0, int64_t step, int64_t den) : den_(den) {
        q_ = FloorDiv(n0, den);
        r_ = n0 - q_ * den;
        dq_ = FloorDiv(step, den);
        dr_ = step - dq_ * den;
    }
    int64_t Value() const { return q_; }
    void Step() {
        q_ += dq_;
        r_ += dr_;
        if (r_ >= den_) {
            r_ -= den_;
            ++q_;
        }
    }

private:
    int64_t den_, q_, r_, dq_, dr_;
};

inline int ClampTexel(int64_t t, int low, int count) {
    return static_cast<int>(std::clamp<int64_t>(t, low, low + count - 1));
}

// Whole numbers small enough that the exact sums below stay within 64 bits.
bool Whole(float v, float limit) { return v == std::floor(v) && std::fabs(v) <= limit; }

bool AllWhole(const Corner corners[4]) {
    constexpr float kPositionLimit = 1 << 20, kTexelLimit = 1 << 15;
    for (int i = 0; i < 4; ++i)
        if (!Whole(corners[i].x, kPositionLimit) || !Whole(corners[i].y, kPositionLimit) ||
            !Whole(corners[i].u, kTexelLimit) || !Whole(corners[i].v, kTexelLimit))
            return false;
    return true;
}

// --- Upright rectangles -----------------------------------------------------------

// Corners in rectangle order (possibly mirrored either way) with the
// picture's axes along the screen's: each column shows one texture column
// and each row one texture row.
bool IsUprightRectangle(const Corner c[4]) {
    return c[0].y == c[1].y && c[2].y == c[3].y && c[0].x == c[3].x && c[1].x == c[2].x &&
           c[0].v == c[1].v && c[2].v == c[3].v && c[0].u == c[3].u && c[1].u == c[2].u;
}

// The texel coordinate for pixel i of an upright side running from screen
// position p0 (texel t0) to p1 (texel t1): floor(t0 + (i + 1/2 - p0) (t1 - t0) / (p1 - p0)).
int64_t SideTexel(int64_t i, int64_t p0, int64_t p1, int64_t t0, int64_t t1) {
    int64_t num = (2 * i + 1 - 2 * p0) * (t1 - t0), den = 2 * (p1 - p0);
    if (den < 0) {
        num = -num;
        den = -den;
    }
    return t0 + FloorDiv(num, den);
}

// Upright rectangles up to this wide take the column table.
constexpr int kMaxUprightWidth = 4096;

// Both triangles of an upright rectangle map the texture the same way and
// together cover each of its pixels once: it is drawn row by row.
bool DrawUpright(const Draw& draw, const Corner c[4]) {
    const SDL_Rect& clip = draw.clip;
    const int x0 = std::max(clip.x, static_cast<int>(std::min(c[0].x, c[1].x)));
    const int x1 = std::min(clip.x + clip.w, static_cast<int>(std::max(c[0].x, c[1].x)));
    const int y0 = std::max(clip.y, static_cast<int>(std::min(c[0].y, c[3].y)));
    const int y1 = std::min(clip.y + clip.h, static_cast<int>(std::max(c[0].y, c[3].y)));
    if (x0 >= x1 || y0 >= y1) return true;
    const int count = x1 - x0;
    if (count > kMaxUprightWidth) return false;
    const RasterSource& source = *draw.source;
    const int64_t px0 = static_cast<int64_t>(c[0].x), px1 = static_cast<int64_t>(c[1].x);
    const int64_t py0 = static_cast<int64_t>(c[0].y), py1 = static_cast<int64_t>(c[3].y);
    const int64_t u0 = static_cast<int64_t>(c[0].u), u1 = static_cast<int64_t>(c[1].u);
    const int64_t v0 = static_cast<int64_t>(c[0].v), v1 = static_cast<int64_t>(c[3].v);
    int columns[kMaxUprightWidth];
    bool contiguous = true;   // texel columns one after another: no gathering
    for (int x = x0; x < x1; ++x) {
        columns[x - x0] = ClampTexel(SideTexel(x, px0, px1, u0, u1), source.area.x, source.area.w);
        if (x > x0 && columns[x - x0] != columns[x - x0 - 1] + 1) contiguous = false;
    }
    uint32_t gathered[kChunk];
    for (int y = y0; y < y1; ++y) {
        const int ty = ClampTexel(SideTexel(y, py0, py1, v0, v1), source.area.y, source.area.h);
        const uint32_t* texels = source.pixels + static_cast<size_t>(ty) * source.stride;
        uint32_t* row = draw.target->pixels + static_cast<size_t>(y) * draw.target->stride + x0;
        if (contiguous) {
            draw.put(row, texels + columns[0], count, draw.paint);
            continue;
        }
        for (int done = 0; done < count; done += kChunk) {
            const int n = std::min(kChunk, count - done);
            for (int i = 0; i < n; ++i) gathered[i] = texels[columns[done + i]];
            draw.put(row + done, gathered, n, draw.paint);
        }
    }
    return true;
}

// --- Triangles -----------------------------------------------------------------

// An edge in doubled whole-number coordinates: at the pixel centre (x, y)
// its value is c - dy (2x + 1), with c depending on the row only. Positive
// on the inner side.
struct WholeEdge {
    int64_t dx, dy, ax2, ay2;
    bool topLeft;

    WholeEdge(const Corner& a, const Corner& b)
        : dx(static_cast<int64_t>(b.x) - static_cast<int64_t>(a.x)),
          dy(static_cast<int64_t>(b.y) - static_cast<int64_t>(a.y)),
          ax2(2 * static_cast<int64_t>(a.x)),
          ay2(2 * static_cast<int64_t>(a.y)),
          topLeft((dy == 0 && dx > 0) || dy < 0) {}

    int64_t RowConstant(int y) const { return dx * (2 * static_cast<int64_t>(y) + 1 - ay2) + dy * ax2; }
    int64_t At(int64_t c, int x) const { return c - dy * (2 * static_cast<int64_t>(x) + 1); }

    // Narrows [x0, x1) to the row's pixels inside the edge: c - dy s > 0
    // (>= 0 on a top or left edge) for s = 2x + 1.
    void Clip(int64_t c, int64_t& x0, int64_t& x1) const {
        if (dy == 0) {
            if (!(c > 0 || (c == 0 && topLeft))) x1 = x0;
        } else if (dy < 0) {
            const int64_t m = -dy;
            const int64_t sMin = topLeft ? -FloorDiv(c, m) : FloorDiv(-c, m) + 1;   // s >= sMin
            x0 = std::max(x0, -FloorDiv(1 - sMin, 2));                              // ceil((sMin - 1) / 2)
        } else {
            const int64_t sMax = topLeft ? FloorDiv(c, dy) : -FloorDiv(-c, dy) - 1;  // s <= sMax
            x1 = std::min(x1, FloorDiv(sMax - 1, 2) + 1);
        }
    }
};

void DrawWholeTriangle(const Draw& draw, Corner a, Corner b, Corner c) {
    int64_t area = (static_cast<int64_t>(b.x) - static_cast<int64_t>(a.x)) *
                       (static_cast<int64_t>(c.y) - static_cast<int64_t>(a.y)) -
                   (static_cast<int64_t>(b.y) - static_cast<int64_t>(a.y)) *
                       (static_cast<int64_t>(c.x) - static_cast<int64_t>(a.x));
    if (area == 0) return;
    if (area < 0) {
        std::swap(b, c);
        area = -area;
    }
    // A corner's weight is the edge opposite it.
    const WholeEdge bc(b, c), ca(c, a), ab(a, b);
    const SDL_Rect& clip = draw.clip;
    const int y0 = std::max<int>(clip.y, static_cast<int>(std::min({a.y, b.y, c.y})));
    const int y1 = std::min<int>(clip.y + clip.h, static_cast<int>(std::max({a.y, b.y, c.y})));
    const int64_t au = static_cast<int64_t>(a.u), bu = static_cast<int64_t>(b.u), cu = static_cast<int64_t>(c.u);
    const int64_t av = static_cast<int64_t>(a.v), bv = static_cast<int64_t>(b.v), cv = static_cast<int64_t>(c.v);
    // Texture position = (doubled weights times the corners' texels) / (2 area).
    const int64_t den = 2 * area;
    const int64_t stepU = -2 * (bc.dy * au + ca.dy * bu + ab.dy * cu);
    const int64_t stepV = -2 * (bc.dy * av + ca.dy * bv + ab.dy * cv);
    uint32_t gathered[kChunk];
    for (int y = y0; y < y1; ++y) {
        const int64_t kA = bc.RowConstant(y), kB = ca.RowConstant(y), kC = ab.RowConstant(y);
        int64_t x0 = clip.x, x1 = clip.x + clip.w;
        bc.Clip(kA, x0, x1);
        ca.Clip(kB, x0, x1);
        ab.Clip(kC, x0, x1);
        if (x0 >= x1) continue;
        const int first = static_cast<int>(x0), count = static_cast<int>(x1 - x0);
        uint32_t* row = draw.target->pixels + static_cast<size_t>(y) * draw.target->stride + first;
        if (!draw.source) {
            PutFillRow(draw, row, count);
            continue;
        }
        const RasterSource& source = *draw.source;
        const int64_t wa = bc.At(kA, first), wb = ca.At(kB, first), wc = ab.At(kC, first);
        ExactStepper u(wa * au + wb * bu + wc * cu, stepU, den);
        ExactStepper v(wa * av + wb * bv + wc * cv, stepV, den);
        for (int done = 0; done < count; done += kChunk) {
            const int n = std::min(kChunk, count - done);
            for (int i = 0; i < n; ++i) {
                const int tx = ClampTexel(u.Value(), source.area.x, source.area.w);
                const int ty = ClampTexel(v.Value(), source.area.y, source.area.h);
                gathered[i] = source.pixels[static_cast<size_t>(ty) * source.stride + tx];
                u.Step();
                v.Step();
            }
            draw.put(row + done, gathered, n, draw.paint);
        }
    }
}

// The plain formula in floating point, for corners off the whole-number grid.
struct Edge {
    double dx, dy, ax, ay;
    bool topLeft;

    Edge(const Corner& a, const Corner& b)
        : dx(b.x - a.x), dy(b.y - a.y), ax(a.x), ay(a.y), topLeft((dy == 0 && dx > 0) || dy < 0) {}
    double At(double px, double py) const { return dx * (py - ay) - dy * (px - ax); }
    bool Inside(double w) const { return w > 0 || (w == 0 && topLeft); }
};

void DrawAnyTriangle(const Draw& draw, Corner a, Corner b, Corner c) {
    double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (area == 0) return;
    if (area < 0) {
        std::swap(b, c);
        area = -area;
    }
    const Edge ab(a, b), bc(b, c), ca(c, a);
    const SDL_Rect& clip = draw.clip;
    const int x0 = std::max(clip.x, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
    const int y0 = std::max(clip.y, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
    const int x1 = std::min(clip.x + clip.w, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
    const int y1 = std::min(clip.y + clip.h, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
    for (int y = y0; y < y1; ++y) {
        const double py = y + 0.5;
        uint32_t* row = draw.target->pixels + static_cast<size_t>(y) * draw.target->stride;
        for (int x = x0; x < x1; ++x) {
            const double px = x + 0.5;
            const double wa = bc.At(px, py), wb = ca.At(px, py), wc = ab.At(px, py);
            if (!bc.Inside(wa) || !ca.Inside(wb) || !ab.Inside(wc)) continue;
            uint32_t texel = draw.fill;
            if (const RasterSource* source = draw.source) {
                const double u = (wa * a.u + wb * b.u + wc * c.u) / area;
                const double v = (wa * a.v + wb * b.v + wc * c.v) / area;
                const int tx = std::clamp(static_cast<int>(std::floor(u)), source->area.x,
                                          source->area.x + source->area.w - 1);
                const int ty = std::clamp(static_cast<int>(std::floor(v)), source->area.y,
                                          source->area.y + source->area.h - 1);
                texel = source->pixels[static_cast<size_t>(ty) * source->stride + tx];
            }
            draw.put(row + x, &texel, 1, draw.paint);
        }
    }
}

}  // namespace

void RasteriseQuad(const RasterTarget& target, const SDL_Rect& clip, const RasterSource* source,
                   bool honourAlpha, int blendMode, SDL_Color colour, const Corner corners[4]) {
    SDL_Rect bounds{0, 0, target.width, target.height};
    Draw draw{&target, {}, source, {}, nullptr, 0};
    if (!SDL_IntersectRect(&clip, &bounds, &draw.clip)) return;
    if (colour.a == 0) return;   // every source alpha is scaled to 0
    const bool add = blendMode == 2;
    if (source) {
        draw.paint = {colour.r, colour.g, colour.b, colour.a,
                      colour.r == 255 && colour.g == 255 && colour.b == 255 && colour.a == 255};
        draw.put = PickSpan(add, draw.paint.plain, honourAlpha);
    } else {
        // A fill is a source pixel of the colour with the colour's alpha.
        draw.fill = (uint32_t{colour.a} << 24) | (uint32_t{colour.r} << 16) | (uint32_t{colour.g} << 8) | colour.b;
        draw.paint = {255, 255, 255, 255, true};
        draw.put = PickSpan(add, true, true);
    }
    if (!AllWhole(corners)) {
        DrawAnyTriangle(draw, corners[0], corners[1], corners[3]);
        DrawAnyTriangle(draw, corners[1], corners[2], corners[3]);
        return;
    }
    if (source && IsUprightRectangle(corners) && DrawUpright(draw, corners)) return;
    DrawWholeTriangle(draw, corners[0], corners[1], corners[3]);
    DrawWholeTriangle(draw, corners[1], corners[2], corners[3]);
}

}  // namespace media::images
