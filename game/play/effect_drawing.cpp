// drawEffects: every live effect, in slot order, centred on its position.
// Each kind has a row in kEffectDrawings: the family routine that draws it,
// the phases it shows in and its row in the family's own table.
#include "game/play/draw_quad.h"
#include "game/play/picture_cycles.h"
#include "game/play/play_pictures.h"
#include "game/play/play_render.h"
#include "game/state/globals.h"
#include "media/media.h"

#include <array>
#include <climits>

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

// Which handle table a family's pictures come from.
enum class Table : uint8_t { Tiles, Pictures };

int handleOf(Table table, int n) { return table == Table::Tiles ? tileImage(n) : picture(n); }

// The additive blend by age most bursts use: 25 per tick up to tick
// `rampUntil`, full after that, and from after tick `fadeFrom` on
// start - slope * t.
constexpr int kNoRamp = INT_MIN;
constexpr int kFadeFromStart = INT_MIN;
struct Fade {
    int rampUntil, fadeFrom, start, slope;
};

int fadeLevel(const Fade& fade, int t) {
    if (t > fade.fadeFrom) return fade.start - fade.slope * t;
    return t <= fade.rampUntil ? 25 * t : 255;
}

// ---- Bursts: one tile picture, blended by a fade, at its own size or
// growing by `step` pixels a tick from `base`.

enum class Turn : uint8_t { None, Angle, Age, AgeAndAngle, FiveTimesAge };

int turnOf(Turn turn, const EffectView& v) {
    switch (turn) {
        case Turn::Angle: return v.a;
        case Turn::Age: return v.t;
        case Turn::AgeAndAngle: return (v.t + v.a) % 360;
        case Turn::FiveTimesAge: return 5 * v.t;
        case Turn::None: break;
    }
    return 0;
}

struct Burst {
    int tile;
    Fade fade;
    int step, base;  // step 0: the picture's own size
    Turn turn;
    int turnY, turnX;
    bool flip;
};

constexpr Burst kBursts[] = {
    /* 0: kind 3  */ {200, {kNoRamp, 24, 880, 25}, 10, 0, Turn::Angle, 0, 0, true},
    /* 1: kind 4  */ {201, {kNoRamp, 24, 880, 25}, 10, 0, Turn::Age, 0, 0, true},
    /* 2: kind 5  */ {201, {9, 24, 880, 25}, 10, 0, Turn::Age, 0, 0, true},
    /* 3: kind 6  */ {214, {24, 24, 880, 25}, 5, 0, Turn::Angle, 0, 0, true},
    /* 4: kind 8  */ {206, {19, 19, 755, 25}, 5, 10, Turn::Angle, 0, 0, true},
    /* 5: kind 9  */ {205, {19, 19, 755, 25}, 0, 0, Turn::Angle, 0, 0, true},
    /* 6: kind 11 */ {216, {kNoRamp, 29, 1005, 25}, 0, 0, Turn::None, 0, 0, true},
    /* 7: kind 12 */ {216, {kNoRamp, kFadeFromStart, 255, 10}, 0, 0, Turn::None, 0, 0, true},
    /* 8: kind 19 */ {229, {kNoRamp, 9, 505, 25}, 5, 0, Turn::None, 60, 0, true},
    /* 9: kind 21 */ {232, {kNoRamp, kFadeFromStart, 255, 25}, 0, 0, Turn::Angle, 0, 0, true},
    /* 10: kind 22 */ {234, {kNoRamp, 4, 505, 50}, 15, 0, Turn::Angle, 0, 0, true},
    /* 11: kind 23 */ {235, {kNoRamp, 9, 505, 25}, 8, 0, Turn::Angle, 0, 0, true},
    /* 12: kind 24 */ {233, {kNoRamp, 9, 505, 25}, 15, 0, Turn::AgeAndAngle, 0, 0, true},
    /* 13: kind 26 */ {234, {kNoRamp, 4, 505, 50}, 8, 0, Turn::Angle, 0, 0, true},
    /* 14: kind 27 */ {241, {kNoRamp, kFadeFromStart, 255, 10}, 10, 0, Turn::None, 0, 60, true},
    /* 15: kind 52 */ {305, {kNoRamp, 11, 495, 20}, 4, 0, Turn::FiveTimesAge, 0, 0, false},
    /* 16: kind 60 */ {321, {kNoRamp, kFadeFromStart, 255, 10}, 0, 0, Turn::None, 0, 0, true},
};

void drawBurst(const EffectView& v, int row) {
    const Burst& b = kBursts[row];
    additive(fadeLevel(b.fade, v.t));
    const int handle = tileImage(b.tile);
    const int angle = turnOf(b.turn, v);
    if (b.step == 0) {
        own(v, handle, angle, b.flip);
    } else {
        const int size = b.step * v.t + b.base;
        sized(v, handle, size, size, angle, b.flip, b.turnY, b.turnX);
    }
}

// ---- Strips: numbered pictures shown one after another (`ticks` a picture,
// repeating after `count` when count > 0) at the size of the first, scaled.

enum class Blend : uint8_t { Unchanged, Full, FullOrAgeFade };

struct Strip {
    Table table;
    int first;
    int ticks, count;
    Blend blend;
    bool flip;
    double scale;
};

constexpr Strip kStrips[] = {
    /* 0: kind 30 */ {Table::Tiles, 243, 1, 0, Blend::Full, false, 1.0},
    /* 1: kind 32 */ {Table::Pictures, pic::kSpark, 1, 0, Blend::Full, true, 1.0},
    /* 2: kind 36 */ {Table::Tiles, 280, 4, 3, Blend::FullOrAgeFade, false, 1.0},
    /* 3: kind 59 */ {Table::Tiles, 319, 4, 0, Blend::Unchanged, true, 1.0},
    /* 4: kind 63 */ {Table::Pictures, pic::kBurst, 1, 0, Blend::Full, true, 1.0},
    /* 5..9: kinds 64..68, the ring at five sizes */
    {Table::Pictures, pic::kRing, 1, 0, Blend::Unchanged, true, 1.0},
    {Table::Pictures, pic::kRing, 1, 0, Blend::Unchanged, true, 0.7},
    {Table::Pictures, pic::kRing, 1, 0, Blend::Unchanged, true, 0.5},
    {Table::Pictures, pic::kRing, 1, 0, Blend::Unchanged, true, 1.2},
    {Table::Pictures, pic::kRing, 1, 0, Blend::Unchanged, true, 1.5},
};

void drawStrip(const EffectView& v, int row) {
    const Strip& s = kStrips[row];
    if (s.blend == Blend::Full) additive(255);
    if (s.blend == Blend::FullOrAgeFade) additive(faded(v, 255));
    const PictureSize size = pictureSize(handleOf(s.table, s.first));
    int step = v.t / s.ticks;
    if (s.count > 0) step %= s.count;
    sized(v, handleOf(s.table, s.first + step), static_cast<int>(size.w * s.scale),
          static_cast<int>(size.h * s.scale), 0, s.flip);
}

// ---- Stills: one picture at its own size, in the blend already set.

struct Still {
    Table table;
    int slot;
};

constexpr Still kStills[] = {
    /* 0: kind 54 */ {Table::Tiles, 306},
    /* 1: kind 61 */ {Table::Pictures, pic::kStarA},
    /* 2: kind 62 */ {Table::Pictures, pic::kStarB},
};

void drawStill(const EffectView& v, int row) { own(v, handleOf(kStills[row].table, kStills[row].slot)); }

// ---- Twinkles: a picture cycle for 20 ticks, then its last picture fading.

constexpr FrameRun kSparkleA[] = {{217, 5}, {218, 5}, {219, 5}, {220, 5}};
constexpr FrameRun kSparkleB[] = {{221, 5}, {222, 5}, {223, 5}, {224, 5}};
constexpr FrameRun kSparkleC[] = {{225, 5}, {226, 5}, {227, 10}};
constexpr FrameRun kGlintA[] = {{263, 5}, {264, 5}, {265, 5}, {266, 5}};
constexpr FrameRun kGlintB[] = {{271, 5}, {272, 5}, {273, 5}, {274, 5}};

struct Twinkle {
    std::span<const FrameRun> cycle;
    int last;
};

constexpr Twinkle kTwinkles[] = {
    /* 0: kind 16 */ {kSparkleA, 220},
    /* 1: kind 17 */ {kSparkleB, 224},
    /* 2: kind 18 */ {kSparkleC, 228},
    /* 3: kind 34 */ {kGlintA, 266},
    /* 4: kind 35 */ {kGlintB, 274},
};

void drawTwinkle(const EffectView& v, int row) {
    const Twinkle& k = kTwinkles[row];
    if (v.t > 19) {
        additive(755 - 25 * v.t);
        own(v, tileImage(k.last));
    } else {
        additive(255);
        own(v, tileImage(cyclePicture(k.cycle, v.t)));
    }
}

// ---- Families with a picture per kind: the row is the kind's place in the run.

// Kinds 37..39: rising rings.
void drawRisingRing(const EffectView& v, int row) {
    additive(faded(v, 255 - 10 * v.t));
    drawQuad(v.x, v.y - 3 * v.t, 6 * v.t, 6 * v.t, 0, 0, 0, tileImage(283 + row), 1, 0);
}

// Kinds 42..45: markers, full and unflipped.
void drawMarker(const EffectView& v, int row) {
    additive(255);
    own(v, tileImage(286 + row), 0, false);
}

// Kinds 56..58: the three sizes (row 1, 2, 3) of one flicker.
void drawFlicker(const EffectView& v, int row) {
    const int k = row;
    const int t = v.t;
    additive(faded(v, 255));
    if (t > 9)
        sized(v, tileImage(311 + (t / 4) % 8), 20 * k, 40 * k);
    else
        sized(v, tileImage(311), 2 * k * t, 4 * k * t);
}

// ---- Kinds of their own.

void drawKeySpark(const EffectView& v, int) {
    additive(255);
    own(v, tileImage(236 + (v.t / 4) % 4), v.p == 1 ? 180 : 0);
}

void drawGrowingRing(const EffectView& v, int) {
    const int t = v.t, p = v.p;
    const PictureSize s = pictureSize(tileImage(202));
    const int w = p == 0 ? s.w : s.w / 2, h = p == 0 ? s.h : s.h / 2;
    const int grow = p == 0 ? 80 - 8 * t : 40 - 4 * t;
    if (t < 10) {
        additive(25 * t);
        sized(v, tileImage(202), w, h, v.a);
    } else {
        additive(355 - 10 * t);
        sized(v, tileImage(202), w + grow, h + grow, v.a + 5 * t - 50);
    }
}

void drawHalo(const EffectView& v, int) {
    const int t = v.t;
    additive(t > 19 ? 700 - 25 * t : 200);
    const PictureSize s = pictureSize(tileImage(212));
    sized(v, tileImage(212), 3 * t + s.w / 2, 3 * t + s.h / 2);
}

void drawBloom(const EffectView& v, int) {
    const int t = v.t;
    const int size = t > 14 ? 5 * t + 85 : 10 * t + 10;
    additive(t > 14 ? 630 - 25 * t : 25 * t);
    sized(v, tileImage(215), size, size, v.a);
}

void drawCross(const EffectView& v, int) {
    const int t = v.t;
    additive(255 - 10 * t);
    const PictureSize s = pictureSize(tileImage(213));
    sized(v, tileImage(213), s.w - 10 * t, s.h + 10 * t, 45);
    sized(v, tileImage(213), s.w + 10 * t, s.h - 10 * t, 135);
}

void drawPlayerShot(const EffectView& v, int) {
    additive(255);
    const int outer = pictureSize(tileImage(231)).w;
    const int inner = pictureSize(tileImage(230)).w;
    sized(v, tileImage(231), outer, outer, 10 * v.t);
    sized(v, tileImage(230), inner, inner, 5 * v.t);
}

void drawSquash(const EffectView& v, int) {
    additive(255);
    const PictureSize s = pictureSize(tileImage(242));
    sized(v, tileImage(242), s.w - 4 * v.t, s.h + 8 * v.t);
}

void drawKeyArrival(const EffectView& v, int) {
    loadOverlayFrame(pic::kKeyArrival, 17, v.t + 1);
    additive(255);
    sized(v, picture(pic::kKeyArrival), 368, 368, 0, false);
}

void drawActorBreakFire(const EffectView& v, int) {
    const int t = v.t;
    if (t <= 3) {
        sized(v, sheetCell(sheet::k01, 4), 32, 32, 0, false);
        own(v, picture(pic::kShotPieces), 0, false);
    } else {
        const PictureSize s = pictureSize(picture(pic::kShotPieces + 1));
        sized(v, picture(pic::kShotPieces + t / 4), s.w, s.h, 0, false);
    }
}

void drawScoreRise(const EffectView& v, int) {
    additive(255);
    const PictureSize s = pictureSize(picture(pic::kScoreRise));
    drawQuad(v.x, v.y - 50, s.w, s.h, 0, 0, 0, picture(pic::kScoreRise + v.t), 1, 0);
}

void drawSquashedTile(const EffectView& v, int) {
    const int t = v.t;
    additive(faded(v, 255 - 10 * t));
    const PictureSize s = pictureSize(tileImage(280));
    sized(v, tileImage(280), s.w + 10 * t, s.h - 10 * t, 0, false);
}

void drawSpellStart(const EffectView& v, int) {
    const int t = v.t;
    additive(255);
    if (t < 60) {
        for (int n : {292, 293}) {
            const PictureSize s = pictureSize(tileImage(n));
            drawQuad(320, 240, s.w, s.h, 0, 0, 0, tileImage(n), 1, 0);
        }
        if (t > 40 || t < 10)
            DrawRectangle(0, 0, kScreenWidth, kScreenHeight, GetColorValue(255, 255, 255), 1);
    }
}

void drawSpellBackdrop(const EffectView& v, int) {
    const int t = v.t;
    if (t < 24 && t % 4 == 2) loadOverlayFrame(pic::kSpellBackdrop, 16, t / 4 + 1);
    if (t > 45) alpha(655 - 10 * t);
    drawQuad(320, 240, kScreenWidth, kScreenHeight, 0, 0, 0, picture(pic::kSpellBackdrop), 1, 0);
}

void drawBeam(const EffectView& v, int) {
    const int t = v.t;
    additive(faded(v, 255));
    const PictureSize s = pictureSize(tileImage(295));
    sized(v, tileImage(295 + (t / 4) % 4), s.w, s.h);
    const int reach = s.w / 2 + 320;
    const int beamX = game.players[0].facing != 0 ? v.x - reach : v.x + reach;
    drawQuad(beamX, v.y, 640, s.h, 0, 0, 0, tileImage(299 + (t / 4) % 4), 1, v.f);
}

void drawDoubled(const EffectView& v, int) {
    additive(faded(v, 255));
    const PictureSize s = pictureSize(tileImage(303));
    drawQuad(v.x, v.y, s.w, s.h, 0, 0, 0, tileImage(303), 1, 0);
    drawQuad(v.x, v.y + 3, s.w, s.h, 0, 0, 0, tileImage(303), 1, 0);
}

// Kind 53: a slanted band drawn straight onto four corners (no shake). The
// offsets are for facing != 0; facing 0 mirrors the slant, not the picture.
void drawBand(const EffectView& v, int) {
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

void drawOrb(const EffectView& v, int) {
    const int t = v.t;
    additive(faded(v, 10 * t));
    const int turnY = v.f != 0 ? 240 : 60;
    const PictureSize glow = pictureSize(tileImage(309));
    sized(v, tileImage(309 + (t / 4) % 2), glow.w, glow.h, 0, true, turnY);
    const PictureSize core = pictureSize(tileImage(308));
    const double scale = (t / 4) % 2 == 1 ? 0.7 : 1.0;
    sized(v, tileImage(308), static_cast<int>(core.w * scale), static_cast<int>(core.h * scale),
          (5 * t) % 360, true, turnY);
}

// ---- The table.

// The phases an effect shows in; in the others it draws nothing.
enum class Phases : uint8_t { Any, First, FirstTwo };

using EffectRoutine = void (*)(const EffectView&, int row);

struct EffectDrawing {
    EffectRoutine draw = nullptr;
    Phases phases = Phases::Any;
    int row = 0;
};

struct KindDrawing {
    int kind;
    EffectDrawing drawing;
};

// Kinds 14, 15, 25, 41, 46, 47 have no row and draw nothing.
constexpr KindDrawing kKindDrawings[] = {
    {1, {drawKeySpark, Phases::FirstTwo}},
    {2, {drawGrowingRing, Phases::FirstTwo}},
    {3, {drawBurst, Phases::First, 0}},
    {4, {drawBurst, Phases::First, 1}},
    {5, {drawBurst, Phases::First, 2}},
    {6, {drawBurst, Phases::Any, 3}},
    {7, {drawHalo}},
    {8, {drawBurst, Phases::Any, 4}},
    {9, {drawBurst, Phases::Any, 5}},
    {10, {drawBloom}},
    {11, {drawBurst, Phases::Any, 6}},
    {12, {drawBurst, Phases::Any, 7}},
    {13, {drawCross}},
    {16, {drawTwinkle, Phases::First, 0}},
    {17, {drawTwinkle, Phases::First, 1}},
    {18, {drawTwinkle, Phases::First, 2}},
    {19, {drawBurst, Phases::First, 8}},
    {20, {drawPlayerShot, Phases::First}},
    {21, {drawBurst, Phases::First, 9}},
    {22, {drawBurst, Phases::First, 10}},
    {23, {drawBurst, Phases::First, 11}},
    {24, {drawBurst, Phases::First, 12}},
    {26, {drawBurst, Phases::First, 13}},
    {27, {drawBurst, Phases::First, 14}},
    {28, {drawSquash, Phases::First}},
    {29, {drawKeyArrival}},
    {30, {drawStrip, Phases::Any, 0}},
    {31, {drawActorBreakFire}},
    {32, {drawStrip, Phases::Any, 1}},
    {33, {drawScoreRise}},
    {34, {drawTwinkle, Phases::First, 3}},
    {35, {drawTwinkle, Phases::First, 4}},
    {36, {drawStrip, Phases::Any, 2}},
    {37, {drawRisingRing, Phases::Any, 0}},
    {38, {drawRisingRing, Phases::Any, 1}},
    {39, {drawRisingRing, Phases::Any, 2}},
    {40, {drawSquashedTile}},
    {42, {drawMarker, Phases::Any, 0}},
    {43, {drawMarker, Phases::Any, 1}},
    {44, {drawMarker, Phases::Any, 2}},
    {45, {drawMarker, Phases::Any, 3}},
    {48, {drawSpellStart}},
    {49, {drawSpellBackdrop}},
    {50, {drawBeam}},
    {51, {drawDoubled}},
    {52, {drawBurst, Phases::Any, 15}},
    {53, {drawBand}},
    {54, {drawStill, Phases::Any, 0}},
    {55, {drawOrb}},
    {56, {drawFlicker, Phases::Any, 1}},
    {57, {drawFlicker, Phases::Any, 2}},
    {58, {drawFlicker, Phases::Any, 3}},
    {59, {drawStrip, Phases::Any, 3}},
    {60, {drawBurst, Phases::Any, 16}},
    {61, {drawStill, Phases::Any, 1}},
    {62, {drawStill, Phases::Any, 2}},
    {63, {drawStrip, Phases::Any, 4}},
    {64, {drawStrip, Phases::Any, 5}},
    {65, {drawStrip, Phases::Any, 6}},
    {66, {drawStrip, Phases::Any, 7}},
    {67, {drawStrip, Phases::Any, 8}},
    {68, {drawStrip, Phases::Any, 9}},
};

constexpr int kDrawnKinds = 69;

constexpr std::array<EffectDrawing, kDrawnKinds> byKind() {
    std::array<EffectDrawing, kDrawnKinds> table{};
    for (const KindDrawing& k : kKindDrawings) table[k.kind] = k.drawing;
    return table;
}

constexpr std::array<EffectDrawing, kDrawnKinds> kEffectDrawings = byKind();

bool showsIn(Phases phases, int p) {
    switch (phases) {
        case Phases::First: return p == 0;
        case Phases::FirstTwo: return p <= 1;
        case Phases::Any: break;
    }
    return true;
}

void drawEffect(const Actor& e) {
    if (e.kind < 0 || e.kind >= kDrawnKinds) return;
    const EffectDrawing& d = kEffectDrawings[e.kind];
    const EffectView v{e, static_cast<int>(e.x), static_cast<int>(e.y), e.timer,
                       e.angle, e.facing, e.phase, e.age};
    if (!d.draw || !showsIn(d.phases, v.p)) return;
    d.draw(v, d.row);
    opaque();
}

}  // namespace

void drawEffects() {
    for (const Actor& e : game.effects)
        if (e.live > 0) drawEffect(e);
}
