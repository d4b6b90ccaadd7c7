// The start-up film (25/0.avi, 14 s): the night sky of the tower, the witch
// on a floating magic block, the six places of her journey appearing round
// her one by one on the bells of the title's theme, and with the full chord
// her wand flares and the name appears.
#include "tools/artgen/block_art.h"
#include "tools/moviegen/film_kit.h"
#include "tools/moviegen/films.h"

#include <cmath>

namespace moviegen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBar = 2.5;  // the score's tempo: 96 beats a minute, four to the bar
constexpr double kBeat = kBar / 4;
constexpr double kFlash = 3 * kBar;  // the full chord: the wand flares, the name appears
constexpr int kRaySteps = 16;         // turned pictures of the rays, over one ray's spacing
constexpr int kRayCount = 8;

// The tower's moon in its landscape (as wide as the frame and 120 more).
constexpr double kMoonX = 380, kMoonY = 480 * 0.32, kMoonRadius = 480 * 0.2;

// Where the six windows stand: an arch round the witch, left to right in
// the order of the journey.
constexpr double kWindowAngles[6] = {200, 160, 125, 55, 20, -20};

class StartUpFilm final : public Film {
public:
    explicit StartUpFilm(const artgen::PixelMaps& maps)
        : sky_(MakePlace(maps, Theme::Tower, 120)),
          stars_(MakeTwinkles(70, 0, 300, 0.6f, 2.0f, 7, {1.0f, 0.95f, 0.85f})),
          witch_(maps, 3, {0, 1, 123, 124, 125, 126}),
          block_(Sprite(artgen::magicBlock(maps), 2)),
          glint_(Glint(30, {1.0f, 0.95f, 0.8f})),
          logo_(TitleWord()),
          tagline_(Line("A little witch's journey to bring back the moon", 20)),
          darkMoon_(Disc(kMoonRadius + 3, {0.12f, 0.08f, 0.25f})) {
        for (int i = 0; i < 6; ++i) windows_.push_back(Medallion(artgen::kThemes[i], 52));
        for (int i = 0; i < kRaySteps; ++i)
            rays_.push_back(Rays(320, kRayCount, {1.0f, 0.9f, 0.7f}, i * 2 * kPi / kRayCount / kRaySteps));
    }

    void Draw(Frame& frame, double t) const override {
        // The sky slides slowly; the stars, nearer, a little faster. The
        // moon is dark until the flare.
        const double skyX = 20 + 6 * t;
        frame.Backdrop(sky_.far, skyX);
        const double moonX = kMoonX - skyX, lit = Smooth(kFlash, kFlash + 1.2, t);
        frame.Over(darkMoon_, moonX - darkMoon_.width / 2.0, kMoonY - darkMoon_.height / 2.0, 0.85 * (1 - lit));
        frame.Glow(moonX, kMoonY, 240, {0.8f, 0.75f, 1.0f}, 0.16 * lit);
        DrawTwinkles(frame, stars_, t, 10 * t, 0, 0.6);

        // Her wand's tip, where the light comes from: (25, 22) of her picture.
        const double feetX = 320, feetY = 330, bob = 2 * std::sin(t * 1.1);
        const double tipX = witch_.Left(feetX) + 25 * witch_.scale(), tipY = witch_.Top(feetY) + bob + 22 * witch_.scale();
        if (t >= kFlash - 0.2) {
            // Rays turning behind her, two pictures mixed for a smooth turn.
            const double turn = (t - kFlash) * 0.35 * kRaySteps * kRayCount / (2 * kPi);
            const int step = static_cast<int>(std::floor(turn));
            const double part = turn - step;
            const double strength = 0.8 * Window(t, kFlash - 0.2, kFlash + 0.1, 11.5, 13.5);
            const Picture& a = rays_[size_t(((step % kRaySteps) + kRaySteps) % kRaySteps)];
            const Picture& b = rays_[size_t((((step + 1) % kRaySteps) + kRaySteps) % kRaySteps)];
            frame.Add(a, tipX - a.width / 2.0, tipY - a.height / 2.0, strength * (1 - part));
            frame.Add(b, tipX - b.width / 2.0, tipY - b.height / 2.0, strength * part);
        }

        // The six places, each on a bell.
        for (int i = 0; i < 6; ++i) {
            const double at = kBar + i * kBeat;
            const double a = kWindowAngles[i] * kPi / 180;
            const double x = 320 + 235 * std::cos(a), y = 300 - 125 * std::sin(a) + 4 * std::sin(t * 1.4 + i);
            const Picture& w = windows_[size_t(i)];
            // After the flare the windows keep a glow of its light.
            frame.Glow(x, y, 80, {0.9f, 0.8f, 1.0f}, 0.3 * Window(t, kFlash, kFlash + 0.3, kFlash + 1.0, kFlash + 3.0));
            frame.Over(w, x - w.width / 2.0, y - w.height / 2.0, Smooth(at - 0.05, at + 0.3, t));
            frame.Add(glint_, x - glint_.width / 2.0, y - glint_.height / 2.0, Window(t, at - 0.08, at + 0.02, at + 0.1, at + 0.6));
        }

        // The witch on her block, her wand raised before the chord.
        frame.Glow(feetX, feetY - 50, 150, {0.55f, 0.45f, 0.9f}, 0.35);
        frame.Over(block_, feetX - block_.width / 2.0, feetY + bob);
        const int pose = t < kFlash - 1.1   ? (std::fmod(t, 2.6) < 0.15 ? 1 : 0)
                         : t < kFlash - 0.5 ? 123
                         : t < kFlash       ? 124
                         : t < kFlash + 1   ? 126
                                            : (static_cast<int>(t * 4) % 2 ? 125 : 124);
        frame.Over(witch_.Pose(pose, false), witch_.Left(feetX), witch_.Top(feetY) + bob);
        const double charge = Smooth(kFlash - 1.1, kFlash, t) * (1 - 0.6 * Smooth(kFlash, kFlash + 1.5, t));
        if (charge > 0) frame.Glow(tipX, tipY, 14 + 26 * charge, {1.0f, 0.95f, 0.75f}, 0.8 * charge);

        // The name, and a glint passing over it.
        const double logoX = 320 - (logo_.width - 8) / 2.0, logoY = 96 - (logo_.height - 10) / 2.0 - 10;
        frame.Over(logo_, logoX, logoY, Smooth(kFlash, kFlash + 0.6, t));
        const double sweep = Smooth(kFlash + 0.3, kFlash + 1.5, t);
        if (sweep > 0 && sweep < 1)
            frame.Add(glint_, logoX + sweep * logo_.width - glint_.width / 2.0, logoY + logo_.height * 0.55 - glint_.height / 2.0, 1.4);
        frame.Over(tagline_, 320 - tagline_.width / 2.0, 440 - tagline_.height / 2.0, Smooth(kFlash + 2.0, kFlash + 3.0, t));

        frame.Darken(vignette_);
        // The flare itself, and in and out of black.
        frame.Veil({1, 1, 1}, 0.75 * Window(t, kFlash - 0.05, kFlash, kFlash + 0.05, kFlash + 0.7));
        frame.Veil({0, 0, 0}, 1 - Smooth(0, 2.0, t) + Smooth(12.6, 13.9, t));
    }

private:
    Shade vignette_ = Vignette(0.75);
    Place sky_;
    Twinkles stars_;
    WitchPoses witch_;
    Picture block_, glint_, logo_, tagline_, darkMoon_;
    std::vector<Picture> windows_, rays_;
};

}  // namespace

std::unique_ptr<Film> MakeStartUpFilm(const artgen::PixelMaps& maps) { return std::make_unique<StartUpFilm>(maps); }

}  // namespace moviegen
