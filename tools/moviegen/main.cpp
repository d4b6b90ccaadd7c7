// The movie generator: makes the four default movies of folder 25, each a
// film drawn with the game's own art over music from its score.
//
//   lumotta_moviegen --art <content/art> --music <content/music> --out <dir>
//                    [--fonts <dir>] [--only 0,2] [--stills <dir> --every <seconds>]
//
// The same sources give the same bytes. The films are drawn and encoded on
// two threads; --stills also saves a PNG of every so many seconds of each
// film, for review.
#include "tools/artgen/image_files.h"
#include "tools/artgen/pixel_maps.h"
#include "tools/artgen/text.h"
#include "tools/moviegen/film_music.h"
#include "tools/moviegen/films.h"
#include "tools/moviegen/movie_writer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace moviegen;

namespace {

struct Options {
    std::string art, music, out, fonts = "/usr/share/fonts/truetype/dejavu", only, stills;
    double every = 2.0;
};

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        if (key == "--art") o.art = value;
        else if (key == "--music") o.music = value;
        else if (key == "--out") o.out = value;
        else if (key == "--fonts") o.fonts = value;
        else if (key == "--only") o.only = value;
        else if (key == "--stills") o.stills = value;
        else if (key == "--every") o.every = std::stod(value);
        else return false;
    }
    return argc % 2 == 1 && !o.art.empty() && !o.music.empty() && !o.out.empty() && o.every > 0;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

artgen::Canvas ToCanvas(const Frame& frame) {
    artgen::Canvas canvas(kFrameWidth, kFrameHeight);
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            const uint32_t p = frame.pixels()[static_cast<size_t>(y) * kFrameWidth + x];
            canvas.set(x, y, artgen::Rgba(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF));
        }
    return canvas;
}

// The stills of a film at half size, four to a row.
bool SaveSheet(const std::string& path, const std::vector<artgen::Canvas>& stills) {
    constexpr int kAcross = 4, kW = kFrameWidth / 2, kH = kFrameHeight / 2, kGap = 4;
    const int rows = (static_cast<int>(stills.size()) + kAcross - 1) / kAcross;
    artgen::Canvas sheet(kAcross * (kW + kGap) + kGap, rows * (kH + kGap) + kGap, artgen::Rgba(40, 40, 48));
    for (size_t i = 0; i < stills.size(); ++i)
        sheet.draw(artgen::resized(stills[i], kW, kH), kGap + static_cast<int>(i % kAcross) * (kW + kGap),
                   kGap + static_cast<int>(i / kAcross) * (kH + kGap));
    return artgen::writePng(path, sheet, 3);
}

struct Job {
    const FilmSpec* spec;
    std::unique_ptr<Film> film;
    std::string error;
    double seconds = 0;  // time it took to draw and encode
};

// Draws, scores and encodes one film into a temporary file, then moves it
// into place, so that a failed run leaves no half movie behind.
void Make(Job& job, const Options& o) {
    const auto start = std::chrono::steady_clock::now();
    const FilmSpec& spec = *job.spec;
    const std::string path = (fs::path(o.out) / spec.fileName).string();
    const std::string part = path + ".part";
    try {
        const std::vector<int16_t> music = RenderFilmMusic((fs::path(o.music) / "instruments.txt").string(),
                                                           (fs::path(o.music) / spec.score).string(), spec.seconds);
        MovieWriter writer;
        const SoundFormat sound;
        if (!writer.Open(part, kFrameWidth, kFrameHeight, kFilmFramesPerSecond, &sound))
            throw std::runtime_error("cannot write " + part);
        const int frames = static_cast<int>(std::lround(spec.seconds * kFilmFramesPerSecond));
        const int stillEvery = static_cast<int>(std::lround(o.every * kFilmFramesPerSecond));
        size_t soundDone = 0;
        Frame frame;
        std::vector<artgen::Canvas> stills;
        for (int i = 0; i < frames; ++i) {
            const double t = static_cast<double>(i) / kFilmFramesPerSecond;
            job.film->Draw(frame, t);
            if (!writer.Add(frame.pixels())) throw std::runtime_error("cannot encode " + part);
            const size_t soundEnd = std::min(music.size() / 2, static_cast<size_t>(std::llround(
                                                                    (i + 1.0) / kFilmFramesPerSecond * kMusicRate)));
            if (!writer.AddSound(music.data() + soundDone * 2, soundEnd - soundDone))
                throw std::runtime_error("cannot encode the sound of " + part);
            soundDone = soundEnd;
            if (!o.stills.empty() && i % stillEvery == 0) {
                char name[64];
                std::snprintf(name, sizeof name, "%.1s-%04.1f.png", spec.fileName, t);
                stills.push_back(ToCanvas(frame));
                artgen::writePng((fs::path(o.stills) / name).string(), stills.back(), 3);
            }
        }
        if (!stills.empty())
            SaveSheet((fs::path(o.stills) / (std::string(spec.fileName, 1) + "-sheet.png")).string(), stills);
        if (!writer.Close()) throw std::runtime_error("cannot finish " + part);
        fs::rename(part, path);
    } catch (const std::exception& e) {
        job.error = e.what();
        std::error_code ignored;
        fs::remove(part, ignored);
    }
    job.seconds = SecondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Parse(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: %s --art <dir> --music <dir> --out <dir> [--fonts <dir>] [--only 0,2] "
                     "[--stills <dir> --every <seconds>]\n",
                     argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    artgen::PixelMaps maps;
    std::string error;
    if (!maps.load(o.art, error)) {
        std::fprintf(stderr, "moviegen: %s\n", error.c_str());
        return 1;
    }
    if (!artgen::startText(o.fonts)) return 1;
    fs::create_directories(o.out);
    if (!o.stills.empty()) fs::create_directories(o.stills);

    // The pictures of every film are made first, here: the font library
    // works on one thread.
    std::vector<Job> jobs;
    for (const FilmSpec& spec : kFilms) {
        if (!o.only.empty() && ("," + o.only + ",").find(std::string(",") + spec.fileName[0] + ",") == std::string::npos)
            continue;
        jobs.push_back({&spec, spec.make(maps), {}, 0});
    }
    artgen::stopText();
    const double preparing = SecondsSince(start);

    // The longest films first, two at a time.
    std::vector<Job*> order;
    for (Job& job : jobs) order.push_back(&job);
    std::sort(order.begin(), order.end(), [](Job* a, Job* b) { return a->spec->seconds > b->spec->seconds; });
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i; (i = next++) < order.size();) Make(*order[i], o);
    };
    std::thread helper(worker);
    worker();
    helper.join();

    int status = 0;
    for (const Job& job : jobs) {
        if (!job.error.empty()) {
            std::fprintf(stderr, "moviegen: %s\n", job.error.c_str());
            status = 1;
        } else {
            std::printf("moviegen: 25/%s, %.1f s of film, made in %.1f s\n", job.spec->fileName, job.spec->seconds,
                        job.seconds);
        }
    }
    for (const std::string& m : maps.missing()) std::fprintf(stderr, "moviegen: no sprite named `%s`\n", m.c_str()), status = 1;
    std::printf("moviegen: pictures made in %.1f s, all done in %.1f s\n", preparing, SecondsSince(start));
    return status;
}
