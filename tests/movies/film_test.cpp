// The movie generator's films: how a frame is put together, the four films'
// pictures and their music.
#include "tools/artgen/pixel_maps.h"
#include "tools/artgen/text.h"
#include "tools/moviegen/film_music.h"
#include "tools/moviegen/films.h"
#include "tools/moviegen/frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

using namespace moviegen;

uint32_t At(const Frame& f, int x, int y) { return f.pixels()[size_t(y) * kFrameWidth + x]; }
int Red(uint32_t p) { return p >> 16 & 0xFF; }
int Green(uint32_t p) { return p >> 8 & 0xFF; }
int Blue(uint32_t p) { return p & 0xFF; }

Picture Solid(int w, int h, uint32_t premultiplied) {
    return Picture{w, h, std::vector<uint32_t>(size_t(w) * h, premultiplied)};
}

TEST(FilmFrame, LayingOverMixesByAlphaWithoutWrappingRound) {
    Frame f;
    f.Fill({1, 1, 1});
    // Half-transparent white over white stays white (a channel that ran
    // over would wrap round to black).
    f.Over(Solid(4, 4, 0x80808080u), 10, 10);
    EXPECT_EQ(At(f, 11, 11) & 0xFFFFFF, 0xFFFFFFu);
    // Half-transparent red over black: half red.
    f.Fill({0, 0, 0});
    f.Over(Solid(4, 4, 0x80800000u), 10, 10, 1.0);
    EXPECT_NEAR(Red(At(f, 11, 11)), 128, 1);
    EXPECT_EQ(Green(At(f, 11, 11)), 0);
    // At half opacity an opaque blue counts half; outside the picture
    // nothing changes, and a picture hanging off the frame is clipped.
    f.Over(Solid(4, 4, 0xFF0000FFu), 20, 20, 0.5);
    EXPECT_NEAR(Blue(At(f, 21, 21)), 128, 1);
    EXPECT_EQ(At(f, 24, 24) & 0xFFFFFF, 0u);
    f.Over(Solid(8, 8, 0xFF00FF00u), kFrameWidth - 4, -4);
    EXPECT_EQ(Green(At(f, kFrameWidth - 1, 0)), 255);
    EXPECT_EQ(Green(At(f, kFrameWidth - 5, 0)), 0);
}

TEST(FilmFrame, LightAddsAndStopsAtWhite) {
    Frame f;
    f.Fill({0.5f, 0.5f, 0.5f});
    f.Add(Solid(2, 2, 0xFF606060u), 0, 0, 1.0);
    EXPECT_NEAR(Red(At(f, 0, 0)), 128 + 0x60, 1);
    f.Add(Solid(2, 2, 0xFFFFFFFFu), 0, 0, 2.0);
    EXPECT_EQ(At(f, 1, 1) & 0xFFFFFF, 0xFFFFFFu);
    // A glow is brightest in its middle and nothing at its edge.
    f.Fill({0, 0, 0});
    f.Glow(100, 100, 50, {1, 1, 1}, 1.0);
    EXPECT_GT(Red(At(f, 100, 100)), 200);
    EXPECT_GT(Red(At(f, 100, 100)), Red(At(f, 120, 100)));
    EXPECT_EQ(Red(At(f, 151, 100)), 0);
}

TEST(FilmFrame, BackdropsSlideByFractionsOfAPixel) {
    // Columns alternately black and white.
    Picture stripes{kFrameWidth + 4, kFrameHeight, {}};
    for (int y = 0; y < stripes.height; ++y)
        for (int x = 0; x < stripes.width; ++x) stripes.pixels.push_back(x % 2 ? 0xFFFFFFFFu : 0xFF000000u);
    Frame f;
    f.Backdrop(stripes, 1.0);
    EXPECT_EQ(At(f, 0, 0) & 0xFFFFFF, 0xFFFFFFu);  // column 1 of the picture
    EXPECT_EQ(At(f, 1, 0) & 0xFFFFFF, 0u);
    f.Backdrop(stripes, 1.5);  // half way between two columns: grey
    EXPECT_NEAR(Red(At(f, 0, 0)), 128, 1);
    EXPECT_NEAR(Red(At(f, 1, 0)), 128, 1);
    // A band repeats its tile across the frame, moved by the scroll.
    Picture tile{3, 2, {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}};
    f.Band(tile, 1.0, 100);
    EXPECT_EQ(At(f, 0, 100) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(At(f, 2, 101) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(At(f, 638, 100) & 0xFFFFFF, At(f, 635, 100) & 0xFFFFFF);
    EXPECT_EQ(At(f, 0, 99), At(f, 0, 0));  // above the band: the backdrop
}

TEST(FilmFrame, DimmingVeilingAndMixingFrames) {
    Frame a, b;
    a.Fill({1, 1, 1});
    b.Fill({0, 0, 1});
    a.Mix(b, 0.5);
    EXPECT_NEAR(Red(At(a, 5, 5)), 128, 1);
    EXPECT_EQ(Blue(At(a, 5, 5)), 255);
    a.Dim(0.5);
    EXPECT_NEAR(Blue(At(a, 5, 5)), 128, 1);
    a.Veil({0, 0, 0}, 1.0);
    EXPECT_EQ(At(a, 5, 5) & 0xFFFFFF, 0u);
    Shade shade{std::vector<uint8_t>(size_t{kFrameWidth} * kFrameHeight, 255)};
    shade.keep[0] = 0;
    b.Darken(shade);
    EXPECT_EQ(At(b, 0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(Blue(At(b, 1, 0)), 255);
}

// The four films, drawn with the real art: each comes out of black and goes
// back into it, and in between shows a picture that moves.
class Films : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* source = std::getenv("LUMOTTA_SOURCE_DIR");
        ASSERT_NE(source, nullptr);
        std::string error;
        ASSERT_TRUE(maps_.load(std::string(source) + "/content/art", error)) << error;
        ASSERT_TRUE(artgen::startText("/usr/share/fonts/truetype/dejavu"));
    }
    static void TearDownTestSuite() { artgen::stopText(); }
    static double Brightness(const Frame& f) {
        double sum = 0;
        for (uint32_t p : f.pixels()) sum += Red(p) + Green(p) + Blue(p);
        return sum / (3.0 * f.pixels().size());
    }
    static artgen::PixelMaps maps_;
};
artgen::PixelMaps Films::maps_;

TEST_F(Films, EachFadesInShowsAMovingPictureAndFadesOut) {
    for (const FilmSpec& spec : kFilms) {
        SCOPED_TRACE(spec.fileName);
        EXPECT_GE(spec.seconds, 12.0);
        EXPECT_LE(spec.seconds, 30.0);
        const std::unique_ptr<Film> film = spec.make(maps_);
        Frame first, middle, later, last;
        film->Draw(first, 0);
        film->Draw(middle, spec.seconds / 2);
        film->Draw(later, spec.seconds / 2 + 0.5);
        film->Draw(last, spec.seconds - 1.0 / kFilmFramesPerSecond);
        EXPECT_LT(Brightness(first), 2.0);
        EXPECT_LT(Brightness(last), 12.0);
        EXPECT_GT(Brightness(middle), 20.0);
        size_t moved = 0;
        for (size_t i = 0; i < middle.pixels().size(); ++i) moved += middle.pixels()[i] != later.pixels()[i];
        EXPECT_GT(moved, middle.pixels().size() / 50) << "half a second on, hardly anything moved";
        // Drawing is all there is to it: the same moment twice is the same picture.
        Frame again;
        film->Draw(again, spec.seconds / 2);
        EXPECT_EQ(again.pixels(), middle.pixels());
    }
}

TEST(FilmMusic, AsLongAsTheFilmAndFadedAtItsEnd) {
    const char* source = std::getenv("LUMOTTA_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const std::string music = std::string(source) + "/content/music";
    for (const FilmSpec& spec : kFilms) {
        SCOPED_TRACE(spec.score);
        const std::vector<int16_t> sound = RenderFilmMusic(music + "/instruments.txt", music + "/" + spec.score, spec.seconds);
        ASSERT_EQ(sound.size(), 2 * size_t(std::llround(spec.seconds * kMusicRate)));
        double loud = 0;
        for (size_t i = 0; i < sound.size(); ++i) loud = std::max(loud, std::fabs(sound[i] / 32768.0));
        EXPECT_GT(loud, 0.1);
        EXPECT_EQ(sound[sound.size() - 1], 0);
        EXPECT_EQ(sound[sound.size() - 2], 0);
    }
    // A score that loops is a track for the game, not for a film.
    EXPECT_THROW(RenderFilmMusic(music + "/instruments.txt", music + "/1.txt", 10), std::runtime_error);
}

}  // namespace
