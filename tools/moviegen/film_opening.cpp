// The opening film (25/1.avi, 24 s), before the first stage of a new game:
// the meadow under the moon at night; the moon's light breaks apart and
// flies off beyond the hills; Lumotta comes out of her house of blocks,
// looks up, raises her wand and sets out, the camera walking with her.
#include "tools/artgen/block_art.h"
#include "tools/moviegen/film_kit.h"
#include "tools/moviegen/films.h"

#include <cmath>

namespace moviegen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBar = 60.0 / 84 * 4;  // the score: 84 beats a minute, four to the bar
constexpr double kBreak = 2 * kBar;      // bar 3: the moon breaks apart
constexpr double kDoor = 3 * kBar;       // bar 4: she comes out
constexpr double kWand = 4 * kBar;       // bar 5: she raises her wand
constexpr double kSetOut = 5 * kBar;     // bar 6: the march, and she sets out
constexpr double kWalkSpeed = 85;        // pixels a second
constexpr double kCameraStops = 20.0;
constexpr int kGroundY = 400;
constexpr int kMargin = 400;             // the landscape slides a tenth of the ground
constexpr double kFar = 0.1;
constexpr Rgb kMoonlight{0.72f, 0.76f, 0.98f};  // on her
constexpr Rgb kNight{0.3f, 0.34f, 0.6f}, kNightAdd{0.0f, 0.0f, 0.03f};  // on the meadow
constexpr int kSparks = 28;

// Where her house stands (the left of its wall) and its door's middle.
constexpr double kHouseX = 40, kDoorX = kHouseX + Cottage::kDoor;
constexpr double kStandX = 330;

double WitchX(double t) {
    if (t < kDoor + 0.5) return kDoorX;
    if (t < kDoor + 1.8) return kDoorX + (kStandX - kDoorX) * (t - kDoor - 0.5) / 1.3;
    if (t < kSetOut) return kStandX;
    return kStandX + kWalkSpeed * (t - kSetOut);
}

double Camera(double t) {
    if (t < kSetOut) return 30 * Smooth(0, kSetOut, t);
    return std::max(30.0, WitchX(std::min(t, kCameraStops)) - 260);
}

class OpeningFilm final : public Film {
public:
    explicit OpeningFilm(const artgen::PixelMaps& maps)
        : meadow_(Night(MakePlace(maps, Theme::Meadow, kMargin), kNight, kNightAdd)),
          stars_(MakeTwinkles(80, 0, 230, 0.5f, 1.6f, 11, {1.0f, 0.97f, 0.9f})),
          fireflies_(MakeTwinkles(26, 250, 390, 1.0f, 2.2f, 12, {0.85f, 1.0f, 0.45f})),
          witch_(maps, 4, {0, 1, 44, 45, 123, 124, 126}, kMoonlight),
          cottage_(maps, kNight, kNightAdd),
          moon_(Disc(36, {1.0f, 0.97f, 0.82f})),
          darkMoon_(Disc(37, {0.3f, 0.32f, 0.45f})),
          spark_(Glint(12, {1.0f, 0.95f, 0.7f})) {
        captions_[0] = Caption("Every night the moon shone over the valley", "where the little witch Lumotta lived.");
        captions_[1] = Caption("Then one night its light broke into sparks", "and flew away, far beyond the hills.");
        captions_[2] = Caption("Lumotta saw them fall, one by one,", "into every land she had ever dreamt of.");
        captions_[3] = Caption("So she took up her wand and set out", "to bring the moonlight home.");
        heading_ = Heading("Her journey begins", 40);
    }

    void Draw(Frame& frame, double t) const override {
        const double camera = Camera(t);
        // The meadow by night: the landscape, its ground and her house,
        // darker once the moon has gone out.
        DrawPlace(frame, meadow_, camera, kGroundY, kFar);
        cottage_.Draw(frame, kHouseX - camera, kGroundY, t >= kDoor + 0.2 && t < kDoor + 2.2);
        frame.Dim(1 - 0.35 * Smooth(kBreak + 0.3, kBreak + 1.5, t));
        DrawTwinkles(frame, stars_, t, camera * kFar, 0, 0.8);
        DrawMoon(frame, camera, t);
        cottage_.DrawWindow(frame, kHouseX - camera, kGroundY, 1 - 0.5 * Smooth(kDoor + 1, kDoor + 2, t));

        // Now and then a spark still falls, far off beyond the hills ahead.
        for (int i = 0; i < 4; ++i) DrawFallingSpark(frame, t - (kSetOut + 1.0 + 1.9 * i), 300 + 70 * i);

        // Lumotta, once she has come out.
        if (t >= kDoor + 0.5) DrawWitch(frame, camera, t);
        DrawTwinkles(frame, fireflies_, t, camera * 1.3, 0, 0.8 * Smooth(kSetOut - 1, kSetOut + 1, t));

        frame.Darken(vignette_);
        const double captionTimes[4][2] = {{0.5, 5.3}, {kBreak + 0.3, kDoor - 0.1}, {kDoor + 0.2, kWand + 2.6},
                                           {kSetOut + 0.2, kSetOut + 5.6}};
        for (int i = 0; i < 4; ++i) {
            const double from = captionTimes[i][0], to = captionTimes[i][1];
            DrawCaption(frame, captions_[i], Window(t, from, from + 0.4, to - 0.4, to));
        }
        frame.Over(heading_, 320 - heading_.width / 2.0, 120 - heading_.height / 2.0, Window(t, 20.4, 21.2, 23.0, 23.6));
        frame.Veil({0, 0, 0}, 1 - Smooth(0, 1.2, t) + Smooth(22.9, 23.95, t));
    }

private:
    Shade vignette_ = Vignette(0.8);
    // The moon hangs where the sparks have room to fly. The meadow's
    // painter puts its sun far to the right of the landscape, where the
    // camera never looks.
    static double MoonX(double camera) { return 430 - camera * kFar; }
    static constexpr double kMoonY = 92;

    void DrawMoon(Frame& frame, double camera, double t) const {
        const double x = MoonX(camera), y = kMoonY;
        // Bright, then flickering, then gone dark as its light flies off.
        double bright = 1 - Smooth(kBreak + 0.3, kBreak + 1.1, t);
        if (t > kBreak - 0.1 && t < kBreak + 0.6) bright *= 0.75 + 0.25 * std::sin(t * 60);
        frame.Over(darkMoon_, x - darkMoon_.width / 2.0, y - darkMoon_.height / 2.0);
        frame.Over(moon_, x - moon_.width / 2.0, y - moon_.height / 2.0, bright);
        frame.Glow(x, y, 150, {0.85f, 0.85f, 1.0f}, 0.3 * bright);
        // The sparks: out from the moon in a burst, then away to the right
        // and down behind the far hills.
        for (int i = 0; i < kSparks; ++i) {
            const double start = kBreak + 0.35 + 0.03 * i;
            const double k = (t - start) / (2.2 + 0.04 * (i % 7));
            if (k <= 0 || k >= 1) continue;
            const double a = i * 2.399;  // spread round the moon
            const double burst = 40 * std::sqrt(k);
            const double sx = x + burst * std::cos(a) + (360 + 90 * std::sin(i * 1.7)) * k * k;
            const double sy = y + burst * std::sin(a) + (210 + 50 * std::cos(i * 2.3)) * k * k;
            frame.Add(spark_, sx - spark_.width / 2.0, sy - spark_.height / 2.0, 1 - k * k);
        }
    }

    // A spark streaking down from the sky towards the far hills, with a
    // short trail; `k` seconds since it began.
    void DrawFallingSpark(Frame& frame, double k, double x) const {
        constexpr double kFall = 1.1;
        if (k < 0 || k > kFall) return;
        for (int trail = 0; trail < 5; ++trail) {
            const double at = std::max(0.0, k - trail * 0.035) / kFall;
            const double sx = x + 160 * at, sy = 40 + 260 * at;
            frame.Add(spark_, sx - spark_.width / 2.0, sy - spark_.height / 2.0, (1 - trail * 0.2) * std::sin(k / kFall * kPi));
        }
    }

    void DrawWitch(Frame& frame, double camera, double t) const {
        const double x = WitchX(t) - camera;
        const bool walking = (t > kDoor + 0.5 && t < kDoor + 1.8) || t >= kSetOut;
        int pose = 0;
        if (!walking) {
            if (t < kWand) pose = std::fmod(t, 1.2) < 0.6 ? 44 : 45;  // looking up at the sky
            else if (t < kWand + 0.5) pose = 123;
            else if (t < kWand + 1.0) pose = 124;
            else pose = static_cast<int>(t * 6) % 2 ? 126 : 124;
        }
        const Picture& p = walking ? witch_.Walking(t, false) : witch_.Pose(pose, false);
        frame.Over(p, witch_.Left(x), witch_.Top(kGroundY));
        // Her wand's light: raised, then carried with her as she goes.
        const double glow = Smooth(kWand + 0.3, kWand + 1.0, t);
        if (glow > 0) {
            const double tipX = witch_.Left(x) + 25 * witch_.scale(), tipY = witch_.Top(kGroundY) + 22 * witch_.scale();
            const double carried = Smooth(kSetOut - 0.2, kSetOut + 0.3, t);
            const double lx = tipX + carried * 30, ly = tipY - carried * (20 + 6 * std::sin(t * 3));
            frame.Glow(lx, ly, 110, {1.0f, 0.9f, 0.6f}, 0.22 * glow);
            frame.Glow(lx, ly, 16, {1.0f, 1.0f, 0.9f}, 0.9 * glow);
            if (t < kSetOut) frame.Add(spark_, lx - spark_.width / 2.0, ly - spark_.height / 2.0, glow * (0.7 + 0.3 * std::sin(t * 9)));
        }
    }

    Place meadow_;
    Twinkles stars_, fireflies_;
    WitchPoses witch_;
    Cottage cottage_;
    Picture moon_, darkMoon_, spark_, heading_;
    Picture captions_[4];
};

}  // namespace

std::unique_ptr<Film> MakeOpeningFilm(const artgen::PixelMaps& maps) { return std::make_unique<OpeningFilm>(maps); }

}  // namespace moviegen
