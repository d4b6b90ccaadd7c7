// drawEffects: every live effect, in slot order, centred on its position.
#include "game/play/draw_quad.h"
#include "game/play/picture_cycles.h"
#include "game/play/play_pictures.h"
#include "game/play/play_render.h"
#include "game/state/globals.h"
#include "media/media.h"

namespace {

// What one effect draws with: its position, timer, angle, facing, phase and
// age, and the flip every picture takes unless a kind says otherwise.
struct EffectView {
    const Actor& e;
    int x, y, t, a, f, p, g;
};

// A picture centred on the effect, at a given size.
void sized(const EffectView& v, int handle, int w, int h, int angle = 0, bool flip = true,
           int turnY = 0, int turnX = 0) {
    drawQuad(v.x, v.y, w, h, turnY, turnX, angle, handle, 1, flip ? v.f : 0);
}

// A picture centred on the effect at its own size.
void own(const EffectView& v, int handle, int angle = 0, bool flip = true) {
    const PictureSize s = pictureSize(handle);
    sized(v, handle, s.w, s.h, angle, flip);
}

// "fade": in phase 1 an effect fades by its age instead.
int faded(const EffectView& v, int p) { return v.p == 1 ? 255 - 10 * v.g : p; }

// The blend most bursts use: full, then fading out after `from` ticks.
int fadeAfter(int t, int from, int start) { return t > from ? start - 25 * t : 255; }

constexpr FrameRun kSparkleA[] = {{217, 5}, {218, 5}, {219, 5}, {220, 5}};
constexpr FrameRun kSparkleB[] = {{221, 5}, {222, 5}, {223, 5}, {224, 5}};
constexpr FrameRun kSparkleC[] = {{225, 5}, {226, 5}, {227, 10}};
constexpr FrameRun kGlintA[] = {{263, 5}, {264, 5}, {265, 5}, {266, 5}};
constexpr FrameRun kGlintB[] = {{271, 5}, {272, 5}, {273, 5}, {274, 5}};

// Kinds 53: a slanted band drawn straight onto four corners (no shake). The
// offsets are for facing != 0; facing 0 mirrors the slant, not the picture.
void drawBand(const EffectView& v) {
    int top[2], bottom[2];
    if (v.t > 11) {
        additive(495 - 20 * v.t);
        top[0] = -80; top[1] = -16;
        bottom[0] = 16; bottom[1] = 80;
    } else {
        additive(255);
        top[0] = -4 * v.t - 32; top[1] = 32 - 4 * v.t;
        bottom[0] = 4 * v.t - 32; bottom[1] = 4 * v.t + 32;
    }
    if (v.f == 0) {
        const int t0 = top[0], b0 = bottom[0];
        top[0] = -top[1]; top[1] = -t0;
        bottom[0] = -bottom[1]; bottom[1] = -b0;
    }
    DrawImageQuad(v.x + top[0], v.y - 32, v.x + top[1], v.y - 32, v.x + bottom[1], v.y + 32,
                  v.x + bottom[0], v.y + 32, tileImage(307), 1);
}

void drawEffect(const Actor& e) {
    const EffectView v{e, static_cast<int>(e.x), static_cast<int>(e.y), e.timer,
                       e.angle, e.facing, e.phase, e.age};
    const int t = v.t, a = v.a, p = v.p;
    switch (e.kind) {
        case 1:
            if (p > 1) return;
            additive(255);
            own(v, tileImage(236 + (t / 4) % 4), p == 1 ? 180 : 0);
            break;
        case 2: {
            if (p > 1) return;
            const PictureSize s = pictureSize(tileImage(202));
            const int w = p == 0 ? s.w : s.w / 2, h = p == 0 ? s.h : s.h / 2;
            const int grow = p == 0 ? 80 - 8 * t : 40 - 4 * t;
            if (t < 10) {
                additive(25 * t);
                sized(v, tileImage(202), w, h, a);
            } else {
                additive(355 - 10 * t);
                sized(v, tileImage(202), w + grow, h + grow, a + 5 * t - 50);
            }
            break;
        }
        case 3:
            if (p != 0) return;
            additive(fadeAfter(t, 24, 880));
            sized(v, tileImage(200), 10 * t, 10 * t, a);
            break;
        case 4:
            if (p != 0) return;
            additive(fadeAfter(t, 24, 880));
            sized(v, tileImage(201), 10 * t, 10 * t, t);
            break;
        case 5:
            if (p != 0) return;
            additive(t <= 9 ? 25 * t : fadeAfter(t, 24, 880));
            sized(v, tileImage(201), 10 * t, 10 * t, t);
            break;
        case 6:
            additive(t > 24 ? 880 - 25 * t : 25 * t);
            sized(v, tileImage(214), 5 * t, 5 * t, a);
            break;
        case 7: {
            additive(t > 19 ? 700 - 25 * t : 200);
            const PictureSize s = pictureSize(tileImage(212));
            sized(v, tileImage(212), 3 * t + s.w / 2, 3 * t + s.h / 2);
            break;
        }
        case 8:
            additive(t > 19 ? 755 - 25 * t : 25 * t);
            sized(v, tileImage(206), 5 * t + 10, 5 * t + 10, a);
            break;
        case 9:
            additive(t > 19 ? 755 - 25 * t : 25 * t);
            own(v, tileImage(205), a);
            break;
        case 10: {
            const int size = t > 14 ? 5 * t + 85 : 10 * t + 10;
            additive(t > 14 ? 630 - 25 * t : 25 * t);
            sized(v, tileImage(215), size, size, a);
            break;
        }
        case 11:
            additive(fadeAfter(t, 29, 1005));
            own(v, tileImage(216));
            break;
        case 12:
            additive(255 - 10 * t);
            own(v, tileImage(216));
            break;
        case 13: {
            additive(255 - 10 * t);
            const PictureSize s = pictureSize(tileImage(213));
            sized(v, tileImage(213), s.w - 10 * t, s.h + 10 * t, 45);
            sized(v, tileImage(213), s.w + 10 * t, s.h - 10 * t, 135);
            break;
        }
        case 16: case 17: case 18: {
            if (p != 0) return;
            static constexpr int kLast[] = {220, 224, 228};
            static constexpr std::span<const FrameRun> kCycles[] = {kSparkleA, kSparkleB, kSparkleC};
            const int k = e.kind - 16;
            if (t > 19) {
                additive(755 - 25 * t);
                own(v, tileImage(kLast[k]));
            } else {
                additive(255);
                own(v, tileImage(cyclePicture(kCycles[k], t)));
            }
            break;
        }
        case 19:
            if (p != 0) return;
            additive(t > 9 ? 505 - 25 * t : 255);
            sized(v, tileImage(229), 5 * t, 5 * t, 0, true, 60);
            break;
        case 20: {
            if (p != 0) return;
            additive(255);
            const int outer = pictureSize(tileImage(231)).w;
            const int inner = pictureSize(tileImage(230)).w;
            sized(v, tileImage(231), outer, outer, 10 * t);
            sized(v, tileImage(230), inner, inner, 5 * t);
            break;
        }
        case 21:
            if (p != 0) return;
            additive(255 - 25 * t);
            own(v, tileImage(232), a);
            break;
        case 22:
            if (p != 0) return;
            additive(t > 4 ? 505 - 50 * t : 255);
            sized(v, tileImage(234), 15 * t, 15 * t, a);
            break;
        case 23:
            if (p != 0) return;
            additive(t > 9 ? 505 - 25 * t : 255);
            sized(v, tileImage(235), 8 * t, 8 * t, a);
            break;
        case 24:
            if (p != 0) return;
            additive(t > 9 ? 505 - 25 * t : 255);
            sized(v, tileImage(233), 15 * t, 15 * t, (t + a) % 360);
            break;
        case 26:
            if (p != 0) return;
            additive(t > 4 ? 505 - 50 * t : 255);
            sized(v, tileImage(234), 8 * t, 8 * t, a);
            break;
        case 27:
            if (p != 0) return;
            additive(255 - 10 * t);
            sized(v, tileImage(241), 10 * t, 10 * t, 0, true, 0, 60);
            break;
        case 28: {
            if (p != 0) return;
            additive(255);
            const PictureSize s = pictureSize(tileImage(242));
            sized(v, tileImage(242), s.w - 4 * t, s.h + 8 * t);
            break;
        }
        case 29:
            loadOverlayFrame(pic::kKeyArrival, 17, t + 1);
            additive(255);
            sized(v, picture(pic::kKeyArrival), 368, 368, 0, false);
            break;
        case 30: {
            additive(255);
            const PictureSize s = pictureSize(tileImage(243));
            sized(v, tileImage(243 + t), s.w, s.h, 0, false);
            break;
        }
        case 31:
            if (t <= 3) {
                sized(v, sheetCell(sheet::k01, 4), 32, 32, 0, false);
                own(v, picture(pic::kShotPieces), 0, false);
            } else {
                const PictureSize s = pictureSize(picture(pic::kShotPieces + 1));
                sized(v, picture(pic::kShotPieces + t / 4), s.w, s.h, 0, false);
            }
            break;
        case 32: {
            additive(255);
            const PictureSize s = pictureSize(picture(pic::kSpark));
            sized(v, picture(pic::kSpark + t), s.w, s.h);
            break;
        }
        case 33: {
            additive(255);
            const PictureSize s = pictureSize(picture(pic::kScoreRise));
            drawQuad(v.x, v.y - 50, s.w, s.h, 0, 0, 0, picture(pic::kScoreRise + t), 1, 0);
            break;
        }
        case 34: case 35: {
            if (p != 0) return;
            const bool first = e.kind == 34;
            if (t > 19) {
                additive(755 - 25 * t);
                own(v, tileImage(first ? 266 : 274));
            } else {
                additive(255);
                own(v, tileImage(cyclePicture(first ? std::span<const FrameRun>(kGlintA)
                                                    : std::span<const FrameRun>(kGlintB), t)));
            }
            break;
        }
        case 36: {
            additive(faded(v, 255));
            const PictureSize s = pictureSize(tileImage(280));
            sized(v, tileImage(280 + (t / 4) % 3), s.w, s.h, 0, false);
            break;
        }
        case 37: case 38: case 39:
            additive(faded(v, 255 - 10 * t));
            drawQuad(v.x, v.y - 3 * t, 6 * t, 6 * t, 0, 0, 0, tileImage(283 + e.kind - 37), 1, 0);
            break;
        case 40: {
            additive(faded(v, 255 - 10 * t));
            const PictureSize s = pictureSize(tileImage(280));
            sized(v, tileImage(280), s.w + 10 * t, s.h - 10 * t, 0, false);
            break;
        }
        case 42: case 43: case 44: case 45:
            additive(255);
            own(v, tileImage(286 + e.kind - 42), 0, false);
            break;
        case 48:
            additive(255);
            if (t < 60) {
                for (int n : {292, 293}) {
                    const PictureSize s = pictureSize(tileImage(n));
                    drawQuad(320, 240, s.w, s.h, 0, 0, 0, tileImage(n), 1, 0);
                }
                if (t > 40 || t < 10)
                    DrawRectangle(0, 0, kScreenWidth, kScreenHeight, GetColorValue(255, 255, 255), 1);
            }
            break;
        case 49:
            if (t < 24 && t % 4 == 2) loadOverlayFrame(pic::kSpellBackdrop, 16, t / 4 + 1);
            if (t > 45) alpha(655 - 10 * t);
            drawQuad(320, 240, kScreenWidth, kScreenHeight, 0, 0, 0, picture(pic::kSpellBackdrop), 1, 0);
            break;
        case 50: {
            additive(faded(v, 255));
            const PictureSize s = pictureSize(tileImage(295));
            sized(v, tileImage(295 + (t / 4) % 4), s.w, s.h);
            const int reach = s.w / 2 + 320;
            const int beamX = game.players[0].facing != 0 ? v.x - reach : v.x + reach;
            drawQuad(beamX, v.y, 640, s.h, 0, 0, 0, tileImage(299 + (t / 4) % 4), 1, v.f);
            break;
        }
        case 51: {
            additive(faded(v, 255));
            const PictureSize s = pictureSize(tileImage(303));
            drawQuad(v.x, v.y, s.w, s.h, 0, 0, 0, tileImage(303), 1, 0);
            drawQuad(v.x, v.y + 3, s.w, s.h, 0, 0, 0, tileImage(303), 1, 0);
            break;
        }
        case 52:
            additive(t > 11 ? 495 - 20 * t : 255);
            sized(v, tileImage(305), 4 * t, 4 * t, 5 * t, false);
            break;
        case 53:
            drawBand(v);
            break;
        case 54:
            own(v, tileImage(306));
            break;
        case 55: {
            additive(faded(v, 10 * t));
            const int turnY = v.f != 0 ? 240 : 60;
            const PictureSize glow = pictureSize(tileImage(309));
            sized(v, tileImage(309 + (t / 4) % 2), glow.w, glow.h, 0, true, turnY);
            const PictureSize core = pictureSize(tileImage(308));
            const double scale = (t / 4) % 2 == 1 ? 0.7 : 1.0;
            sized(v, tileImage(308), static_cast<int>(core.w * scale),
                  static_cast<int>(core.h * scale), (5 * t) % 360, true, turnY);
            break;
        }
        case 56: case 57: case 58: {
            const int k = e.kind - 55;  // 1, 2, 3: the three sizes
            additive(faded(v, 255));
            if (t > 9)
                sized(v, tileImage(311 + (t / 4) % 8), 20 * k, 40 * k);
            else
                sized(v, tileImage(311), 2 * k * t, 4 * k * t);
            break;
        }
        case 59: {
            const PictureSize s = pictureSize(tileImage(319));
            sized(v, tileImage(319 + t / 4), s.w, s.h);
            break;
        }
        case 60:
            additive(255 - 10 * t);
            own(v, tileImage(321));
            break;
        case 61:
            own(v, picture(pic::kStarA));
            break;
        case 62:
            own(v, picture(pic::kStarB));
            break;
        case 63: {
            additive(255);
            const PictureSize s = pictureSize(picture(pic::kBurst));
            sized(v, picture(pic::kBurst + t), s.w, s.h);
            break;
        }
        case 64: case 65: case 66: case 67: case 68: {
            static constexpr double kScales[] = {1.0, 0.7, 0.5, 1.2, 1.5};
            const double scale = kScales[e.kind - 64];
            const PictureSize s = pictureSize(picture(pic::kRing));
            sized(v, picture(pic::kRing + t), static_cast<int>(s.w * scale),
                  static_cast<int>(s.h * scale));
            break;
        }
        default:
            return;  // kinds 14, 15, 25, 41, 46, 47 and unknown kinds draw nothing
    }
    opaque();
}

}  // namespace

void drawEffects() {
    for (const Actor& e : game.effects)
        if (e.live > 0) drawEffect(e);
}
