#include "tools/artgen/canvas.h"

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

// Rounds half up (away from zero for the values that matter) and clamps.
int clampByte(double v) { return v <= 0 ? 0 : v >= 254.5 ? 255 : int(v + 0.5); }

constexpr double kPi = 3.14159265358979323846;

}  // namespace

Rgba mix(Rgba a, Rgba b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return Rgba(clampByte(a.r + (b.r - a.r) * t), clampByte(a.g + (b.g - a.g) * t),
                clampByte(a.b + (b.b - a.b) * t), clampByte(a.a + (b.a - a.a) * t));
}

Rgba withAlpha(Rgba c, int alpha) {
    c.a = uint8_t(std::clamp(alpha, 0, 255));
    return c;
}

Rgba shade(Rgba c, double factor) {
    if (factor <= 1.0)
        return Rgba(clampByte(c.r * factor), clampByte(c.g * factor), clampByte(c.b * factor), c.a);
    const double t = std::min(1.0, factor - 1.0);
    return Rgba(clampByte(c.r + (255 - c.r) * t), clampByte(c.g + (255 - c.g) * t),
                clampByte(c.b + (255 - c.b) * t), c.a);
}

Canvas::Canvas(int width, int height, Rgba fill)
    : w_(std::max(0, width)), h_(std::max(0, height)), px_(size_t(w_) * size_t(h_), fill) {}

Rgba Canvas::get(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return {};
    return px_[size_t(y) * w_ + x];
}

void Canvas::set(int x, int y, Rgba c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    px_[size_t(y) * w_ + x] = c;
}

void Canvas::blend(int x, int y, Rgba c) {
    if (c.a == 0 || x < 0 || y < 0 || x >= w_ || y >= h_) return;
    Rgba& d = px_[size_t(y) * w_ + x];
    if (c.a == 255 || d.a == 0) {
        d = c;
        return;
    }
    const double sa = c.a / 255.0, da = d.a / 255.0;
    const double oa = sa + da * (1 - sa);
    auto ch = [&](int s, int dd) { return clampByte((s * sa + dd * da * (1 - sa)) / oa); };
    d = Rgba(ch(c.r, d.r), ch(c.g, d.g), ch(c.b, d.b), clampByte(oa * 255));
}

void Canvas::blendCoverage(int x, int y, Rgba c, double coverage) {
    if (coverage <= 0) return;
    blend(x, y, withAlpha(c, clampByte(c.a * std::min(1.0, coverage))));
}

void Canvas::add(int x, int y, Rgba c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    Rgba& d = px_[size_t(y) * w_ + x];
    const double k = c.a / 255.0;
    d = Rgba(std::min(255, d.r + clampByte(c.r * k)), std::min(255, d.g + clampByte(c.g * k)),
             std::min(255, d.b + clampByte(c.b * k)), std::max<int>(d.a, c.a));
}

void Canvas::fill(Rgba c) { std::fill(px_.begin(), px_.end(), c); }

void Canvas::fillRect(int x, int y, int w, int h, Rgba c) {
    for (int j = std::max(0, y); j < std::min(h_, y + h); ++j)
        for (int i = std::max(0, x); i < std::min(w_, x + w); ++i) blend(i, j, c);
}

void Canvas::frameRect(int x, int y, int w, int h, Rgba c, int t) {
    fillRect(x, y, w, t, c);
    fillRect(x, y + h - t, w, t, c);
    fillRect(x, y + t, t, h - 2 * t, c);
    fillRect(x + w - t, y + t, t, h - 2 * t, c);
}

void Canvas::verticalGradient(int x, int y, int w, int h, Rgba top, Rgba bottom) {
    for (int j = 0; j < h; ++j) {
        const Rgba c = mix(top, bottom, h > 1 ? double(j) / (h - 1) : 0.0);
        for (int i = 0; i < w; ++i) blend(x + i, y + j, c);
    }
}

namespace {

// Runs `inside(px, py)` on a 4x4 grid in every pixel of the box and blends by coverage.
template <typename Inside>
void coverageFill(Canvas& c, double x0, double y0, double x1, double y1, Rgba colour, Inside inside) {
    const int ix0 = std::max(0, int(std::floor(x0))), iy0 = std::max(0, int(std::floor(y0)));
    const int ix1 = std::min(c.width() - 1, int(std::ceil(x1))), iy1 = std::min(c.height() - 1, int(std::ceil(y1)));
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    if (inside(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0)) ++hits;
            if (hits) c.blendCoverage(x, y, colour, hits / 16.0);
        }
}

bool pointInPolygon(const std::vector<Point>& p, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        if ((p[i].y > y) != (p[j].y > y) &&
            x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x)
            in = !in;
    }
    return in;
}

}  // namespace

void Canvas::fillEllipse(double cx, double cy, double rx, double ry, Rgba c) {
    if (rx <= 0 || ry <= 0) return;
    coverageFill(*this, cx - rx, cy - ry, cx + rx, cy + ry, c, [&](double x, double y) {
        const double dx = (x - cx) / rx, dy = (y - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    });
}

void Canvas::ring(double cx, double cy, double r, double t, Rgba c) {
    const double ro = r + t / 2, ri = std::max(0.0, r - t / 2);
    coverageFill(*this, cx - ro, cy - ro, cx + ro, cy + ro, c, [&](double x, double y) {
        const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d2 <= ro * ro && d2 >= ri * ri;
    });
}

void Canvas::fillPolygon(const std::vector<Point>& pts, Rgba c) {
    if (pts.size() < 3) return;
    double x0 = pts[0].x, x1 = x0, y0 = pts[0].y, y1 = y0;
    for (const Point& p : pts) {
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    }
    coverageFill(*this, x0, y0, x1, y1, c, [&](double x, double y) { return pointInPolygon(pts, x, y); });
}

void Canvas::line(double x0, double y0, double x1, double y1, double t, Rgba c) {
    const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    const double r = t / 2;
    coverageFill(*this, std::min(x0, x1) - r, std::min(y0, y1) - r, std::max(x0, x1) + r, std::max(y0, y1) + r, c,
                 [&](double x, double y) {
                     double u = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0;
                     u = std::clamp(u, 0.0, 1.0);
                     const double px = x0 + u * dx - x, py = y0 + u * dy - y;
                     return px * px + py * py <= r * r;
                 });
}

void Canvas::fillRoundRect(double x, double y, double w, double h, double rad, Rgba c) {
    rad = std::min({rad, w / 2, h / 2});
    coverageFill(*this, x, y, x + w, y + h, c, [&](double px, double py) {
        if (px < x || py < y || px > x + w || py > y + h) return false;
        const double cx = std::clamp(px, x + rad, x + w - rad), cy = std::clamp(py, y + rad, y + h - rad);
        return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= rad * rad;
    });
}

void Canvas::star(double cx, double cy, double outer, double inner, int points, double angleDeg, Rgba c) {
    std::vector<Point> p;
    for (int i = 0; i < points * 2; ++i) {
        const double r = (i % 2) ? inner : outer;
        const double a = (angleDeg - 90) * kPi / 180 + i * kPi / points;
        p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    fillPolygon(p, c);
}

void Canvas::pixelLine(int x0, int y0, int x1, int y1, Rgba c) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        blend(x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

void Canvas::pixelDisc(int cx, int cy, int r, Rgba c) {
    for (int y = -r; y <= r; ++y)
        for (int x = -r; x <= r; ++x)
            if (x * x + y * y <= r * r + r) blend(cx + x, cy + y, c);
}

void Canvas::glow(double cx, double cy, double radius, Rgba c, double falloff) {
    const int x0 = std::max(0, int(cx - radius)), x1 = std::min(w_ - 1, int(cx + radius) + 1);
    const int y0 = std::max(0, int(cy - radius)), y1 = std::min(h_ - 1, int(cy + radius) + 1);
    const double r2 = radius * radius;
    for (int y = y0; y <= y1; ++y) {
        const double dy = y + 0.5 - cy;
        for (int x = x0; x <= x1; ++x) {
            const double dx = x + 0.5 - cx, d2 = dx * dx + dy * dy;
            if (d2 >= r2) continue;
            const double d = std::sqrt(d2) / radius;
            const double k = falloff == 1.0 ? 1 - d : std::pow(1 - d, falloff);
            add(x, y, withAlpha(c, clampByte(c.a * k)));
        }
    }
}

void Canvas::draw(const Canvas& src, int x, int y, bool mirror, int opacity) {
    for (int j = 0; j < src.h_; ++j)
        for (int i = 0; i < src.w_; ++i) {
            Rgba c = src.px_[size_t(j) * src.w_ + (mirror ? src.w_ - 1 - i : i)];
            if (opacity < 255) c.a = uint8_t(c.a * opacity / 255);
            blend(x + i, y + j, c);
        }
}

void Canvas::drawAdd(const Canvas& src, int x, int y) {
    for (int j = 0; j < src.h_; ++j)
        for (int i = 0; i < src.w_; ++i) add(x + i, y + j, src.px_[size_t(j) * src.w_ + i]);
}

void Canvas::drawScaled(const Canvas& src, int x, int y, int scale, bool mirror) {
    draw(scaled(mirror ? mirrored(src) : src, scale), x, y);
}

void Canvas::maskWith(const Canvas& paint) {
    for (int j = 0; j < h_; ++j)
        for (int i = 0; i < w_; ++i) {
            Rgba& d = px_[size_t(j) * w_ + i];
            const Rgba p = paint.get(i, j);
            d = Rgba(p.r, p.g, p.b, d.a * p.a / 255);
        }
}

void Canvas::fade(double factor) {
    for (Rgba& p : px_) p.a = uint8_t(clampByte(p.a * factor));
}

Canvas mirrored(const Canvas& c) {
    Canvas out(c.width(), c.height());
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) out.set(c.width() - 1 - x, y, c.get(x, y));
    return out;
}

Canvas scaled(const Canvas& c, int f) {
    Canvas out(c.width() * f, c.height() * f);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) out.set(x, y, c.get(x / f, y / f));
    return out;
}

Canvas resized(const Canvas& c, int w, int h) {
    Canvas out(w, h);
    const double sx = double(c.width()) / w, sy = double(c.height()) / h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int x0 = int(x * sx), x1 = std::max(x0 + 1, int((x + 1) * sx));
            const int y0 = int(y * sy), y1 = std::max(y0 + 1, int((y + 1) * sy));
            double r = 0, g = 0, b = 0, a = 0;
            int n = 0;
            for (int j = y0; j < y1; ++j)
                for (int i = x0; i < x1; ++i) {
                    const Rgba p = c.get(i, j);
                    r += p.r * p.a, g += p.g * p.a, b += p.b * p.a, a += p.a, ++n;
                }
            if (a > 0) out.set(x, y, Rgba(clampByte(r / a), clampByte(g / a), clampByte(b / a), clampByte(a / n)));
        }
    return out;
}

Canvas rotated(const Canvas& c, double angleDeg, int outW, int outH) {
    Canvas out(outW, outH);
    const double a = angleDeg * kPi / 180, ca = std::cos(a), sa = std::sin(a);
    const double icx = c.width() / 2.0, icy = c.height() / 2.0, ocx = outW / 2.0, ocy = outH / 2.0;
    for (int y = 0; y < outH; ++y)
        for (int x = 0; x < outW; ++x) {
            const double dx = x + 0.5 - ocx, dy = y + 0.5 - ocy;
            const double sx = dx * ca + dy * sa + icx, sy = -dx * sa + dy * ca + icy;
            out.set(x, y, c.get(int(std::floor(sx)), int(std::floor(sy))));
        }
    return out;
}

Canvas rotatedQuarter(const Canvas& c, int q) {
    q = ((q % 4) + 4) % 4;
    if (q == 0) return c;
    const bool swap = q % 2 == 1;
    Canvas out(swap ? c.height() : c.width(), swap ? c.width() : c.height());
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const Rgba p = c.get(x, y);
            if (q == 1) out.set(c.height() - 1 - y, x, p);        // clockwise
            else if (q == 2) out.set(c.width() - 1 - x, c.height() - 1 - y, p);
            else out.set(y, c.width() - 1 - x, p);
        }
    return out;
}

Canvas cropped(const Canvas& c, int x, int y, int w, int h) {
    Canvas out(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) out.set(i, j, c.get(x + i, y + j));
    return out;
}

Canvas outlined(const Canvas& c, Rgba colour, int t, bool diagonal) {
    Canvas out(c.width(), c.height());
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            if (c.get(x, y).a >= 128) continue;
            bool near = false;
            for (int dy = -t; dy <= t && !near; ++dy)
                for (int dx = -t; dx <= t && !near; ++dx) {
                    if (!diagonal && std::abs(dx) + std::abs(dy) > t) continue;
                    if (c.get(x + dx, y + dy).a >= 128) near = true;
                }
            if (near) out.set(x, y, colour);
        }
    out.draw(c, 0, 0);
    return out;
}

Canvas blurred(const Canvas& c, int radius) {
    if (radius <= 0) return c;
    const int w = c.width(), h = c.height();
    // Premultiplied box blur, three passes each way.
    std::vector<double> buf(size_t(w) * h * 4);
    for (int i = 0; i < w * h; ++i) {
        const Rgba p = c.pixels()[i];
        const double a = p.a / 255.0;
        buf[i * 4 + 0] = p.r * a, buf[i * 4 + 1] = p.g * a, buf[i * 4 + 2] = p.b * a, buf[i * 4 + 3] = p.a;
    }
    std::vector<double> tmp(buf.size());
    auto pass = [&](bool horizontal) {
        const int n = horizontal ? w : h, lines = horizontal ? h : w;
        for (int l = 0; l < lines; ++l)
            for (int ch = 0; ch < 4; ++ch) {
                auto at = [&](int k) -> double& {
                    k = std::clamp(k, 0, n - 1);
                    const int idx = horizontal ? l * w + k : k * w + l;
                    return buf[size_t(idx) * 4 + ch];
                };
                double sum = 0;
                for (int k = -radius; k <= radius; ++k) sum += (k < 0 || k >= n) ? 0 : at(k);
                for (int k = 0; k < n; ++k) {
                    const int idx = horizontal ? l * w + k : k * w + l;
                    tmp[size_t(idx) * 4 + ch] = sum / (2 * radius + 1);
                    const int out = k - radius, in = k + radius + 1;
                    if (out >= 0) sum -= at(out);
                    if (in < n) sum += at(in);
                }
            }
        buf.swap(tmp);
    };
    for (int i = 0; i < 3; ++i) pass(true), pass(false);
    Canvas out(w, h);
    for (int i = 0; i < w * h; ++i) {
        const double a = buf[i * 4 + 3];
        if (a <= 0.5) continue;
        const double k = 255.0 / a;
        out.set(i % w, i / w,
                Rgba(clampByte(buf[i * 4] * k), clampByte(buf[i * 4 + 1] * k), clampByte(buf[i * 4 + 2] * k), clampByte(a)));
    }
    return out;
}

Canvas recoloured(const Canvas& c, const std::vector<std::pair<Rgba, Rgba>>& swaps) {
    Canvas out = c;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const Rgba p = c.get(x, y);
            for (const auto& [from, to] : swaps)
                if (p.r == from.r && p.g == from.g && p.b == from.b && p.a > 0) {
                    out.set(x, y, withAlpha(to, p.a));
                    break;
                }
        }
    return out;
}

Canvas withShadow(const Canvas& c, int dx, int dy, int blur, int alpha) {
    Canvas shadow(c.width(), c.height());
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const Rgba p = c.get(x - dx, y - dy);
            if (p.a) shadow.set(x, y, Rgba(0, 0, 0, p.a * alpha / 255));
        }
    Canvas out = blurred(shadow, blur);
    out.draw(c, 0, 0);
    return out;
}

uint64_t Random::next() {
    // splitmix64
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Random::uniform() { return double(next() >> 11) / double(1ull << 53); }
double Random::range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
int Random::below(int n) { return n <= 0 ? 0 : int(next() % uint64_t(n)); }

namespace {

double lattice(int x, int y, uint32_t seed, int period) {
    if (period > 0) x = ((x % period) + period) % period, y = ((y % period) + period) % period;
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}

}  // namespace

double valueNoise(double x, double y, uint32_t seed, int period) {
    const int xi = int(std::floor(x)), yi = int(std::floor(y));
    const double fx = x - xi, fy = y - yi;
    const double u = fx * fx * (3 - 2 * fx), v = fy * fy * (3 - 2 * fy);
    const double a = lattice(xi, yi, seed, period), b = lattice(xi + 1, yi, seed, period);
    const double c = lattice(xi, yi + 1, seed, period), d = lattice(xi + 1, yi + 1, seed, period);
    return (a + (b - a) * u) * (1 - v) + (c + (d - c) * u) * v;
}

double fractalNoise(double x, double y, uint32_t seed, int octaves, int period) {
    double sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += valueNoise(x, y, seed + o * 101, period) * amp;
        norm += amp;
        x *= 2, y *= 2, amp *= 0.5;
        if (period > 0) period *= 2;
    }
    return sum / norm;
}

}  // namespace artgen
