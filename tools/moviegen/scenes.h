// The four default movies, each a short scene drawn frame by frame.
#pragma once

#include "tools/moviegen/canvas.h"

namespace moviegen {

struct Scene {
    const char* fileName;  // inside the movie folder
    float seconds;
    void (*draw)(Canvas& canvas, float time);  // time in seconds from the start
};

extern const Scene kScenes[4];

constexpr int kMovieWidth = 640;
constexpr int kMovieHeight = 480;
constexpr int kMovieFramesPerSecond = 30;

}  // namespace moviegen
