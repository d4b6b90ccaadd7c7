#include "tools/moviegen/scenes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace moviegen {
namespace {

constexpr float kPi = 3.14159265f;

constexpr Colour kNightTop{0.03f, 0.03f, 0.12f};
constexpr Colour kNightBottom{0.12f, 0.08f, 0.28f};
constexpr Colour kStar{1.0f, 0.95f, 0.8f};
constexpr Colour kMoon{1.0f, 0.96f, 0.78f};
constexpr Colour kHill{0.05f, 0.08f, 0.12f};
constexpr Colour kRobe{0.45f, 0.2f, 0.65f};
constexpr Colour kHat{0.18f, 0.08f, 0.3f};
constexpr Colour kSkin{1.0f, 0.85f, 0.72f};
constexpr Colour kHair{0.95f, 0.55f, 0.2f};
constexpr Colour kBroom{0.5f, 0.32f, 0.15f};
constexpr Colour kStraw{0.9f, 0.75f, 0.35f};
constexpr Colour kStone{0.35f, 0.33f, 0.42f};
constexpr Colour kWindow{1.0f, 0.8f, 0.35f};
constexpr Colour kWhite{1, 1, 1};

float Smooth(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// The same sky every time: positions from a fixed little generator.
void Stars(Canvas& c, float time, float opacity) {
    uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / float(1u << 24);
    };
    for (int i = 0; i < 90; ++i) {
        const float x = next() * c.width(), y = next() * c.height() * 0.7f;
        const float phase = next() * 2 * kPi, size = 0.6f + next() * 1.2f;
        const float twinkle = 0.6f + 0.4f * std::sin(time * 3 + phase);
        c.Circle(x, y, size, kStar, opacity * twinkle);
    }
}

void Hills(Canvas& c, Colour colour, float baseY) {
    for (int x = 0; x < c.width(); x += 2) {
        const float top = baseY - 30 * std::sin(x * 0.008f) - 14 * std::sin(x * 0.023f + 1);
        c.Rect(float(x), top, float(x + 2), float(c.height()), colour);
    }
}

// The little witch on her broom, centred near (x, y), facing right when
// `facing` is 1 and left when -1.
void Witch(Canvas& c, float x, float y, float size, float facing, float time) {
    const float s = size / 40.0f, f = facing;
    const float bob = std::sin(time * 5) * 2 * s;
    y += bob;
    c.Line(x - 26 * s * f, y + 10 * s, x + 24 * s * f, y + 6 * s, 3 * s, kBroom);
    c.Triangle(x - 26 * s * f, y + 10 * s, x - 40 * s * f, y + 2 * s, x - 40 * s * f, y + 18 * s, kStraw);
    c.Triangle(x - 10 * s * f, y + 10 * s, x + 8 * s * f, y + 10 * s, x - 2 * s * f, y - 14 * s, kRobe);
    c.Circle(x - 6 * s * f, y - 18 * s, 4 * s, kHair);
    c.Circle(x, y - 18 * s, 7 * s, kSkin);
    c.Rect(x - 11 * s, y - 25 * s, x + 11 * s, y - 22 * s, kHat);
    c.Triangle(x - 8 * s, y - 24 * s, x + 8 * s, y - 24 * s, x - 6 * s * f, y - 44 * s, kHat);
    // A few sparkles trail behind her.
    for (int i = 0; i < 4; ++i) {
        const float k = std::fmod(time * 2 + i * 0.25f, 1.0f);
        c.Circle(x - (44 + 40 * k) * s * f, y + 10 * s + std::sin(i * 2.1f + time * 6) * 6 * s, 2 * s * (1 - k),
                 kStar, 1 - k);
    }
}

void Tower(Canvas& c, float x, float base, float top, Colour stone, float light) {
    const float w = 70;
    c.Rect(x - w / 2, top, x + w / 2, base, stone);
    for (float y = top + 12; y < base - 10; y += 14)
        c.Rect(x - w / 2, y, x + w / 2, y + 1, Mix(stone, kHill, 0.5f));
    c.Triangle(x - w / 2 - 10, top, x + w / 2 + 10, top, x, top - 60, kHat);
    for (float y = top + 30; y < base - 40; y += 70) c.Rect(x - 7, y, x + 7, y + 18, kWindow, light);
}

void Logo(Canvas& c, float t) {
    c.Fill(kNightTop);
    Stars(c, t, Smooth(0.0f, 1.5f, t));
    const float reveal = Smooth(0.8f, 2.8f, t);
    const float fadeOut = 1 - Smooth(4.4f, 5.0f, t);
    c.Glow(320, 230, 260 * reveal, Colour{0.5f, 0.35f, 0.9f}, 0.5f * reveal * fadeOut);
    // A spark sweeps across and leaves the name behind it.
    const float sweep = -40 + 720 * Smooth(0.6f, 2.6f, t);
    c.Glow(sweep, 230, 40, kStar, (1 - Smooth(2.4f, 2.8f, t)) * fadeOut);
    c.Text("Lumotta", 320, 230, 72, kWhite, reveal * fadeOut);
    c.Text("a little witch's journey", 320, 300, 20, kStar, Smooth(2.4f, 3.4f, t) * fadeOut);
}

void Opening(Canvas& c, float t) {
    c.VerticalGradient(kNightTop, kNightBottom);
    Stars(c, t, 1);
    c.Glow(500, 110, 120, kMoon, 0.35f);
    c.Circle(500, 110, 46, kMoon);
    c.Circle(518, 98, 40, Mix(kNightTop, kNightBottom, 0.2f), 0.9f);  // crescent
    Hills(c, Mix(kHill, kNightBottom, 0.4f), 390);
    c.Rect(86, 300, 126, 372, kStone);  // home, left behind
    c.Triangle(78, 300, 134, 300, 106, 262, kHat);
    c.Rect(100, 320, 112, 336, kWindow);
    Hills(c, kHill, 440);
    const float k = Smooth(0.8f, 6.0f, t);
    Witch(c, 110 + 460 * k, 330 - 200 * k + 30 * std::sin(k * kPi), 40 + 10 * k, 1, t);
    const float words = Smooth(0.3f, 1.2f, t) * (1 - Smooth(5.6f, 6.4f, t));
    c.Text("One night, a little witch set out...", 320, 440, 22, kWhite, words);
}

void Ending(Canvas& c, float t) {
    const float dawn = Smooth(0.0f, 4.0f, t);
    c.VerticalGradient(Mix(kNightTop, Colour{0.35f, 0.55f, 0.9f}, dawn),
                       Mix(kNightBottom, Colour{1.0f, 0.65f, 0.4f}, dawn));
    Stars(c, t, 1 - dawn);
    const float sunY = 420 - 140 * dawn;
    c.Glow(320, sunY, 200, Colour{1.0f, 0.8f, 0.45f}, 0.6f * dawn);
    c.Circle(320, sunY, 44, Colour{1.0f, 0.88f, 0.55f}, dawn);
    Hills(c, Mix(kHill, Colour{0.35f, 0.3f, 0.4f}, dawn), 390);
    c.Rect(86, 300, 126, 372, kStone);
    c.Triangle(78, 300, 134, 300, 106, 262, kHat);
    c.Rect(100, 320, 112, 336, kWindow, 1 - dawn * 0.7f);
    Hills(c, Mix(kHill, Colour{0.2f, 0.3f, 0.25f}, dawn), 440);
    const float k = Smooth(0.5f, 4.5f, t);
    Witch(c, 600 - 480 * k, 120 + 180 * k, 44, -1, t);
    c.Text("THE END", 320, 200, 64, kWhite, Smooth(4.6f, 5.8f, t));
    c.Text("Thank you for playing", 320, 262, 22, kWhite, Smooth(5.4f, 6.4f, t));
}

void Halfway(Canvas& c, float t) {
    c.VerticalGradient(kNightTop, Mix(kNightBottom, Colour{0.2f, 0.1f, 0.3f}, 0.5f));
    Stars(c, t, 1);
    c.Circle(120, 90, 34, kMoon);
    Hills(c, Mix(kHill, kNightBottom, 0.4f), 420);
    Tower(c, 430, 480, 170, kStone, 0.6f + 0.4f * Smooth(2.5f, 3.5f, t));
    Hills(c, kHill, 470);
    const float k = Smooth(0.5f, 3.5f, t);
    Witch(c, -40 + 420 * k, 380 - 240 * k, 42, 1, t);
    const float words = Smooth(2.8f, 3.6f, t) * (1 - Smooth(5.0f, 5.6f, t));
    c.Text("Halfway there.", 200, 420, 26, kWhite, words);
    c.Text("The tower's light shows the way on.", 240, 452, 18, kStar, words);
}

}  // namespace

const Scene kScenes[4] = {
    {"0.avi", 5.0f, Logo},
    {"1.avi", 6.5f, Opening},
    {"2.avi", 7.0f, Ending},
    {"3.avi", 5.6f, Halfway},
};

}  // namespace moviegen
