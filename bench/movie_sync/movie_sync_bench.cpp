// movie_sync_bench FILE.avi ...     each movie played as the game plays it
//                                   (PlayMovie, the display paced): the audio
//                                   and video offset over its first and last
//                                   two seconds
// movie_sync_bench --minutes N      the same for a movie of N minutes made
//                                   here (a short beep every ten seconds)
// movie_sync_bench --frames DIR T   also saves the frame shown at T seconds
//                                   of each movie as DIR/<movie>-<T>.png
//
// The bench stands in for the audio device: it holds the real one and pulls
// the mix itself in real time, 1024 frames every 23.2 ms as SDL's device
// does, keeping everything it pulled and when. A frame's offset is its time
// in the movie less the time of the sound being heard when it went up
// (positive: the picture is early), taken when the frame first went up. Where the movie's sound starts in what
// was heard is found by matching the sound track sample for sample, at the
// start and again at the end (any difference is drift of the sound itself).
#include "media/core/area_hooks.h"
#include "media/media.h"
#include "media/movies/sound_track.h"
#include "media/sound/mixer.h"
#include "tools/moviegen/movie_writer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
namespace mixer = media::sound::mixer;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRate = mixer::kRate;
constexpr size_t kPiece = 1024;

double Seconds(Clock::time_point t) { return std::chrono::duration<double>(t.time_since_epoch()).count(); }

// The audio device, played by the bench.
class Device {
public:
    Device() {
        mixer::HoldDevice(true);
        // Room for ten minutes: growing it while the device runs would hold
        // the device up.
        heard_.reserve(size_t{kRate} * 60 * 10);
        pulls_.reserve(size_t{kRate} * 60 * 10 / kPiece + 1);
        thread_ = std::thread([this] { Run(); });
    }
    ~Device() {
        running_ = false;
        thread_.join();
        mixer::HoldDevice(false);
    }
    // The sample index being heard at `when`: each piece is heard from the
    // moment it was pulled, one sample after another.
    double HeardAt(double when) {
        std::lock_guard lock(mutex_);
        auto it = std::upper_bound(pulls_.begin(), pulls_.end(), when,
                                   [](double w, const Pull& p) { return w < p.when; });
        if (it == pulls_.begin()) return 0;
        --it;
        return static_cast<double>(it->first) + std::min<double>(kPiece, (when - it->when) * kRate);
    }
    std::vector<float> Left() {
        std::lock_guard lock(mutex_);
        return heard_;
    }

private:
    struct Pull {
        double when;
        size_t first;
    };
    void Run() {
        auto due = Clock::now();
        float piece[kPiece * 2];
        while (running_) {
            const double when = Seconds(Clock::now());
            mixer::Pull(piece, kPiece);
            {
                std::lock_guard lock(mutex_);
                pulls_.push_back({when, heard_.size()});
                for (size_t i = 0; i < kPiece; ++i) heard_.push_back(piece[i * 2]);
            }
            due += std::chrono::nanoseconds(1000000000LL * kPiece / kRate);
            std::this_thread::sleep_until(due);
        }
    }
    std::atomic<bool> running_{true};
    std::mutex mutex_;
    std::vector<Pull> pulls_;
    std::vector<float> heard_;  // the left channel
    std::thread thread_;
};

struct Shown {
    double when, frameSeconds;
};

struct Watch {
    std::vector<Shown> shown;
    std::string framesDir, name;
    double frameAt = -1;
    bool saved = false;
};

void Observe(const char*, double frameSeconds, void* context) {
    auto& w = *static_cast<Watch*>(context);
    w.shown.push_back({Seconds(Clock::now()), frameSeconds});
    if (!w.saved && w.frameAt >= 0 && frameSeconds >= w.frameAt) {
        char name[64];
        std::snprintf(name, sizeof name, "-%.1f.png", w.frameAt);
        SaveScreenshotPng((fs::path(w.framesDir) / (w.name + name)).string().c_str());
        w.saved = true;
    }
}

// The whole sound track, as the player decodes it (left channel).
std::vector<float> Track(const std::string& path) {
    media::movies::SoundTrack track;
    std::vector<float> left;
    if (track.Open(path.c_str()) != media::movies::SoundTrack::Opened::kPlayable) return left;
    std::vector<int16_t> piece(2 * 4096);
    for (size_t got; (got = track.Read(piece.data(), 4096)) > 0;)
        for (size_t i = 0; i < got; ++i) left.push_back(piece[i * 2] / 32768.0f);
    return left;
}

// Where sample `from` of the track (and the 4096 after it) lies in what was
// heard, searching from `start`; -1 when it cannot be found.
long Locate(const std::vector<float>& heard, const std::vector<float>& track, size_t from, size_t start) {
    constexpr size_t kWindow = 4096;
    if (from + kWindow > track.size()) return -1;
    for (size_t at = start; at + kWindow <= heard.size(); ++at) {
        if (heard[at] != track[from]) continue;
        bool same = true;
        for (size_t i = 0; i < kWindow && same; ++i) same = heard[at + i] == track[from + i];
        if (same) return static_cast<long>(at) - static_cast<long>(from);
    }
    return -1;
}

// The first sample of the track worth matching (not silence).
size_t FirstSound(const std::vector<float>& track, size_t from) {
    while (from < track.size() && std::fabs(track[from]) < 1e-3f) ++from;
    return from;
}

void Report(const char* part, const std::vector<double>& offsets) {
    if (offsets.empty()) return;
    double sum = 0, worst = 0;
    for (double o : offsets) sum += o, worst = std::fabs(o) > std::fabs(worst) ? o : worst;
    std::printf("  %s: mean %+.1f ms, worst %+.1f ms over %zu frames\n", part, 1000 * sum / offsets.size(), 1000 * worst,
                offsets.size());
}

int Measure(const std::string& path, const std::string& framesDir, double frameAt) {
    std::printf("%s\n", path.c_str());
    const std::vector<float> track = Track(path);
    if (track.empty()) {
        std::printf("  no sound track\n");
        return 1;
    }
    Watch watch{{}, framesDir, fs::path(path).stem().string(), frameAt, false};
    media::movies::SetFrameObserver(Observe, &watch);
    std::vector<float> heard;
    std::vector<Shown> shown;
    {
        Device device;
        PlayMovie(path.c_str(), 1, 1);
        media::movies::SetFrameObserver(nullptr, nullptr);
        heard = device.Left();
        for (Shown& s : watch.shown) s.when = device.HeardAt(s.when);  // now: the sample being heard
        shown = watch.shown;
    }
    const size_t first = FirstSound(track, 0);
    const long start = Locate(heard, track, first, 0);
    // Near the end: the first sound in the last twelve seconds.
    const size_t late = FirstSound(track, track.size() > size_t{kRate} * 12 ? track.size() - kRate * 12 : 0);
    const long end = start >= 0 ? Locate(heard, track, late, static_cast<size_t>(start + static_cast<long>(late))) : -1;
    if (start < 0) {
        std::printf("  the sound track was not found in what was heard\n");
        return 1;
    }
    std::printf("  %.1f s of film; the sound track began %.1f ms into what was heard", track.size() / double(kRate),
                1000.0 * start / kRate);
    if (end >= 0) std::printf(", and ends where it should %+.2f ms later (drift of the sound)\n", 1000.0 * (end - start) / kRate);
    else std::printf("; its end was not found (sound lost on the way)\n");
    const double length = shown.empty() ? 0 : shown.back().frameSeconds;
    std::vector<double> first2, last2;
    double previous = -1;
    for (const Shown& s : shown) {
        // Each frame when it first went up (it stays up for the refreshes
        // after, while its time passes).
        if (s.frameSeconds == previous) continue;
        previous = s.frameSeconds;
        const double offset = s.frameSeconds - (s.when - static_cast<double>(start)) / kRate;
        if (s.frameSeconds <= 2.0) first2.push_back(offset);
        if (s.frameSeconds >= length - 2.0) last2.push_back(offset);
    }
    Report("first 2 s", first2);
    Report("last 2 s ", last2);
    std::printf("  one frame of film is 33.3 ms\n");
    return 0;
}

// N minutes of a small picture and a beep every ten seconds.
std::string MakeLongMovie(double minutes) {
    const std::string path = (fs::temp_directory_path() / "movie_sync_bench.avi").string();
    moviegen::MovieWriter writer;
    const moviegen::SoundFormat sound;
    if (!writer.Open(path, 64, 48, 30, &sound)) return {};
    const int frames = static_cast<int>(minutes * 60 * 30);
    std::vector<int16_t> piece;
    for (int i = 0; i < frames; ++i) {
        const double t = i / 30.0;
        writer.Add(std::vector<uint32_t>(64 * 48, std::fmod(t, 10.0) < 0.1 ? 0xFFFFFFFFu : 0xFF202040u));
        piece.clear();
        for (int n = 0; n < kRate / 30; ++n) {
            const double s = t + n / double(kRate), into = std::fmod(s, 10.0);
            const int16_t v = static_cast<int16_t>(into < 0.1 ? 12000 * std::sin(2 * M_PI * 880 * into) : 0);
            piece.push_back(v), piece.push_back(v);
        }
        writer.AddSound(piece.data(), kRate / 30);
    }
    return writer.Close() ? path : std::string();
}

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_RENDER_DRIVER", "opengl", 0);
    std::vector<std::string> movies;
    std::string framesDir;
    double frameAt = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--minutes" && i + 1 < argc) {
            movies.push_back(MakeLongMovie(std::atof(argv[++i])));
        } else if (arg == "--frames" && i + 2 < argc) {
            framesDir = argv[++i];
            frameAt = std::atof(argv[++i]);
        } else {
            movies.push_back(fs::absolute(arg).string());
        }
    }
    if (movies.empty()) {
        std::fprintf(stderr, "usage: %s [--frames DIR SECONDS] FILE.avi ... | --minutes N\n", argv[0]);
        return 2;
    }
    SetAllowSecondInstance(1);
    const fs::path work = fs::temp_directory_path() / "movie_sync_bench";
    fs::create_directories(work);
    fs::current_path(work);
    if (InitMedia() != 0 || !mixer::DeviceOpen()) {
        std::fprintf(stderr, "no media layer or no audio device\n");
        return 1;
    }
    int status = 0;
    for (const std::string& movie : movies) status |= movie.empty() ? 1 : Measure(movie, framesDir, frameAt);
    EndMedia();
    return status;
}
