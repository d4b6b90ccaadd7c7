// The ending film (25/2.avi, 29 s), after the last stage: the whole journey.
// On top of the dark tower Lumotta lets every spark she gathered fly up, and
// the moon shines again; its light falls on each land she passed through as
// she walks home, the peak, the desert, the caves and the wood; she reaches
// her house in the meadow and waves, and "The End".
#include "tools/moviegen/film_kit.h"
#include "tools/moviegen/films.h"

#include <cmath>

namespace moviegen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBar = 60.0 / 108 * 4;  // the score: 108 beats a minute, four to the bar
constexpr double kMoonLights = 2 * kBar; // bar 3: the theme in full
constexpr double kJourney = 3 * kBar;    // bars 4 to 7: a land a bar
constexpr double kHome = 7 * kBar;       // bars 8 to 10: the meadow and her house
constexpr double kEnd = 10 * kBar;       // bars 11 on: "The End"
constexpr double kFade = 0.35;           // the cross-fade between lands
constexpr double kWalkSpeed = 70;        // hers, pixels a second
constexpr int kGroundY = 400;
constexpr int kSparks = 40;
constexpr Rgb kMoonlight{0.85f, 0.88f, 1.0f};  // on her and the creatures
constexpr Rgb kHomeNight{0.36f, 0.4f, 0.66f}, kHomeNightAdd{0.0f, 0.0f, 0.03f};  // on the meadow
constexpr int kRaySteps = 12;
constexpr int kRayCount = 12;

// The lands of the way home, one a bar, each with one of its creatures.
struct Land {
    Theme theme;
    const char* name;
    Rgb night;            // the landscape's colours by moonlight
    const char* creature; // two pictures, flipped between
    const char* creature2;
    double creatureY;     // its feet (or its middle, flying)
    double creatureWalk;  // its own speed to the left (the game's creatures face left)
    bool flying;
};

const Land kLands[4] = {
    {Theme::Snow, "The Frozen Peak", {0.75f, 0.8f, 1.0f}, "ghost_a", "ghost_b", 230, 20, true},
    {Theme::Desert, "The Desert of Stars", {0.5f, 0.5f, 0.75f}, "walker_a", "walker_b", kGroundY, 40, false},
    {Theme::Cave, "The Crystal Caves", {1.0f, 1.0f, 1.0f}, "bat_a", "bat_b", 150, 110, true},
    {Theme::Forest, "The Whispering Wood", {0.65f, 0.7f, 0.85f}, "crawler_a", "crawler_b", kGroundY, 20, false},
};

class EndingFilm final : public Film {
public:
    explicit EndingFilm(const artgen::PixelMaps& maps)
        : tower_(MakePlace(maps, Theme::Tower, 100)),
          meadow_(Night(MakePlace(maps, Theme::Meadow, 400), kHomeNight, kHomeNightAdd)),
          witch_(maps, 3, {71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 123, 124, 125, 126}, kMoonlight),
          cottage_(maps, kHomeNight, kHomeNightAdd),
          stars_(MakeTwinkles(70, 0, 250, 0.5f, 1.6f, 21, {1.0f, 0.97f, 0.9f})),
          snow_(MakeTwinkles(90, 0, 480, 0.8f, 2.2f, 22, {0.9f, 0.95f, 1.0f})),
          fireflies_(MakeTwinkles(30, 200, 390, 1.0f, 2.2f, 23, {0.85f, 1.0f, 0.45f})),
          spark_(Glint(12, {1.0f, 0.95f, 0.7f})),
          bigGlint_(Glint(40, {1.0f, 0.97f, 0.85f})),
          moon_(Disc(36, {1.0f, 0.97f, 0.85f})),
          darkMoon_(Disc(480 * 0.2 + 3, {0.12f, 0.08f, 0.25f})),
          theEnd_(Heading("The End", 72)),
          thanks_(Words("Thank you for playing!", 28)),
          logo_(TitleWord()) {
        for (const Land& land : kLands) {
            lands_.push_back(Night(MakePlace(maps, land.theme, 200), land.night));
            names_.push_back(Heading(land.name, 30));
            creatures_.push_back({Sprite(maps.sprite(land.creature), 3, false, kMoonlight),
                                  Sprite(maps.sprite(land.creature2), 3, false, kMoonlight)});
        }
        homeName_ = Heading("Home", 30);
        for (int i = 0; i < kRaySteps; ++i)
            rays_.push_back(Rays(480, kRayCount, {0.95f, 0.9f, 1.0f}, i * 2 * kPi / kRayCount / kRaySteps, 0.2, false));
        captions_[0] = Caption("At the top of the dark tower,", "Lumotta let every spark she had gathered fly.");
        captions_[1] = Caption("The moon shone again, and its light fell", "on every land she had passed through...");
        captions_[2] = Caption("...lighting the little witch's way home.");
        captions_[3] = Caption("And the valley slept under the moon once more.");
    }

    void Draw(Frame& frame, double t) const override {
        if (t < kJourney) {
            DrawTower(frame, t);
        } else if (t < kHome) {
            const int i = static_cast<int>((t - kJourney) / kBar);
            DrawLand(frame, i, t);
        } else {
            DrawHome(frame, t);
        }
        // Lands fade one into the next over the bar line.
        for (int bar = 3; bar <= 7; ++bar) {
            const double at = bar * kBar;
            if (t < at - kFade || t >= at) continue;
            Frame next;
            if (bar < 7) DrawLand(next, bar - 3, t);
            else DrawHome(next, t);
            frame.Mix(next, Smooth(at - kFade, at, t));
        }
        frame.Darken(vignette_);

        const double captionTimes[4][2] = {{0.4, kMoonLights - 0.2},
                                           {kMoonLights + 0.5, kJourney + 2 * kBar - 0.1},
                                           {kJourney + 2 * kBar, kHome - 0.2},
                                           {kHome + 0.4, kEnd - 0.1}};
        for (int i = 0; i < 4; ++i) {
            const double from = captionTimes[i][0], to = captionTimes[i][1];
            DrawCaption(frame, captions_[i], Window(t, from, from + 0.4, to - 0.4, to));
        }
        DrawTheEnd(frame, t);
        frame.Veil({1, 1, 1}, 0.8 * Window(t, kMoonLights - 0.05, kMoonLights, kMoonLights + 0.05, kMoonLights + 0.8));
        frame.Veil({0, 0, 0}, 1 - Smooth(0, 1.0, t) + Smooth(27.8, 28.95, t));
    }

private:
    Shade vignette_ = Vignette(0.8);
    // The tower's moon in its landscape, and where the camera keeps it.
    static constexpr double kTowerScroll = 50, kMoonX = 370 - kTowerScroll, kMoonY = 480 * 0.32;

    void DrawTower(Frame& frame, double t) const {
        DrawPlace(frame, tower_, kTowerScroll * 4, kGroundY);
        const double lit = Smooth(kMoonLights, kMoonLights + 1.0, t);
        frame.Over(darkMoon_, kMoonX - darkMoon_.width / 2.0, kMoonY - darkMoon_.height / 2.0, 0.85 * (1 - lit));
        DrawTwinkles(frame, stars_, t, 0, 0, 0.6);
        if (lit > 0) {
            frame.Glow(kMoonX, kMoonY, 320, {0.8f, 0.75f, 1.0f}, 0.08 * lit);
            const double turn = t * 0.25 * kRaySteps * kRayCount / (2 * kPi);
            const int step = static_cast<int>(turn);
            const double part = turn - step;
            const Picture& a = rays_[size_t(step % kRaySteps)];
            const Picture& b = rays_[size_t((step + 1) % kRaySteps)];
            frame.Add(a, kMoonX - a.width / 2.0, kMoonY - a.height / 2.0, 0.35 * lit * (1 - part));
            frame.Add(b, kMoonX - b.width / 2.0, kMoonY - b.height / 2.0, 0.35 * lit * part);
        }
        // Lumotta on the tower top: wand up, the sparks leaving it; then a
        // hop for joy.
        const double x = 320;
        int pose = t < 0.8 ? 123 : t < kMoonLights ? (static_cast<int>(t * 6) % 2 ? 126 : 125) : 71 + static_cast<int>((t - kMoonLights) * 8) % 11;
        frame.Over(witch_.Pose(pose, false), witch_.Left(x), witch_.Top(kGroundY));
        const double tipX = witch_.Left(x) + 25 * witch_.scale(), tipY = witch_.Top(kGroundY) + 22 * witch_.scale();
        if (t < kMoonLights + 0.5) frame.Glow(tipX, tipY, 20, {1.0f, 0.95f, 0.7f}, 0.6 * Window(t, 0.6, 1.2, kMoonLights, kMoonLights + 0.5));
        for (int i = 0; i < kSparks; ++i) {
            const double start = 0.9 + i * 0.06;
            const double k = (t - start) / (kMoonLights - start);
            if (k <= 0 || k >= 1) continue;
            // A widening spiral from her wand up into the moon.
            const double a = i * 2.399 + k * 7;
            const double r = 90 * std::sin(k * kPi);
            const double sx = tipX + (kMoonX - tipX) * k * k + r * std::cos(a);
            const double sy = tipY + (kMoonY - tipY) * k * k + 0.5 * r * std::sin(a);
            frame.Add(spark_, sx - spark_.width / 2.0, sy - spark_.height / 2.0, 0.5 + 0.5 * std::sin(k * kPi));
        }
        if (t >= kMoonLights - 0.1)
            frame.Add(bigGlint_, kMoonX - bigGlint_.width / 2.0, kMoonY - bigGlint_.height / 2.0, 1.5 * Window(t, kMoonLights - 0.1, kMoonLights, kMoonLights + 0.2, kMoonLights + 1.2));
    }

    // One land of the way home by moonlight: she walks left through it,
    // the camera going with her, and its creature goes its own way.
    void DrawLand(Frame& frame, int i, double t) const {
        const Land& land = kLands[i];
        const double from = kJourney + i * kBar;
        const double local = t - from;
        const double camera = 200 - kWalkSpeed * (local + kFade);  // the ground slides right as she walks left
        DrawPlace(frame, lands_[size_t(i)], camera, kGroundY, 0.25);
        if (land.theme == Theme::Snow) {
            frame.Over(moon_, 480 - moon_.width / 2.0, 80 - moon_.height / 2.0);
            frame.Glow(480, 80, 160, {0.85f, 0.85f, 1.0f}, 0.3);
        } else if (land.theme == Theme::Desert) {
            // The desert's painter sets a great disc on its horizon: by night
            // it is the moon going down.
            const double x = lands_[size_t(i)].far.width * 0.5 - camera * 0.25, y = 480 * 0.62;
            frame.Glow(x, y, 190, {0.85f, 0.85f, 1.0f}, 0.3);
        } else {
            frame.Glow(320, -40, 420, {0.8f, 0.8f, 1.0f}, 0.22);  // moonlight from above
        }
        const std::array<Picture, 2>& c = creatures_[size_t(i)];
        const Picture& picture = c[static_cast<int>(t * 4) % 2];
        const double cx = 480 + (kWalkSpeed - land.creatureWalk) * local;
        const double cy = land.flying ? land.creatureY + 12 * std::sin(t * 3) - picture.height / 2.0 : land.creatureY - picture.height;
        frame.Over(picture, cx, cy);
        if (land.theme == Theme::Snow) DrawTwinkles(frame, snow_, t, camera * 1.2, 40, 0.6);
        if (land.theme == Theme::Forest || land.theme == Theme::Cave) DrawTwinkles(frame, fireflies_, t, camera * 1.2, 0, 0.7);
        frame.Over(witch_.Walking(t, true), witch_.Left(330), witch_.Top(kGroundY));
        frame.Over(names_[size_t(i)], 24, 20, Window(t, from, from + 0.3, from + kBar - 0.5, from + kBar));
    }

    // Home: the meadow, her house, the moon; she walks to her door and
    // waves.
    void DrawHome(Frame& frame, double t) const {
        const double local = t - kHome;
        const double camera = std::max(0.0, 260 - 120 * (local + kFade));
        DrawPlace(frame, meadow_, camera, kGroundY, 0.1);
        const double houseX = 60 - camera;
        cottage_.Draw(frame, houseX, kGroundY, false);
        DrawTwinkles(frame, stars_, t, camera * 0.1, 0, 0.8);
        frame.Over(moon_, 430 - camera * 0.1 - moon_.width / 2.0, 92 - moon_.height / 2.0);
        frame.Glow(430 - camera * 0.1, 92, 170, {0.85f, 0.85f, 1.0f}, 0.35);
        cottage_.DrawWindow(frame, houseX, kGroundY, 1);
        DrawTwinkles(frame, fireflies_, t, camera * 1.3, 0, 0.6);
        // She walks in from the right to beside her door, then turns and
        // waves.
        const double arrive = 2.6;
        const double x = local < arrive ? 560 - (560 - 300) * local / arrive : 300;
        if (local < arrive) {
            frame.Over(witch_.Walking(t, true), witch_.Left(x + houseX - 60), witch_.Top(kGroundY));
        } else {
            const int pose = 71 + static_cast<int>((local - arrive) * 9) % 11;
            frame.Over(witch_.Pose(pose, false), witch_.Left(x + houseX - 60), witch_.Top(kGroundY));
        }
        frame.Over(homeName_, 24, 20, Window(t, kHome, kHome + 0.3, kHome + 2.4, kHome + 2.9));
    }

    void DrawTheEnd(Frame& frame, double t) const {
        const double shown = Smooth(kEnd, kEnd + 1.0, t);
        if (shown <= 0) return;
        frame.Veil({0.05f, 0.03f, 0.12f}, 0.55 * shown);
        frame.Over(logo_, 320 - (logo_.width - 8) / 2.0, 95 - (logo_.height - 10) / 2.0 - 10, shown);
        frame.Over(theEnd_, 320 - theEnd_.width / 2.0, 245 - theEnd_.height / 2.0, Smooth(kEnd + 0.4, kEnd + 1.4, t));
        frame.Over(thanks_, 320 - thanks_.width / 2.0, 330 - thanks_.height / 2.0, Smooth(kEnd + 1.4, kEnd + 2.4, t));
        // Glints drifting down like the sparks, now free.
        for (int i = 0; i < 14; ++i) {
            const double k = std::fmod(t * 0.12 + i * 0.071, 1.0);
            const double x = 40 + std::fmod(i * 173.0, 560.0) + 20 * std::sin(t + i);
            frame.Add(spark_, x - spark_.width / 2.0, -20 + 520 * k - spark_.height / 2.0, shown * std::sin(k * kPi));
        }
    }

    Place tower_, meadow_;
    std::vector<Place> lands_;
    WitchPoses witch_;
    Cottage cottage_;
    Twinkles stars_, snow_, fireflies_;
    Picture spark_, bigGlint_, moon_, darkMoon_, theEnd_, thanks_, logo_, homeName_;
    std::vector<Picture> names_, rays_;
    std::vector<std::array<Picture, 2>> creatures_;
    Picture captions_[4];
};

}  // namespace

std::unique_ptr<Film> MakeEndingFilm(const artgen::PixelMaps& maps) { return std::make_unique<EndingFilm>(maps); }

}  // namespace moviegen
