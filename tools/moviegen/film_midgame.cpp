// The mid-game film (25/3.avi, 17 s), after stage 30: the road behind her
// (meadow, wood and caves) in quick glimpses, the starry desert where the
// sparks she has gathered circle her hat and point the way, and far off on
// the highest snowy peak the dark tower with the stolen light. Halfway
// there.
#include "tools/moviegen/film_kit.h"
#include "tools/moviegen/films.h"

#include <algorithm>
#include <cmath>

namespace moviegen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBar = 3.0;            // the score: 80 beats a minute, four to the bar
constexpr double kDesert = kBar;        // bars 2 and 3
constexpr double kPeak = 3 * kBar;      // bars 4 and 5
constexpr double kHalfway = 5 * kBar;   // bar 6
constexpr double kFade = 0.3;
constexpr int kGroundY = 400;
constexpr int kSparks = 30;
constexpr Rgb kDusk{0.9f, 0.85f, 1.0f};

// The road behind her, a glimpse each in the first bar.
constexpr Theme kBehind[3] = {Theme::Meadow, Theme::Forest, Theme::Cave};

class MidGameFilm final : public Film {
public:
    explicit MidGameFilm(const artgen::PixelMaps& maps)
        : desert_(MakePlace(maps, Theme::Desert, 200)),
          snow_(MakePlace(maps, Theme::Snow, 200)),
          witch_(maps, 4, {0, 1, 44, 45, 123, 124, 126}, kDusk),
          stars_(MakeTwinkles(60, 0, 200, 0.5f, 1.5f, 31, {1.0f, 0.97f, 0.9f})),
          snowfall_(MakeTwinkles(80, 0, 480, 0.8f, 2.0f, 32, {0.92f, 0.96f, 1.0f})),
          spark_(Glint(10, {1.0f, 0.95f, 0.7f})),
          tower_(DarkTower()),
          halfway_(Heading("Halfway there!", 56)),
          onward_(Words("Onward, Lumotta!", 26)) {
        for (Theme theme : kBehind) behind_.push_back(Night(MakePlace(maps, theme, 300), {0.8f, 0.8f, 0.95f}));
        captions_[0] = Caption("Meadow, wood and caves lie behind her now.");
        captions_[1] = Caption("In the desert the sun sets and the stars come out,", "but still no moon rises.");
        captions_[2] = Caption("The sparks she has gathered point the way:", "to a dark tower on the highest peak.");
        peakX_ = HighestPeak(snow_.far, 380, 560, &peakY_);
    }

    void Draw(Frame& frame, double t) const override {
        if (t < kDesert) {
            DrawBehind(frame, std::min(2, static_cast<int>(t / 1.0)), t);
            for (int i = 1; i < 3; ++i) {
                if (t < i - kFade || t >= i) continue;
                Frame next;
                DrawBehind(next, i, t);
                frame.Mix(next, Smooth(i - kFade, i, t));
            }
        } else if (t < kPeak) {
            DrawDesert(frame, t);
        } else {
            DrawPeak(frame, t);
        }
        for (double at : {kDesert, kPeak}) {
            if (t < at - kFade || t >= at) continue;
            Frame next;
            if (at == kDesert) DrawDesert(next, t);
            else DrawPeak(next, t);
            frame.Mix(next, Smooth(at - kFade, at, t));
        }
        frame.Darken(vignette_);
        const double captionTimes[3][2] = {{0.15, kDesert - 0.1}, {kDesert + 0.4, kPeak - 0.2}, {kPeak + 0.4, kHalfway - 0.1}};
        for (int i = 0; i < 3; ++i) {
            const double from = captionTimes[i][0], to = captionTimes[i][1];
            DrawCaption(frame, captions_[i], Window(t, from, from + 0.3, to - 0.4, to));
        }
        frame.Over(halfway_, 320 - halfway_.width / 2.0, 170 - halfway_.height / 2.0, Smooth(kHalfway, kHalfway + 0.5, t));
        frame.Over(onward_, 320 - onward_.width / 2.0, 250 - onward_.height / 2.0, Smooth(kHalfway + 0.6, kHalfway + 1.1, t));
        frame.Veil({1, 1, 1}, 0.5 * Window(t, kHalfway - 0.05, kHalfway, kHalfway + 0.05, kHalfway + 0.5));
        frame.Veil({0, 0, 0}, 1 - Smooth(0, 0.4, t) + Smooth(16.1, 16.95, t));
    }

private:
    Shade vignette_ = Vignette(0.8);
    // A glimpse of a land behind her: the camera races along as she walks.
    void DrawBehind(Frame& frame, int i, double t) const {
        const double camera = 40 + 160 * t;
        DrawPlace(frame, behind_[size_t(i)], camera, kGroundY, 0.25);
        frame.Over(witch_.Walking(t, false), witch_.Left(250 + 10 * t), witch_.Top(kGroundY));
    }

    // The starry desert: she walks in, stops and looks up; the sparks circle
    // her hat, then stream away to the right, where the peak is.
    void DrawDesert(Frame& frame, double t) const {
        const double local = t - kDesert;
        const double stop = 2.2;
        const double walked = local < stop ? local : stop;
        const double camera = 40 + 60 * walked;
        DrawPlace(frame, desert_, camera, kGroundY, 0.25);
        DrawTwinkles(frame, stars_, t, camera * 0.25, 0, 0.8 * Smooth(0, 2, local));
        const double x = 140 + 80 * walked;
        const Picture& pose = local < stop ? witch_.Walking(t, false) : witch_.Pose(std::fmod(local, 1.2) < 0.6 ? 44 : 45, false);
        frame.Over(pose, witch_.Left(x), witch_.Top(kGroundY));
        // The hat's tip: (18, 9) of her picture.
        const double hx = witch_.Left(x) + 18 * witch_.scale(), hy = witch_.Top(kGroundY) + 9 * witch_.scale();
        const double away = Smooth(4.6, 6.0, local);
        for (int i = 0; i < kSparks; ++i) {
            const double a = i * 2 * kPi / kSparks + local * 1.6;
            const double r = 60 + 12 * std::sin(local * 2 + i);
            const double ox = hx + r * std::cos(a), oy = hy - 30 + 0.35 * r * std::sin(a);
            // Away: each in turn streams off to the upper right.
            const double k = std::clamp(away * 1.6 - i * 0.02, 0.0, 1.0);
            const double sx = ox + (760 - ox) * k * k, sy = oy + (60 - oy) * k;
            const double shine = Smooth(0.3, 1.2, local) * (0.6 + 0.4 * std::sin(local * 7 + i));
            frame.Add(spark_, sx - spark_.width / 2.0, sy - spark_.height / 2.0, shine);
        }
        frame.Glow(hx, hy - 30, 90, {1.0f, 0.9f, 0.6f}, 0.18 * Smooth(0.3, 1.2, local) * (1 - away));
    }

    // The snowy range by night, the tower on its highest peak holding the
    // stolen light, snow falling; she stands small, looking up at it.
    void DrawPeak(Frame& frame, double t) const {
        const double local = t - kPeak;
        const double camera = 120 + 30 * local;
        DrawPlace(frame, snow_, camera, kGroundY, 0.25);
        const double x = peakX_ - camera * 0.25;
        frame.Over(tower_, x - tower_.width / 2.0, peakY_ - tower_.height + 6);
        const double pulse = 0.75 + 0.25 * std::sin(t * 2.5);
        frame.Glow(x, peakY_ - tower_.height + 20, 120, {0.85f, 0.75f, 1.0f}, 0.45 * pulse);
        frame.Glow(x, peakY_ - tower_.height + 20, 24, {1.0f, 1.0f, 1.0f}, 0.8 * pulse);
        DrawTwinkles(frame, snowfall_, t, camera * 1.3, 45, 0.55);
        const double wx = 360 - camera;  // she stands where she stopped as the camera moves on
        frame.Over(witch_.Pose(std::fmod(local, 1.4) < 0.7 ? 44 : 45, false), witch_.Left(wx), witch_.Top(kGroundY));
    }

    // The dark tower: a spire of the tower lands, small with distance.
    static Picture DarkTower() {
        artgen::Canvas c(60, 150);
        c.fillRect(16, 40, 28, 110, artgen::Rgba(40, 24, 60));
        c.fillRect(16, 40, 6, 110, artgen::Rgba(58, 36, 84));
        c.fillPolygon({{8, 42}, {52, 42}, {30, 0}}, artgen::Rgba(70, 30, 100));
        for (int k = 0; k < 4; ++k) c.fillRect(27, 58 + k * 22, 7, 10, artgen::Rgba(255, 210, 120, 220));
        return ToPicture(c);
    }

    // The column of the snow-capped range, between two columns, whose cap
    // is highest, and the cap's top there.
    static double HighestPeak(const Picture& land, int from, int to, double* top) {
        const uint32_t cap = 0xFF000000u | 220u << 16 | 230u << 8 | 250u;
        int best = from, bestY = land.height;
        for (int x = from; x < to && x < land.width; ++x)
            for (int y = 60; y + 2 < land.height; ++y) {
                const uint32_t* p = land.pixels.data() + static_cast<size_t>(y) * land.width + x;
                if (p[0] == cap && p[land.width] == cap && p[2 * land.width] == cap) {
                    if (y < bestY) best = x, bestY = y;
                    break;
                }
            }
        *top = bestY;
        return best;
    }

    Place desert_, snow_;
    std::vector<Place> behind_;
    WitchPoses witch_;
    Twinkles stars_, snowfall_;
    Picture spark_, tower_, halfway_, onward_;
    Picture captions_[3];
    double peakX_ = 0, peakY_ = 0;
};

}  // namespace

std::unique_ptr<Film> MakeMidGameFilm(const artgen::PixelMaps& maps) { return std::make_unique<MidGameFilm>(maps); }

}  // namespace moviegen
