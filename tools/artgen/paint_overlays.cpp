// The four full-screen overlays the play scene loads frame by frame:
// 16 the spell backdrop (6 frames), 17 the key spark's arrival at the exit
// (24), 18 the flash of taking the key (20) and 19 the stage intro, light
// converging on the witch (68). All but 16 are drawn additively: light on
// black.
#include "tools/artgen/light.h"
#include "tools/artgen/painters.h"
#include "tools/artgen/sprite_kit.h"

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

Canvas dark(int w, int h) { return Canvas(w, h, Rgba(0, 0, 0, 255)); }

double ease(double t) { return t * t * (3 - 2 * t); }

// Stage intro, frame n of 68: motes spiral in from a wide ring, meet at the
// centre around frame 34 (the witch appears at 36) and leave a fading halo.
Canvas introFrame(int n) {
    Canvas c = dark(640, 640);
    const double cx = 320, cy = 320;
    const double t = (n - 1) / 67.0;
    if (n <= 34) {
        const double k = ease((n - 1) / 33.0);
        const double r = 300 * (1 - k) + 6;
        const int alpha = int(std::min(1.0, n / 8.0) * 200);
        lightRing(c, cx, cy, r, 10 + 14 * (1 - k), Rgba(140, 120, 255, alpha));
        for (int i = 0; i < 16; ++i) {
            const double a = i * 2 * kPi / 16 + k * 2.4;
            const double rr = r * (1 + 0.08 * std::sin(i * 1.3));
            c.glow(cx + std::cos(a) * rr, cy + std::sin(a) * rr, 10, Rgba(255, 230, 160, 255), 1.4);
            for (int tail = 1; tail < 5; ++tail) {
                const double ta = a - tail * 0.06, tr = rr * (1 + tail * 0.03);
                c.glow(cx + std::cos(ta) * tr, cy + std::sin(ta) * tr, 7 - tail, Rgba(200, 170, 255, 200 - tail * 40), 1.4);
            }
        }
        c.glow(cx, cy, 40 + 60 * k, Rgba(200, 180, 255, int(120 * k)), 2.0);
    } else {
        const double k = (n - 35) / 33.0;  // 0..1 after the meeting
        const double flash = std::max(0.0, 1 - k * 3);
        c.glow(cx, cy, 120 + 80 * k, Rgba(255, 250, 230, int(255 * flash)), 1.6);
        rays(c, cx, cy, 12, 10, 140 + 200 * k, 8, k * 0.6, Rgba(255, 230, 170, int(220 * (1 - k))));
        lightRing(c, cx, cy, 30 + 260 * ease(k), 8, Rgba(170, 140, 255, int(200 * (1 - k))));
        for (int i = 0; i < 10; ++i) {
            const double a = i * 2 * kPi / 10 + k;
            const double r = 24 + 100 * k;
            sparkle(c, cx + std::cos(a) * r, cy + std::sin(a) * r - 30 * k, 10 * (1 - k) + 2, Rgba(255, 255, 220, int(255 * (1 - k))));
        }
    }
    (void)t;
    return c;
}

// Taking the key, frame n of 20: a golden burst with turning rays.
Canvas keyFlashFrame(int n) {
    Canvas c = dark(368, 368);
    const double k = (n - 1) / 19.0;
    const double cx = 184, cy = 184;
    const double strength = n < 5 ? n / 5.0 : 1 - (k - 0.2) / 0.8 * 0.85;
    rays(c, cx, cy, 16, 8, 60 + 120 * ease(std::min(1.0, k * 1.6)), 10, k * 0.8, Rgba(255, 220, 120, int(255 * strength)));
    lightRing(c, cx, cy, 20 + 150 * ease(k), 10, Rgba(255, 240, 180, int(220 * (1 - k))));
    c.glow(cx, cy, 70 * (1 - k * 0.5), Rgba(255, 250, 220, int(255 * strength)), 1.8);
    for (int i = 0; i < 8; ++i) {
        const double a = i * kPi / 4 + k * 1.5;
        sparkle(c, cx + std::cos(a) * (40 + 110 * k), cy + std::sin(a) * (40 + 110 * k), 12 * (1 - k) + 3,
                Rgba(255, 255, 255, int(255 * (1 - k))));
    }
    return c;
}

// The key spark arriving at the exit, frame n of 24: impact, shock ring, glitter rain.
Canvas arrivalFrame(int n) {
    Canvas c = dark(368, 368);
    const double k = (n - 1) / 23.0;
    const double cx = 184, cy = 184;
    const double flash = std::max(0.0, 1 - k * 2.2);
    c.glow(cx, cy, 150 * (0.4 + k), Rgba(255, 240, 190, int(255 * flash)), 1.5);
    lightRing(c, cx, cy, 10 + 170 * ease(k), 14 * (1 - k) + 3, Rgba(255, 210, 120, int(240 * (1 - k))));
    lightRing(c, cx, cy, 6 + 120 * ease(k), 6, Rgba(200, 160, 255, int(200 * (1 - k))));
    rays(c, cx, cy, 8, 4, 80 + 100 * k, 12, 0.4, Rgba(255, 255, 220, int(255 * (1 - k))));
    Random r(170);
    for (int i = 0; i < 24; ++i) {
        const double a = r.range(0, 2 * kPi), sp = r.range(60, 170);
        const double x = cx + std::cos(a) * sp * k, y = cy + std::sin(a) * sp * k + 60 * k * k;
        c.glow(x, y, 5, Rgba(255, 230, 150, int(255 * (1 - k))), 1.2);
    }
    return c;
}

// The spell backdrop, frame n of 6: the field darkens under a violet veil
// while a great circle of runes is drawn in.
Canvas backdropFrame(int n) {
    Canvas c(640, 480);
    const double k = n / 6.0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const double d = std::hypot(x - 320.0, y - 240.0) / 400.0;
            c.set(x, y, Rgba(30, 10, 60, int((90 + 80 * d) * k)));
        }
    const double sweep = 2 * kPi * k;
    for (int ring = 0; ring < 2; ++ring) {
        const double r = ring ? 200 : 160;
        for (double a = 0; a < sweep; a += 0.004) {
            const double x = 320 + std::cos(a - kPi / 2) * r, y = 240 + std::sin(a - kPi / 2) * r;
            c.fillCircle(x, y, ring ? 2.0 : 1.4, Rgba(220, 180, 255, 220));
        }
    }
    for (int i = 0; i < 12; ++i) {
        const double a = i * kPi / 6 - kPi / 2;
        if (a + kPi / 2 > sweep) break;
        const double x = 320 + std::cos(a) * 180, y = 240 + std::sin(a) * 180;
        c.star(x, y, 9, 3.5, 4 + i % 3, i * 20, Rgba(255, 230, 160, 230));
    }
    if (n >= 4) {
        const double s = (n - 3) / 3.0;
        for (int k2 = 0; k2 < 5; ++k2) {
            const double a1 = -kPi / 2 + k2 * 4 * kPi / 5, a2 = -kPi / 2 + (k2 + 1) * 4 * kPi / 5;
            c.line(320 + std::cos(a1) * 155, 240 + std::sin(a1) * 155, 320 + std::cos(a1) * 155 + (std::cos(a2) - std::cos(a1)) * 155 * s,
                   240 + std::sin(a1) * 155 + (std::sin(a2) - std::sin(a1)) * 155 * s, 2.5, Rgba(240, 200, 255, 200));
        }
    }
    return c;
}

}  // namespace

void paintOverlays(PictureSet& set, const PixelMaps&) {
    for (int n = 1; n <= 6; ++n) set.put(fileName("16", n, ".png"), backdropFrame(n));
    for (int n = 1; n <= 24; ++n) set.put(fileName("17", n, ".png"), arrivalFrame(n));
    for (int n = 1; n <= 20; ++n) set.put(fileName("18", n, ".png"), keyFlashFrame(n));
    for (int n = 1; n <= 68; ++n) set.put(fileName("19", n, ".png"), introFrame(n));
}

}  // namespace artgen
