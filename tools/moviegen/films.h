// The four default movies of folder 25, each a film drawn frame by frame
// over music of its own: the start-up film, the opening of a new game, the
// mid-game film after stage 30 and the ending.
#pragma once

#include "tools/artgen/pixel_maps.h"
#include "tools/moviegen/frame.h"

#include <memory>

namespace moviegen {

constexpr int kFilmFramesPerSecond = 30;

class Film {
public:
    virtual ~Film() = default;
    // The picture `t` seconds into the film. Films are drawn on several
    // threads at once: drawing changes nothing but the frame.
    virtual void Draw(Frame& frame, double t) const = 0;
};

struct FilmSpec {
    const char* fileName;  // in folder 25
    const char* score;     // in content/music
    double seconds;
    // Makes the film's pictures; uses the font library, so one thread only.
    std::unique_ptr<Film> (*make)(const artgen::PixelMaps& maps);
};

std::unique_ptr<Film> MakeStartUpFilm(const artgen::PixelMaps& maps);
std::unique_ptr<Film> MakeOpeningFilm(const artgen::PixelMaps& maps);
std::unique_ptr<Film> MakeEndingFilm(const artgen::PixelMaps& maps);
std::unique_ptr<Film> MakeMidGameFilm(const artgen::PixelMaps& maps);

// The films' lengths follow their scores: a whole number of bars, and the
// last chord left to ring.
inline constexpr FilmSpec kFilms[4] = {
    {"0.avi", "film_startup.txt", 14.0, MakeStartUpFilm},
    {"1.avi", "film_opening.txt", 24.0, MakeOpeningFilm},
    {"2.avi", "film_ending.txt", 29.0, MakeEndingFilm},
    {"3.avi", "film_midgame.txt", 17.0, MakeMidGameFilm},
};

}  // namespace moviegen
