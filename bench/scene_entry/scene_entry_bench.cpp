// The time a scene change takes: ResetSceneState, LoadSceneSounds and
// LoadSceneImages, as the game runs them, with the default data.
//
//   SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
//     build/bench/scene_entry/bench_scene_entry [rounds] [data directory]
//
// Each round starts the media layer afresh (nothing decoded yet) and walks
// the scenes in the order a player meets them: the title (for two seconds
// at 60 ticks a second, and on until its warm-up is done), the first stage
// with its intro, the same stage again after a lost life, the next stage,
// the game over, and every front-end scene twice (first and second entry).
// A round runs once with the decoded cache off (LUMOTTA_CACHE_MB=0: every
// load decodes, nothing is decoded ahead but the next picture of a run) and
// once with its default budget; the figures are the medians over the
// rounds, wall clock and the game thread's CPU time, and the last column is
// the cached time as a share of the uncached one. A round without the title
// ("stage entry, cold, no warm-up") enters the first stage straight after
// start-up. BENCH_ONLY=cached or uncached runs one of the two.
//
// To compare with another build, compile this file against it (without the
// two internal headers below, which only the warm-up's time and the full
// game's cache figure need) and run both by turns.
//
// BENCH_FULL_GAME=1 adds a pass through every stage (each with its intro),
// the interludes, the game over and the menus, and reports the peak
// resident memory of the process (target: 350 MB).
#include "game/shell/frame_tick.h"
#include "game/shell/saved_files.h"
#include "game/state/globals.h"
#include "game/state/scene_entry.h"
#include "media/core/decoded_cache.h"
#include "media/core/work_ahead.h"
#include "media/media.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point begin) {
    return std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
}

// CPU time of the calling thread: the figure that holds on a machine shared
// with other work (waits for the worker thread are not in it).
double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec * 1e-6;
}

// Resident memory in MB from /proc: the peak since the last reset (VmHWM)
// or now (VmRSS).
double residentMb(const char* field = "VmHWM:") {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atof(line.c_str() + std::strlen(field)) / 1024.0;
    return 0;
}
double peakResidentMb() { return residentMb(); }
void resetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

struct Time {
    double wall = 0, cpu = 0;
};

struct Figures {
    std::map<std::string, std::vector<Time>> ms;
    std::vector<std::string> order;
    void add(const std::string& what, Time value) {
        if (!ms.count(what)) order.push_back(what);
        ms[what].push_back(value);
    }
};

// One scene change as the game makes it.
Time enter(int scene, int stage) {
    game.scene = scene;
    game.stageNumber = stage;
    game.players[0].lives = 2;
    const auto begin = Clock::now();
    const double cpuBegin = threadCpuMs();
    ResetSceneState();
    LoadSceneSounds();
    LoadSceneImages();
    const Time t{msSince(begin), threadCpuMs() - cpuBegin};
    // The next frame begins (and ends the scene change in the log).
    ClearScreen();
    FlipScreen();
    return t;
}

// Ticks of the current scene at 60 a second (the title) or flat out.
void runTicks(int ticks, bool paced) {
    auto next = Clock::now();
    for (int i = 0; i < ticks; ++i) {
        FrameTick();
        if (paced) {
            next += std::chrono::microseconds(16667);
            std::this_thread::sleep_until(next);
        }
    }
}

// The title for two seconds at 60 ticks a second (as a hasty player sees
// it before the new game; the opening movie follows), then until its
// warm-up is done. Returns when the warm-up was done, in ms from the title.
double runTitle() {
    const auto begin = Clock::now();
    double done = -1;
    auto next = begin;
    for (int i = 0; i < 120 || done < 0; ++i) {
        FrameTick();
        if (done < 0 && media::core::WorkAheadDone()) done = msSince(begin);
        next += std::chrono::microseconds(16667);
        std::this_thread::sleep_until(next);
    }
    return done;
}

bool startMedia(bool cached) {
    if (cached) unsetenv("LUMOTTA_CACHE_MB");
    else setenv("LUMOTTA_CACHE_MB", "0", 1);
    SetAllowSecondInstance(1);
    SetFramePacing(0);
    if (InitMedia() != 0) return false;
    SetPackArchiveExtension("lmt");
    SetDrawTarget(kDrawTargetBack);
    SetTransparentColor(0, 255, 0);
    setSavedDefaults();
    installShellSceneEntry();
    return true;
}

// What a player meets, first and second time.
void round(Figures& f, const std::string& mode) {
    auto add = [&](const std::string& what, Time v) { f.add(what + "|" + mode, v); };
    add("title, first entry", enter(kSceneTitle, 0));
    const double warm = runTitle();
    add("(warm-up done, ms after the title)", Time{warm, 0});
    add("stage entry, cold after the title", enter(kScenePlay, 0));
    runTicks(130, false);  // the intro loads its pictures one a tick
    add("stage entry again (a lost life)", enter(kScenePlay, 0));
    add("next stage", enter(kScenePlay, 1));
    add("game over, first entry", enter(kSceneGameOver, 1));
    add("title", enter(kSceneTitle, 0));
    add("stage select, first entry", enter(kSceneStageSelect, 0));
    add("ranking, first entry", enter(kSceneRanking, 0));
    add("settings, first entry", enter(kSceneSettings, 0));
    add("interlude, first entry", enter(kSceneInterlude, 5));
    add("stage entry, next band", enter(kScenePlay, 10));
    add("game over", enter(kSceneGameOver, 10));
    add("title, again", enter(kSceneTitle, 0));
    add("stage select", enter(kSceneStageSelect, 0));
    add("ranking", enter(kSceneRanking, 0));
    add("settings", enter(kSceneSettings, 0));
    add("interlude", enter(kSceneInterlude, 10));
}

void coldRound(Figures& f, const std::string& mode) {
    f.add("stage entry, cold, no warm-up|" + mode, enter(kScenePlay, 0));
}

// Every stage with its intro, the interludes, the menus: the peak memory.
void fullGame() {
    enter(kSceneTitle, 0);
    runTitle();
    for (int stage = 0; stage <= 50; ++stage) {
        if (stage > 0 && stage % 5 == 0) {
            enter(kSceneInterlude, stage);
            runTicks(5, false);
        }
        enter(kScenePlay, stage);
        runTicks(130, false);
    }
    enter(kSceneGameOver, 50);
    runTicks(5, false);
    for (int scene : {kSceneTitle, kSceneStageSelect, kSceneRanking, kSceneSettings, kSceneTitle}) {
        enter(scene, 0);
        runTicks(5, false);
    }
}

double median(const std::vector<Time>& times, double Time::*field) {
    std::vector<double> v;
    for (const Time& t : times) v.push_back(t.*field);
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::filesystem::path data = argc > 2 ? argv[2] : BENCH_DATA_DIR;
    if (!std::filesystem::is_directory(data / "04") && !std::filesystem::exists(data / "04.lmt")) {
        std::fprintf(stderr, "no default pictures in %s: build the data first\n", data.c_str());
        return 1;
    }
    std::filesystem::current_path(data);
    Figures f;
    std::map<std::string, double> peak;
    if (const char* loop = std::getenv("BENCH_LOOP")) {
        // One warm scene entry alone, many times (for a profiler):
        // BENCH_LOOP=times, BENCH_SCENE=scene number (play by default).
        const int scene = std::getenv("BENCH_SCENE") ? std::atoi(std::getenv("BENCH_SCENE")) : kScenePlay;
        if (!startMedia(true)) return 1;
        game.scene = scene;
        enter(scene, 0);
        std::vector<Time> times, parts[3];
        for (int i = std::atoi(loop); i > 0; --i) {
            times.push_back(enter(scene, 0));
            void (*steps[3])() = {ResetSceneState, LoadSceneSounds, LoadSceneImages};
            for (int k = 0; k < 3; ++k) {
                const auto begin = Clock::now();
                const double cpuBegin = threadCpuMs();
                steps[k]();
                parts[k].push_back(Time{msSince(begin), threadCpuMs() - cpuBegin});
            }
        }
        EndMedia();
        std::printf("warm entry of scene %d: median %.2f ms (cpu %.2f ms); reset %.2f (%.2f), sounds %.2f (%.2f), "
                    "pictures %.2f (%.2f)\n",
                    scene, median(times, &Time::wall), median(times, &Time::cpu), median(parts[0], &Time::wall),
                    median(parts[0], &Time::cpu), median(parts[1], &Time::wall), median(parts[1], &Time::cpu),
                    median(parts[2], &Time::wall), median(parts[2], &Time::cpu));
        return 0;
    }
    const char* only = std::getenv("BENCH_ONLY");   // "cached" or "uncached"
    for (int r = 0; r < rounds; ++r) {
        for (const char* mode : {"uncached", "cached"}) {
            if (only && std::strcmp(only, mode) != 0) continue;
            const bool cached = std::strcmp(mode, "cached") == 0;
            for (int kind = 0; kind < 2; ++kind) {
                resetPeakResident();
                if (!startMedia(cached)) {
                    std::fprintf(stderr, "the media layer could not start (see Log.txt)\n");
                    return 1;
                }
                if (kind == 0) coldRound(f, mode);
                else round(f, mode);
                EndMedia();
                peak[mode] = std::max(peak[mode], peakResidentMb());
            }
        }
    }
    std::printf("%-36s %21s %21s %13s\n", "scene entry, median ms", "uncached wall (cpu)", "cached wall (cpu)",
                "ratio (cpu)");
    for (const std::string& key : f.order) {
        const std::string what = key.substr(0, key.find('|'));
        if (f.order.end() != std::find(f.order.begin(), f.order.end(), what + "|uncached") &&
            key != what + "|uncached")
            continue;
        const auto& before = f.ms[what + "|uncached"];
        const auto& after = f.ms[what + "|cached"];
        const double bw = median(before, &Time::wall), bc = median(before, &Time::cpu);
        const double aw = median(after, &Time::wall), ac = median(after, &Time::cpu);
        std::printf("%-36s %11.1f (%7.1f) %11.1f (%7.1f) %6.3f (%5.3f)\n", what.c_str(), bw, bc, aw, ac,
                    bw > 0 ? aw / bw : 0, bc > 0 ? ac / bc : 0);
    }
    std::printf("peak resident memory of a round: uncached %.0f MB, cached %.0f MB\n", peak["uncached"],
                peak["cached"]);
    if (std::getenv("BENCH_FULL_GAME")) {
        for (const char* mode : {"uncached", "cached"}) {
            resetPeakResident();
            if (!startMedia(std::strcmp(mode, "cached") == 0)) return 1;
            const auto begin = Clock::now();
            fullGame();
            const double ms = msSince(begin);
            const double held = media::cache::HeldBytes() / 1048576.0;
            const double now = residentMb("VmRSS:");
            EndMedia();
            std::printf("a full game's scene changes, %s: %.1f s, peak resident memory %.0f MB "
                        "(at the end %.0f MB, of which %.0f MB kept decoded)\n",
                        mode, ms / 1000, peakResidentMb(), now, held);
        }
    }
    return 0;
}
