#include "tools/artgen/scenery.h"

#include "tools/artgen/sprite_kit.h"

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

void skyGradient(Canvas& c, std::initializer_list<Rgba> stops) {
    const std::vector<Rgba> s(stops);
    for (int y = 0; y < c.height(); ++y) {
        const double t = double(y) / std::max(1, c.height() - 1) * (s.size() - 1);
        const int i = std::min(int(t), int(s.size()) - 2);
        const Rgba col = mix(s[i], s[i + 1], t - i);
        for (int x = 0; x < c.width(); ++x) c.set(x, y, col);
    }
}

// A ridge line: everything below height(x) gets `col`, with a lighter rim.
void ridge(Canvas& c, double base, double amp, double scale, uint32_t seed, Rgba col, Rgba rim, int octaves = 4) {
    for (int x = 0; x < c.width(); ++x) {
        const double h = base - amp * fractalNoise(x / scale, 0.5, seed, octaves);
        const int top = int(h);
        for (int y = std::max(0, top); y < c.height(); ++y) c.set(x, y, y < top + 2 ? rim : col);
    }
}

void stars(Canvas& c, int count, uint64_t seed, double maxY, int brightness) {
    Random r(seed);
    for (int i = 0; i < count; ++i) {
        const int x = r.below(c.width()), y = int(r.uniform() * maxY);
        const int b = brightness - r.below(brightness / 2);
        c.add(x, y, Rgba(b, b, std::min(255, b + 20)));
        if (r.below(8) == 0) {
            c.add(x - 1, y, Rgba(b / 2, b / 2, b / 2)), c.add(x + 1, y, Rgba(b / 2, b / 2, b / 2));
            c.add(x, y - 1, Rgba(b / 2, b / 2, b / 2)), c.add(x, y + 1, Rgba(b / 2, b / 2, b / 2));
        }
    }
}

void cloud(Canvas& c, double x, double y, double s, Rgba col) {
    c.fillEllipse(x, y, 30 * s, 12 * s, col);
    c.fillEllipse(x - 22 * s, y + 4 * s, 20 * s, 9 * s, col);
    c.fillEllipse(x + 24 * s, y + 3 * s, 22 * s, 10 * s, col);
    c.fillEllipse(x + 4 * s, y - 8 * s, 18 * s, 11 * s, col);
}

void pineTree(Canvas& c, double x, double ground, double h, Rgba col) {
    c.fillRect(int(x - h * 0.04), int(ground - h * 0.25), std::max(2, int(h * 0.08)), int(h * 0.25), shade(col, 0.7));
    for (int k = 0; k < 3; ++k) {
        const double top = ground - h + k * h * 0.22, bottom = ground - h * 0.18 - (2 - k) * h * 0.14;
        const double half = h * (0.18 + k * 0.08);
        c.fillPolygon({{x, top}, {x + half, bottom}, {x - half, bottom}}, col);
    }
}

void roundTree(Canvas& c, double x, double ground, double h, Rgba trunk, Rgba leaves) {
    c.fillRect(int(x - h * 0.06), int(ground - h * 0.5), int(h * 0.12), int(h * 0.5), trunk);
    c.fillCircle(x, ground - h * 0.7, h * 0.32, leaves);
    c.fillCircle(x - h * 0.2, ground - h * 0.55, h * 0.22, leaves);
    c.fillCircle(x + h * 0.2, ground - h * 0.58, h * 0.24, leaves);
}

void meadow(Canvas& c, bool calm) {
    const double H = c.height(), W = c.width();
    skyGradient(c, {Rgba(120, 180, 236), Rgba(170, 214, 246), Rgba(214, 236, 250)});
    c.fillCircle(W * 0.82, H * 0.2, H * 0.07, Rgba(255, 250, 220, 230));
    c.glow(W * 0.82, H * 0.2, H * 0.2, Rgba(255, 240, 200, 90));
    Random r(11);
    for (int i = 0; i < 6; ++i)
        cloud(c, r.range(0, W), r.range(H * 0.12, H * 0.45), r.range(0.6, 1.3) * H / 480, Rgba(255, 255, 255, calm ? 150 : 200));
    ridge(c, H * 0.62, H * 0.12, W * 0.25, 3, Rgba(150, 196, 170), Rgba(170, 212, 186));
    // a windmill on the far hill
    const double mx = W * 0.3, my = H * 0.55;
    c.fillPolygon({{mx - 8 * H / 480, my + 30 * H / 480}, {mx + 8 * H / 480, my + 30 * H / 480}, {mx + 4 * H / 480, my - 10 * H / 480}, {mx - 4 * H / 480, my - 10 * H / 480}}, Rgba(170, 160, 170));
    for (int k = 0; k < 4; ++k) {
        const double a = k * kPi / 2 + 0.4;
        c.line(mx, my - 8 * H / 480, mx + std::cos(a) * 26 * H / 480, my - 8 * H / 480 + std::sin(a) * 26 * H / 480, 3 * H / 480, Rgba(200, 190, 200));
    }
    ridge(c, H * 0.74, H * 0.1, W * 0.35, 7, Rgba(110, 178, 104), Rgba(140, 200, 120));
    for (int i = 0; i < 9; ++i) roundTree(c, r.range(0, W), H * r.range(0.72, 0.8), H * r.range(0.08, 0.13), Rgba(110, 80, 60), Rgba(80, 150, 90));
    ridge(c, H * 0.88, H * 0.06, W * 0.2, 9, Rgba(88, 156, 84), Rgba(120, 184, 100));
    for (int i = 0; i < 60; ++i) {
        const double x = r.range(0, W), y = r.range(H * 0.86, H);
        const Rgba f = (i % 3 == 0) ? Rgba(255, 240, 120) : (i % 3 == 1 ? Rgba(255, 170, 200) : Rgba(250, 250, 255));
        c.fillCircle(x, y, 1.6 * H / 480, f);
    }
}

void forest(Canvas& c, bool) {
    const double H = c.height(), W = c.width();
    skyGradient(c, {Rgba(40, 84, 70), Rgba(70, 120, 90), Rgba(40, 80, 60)});
    Random r(21);
    // light shafts
    for (int i = 0; i < 5; ++i) {
        const double x = r.range(0, W);
        c.fillPolygon({{x, 0}, {x + 40 * H / 480, 0}, {x + 160 * H / 480, H}, {x + 90 * H / 480, H}}, Rgba(220, 255, 200, 22));
    }
    for (int layer = 0; layer < 3; ++layer) {
        const Rgba trunk = mix(Rgba(60, 90, 70), Rgba(50, 36, 30), layer / 2.0);
        const Rgba leaves = mix(Rgba(70, 120, 90), Rgba(34, 80, 46), layer / 2.0);
        for (int i = 0; i < 7 - layer; ++i) {
            const double x = r.range(0, W), w = (10 + layer * 8) * H / 480;
            c.fillRect(int(x - w / 2), 0, int(w), int(H), trunk);
            c.fillRect(int(x - w / 2), 0, std::max(1, int(w / 4)), int(H), shade(trunk, 1.15));
        }
        for (int i = 0; i < 8; ++i)
            c.fillCircle(r.range(0, W), r.range(-H * 0.05, H * 0.12), r.range(50, 90) * H / 480, leaves);
    }
    ridge(c, H * 0.86, H * 0.05, W * 0.2, 23, Rgba(40, 70, 40), Rgba(70, 110, 60));
    for (int i = 0; i < 10; ++i) {
        const double x = r.range(0, W), y = H * r.range(0.86, 0.95), s = r.range(5, 10) * H / 480;
        c.fillRect(int(x - s * 0.3), int(y - s), int(s * 0.6) + 1, int(s), Rgba(230, 220, 200));
        c.fillEllipse(x, y - s, s, s * 0.6, Rgba(210, 70, 70));
        c.fillCircle(x - s * 0.3, y - s * 1.2, s * 0.18, Rgba(255, 240, 240));
    }
    // fireflies
    for (int i = 0; i < 40; ++i) c.glow(r.range(0, W), r.range(H * 0.2, H * 0.9), 5 * H / 480, Rgba(220, 255, 120, 200));
}

void cave(Canvas& c, bool) {
    const double H = c.height(), W = c.width();
    skyGradient(c, {Rgba(30, 24, 56), Rgba(46, 40, 86), Rgba(26, 22, 48)});
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const double n = fractalNoise(x / (60.0 * H / 480), y / (60.0 * H / 480), 31, 4);
            if (n > 0.55) c.blend(x, y, Rgba(70, 60, 120, int((n - 0.55) * 300)));
        }
    Random r(33);
    // stalactites and stalagmites
    for (int i = 0; i < 16; ++i) {
        const double x = r.range(0, W), h = r.range(30, 90) * H / 480, w = r.range(10, 22) * H / 480;
        c.fillPolygon({{x - w, 0}, {x + w, 0}, {x, h}}, Rgba(40, 34, 72));
        const double x2 = r.range(0, W), h2 = r.range(20, 70) * H / 480;
        c.fillPolygon({{x2 - w, H}, {x2 + w, H}, {x2, H - h2}}, Rgba(36, 30, 64));
    }
    // glowing crystals
    for (int i = 0; i < 14; ++i) {
        const double x = r.range(0, W), y = r.range(H * 0.3, H * 0.95), s = r.range(8, 20) * H / 480;
        const Rgba col = (i % 3 == 0) ? Rgba(120, 230, 255) : (i % 3 == 1 ? Rgba(200, 130, 255) : Rgba(120, 255, 200));
        c.glow(x, y - s, s * 3, withAlpha(col, 70));
        c.fillPolygon({{x - s * 0.4, y}, {x - s * 0.1, y - s * 1.6}, {x + s * 0.35, y}}, withAlpha(col, 200));
        c.fillPolygon({{x, y}, {x + s * 0.4, y - s}, {x + s * 0.7, y}}, withAlpha(shade(col, 0.8), 200));
    }
    stars(c, 80, 35, H, 120);
}

void desert(Canvas& c, bool) {
    const double H = c.height(), W = c.width();
    skyGradient(c, {Rgba(90, 70, 150), Rgba(240, 130, 110), Rgba(255, 200, 130)});
    c.fillCircle(W * 0.5, H * 0.62, H * 0.13, Rgba(255, 236, 170, 230));
    c.glow(W * 0.5, H * 0.62, H * 0.35, Rgba(255, 200, 120, 70));
    // pyramids and ruined columns in silhouette
    c.fillPolygon({{W * 0.1, H * 0.7}, {W * 0.22, H * 0.48}, {W * 0.34, H * 0.7}}, Rgba(170, 100, 110));
    c.fillPolygon({{W * 0.22, H * 0.48}, {W * 0.34, H * 0.7}, {W * 0.27, H * 0.7}}, Rgba(140, 80, 100));
    c.fillPolygon({{W * 0.62, H * 0.72}, {W * 0.76, H * 0.44}, {W * 0.9, H * 0.72}}, Rgba(180, 106, 110));
    c.fillPolygon({{W * 0.76, H * 0.44}, {W * 0.9, H * 0.72}, {W * 0.82, H * 0.72}}, Rgba(146, 84, 100));
    ridge(c, H * 0.76, H * 0.06, W * 0.3, 41, Rgba(220, 150, 100), Rgba(240, 180, 120));
    Random r(43);
    for (int i = 0; i < 5; ++i) {
        const double x = r.range(W * 0.05, W * 0.95), h = r.range(50, 110) * H / 480, w = 12 * H / 480;
        const double g = H * r.range(0.8, 0.86);
        c.fillRect(int(x - w / 2), int(g - h), int(w), int(h), Rgba(200, 130, 100));
        c.fillRect(int(x - w / 2), int(g - h), int(w / 3), int(h), Rgba(220, 160, 120));
        c.fillRect(int(x - w * 0.8), int(g - h - 6 * H / 480), int(w * 1.6), int(6 * H / 480), Rgba(190, 120, 96));
    }
    ridge(c, H * 0.88, H * 0.05, W * 0.25, 47, Rgba(236, 176, 110), Rgba(250, 206, 140));
    stars(c, 40, 44, H * 0.3, 140);
}

void snow(Canvas& c, bool) {
    const double H = c.height(), W = c.width();
    skyGradient(c, {Rgba(14, 20, 50), Rgba(30, 44, 96), Rgba(70, 90, 150)});
    stars(c, 260, 51, H * 0.7, 230);
    // aurora ribbons
    for (int band = 0; band < 2; ++band)
        for (int x = 0; x < c.width(); ++x) {
            const double y0 = H * (0.18 + band * 0.1) + H * 0.08 * std::sin(x / W * 2 * kPi * (1.2 + band * 0.5) + band);
            for (int k = 0; k < int(H * 0.14); ++k) {
                const double t = double(k) / (H * 0.14);
                c.add(x, int(y0 + k), Rgba(80, 255, 170, int(60 * std::sin(t * kPi) * (band ? 0.6 : 1.0))));
            }
        }
    ridge(c, H * 0.55, H * 0.25, W * 0.3, 53, Rgba(90, 110, 170), Rgba(230, 240, 255), 5);
    // snow caps on the far range
    for (int x = 0; x < c.width(); ++x)
        for (int y = 0; y < c.height(); ++y) {
            const Rgba p = c.get(x, y);
            if (p == Rgba(90, 110, 170) && y < H * 0.48 + H * 0.06 * valueNoise(x / 20.0, 0, 54))
                c.set(x, y, Rgba(220, 230, 250));
        }
    ridge(c, H * 0.78, H * 0.12, W * 0.25, 57, Rgba(60, 80, 130), Rgba(200, 220, 250), 4);
    Random r(59);
    for (int i = 0; i < 12; ++i) pineTree(c, r.range(0, W), H * r.range(0.8, 0.9), H * r.range(0.1, 0.16), Rgba(40, 70, 90));
    ridge(c, H * 0.9, H * 0.04, W * 0.2, 61, Rgba(220, 232, 250), Rgba(250, 252, 255));
    for (int i = 0; i < 160; ++i) c.fillCircle(r.range(0, W), r.range(0, H), r.range(0.8, 2.2) * H / 480, Rgba(255, 255, 255, 200));
}

void tower(Canvas& c, bool) {
    const double H = c.height(), W = c.width();
    skyGradient(c, {Rgba(20, 8, 40), Rgba(60, 20, 90), Rgba(30, 10, 50)});
    stars(c, 300, 61, H, 255);
    c.glow(W * 0.5, H * 0.32, H * 0.5, Rgba(180, 140, 255, 80));
    c.fillCircle(W * 0.5, H * 0.32, H * 0.2, Rgba(250, 244, 220));
    for (int i = 0; i < 7; ++i) {
        Random r(70 + i);
        c.fillCircle(W * 0.5 + r.range(-0.14, 0.14) * H, H * 0.32 + r.range(-0.14, 0.14) * H, r.range(0.012, 0.035) * H, Rgba(226, 218, 196));
    }
    // magic circles
    c.ring(W * 0.5, H * 0.32, H * 0.28, 2 * H / 480, Rgba(200, 160, 255, 90));
    c.ring(W * 0.5, H * 0.32, H * 0.33, 1.2 * H / 480, Rgba(200, 160, 255, 70));
    for (int k = 0; k < 12; ++k) {
        const double a = k * kPi / 6;
        c.star(W * 0.5 + std::cos(a) * H * 0.305, H * 0.32 + std::sin(a) * H * 0.305, 5 * H / 480, 2 * H / 480, 4, k * 15, Rgba(220, 190, 255, 150));
    }
    // tower spires at the sides
    for (int side = 0; side < 2; ++side) {
        const double x = side ? W * 0.88 : W * 0.12, w = W * 0.08;
        c.fillRect(int(x - w / 2), int(H * 0.35), int(w), int(H), Rgba(40, 24, 60));
        c.fillPolygon({{x - w * 0.7, H * 0.36}, {x + w * 0.7, H * 0.36}, {x, H * 0.12}}, Rgba(70, 30, 100));
        for (int k = 0; k < 4; ++k) c.fillRect(int(x - w * 0.12), int(H * (0.45 + k * 0.12)), int(w * 0.24), int(H * 0.05), Rgba(255, 210, 120, 200));
    }
    ridge(c, H * 0.9, H * 0.03, W * 0.2, 67, Rgba(46, 26, 70), Rgba(110, 70, 150));
}

}  // namespace

void paintLandscape(Canvas& c, Theme theme, bool calm) {
    switch (theme) {
    case Theme::Meadow: meadow(c, calm); break;
    case Theme::Forest: forest(c, calm); break;
    case Theme::Cave: cave(c, calm); break;
    case Theme::Desert: desert(c, calm); break;
    case Theme::Snow: snow(c, calm); break;
    case Theme::Tower: tower(c, calm); break;
    }
}

Canvas wallBlock(const PixelMaps& maps, Theme theme) {
    struct Tone {
        Rgba face, light, dark;
    };
    const Tone tones[6] = {{Rgba(146, 104, 70), Rgba(190, 150, 104), Rgba(96, 64, 44)},
                           {Rgba(92, 70, 52), Rgba(130, 104, 76), Rgba(58, 42, 32)},
                           {Rgba(84, 76, 120), Rgba(120, 112, 160), Rgba(52, 46, 80)},
                           {Rgba(210, 160, 100), Rgba(240, 200, 140), Rgba(160, 110, 70)},
                           {Rgba(150, 190, 230), Rgba(220, 240, 255), Rgba(90, 120, 170)},
                           {Rgba(80, 46, 110), Rgba(130, 90, 170), Rgba(48, 24, 70)}};
    const Tone& t = tones[int(theme)];
    Canvas c(32, 32, t.face);
    Random r(100 + int(theme));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) c.set(x, y, shade(t.face, 0.92 + 0.16 * valueNoise(x / 5.0, y / 5.0, 80 + int(theme))));
    c.fillRect(0, 0, 32, 2, t.light);
    c.fillRect(0, 0, 2, 32, t.light);
    c.fillRect(0, 30, 32, 2, t.dark);
    c.fillRect(30, 0, 2, 32, t.dark);
    c.fillRect(2, 15, 28, 1, t.dark);
    c.fillRect(15, 2, 1, 13, t.dark);
    c.fillRect(8, 16, 1, 14, t.dark);
    c.fillRect(2, 16, 28, 1, t.light);
    c.frameRect(0, 0, 32, 32, pal(maps, 'K'));
    if (theme == Theme::Meadow || theme == Theme::Forest) {
        // moss on the top edge
        for (int x = 1; x < 31; ++x)
            if (r.below(3)) c.set(x, 1 + r.below(2), Rgba(96, 170, 80));
    }
    if (theme == Theme::Snow)
        for (int x = 1; x < 31; ++x) c.set(x, 1, Rgba(250, 252, 255)), c.set(x, 2, r.below(2) ? Rgba(250, 252, 255) : t.light);
    return c;
}

}  // namespace artgen
