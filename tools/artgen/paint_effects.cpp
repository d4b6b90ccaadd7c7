// Effects: the pictures 02/200..321 and the effect frames of folder 04.
// Pictures the game draws additively are light on black (black adds
// nothing); the few drawn plainly use transparency instead.
#include "tools/artgen/block_art.h"
#include "tools/artgen/light.h"
#include "tools/artgen/painters.h"
#include "tools/artgen/sprite_kit.h"

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

Canvas dark(int w, int h) { return Canvas(w, h, Rgba(0, 0, 0, 255)); }

Canvas glowBall(int size, Rgba col, double core = 0.35) {
    Canvas c = dark(size, size);
    c.glow(size / 2.0, size / 2.0, size / 2.0, withAlpha(col, 200), 2.0);
    c.glow(size / 2.0, size / 2.0, size * core, Rgba(255, 255, 255, 230), 1.5);
    return c;
}

// Picture number -> canvas, for the 02 effect numbers.
void put02(PictureSet& set, int n, const Canvas& c) { set.put(fileName("02", n, ".bmp"), c); }
void put04(PictureSet& set, int n, const Canvas& c) { set.put(fileName("04", n, ".png"), c); }

// Bright pieces of a block flying apart, with dust (kind 30: 20 frames).
Canvas shatterFrame(const PixelMaps& maps, int t) {
    Canvas c = dark(48, 48);
    Random r(300);
    const double k = t / 19.0;
    c.glow(24, 24, 22 * (1 - k) + 4, Rgba(255, 180, 90, int(220 * (1 - k))), 1.6);
    for (int i = 0; i < 10; ++i) {
        const double a = r.range(0, 2 * kPi), sp = r.range(8, 20);
        const double x = 24 + std::cos(a) * sp * k, y = 24 + std::sin(a) * sp * k + 14 * k * k;
        const Rgba col = i % 2 ? pal(maps, 'J') : pal(maps, 'F');
        const int s = 3 - int(k * 2);
        c.fillRect(int(x), int(y), s + 1, s + 1, withAlpha(col, int(255 * (1 - k * 0.8))));
    }
    return c;
}

// Magic striking a solid block: sparks bounce off (29 frames and spares).
Canvas clinkFrame(int t) {
    Canvas c = dark(48, 48);
    const double k = std::min(1.0, t / 28.0);
    c.glow(24, 24, 20 * (1 - k) + 3, Rgba(160, 200, 255, int(230 * (1 - k))), 2.0);
    if (t < 8) lightRing(c, 24, 24, 4 + t * 2.5, 3, Rgba(220, 240, 255, 220 - t * 25));
    Random r(400);
    for (int i = 0; i < 8; ++i) {
        const double a = r.range(0, 2 * kPi), sp = r.range(10, 22);
        const double x = 24 + std::cos(a) * sp * k, y = 24 + std::sin(a) * sp * k + 10 * k * k;
        c.glow(x, y, 3, Rgba(255, 255, 200, int(255 * (1 - k))), 1.0);
    }
    return c;
}

// The crash: a cloud of dust and stars bursting out (27 frames and a spare).
Canvas crashFrame(const PixelMaps& maps, int t) {
    Canvas c(48, 48);
    const double k = std::min(1.0, t / 26.0);
    Random r(500);
    for (int i = 0; i < 7; ++i) {
        const double a = i * 2 * kPi / 7 + 0.3, d = 6 + 12 * std::sqrt(k);
        const double x = 24 + std::cos(a) * d, y = 24 + std::sin(a) * d - 4 * k;
        const double rad = (4 + 5 * std::sin(std::min(1.0, k * 1.5) * kPi * 0.8)) * (1 - k * 0.5);
        const int alpha = int(255 * (1 - k * k));
        c.fillCircle(x, y, rad + 1, withAlpha(pal(maps, 'd'), alpha));
        c.fillCircle(x - 1, y - 1, rad, withAlpha(pal(maps, 'w'), alpha));
    }
    if (t < 10) {
        c.star(24, 24, 14 - t, 5 - t * 0.4, 8, t * 9, withAlpha(pal(maps, 'Y'), 255 - t * 20));
        c.fillCircle(24, 24, std::max(0.0, 5.0 - t * 0.5), Rgba(255, 255, 255, 230));
    }
    for (int i = 0; i < 3; ++i) {
        const double a = r.range(0, 2 * kPi);
        const double x = 24 + std::cos(a) * 20 * k, y = 24 + std::sin(a) * 20 * k;
        c.star(x, y, 3, 1.2, 5, t * 10, withAlpha(pal(maps, 'Y'), int(255 * (1 - k))));
    }
    return c;
}

// The spawn flash of a scripted spawner (40 frames): a swirl gathers, flashes, fades.
Canvas spawnFlashFrame(int t) {
    Canvas c = dark(64, 64);
    const double k = t / 39.0;
    const double gather = std::min(1.0, t / 20.0);
    for (int i = 0; i < 12; ++i) {
        const double a = i * 2 * kPi / 12 + t * 0.25;
        const double r = 28 * (1 - gather) + 4;
        c.glow(32 + std::cos(a) * r, 32 + std::sin(a) * r * 0.8, 4, Rgba(220, 140, 255, t < 24 ? 230 : int(230 * (1 - k))), 1.2);
    }
    if (t >= 16 && t < 30) {
        const double f = 1 - std::fabs(t - 21) / 9.0;
        c.glow(32, 32, 30 * f + 4, Rgba(255, 230, 255, int(255 * f)), 1.3);
        rays(c, 32, 32, 8, 2, 30 * f + 4, 3, t * 0.1, Rgba(255, 200, 255, int(255 * f)));
    }
    c.glow(32, 32, 8, Rgba(180, 90, 255, int(180 * (1 - k))), 1.5);
    return c;
}

// The expiry puff (18 frames): smoke rising from the spot with a glint.
Canvas puffFrame(int t) {
    Canvas c = dark(64, 100);
    const double k = t / 17.0;
    for (int i = 0; i < 6; ++i) {
        const double x = 32 + 10 * std::sin(i * 1.7 + k * 3), y = 88 - 60 * k * (0.6 + i * 0.1) - i * 4;
        const double r = 8 + 10 * k + i;
        c.glow(x, y, r, Rgba(200, 190, 230, int(160 * (1 - k))), 1.2);
    }
    if (t < 8) c.glow(32, 86, 16 - t, Rgba(255, 255, 255, 230 - t * 25), 1.2);
    if (t >= 3 && t < 12) sparkle(c, 32, 70 - t * 2, 12, Rgba(255, 240, 200, 255));
    return c;
}

Canvas flashFrames(int i, Rgba col) {
    // Four frames of a casting flash: a small magic circle opening.
    Canvas c = dark(40, 40);
    const double k = (i + 1) / 4.0;
    lightRing(c, 20, 20, 6 + 10 * k, 2.5, withAlpha(col, 240));
    for (int s = 0; s < 6; ++s) {
        const double a = s * kPi / 3 + k;
        c.glow(20 + std::cos(a) * (6 + 10 * k), 20 + std::sin(a) * (6 + 10 * k), 3, Rgba(255, 255, 255, 220), 1.0);
    }
    c.glow(20, 20, 10 * (1.2 - k) + 2, Rgba(255, 255, 255, 255), 1.4);
    return c;
}

Canvas beamSegment(int height, int frame) {
    Canvas c = dark(640, height);
    for (int y = 0; y < height; ++y) {
        const double v = std::fabs(y + 0.5 - height / 2.0) / (height / 2.0);
        for (int x = 0; x < 640; ++x) {
            const double wobble = 0.08 * std::sin(x * 0.05 + frame * 1.6) + 0.05 * std::sin(x * 0.13 - frame * 2.3);
            const double core = std::clamp(1 - (v + wobble) * 1.3, 0.0, 1.0);
            const double edge = std::clamp(1 - v, 0.0, 1.0);
            const int r = int(255 * std::min(1.0, core * 1.2 + edge * 0.3));
            const int g = int(255 * std::min(1.0, core * 1.1 + edge * 0.15));
            const int b = int(255 * std::min(1.0, core + edge * 0.6));
            c.set(x, y, Rgba(std::min(255, r * 9 / 10 + int(core * 25)), g, b));
        }
    }
    return c;
}

}  // namespace

void paintEffects(PictureSet& set, const PixelMaps& maps) {
    const Rgba gold(255, 220, 120), violet(210, 150, 255), cyan(140, 220, 255), white(255, 255, 255);

    // Block sparks (kinds 2..13).
    {
        Canvas ring = dark(64, 64);
        lightRing(ring, 32, 32, 26, 5, Rgba(220, 180, 255, 255));
        lightRing(ring, 32, 32, 26, 1.5, white);
        put02(set, 200, ring);
        Canvas starBurst = dark(64, 64);
        rays(starBurst, 32, 32, 8, 2, 31, 4, 0.2, Rgba(255, 230, 170, 255));
        starBurst.glow(32, 32, 10, white, 1.5);
        put02(set, 201, starBurst);
        Canvas spark = dark(48, 48);
        sparkle(spark, 24, 24, 23, Rgba(255, 240, 200, 255));
        put02(set, 202, spark);
        Canvas small = dark(16, 16);
        sparkle(small, 8, 8, 8, Rgba(255, 255, 220, 255));
        put02(set, 205, small);
        Canvas star8 = dark(32, 32);
        star8.star(16, 16, 15, 6, 5, 0, Rgba(255, 210, 120, 200));
        star8.star(16, 16, 8, 3, 5, 0, Rgba(255, 255, 240, 255));
        put02(set, 206, star8);
        put02(set, 212, glowBall(32, violet));
        Canvas cross = dark(32, 32);
        rays(cross, 16, 16, 2, 0, 16, 3, 0, Rgba(255, 255, 255, 255));
        put02(set, 213, cross);
        Canvas dots = dark(64, 64);
        for (int i = 0; i < 12; ++i) {
            const double a = i * kPi / 6;
            dots.glow(32 + std::cos(a) * 26, 32 + std::sin(a) * 26, 5, i % 2 ? violet : gold, 1.2);
        }
        put02(set, 214, dots);
        Canvas burst = dark(64, 64);
        rays(burst, 32, 32, 12, 4, 31, 3, 0, Rgba(200, 160, 255, 255));
        lightRing(burst, 32, 32, 14, 4, Rgba(255, 220, 255, 200));
        put02(set, 215, burst);
        // A bright outline of the block cell: the moment a block appears or breaks.
        Canvas frame = dark(40, 40);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const double d = std::min({std::fabs(x - 3.5), std::fabs(x - 35.5), std::fabs(y - 3.5), std::fabs(y - 35.5)});
                if (x >= 2 && x <= 37 && y >= 2 && y <= 37 && d < 3) frame.add(x, y, Rgba(230, 200, 255, int(255 * (1 - d / 3))));
            }
        put02(set, 216, frame);
    }
    // Shot flashes (kinds 16, 17, 18) and the muzzle ring (19).
    for (int i = 0; i < 4; ++i) {
        put02(set, 217 + i, flashFrames(i, gold));
        put02(set, 221 + i, flashFrames(i, cyan));
        put02(set, 225 + i, flashFrames(i, violet));
    }
    {
        Canvas ring = dark(64, 64);
        lightRing(ring, 32, 32, 24, 6, Rgba(255, 230, 150, 255));
        put02(set, 229, ring);
    }
    // The shot: a star inside a turning ring, and its trail.
    {
        Canvas inner = dark(24, 24);
        inner.glow(12, 12, 12, Rgba(255, 200, 90, 230), 1.5);
        inner.star(12, 12, 9, 4, 5, 0, Rgba(255, 250, 210, 255));
        put02(set, 230, inner);
        Canvas outer = dark(28, 28);
        for (int i = 0; i < 6; ++i) {
            const double a = i * kPi / 3;
            outer.glow(14 + std::cos(a) * 11, 14 + std::sin(a) * 11, 4, i % 2 ? Rgba(255, 160, 255, 255) : cyan, 1.2);
        }
        lightRing(outer, 14, 14, 11, 2, Rgba(255, 220, 255, 160));
        put02(set, 231, outer);
        Canvas trail = dark(12, 12);
        sparkle(trail, 6, 6, 6, Rgba(255, 220, 160, 255));
        put02(set, 232, trail);
    }
    // Shot impact pieces (kinds 22, 23, 24, 26).
    {
        Canvas ring = dark(64, 64);
        lightRing(ring, 32, 32, 28, 4, Rgba(255, 200, 120, 255));
        put02(set, 233, ring);
        Canvas starBurst = dark(64, 64);
        rays(starBurst, 32, 32, 6, 0, 31, 5, 0.5, Rgba(255, 255, 200, 255));
        put02(set, 234, starBurst);
        put02(set, 235, glowBall(64, Rgba(255, 170, 80)));
    }
    // The key spark: a golden comet, four flickers, pointing up.
    for (int i = 0; i < 4; ++i) {
        Canvas c = dark(32, 48);
        for (int k = 0; k < 8; ++k) c.glow(16 + ((k + i) % 2 ? 1 : -1) * 0.7, 14 + k * 4, 8 - k * 0.8, Rgba(255, 200, 80, 200 - k * 20), 1.4);
        c.glow(16, 14, 10, Rgba(255, 230, 140, 255), 1.4);
        sparkle(c, 16, 14, 11 + (i % 2) * 3, Rgba(255, 255, 230, 255));
        put02(set, 236 + i, c);
    }
    {
        Canvas ring = dark(64, 64);
        lightRing(ring, 32, 32, 26, 4, Rgba(255, 220, 120, 220));
        put02(set, 241, ring);
        Canvas streak = dark(24, 48);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 24; ++x) {
                const double v = 1 - std::fabs(x + 0.5 - 12) / 12.0, u = 1 - std::fabs(y + 0.5 - 24) / 24.0;
                streak.add(x, y, Rgba(255, 230, 150, int(255 * v * v * u)));
            }
        put02(set, 242, streak);
    }
    // A block broken by an actor (kind 30): 20 frames of flying pieces.
    for (int t = 0; t < 20; ++t) put02(set, 243 + t, shatterFrame(maps, t));
    // Flashes of the crouching shot and the shot under a block (34, 35).
    for (int i = 0; i < 4; ++i) {
        put02(set, 263 + i, flashFrames(i, Rgba(255, 170, 200)));
        put02(set, 271 + i, flashFrames(i, Rgba(170, 255, 200)));
    }
    // The big spell's pieces.
    for (int i = 0; i < 3; ++i) {
        Canvas core = dark(48, 48);
        for (int k = 0; k < 3; ++k) {
            const double a = k * 2 * kPi / 3 + i * 0.7;
            core.glow(24 + std::cos(a) * 10, 24 + std::sin(a) * 10, 12, Rgba(200, 120, 255, 220), 1.5);
        }
        core.glow(24, 24, 12, white, 1.6);
        put02(set, 280 + i, core);
    }
    const Rgba runeColours[3] = {Rgba(255, 200, 120), Rgba(140, 220, 255), Rgba(230, 160, 255)};
    for (int i = 0; i < 3; ++i) {
        Canvas rune = dark(32, 32);
        lightRing(rune, 16, 16, 12, 2.5, withAlpha(runeColours[i], 255));
        rune.star(16, 16, 9, 3.6, 5 + i, i * 10, withAlpha(runeColours[i], 200));
        put02(set, 283 + i, rune);
    }
    const Rgba sparkleColours[4] = {gold, cyan, Rgba(255, 150, 220), Rgba(170, 255, 170)};
    for (int i = 0; i < 4; ++i) {
        Canvas s = dark(20, 20);
        sparkle(s, 10, 10, 10, sparkleColours[i]);
        s.star(10, 10, 5, 2, 5, 0, withAlpha(sparkleColours[i], 255));
        put02(set, 286 + i, s);
    }
    {
        // The spell's opening: a great magic circle and a star inside it.
        Canvas circle = dark(400, 400);
        lightRing(circle, 200, 200, 190, 6, Rgba(200, 150, 255, 255));
        lightRing(circle, 200, 200, 172, 3, Rgba(255, 220, 255, 220));
        lightRing(circle, 200, 200, 120, 3, Rgba(200, 150, 255, 200));
        for (int k = 0; k < 24; ++k) {
            const double a = k * kPi / 12;
            circle.glow(200 + std::cos(a) * 181, 200 + std::sin(a) * 181, 6, Rgba(255, 230, 160, 230), 1.2);
        }
        put02(set, 292, circle);
        Canvas star = dark(300, 300);
        for (int k = 0; k < 5; ++k) {
            const double a1 = -kPi / 2 + k * 4 * kPi / 5, a2 = -kPi / 2 + (k + 1) * 4 * kPi / 5;
            const double x1 = 150 + std::cos(a1) * 140, y1 = 150 + std::sin(a1) * 140;
            const double x2 = 150 + std::cos(a2) * 140, y2 = 150 + std::sin(a2) * 140;
            for (double u = 0; u <= 1; u += 0.004) star.glow(x1 + (x2 - x1) * u, y1 + (y2 - y1) * u, 5, Rgba(255, 220, 150, 60), 1.0);
        }
        star.glow(150, 150, 40, Rgba(255, 240, 255, 200), 2.0);
        put02(set, 293, star);
    }
    // The beam: emitter flickers and four beam segments as high as the emitter.
    for (int i = 0; i < 4; ++i) {
        Canvas e = dark(64, 64);
        e.glow(32, 32, 30 + (i % 2) * 2, Rgba(150, 200, 255, 230), 1.4);
        rays(e, 32, 32, 8, 6, 31, 3, i * 0.2, Rgba(255, 255, 255, 220));
        e.glow(32, 32, 12, white, 1.2);
        put02(set, 295 + i, e);
        put02(set, 299 + i, beamSegment(64, i));
    }
    {
        Canvas pulse = dark(48, 24);
        pulse.glow(24, 12, 14, Rgba(255, 255, 255, 255), 1.2);
        for (int x = 0; x < 48; ++x) pulse.add(x, 12, Rgba(200, 230, 255, 180));
        put02(set, 303, pulse);
        Canvas charge = dark(64, 64);
        charge.glow(32, 32, 30, Rgba(255, 160, 255, 220), 1.6);
        rays(charge, 32, 32, 6, 4, 31, 4, 0.3, Rgba(255, 240, 255, 255));
        put02(set, 305, charge);
        // The trigger orb is drawn without blending: a keyed picture.
        Canvas orb(16, 16);
        orb.fillCircle(8, 8, 7.5, pal(maps, 'K'));
        orb.fillCircle(8, 8, 6.5, pal(maps, 'V'));
        orb.fillCircle(7, 7, 4, pal(maps, 'p'));
        orb.fillCircle(6, 6, 1.5, pal(maps, 'W'));
        put02(set, 306, orb);
        Canvas band = dark(64, 64);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const double v = std::sin((x + y * 0.5) * 0.35) * 0.5 + 0.5;
                const double edge = 1 - std::fabs(y - 31.5) / 32;
                band.set(x, y, Rgba(int(200 * v * edge + 55 * edge), int(150 * v * edge + 50 * edge), int(255 * edge)));
            }
        put02(set, 307, band);
        Canvas circle = dark(64, 64);
        lightRing(circle, 32, 32, 28, 2.5, Rgba(230, 200, 255, 255));
        circle.star(32, 32, 26, 10, 6, 0, Rgba(150, 100, 255, 120));
        put02(set, 308, circle);
        put02(set, 309, glowBall(64, Rgba(170, 120, 255), 0.25));
        put02(set, 310, glowBall(64, Rgba(120, 170, 255), 0.3));
    }
    for (int i = 0; i < 8; ++i) {
        Canvas pillar = dark(20, 40);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 20; ++x) {
                const double wob = 2.5 * std::sin(y * 0.4 + i * kPi / 4);
                const double v = std::clamp(1 - std::fabs(x + 0.5 - 10 - wob) / 9, 0.0, 1.0);
                const double u = std::clamp(1 - std::fabs(y + 0.5 - 20) / 20, 0.0, 1.0);
                pillar.add(x, y, Rgba(int(190 + 65 * v), int(140 + 100 * v), 255, int(255 * v * u)));
            }
        put02(set, 311 + i, pillar);
    }
    for (int i = 0; i < 2; ++i) {
        // The finish flash is drawn without blending: a keyed star burst.
        Canvas flash(48, 48);
        flash.star(24, 24, 22 - i * 6, 7 - i * 2, 8, i * 22, pal(maps, 'Y'));
        flash.star(24, 24, 14 - i * 4, 5 - i, 8, i * 22, pal(maps, 'W'));
        put02(set, 319 + i, flash);
    }
    {
        Canvas smoke = dark(32, 32);
        smoke.glow(16, 18, 14, Rgba(170, 160, 200, 200), 1.2);
        smoke.glow(11, 13, 8, Rgba(200, 190, 220, 160), 1.2);
        smoke.glow(21, 12, 8, Rgba(200, 190, 220, 160), 1.2);
        put02(set, 321, smoke);
    }

    // 04: a block burnt by fire (kind 31), drawn plainly over the block and after it.
    {
        Canvas scorch(32, 32);
        Random r(31);
        for (int i = 0; i < 40; ++i) scorch.fillRect(r.below(30), r.below(30), 2, 2, Rgba(40, 20, 10, 170));
        for (int i = 0; i < 6; ++i) {
            const int x = 3 + i * 5;
            scorch.fillPolygon({{double(x), 32}, {x + 4.0, 32}, {x + 2.0, 20.0 - (i % 3) * 4}}, Rgba(255, 150, 40, 230));
            scorch.fillPolygon({{x + 1.0, 32}, {x + 3.0, 32}, {x + 2.0, 26.0 - (i % 3) * 2}}, Rgba(255, 240, 140, 255));
        }
        put04(set, 26, scorch);
        for (int i = 0; i < 4; ++i) {
            Canvas c(48, 48);
            const double k = (i + 1) / 4.0;
            Random rr(260);
            for (int p = 0; p < 12; ++p) {
                const double a = rr.range(0, 2 * kPi), sp = rr.range(6, 18);
                const double x = 24 + std::cos(a) * sp * k, y = 24 + std::sin(a) * sp * k + 10 * k * k;
                const int s = p % 3 ? 4 : 6;
                c.fillRect(int(x) - s / 2, int(y) - s / 2, s, s, pal(maps, 'K'));
                c.fillRect(int(x) - s / 2 + 1, int(y) - s / 2 + 1, s - 2, s - 2, p % 2 ? pal(maps, 'F') : pal(maps, 'f'));
            }
            for (int f = 0; f < 3; ++f)
                c.fillCircle(18 + f * 6, 26 - k * 10, 5 * (1 - k * 0.6), Rgba(255, 140 + f * 30, 40, int(220 * (1 - k * 0.7))));
            put04(set, 27 + i, c);
        }
    }
    for (int t = 0; t < 40; ++t) put04(set, 31 + t, spawnFlashFrame(t));
    for (int t = 0; t < 18; ++t) put04(set, 71 + t, puffFrame(t));
    {
        // Debris: a brick chip (stage-file blocks) and a violet shard (made blocks).
        Canvas chip(10, 10);
        chip.fillRect(1, 2, 8, 6, pal(maps, 'K'));
        chip.fillRect(2, 3, 6, 4, pal(maps, 'F'));
        chip.fillRect(2, 3, 6, 1, pal(maps, 'J'));
        put04(set, 89, chip);
        Canvas shard(10, 10);
        shard.fillPolygon({{5, 0}, {9.5, 5}, {5, 10}, {0.5, 5}}, pal(maps, 'K'));
        shard.fillPolygon({{5, 1.5}, {8, 5}, {5, 8.5}, {2, 5}}, pal(maps, 'V'));
        shard.set(4, 3, pal(maps, 'L'));
        put04(set, 90, shard);
    }
    for (int t = 0; t <= 30; ++t) put04(set, 92 + t, clinkFrame(t));
    for (int t = 0; t <= 27; ++t) put04(set, 124 + t, crashFrame(maps, t));
}

}  // namespace artgen
