#include "tools/moviegen/frame.h"

#include <algorithm>
#include <cmath>

namespace moviegen {
namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

uint32_t Byte(float v) { return static_cast<uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); }
uint32_t Pack(Rgb c) { return kOpaque | Byte(c.r) << 16 | Byte(c.g) << 8 | Byte(c.b); }

// a and b mixed, b weighing w / 256.
uint32_t Lerp(uint32_t a, uint32_t b, uint32_t w) {
    const uint32_t rb = (((a & 0xFF00FFu) * (256 - w) + (b & 0xFF00FFu) * w) >> 8) & 0xFF00FFu;
    const uint32_t g = (((a & 0x00FF00u) * (256 - w) + (b & 0x00FF00u) * w) >> 8) & 0x00FF00u;
    return kOpaque | rb | g;
}

// Premultiplied source over an opaque destination, the source's weight
// scaled by k / 256.
uint32_t OverPixel(uint32_t dst, uint32_t src, uint32_t k) {
    if (k == 256 && src >= kOpaque) return src;
    const uint32_t alpha = ((src >> 24) * k) >> 8;
    if (alpha == 0) return dst;
    const uint32_t keep = 255 - alpha;
    const auto channel = [&](int shift) {
        const uint32_t v = (((src >> shift) & 0xFF) * k >> 8) + ((((dst >> shift) & 0xFF) * keep + 127) / 255);
        return std::min<uint32_t>(v, 255) << shift;
    };
    return kOpaque | channel(16) | channel(8) | channel(0);
}

uint32_t AddPixel(uint32_t dst, int r, int g, int b) {
    const int dr = std::min(255, static_cast<int>(dst >> 16 & 0xFF) + r);
    const int dg = std::min(255, static_cast<int>(dst >> 8 & 0xFF) + g);
    const int db = std::min(255, static_cast<int>(dst & 0xFF) + b);
    return kOpaque | static_cast<uint32_t>(dr) << 16 | static_cast<uint32_t>(dg) << 8 | static_cast<uint32_t>(db);
}

}  // namespace

Picture ToPicture(const artgen::Canvas& canvas) {
    Picture p;
    p.width = canvas.width();
    p.height = canvas.height();
    p.pixels.resize(canvas.pixels().size());
    for (size_t i = 0; i < p.pixels.size(); ++i) {
        const artgen::Rgba c = canvas.pixels()[i];
        const auto pre = [&](uint8_t v) { return static_cast<uint32_t>((v * c.a + 127) / 255); };
        p.pixels[i] = static_cast<uint32_t>(c.a) << 24 | pre(c.r) << 16 | pre(c.g) << 8 | pre(c.b);
    }
    return p;
}

Picture Graded(Picture picture, Rgb multiply, Rgb add) {
    const auto channel = [](uint32_t v, float m, float a, uint32_t alpha) {
        return static_cast<uint32_t>(std::clamp(v * m + a * alpha, 0.0f, static_cast<float>(alpha)) + 0.5f);
    };
    for (uint32_t& p : picture.pixels) {
        const uint32_t alpha = p >> 24;
        p = alpha << 24 | channel(p >> 16 & 0xFF, multiply.r, add.r, alpha) << 16 |
            channel(p >> 8 & 0xFF, multiply.g, add.g, alpha) << 8 | channel(p & 0xFF, multiply.b, add.b, alpha);
    }
    return picture;
}

Frame::Frame() : pixels_(size_t{kFrameWidth} * kFrameHeight, kOpaque) {}

void Frame::Fill(Rgb colour) { std::fill(pixels_.begin(), pixels_.end(), Pack(colour)); }

void Frame::Backdrop(const Picture& picture, double scrollX, int scrollY) {
    if (picture.width < 2 || picture.height < 1) return;
    const double whole = std::floor(scrollX);
    const uint32_t w = static_cast<uint32_t>((scrollX - whole) * 256);
    const int from = static_cast<int>(whole);
    for (int y = 0; y < kFrameHeight; ++y) {
        const int sy = std::clamp(y + scrollY, 0, picture.height - 1);
        const uint32_t* row = picture.pixels.data() + static_cast<size_t>(sy) * picture.width;
        uint32_t* out = pixels_.data() + static_cast<size_t>(y) * kFrameWidth;
        // Inside the picture (nearly always) without the edge test.
        const int inside0 = std::clamp(-from, 0, kFrameWidth), inside1 = std::clamp(picture.width - 1 - from, inside0, kFrameWidth);
        for (int x = 0; x < inside0; ++x) out[x] = row[0];
        for (int x = inside0; x < inside1; ++x) out[x] = Lerp(row[from + x], row[from + x + 1], w);
        for (int x = inside1; x < kFrameWidth; ++x) out[x] = row[picture.width - 1];
    }
}

void Frame::Band(const Picture& tile, double scrollX, int y) {
    if (tile.width < 1) return;
    const double shift = scrollX - std::floor(scrollX / tile.width) * tile.width;
    const double whole = std::floor(shift);
    const uint32_t w = static_cast<uint32_t>((shift - whole) * 256);
    const int from = static_cast<int>(whole);
    for (int j = 0; j < tile.height; ++j) {
        if (y + j < 0 || y + j >= kFrameHeight) continue;
        const uint32_t* row = tile.pixels.data() + static_cast<size_t>(j) * tile.width;
        uint32_t* out = pixels_.data() + static_cast<size_t>(y + j) * kFrameWidth;
        for (int x = 0; x < kFrameWidth; ++x) {
            const int a = (from + x) % tile.width, b = (a + 1) % tile.width;
            // Premultiplied, the two neighbours mix like plain colours.
            const uint32_t s0 = row[a], s1 = row[b];
            const uint32_t alpha = ((s0 >> 24) * (256 - w) + (s1 >> 24) * w) >> 8;
            const uint32_t rb = (((s0 & 0xFF00FFu) * (256 - w) + (s1 & 0xFF00FFu) * w) >> 8) & 0xFF00FFu;
            const uint32_t g = (((s0 & 0x00FF00u) * (256 - w) + (s1 & 0x00FF00u) * w) >> 8) & 0x00FF00u;
            out[x] = OverPixel(out[x], alpha << 24 | rb | g, 256);
        }
    }
}

namespace {

// Runs `put(destination, source)` for every pixel of the picture that lands
// on the frame, its top left at (x, y) rounded.
template <typename Put>
void Place(std::vector<uint32_t>& frame, const Picture& picture, double x, double y, Put put) {
    const int left = static_cast<int>(std::lround(x)), top = static_cast<int>(std::lround(y));
    const int x0 = std::max(0, -left), x1 = std::min(picture.width, kFrameWidth - left);
    for (int j = std::max(0, -top); j < picture.height && top + j < kFrameHeight; ++j) {
        const uint32_t* row = picture.pixels.data() + static_cast<size_t>(j) * picture.width;
        uint32_t* out = frame.data() + static_cast<size_t>(top + j) * kFrameWidth + left;
        for (int i = x0; i < x1; ++i) put(out[i], row[i]);
    }
}

}  // namespace

void Frame::Over(const Picture& picture, double x, double y, double opacity) {
    const uint32_t k = static_cast<uint32_t>(std::clamp(opacity, 0.0, 1.0) * 256);
    if (k == 0) return;
    Place(pixels_, picture, x, y, [k](uint32_t& out, uint32_t s) { out = OverPixel(out, s, k); });
}

void Frame::Add(const Picture& picture, double x, double y, double strength) {
    const int k = static_cast<int>(std::clamp(strength, 0.0, 4.0) * 256);
    if (k == 0) return;
    Place(pixels_, picture, x, y, [k](uint32_t& out, uint32_t s) {
        if ((s & 0xFFFFFFu) == 0) return;
        out = AddPixel(out, static_cast<int>(s >> 16 & 0xFF) * k >> 8, static_cast<int>(s >> 8 & 0xFF) * k >> 8,
                       static_cast<int>(s & 0xFF) * k >> 8);
    });
}

void Frame::Glow(double cx, double cy, double radius, Rgb colour, double strength) {
    if (radius <= 0 || strength <= 0) return;
    const int y0 = std::max(0, static_cast<int>(cy - radius)), y1 = std::min(kFrameHeight - 1, static_cast<int>(cy + radius));
    const int x0 = std::max(0, static_cast<int>(cx - radius)), x1 = std::min(kFrameWidth - 1, static_cast<int>(cx + radius));
    const float scale = static_cast<float>(strength) * 255.0f;
    const float r2 = static_cast<float>(radius * radius);
    for (int y = y0; y <= y1; ++y) {
        const float dy = static_cast<float>(y + 0.5 - cy);
        uint32_t* out = pixels_.data() + static_cast<size_t>(y) * kFrameWidth;
        for (int x = x0; x <= x1; ++x) {
            const float dx = static_cast<float>(x + 0.5 - cx);
            const float d2 = dx * dx + dy * dy;
            if (d2 >= r2) continue;
            const float t = 1.0f - std::sqrt(d2 / r2);
            const float k = t * t * scale;
            out[x] = AddPixel(out[x], static_cast<int>(colour.r * k), static_cast<int>(colour.g * k),
                              static_cast<int>(colour.b * k));
        }
    }
}

namespace {

uint32_t Scale(uint32_t p, uint32_t keep) {
    return kOpaque | ((((p & 0xFF00FFu) * keep) >> 8) & 0xFF00FFu) | ((((p & 0x00FF00u) * keep) >> 8) & 0x00FF00u);
}

}  // namespace

void Frame::Darken(const Shade& shade) {
    for (size_t i = 0; i < pixels_.size() && i < shade.keep.size(); ++i)
        if (shade.keep[i] != 255) pixels_[i] = Scale(pixels_[i], shade.keep[i] + 1u);
}

void Frame::Dim(double keep) {
    const uint32_t k = static_cast<uint32_t>(std::clamp(keep, 0.0, 1.0) * 256);
    if (k >= 256) return;
    for (uint32_t& p : pixels_) p = Scale(p, k);
}

void Frame::Veil(Rgb colour, double amount) {
    const uint32_t w = static_cast<uint32_t>(std::clamp(amount, 0.0, 1.0) * 256);
    if (w == 0) return;
    const uint32_t c = Pack(colour);
    for (uint32_t& p : pixels_) p = Lerp(p, c, w);
}

void Frame::Mix(const Frame& other, double amount) {
    const uint32_t w = static_cast<uint32_t>(std::clamp(amount, 0.0, 1.0) * 256);
    if (w == 0) return;
    for (size_t i = 0; i < pixels_.size(); ++i) pixels_[i] = Lerp(pixels_[i], other.pixels_[i], w);
}

}  // namespace moviegen
