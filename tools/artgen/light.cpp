#include "tools/artgen/light.h"

#include <algorithm>
#include <cmath>

namespace artgen {

void lightRing(Canvas& c, double cx, double cy, double r, double width, Rgba col) {
    const double outer = r + width;
    const int x0 = std::max(0, int(cx - outer)), x1 = std::min(c.width() - 1, int(cx + outer) + 1);
    const int y0 = std::max(0, int(cy - outer)), y1 = std::min(c.height() - 1, int(cy + outer) + 1);
    const double inner = std::max(0.0, r - width);
    for (int y = y0; y <= y1; ++y) {
        const double dy = y + 0.5 - cy;
        for (int x = x0; x <= x1; ++x) {
            const double dx = x + 0.5 - cx;
            const double d2 = dx * dx + dy * dy;
            if (d2 > outer * outer || d2 < inner * inner) continue;
            const double d = std::fabs(std::sqrt(d2) - r) / width;
            if (d < 1) c.add(x, y, withAlpha(col, int(col.a * (1 - d) * (1 - d))));
        }
    }
}

void rays(Canvas& c, double cx, double cy, int count, double inner, double outer, double width, double turn, Rgba col) {
    // Each ray is a thin wedge: brightness falls off across it and along it.
    const int x0 = std::max(0, int(cx - outer)), x1 = std::min(c.width() - 1, int(cx + outer) + 1);
    const int y0 = std::max(0, int(cy - outer)), y1 = std::min(c.height() - 1, int(cy + outer) + 1);
    constexpr double kPi = 3.14159265358979323846;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double r2 = dx * dx + dy * dy;
            if (r2 < inner * inner || r2 > outer * outer) continue;
            const double r = std::sqrt(r2);
            const double t = (r - inner) / std::max(1e-6, outer - inner);
            const double half = width * (1 - t) + 0.5;
            double a = std::atan2(dy, dx) - turn;
            const double sector = 2 * kPi / count;
            a = std::fmod(a, sector);
            if (a < 0) a += sector;
            const double off = std::min(a, sector - a) * r;  // distance from the nearest ray's axis
            if (off > half) continue;
            c.add(x, y, withAlpha(col, int(col.a * (1 - t) * (1 - off / half))));
        }
}

void sparkle(Canvas& c, double cx, double cy, double r, Rgba col) {
    rays(c, cx, cy, 4, 0, r, std::max(1.0, r / 6), 0, col);
    c.glow(cx, cy, r * 0.5, col, 1.5);
}

}  // namespace artgen
