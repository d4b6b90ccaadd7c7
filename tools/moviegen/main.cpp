// lumotta_moviegen FONT OUTPUT_DIR: writes the default movies 0.avi .. 3.avi.
#include "tools/moviegen/canvas.h"
#include "tools/moviegen/movie_writer.h"
#include "tools/moviegen/scenes.h"

#include <cmath>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FONT OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    if (!moviegen::OpenFonts(argv[1])) {
        std::fprintf(stderr, "moviegen: cannot use the font %s\n", argv[1]);
        return 1;
    }
    using namespace moviegen;
    int status = 0;
    for (const Scene& scene : kScenes) {
        const std::string path = std::string(argv[2]) + "/" + scene.fileName;
        MovieWriter writer;
        bool ok = writer.Open(path, kMovieWidth, kMovieHeight, kMovieFramesPerSecond);
        const int frames = int(std::lround(scene.seconds * kMovieFramesPerSecond));
        for (int i = 0; ok && i < frames; ++i) {
            Canvas canvas(kMovieWidth, kMovieHeight);
            scene.draw(canvas, float(i) / kMovieFramesPerSecond);
            ok = writer.Add(canvas.pixels());
        }
        if (!writer.Close() || !ok) {
            std::fprintf(stderr, "moviegen: could not write %s\n", path.c_str());
            std::remove(path.c_str());
            status = 1;
        }
    }
    moviegen::CloseFonts();
    return status;
}
