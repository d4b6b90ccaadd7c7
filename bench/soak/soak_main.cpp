// The soak run: the whole program (runGame, the real main loop, paced at 60
// ticks a second, headless) played for a long time by random but plausible
// input through the scripted-input seam. Every 10 s it samples resident
// memory, open file descriptors and live image and sound handles; it fails
// on a hang (no tick for 5 s), on growth of any of these within a scene
// after the first visit of every scene, and on a saved file changed by
// anything but the game's own save at exit. A crash ends the process, which
// bench/soak/run.sh reports.
//
//   bench_soak --data DIR --work DIR [--minutes N] [--seed S] [--source DIR]
#include "bench/soak/soak_input.h"
#include "game/shell/command_line.h"
#include "game/shell/controls.h"
#include "game/shell/game_main.h"
#include "game/state/globals.h"
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/images/image_table.h"
#include "media/media.h"
#include "media/sound/sound.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSampleSeconds = 10;
constexpr int kHangSeconds = 5;
constexpr long kRssSlackKb = 8 * 1024;  // allocator noise within one scene
constexpr const char* kSavedNames[] = {"K.dat", "S.dat", "B.dat", "H.dat"};
constexpr const char* kSceneNames[] = {"play",  "game over", "title",     "stage select", "ranking",  "settings",
                                       "opening", "start-up", "interlude", "ending",       "mid-game"};

// What moves while the program is alive: frames shown, or a scene's
// pictures and sounds coming in.
struct Progress {
    long frames;
    int images;
    int sounds;
    bool operator!=(const Progress& o) const { return frames != o.frames || images != o.images || sounds != o.sounds; }
};

struct Sample {
    int seconds;
    long ticks;
    int scene;
    int stage;
    long rssKb;
    int fds;
    int images;
    int sounds;
};

std::atomic<long> gTicks{0};
std::atomic<long> gFrames{0};  // ticks and movie frames: what a hang stops
std::atomic<int> gScene{-1};
std::atomic<int> gStage{0};
std::atomic<bool> gStop{false};
std::atomic<int> gSceneChanges{0};
soak::InputMaker* gMaker = nullptr;

void observe(const InputState* records, void*) {
    const long tick = gTicks.load() + 1;
    gTicks.store(tick);
    gFrames.fetch_add(1);
    if (game.scene != gScene.load()) gSceneChanges.fetch_add(1);
    gScene.store(game.scene);
    gStage.store(game.stageNumber);
    gMaker->afterTick(records, tick);
    if (gStop.load()) game.quitRequested = 1;
}

void movieFrame(const char*, double, void*) { gFrames.fetch_add(1); }

long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int openDescriptors() {
    int n = 0;
    std::error_code error;
    for (auto it = fs::directory_iterator("/proc/self/fd", error); !error && it != fs::directory_iterator();
         it.increment(error))
        ++n;
    return n - 1;  // the listing's own
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> savedFiles(const std::string& folder) {
    std::vector<std::string> all;
    for (const char* name : kSavedNames) all.push_back(readAll(folder + "/01/" + name));
    return all;
}

// A game folder of its own: the data set's folders linked in, its stage
// files copied, and every stage reachable from the stage select.
bool makeGameFolder(const std::string& data, const std::string& work) {
    std::error_code error;
    fs::remove_all(work, error);
    fs::create_directories(work + "/game/01");
    fs::create_directories(work + "/run");
    fs::permissions(work + "/run", fs::perms::owner_all);
    for (const auto& entry : fs::directory_iterator(data)) {
        const std::string name = entry.path().filename().string();
        if (name == "01") continue;
        if (name == "Log.txt" || name == "lumotta.ini" || name == "screenshots") continue;
        fs::create_symlink(entry.path(), work + "/game/" + name, error);
    }
    for (const auto& entry : fs::directory_iterator(fs::path(data) / "01")) {
        const std::string name = entry.path().filename().string();
        if (name == "K.dat" || name == "S.dat" || name == "B.dat" || name == "H.dat") continue;
        fs::copy_file(entry.path(), work + "/game/01/" + name, error);
    }
    const int32_t highest = 50;
    std::ofstream(work + "/game/01/H.dat", std::ios::binary).write(reinterpret_cast<const char*>(&highest), 4);
    return fs::exists(work + "/game/01/00.dat");
}

}  // namespace

int main(int argc, char** argv) {
    std::string data, work, source = ".";
    double minutes = 60;
    unsigned seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--data") data = argv[i + 1];
        else if (arg == "--work") work = argv[i + 1];
        else if (arg == "--source") source = argv[i + 1];
        else if (arg == "--minutes") minutes = std::atof(argv[i + 1]);
        else if (arg == "--seed") seed = static_cast<unsigned>(std::atoi(argv[i + 1]));
    }
    if (data.empty() || work.empty() || minutes <= 0) {
        std::fprintf(stderr, "usage: bench_soak --data DIR --work DIR [--minutes N] [--seed S] [--source DIR]\n");
        return 2;
    }
    work = fs::absolute(work).string();
    source = fs::absolute(source).string();
    if (!makeGameFolder(fs::absolute(data).string(), work)) {
        std::fprintf(stderr, "soak: %s holds no stage files\n", data.c_str());
        return 2;
    }
    fs::current_path(work + "/game");
    setenv("HOME", (work + "/home").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (work + "/run").c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    const auto runFor = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(minutes * 60));
    // Room for the run at a full 60 ticks a second, and some.
    soak::InputMaker maker(seed, source, static_cast<long>(minutes * 60 * 60) + 3600);
    gMaker = &maker;
    const std::vector<std::string> savedAtStart = savedFiles(work + "/game");

    std::vector<Sample> samples;
    std::mutex samplesLock;
    std::string failure;
    const auto started = Clock::now();
    std::thread sampler([&] {
        Progress lastProgress{-1, -1, -1};
        auto lastFrameSeen = Clock::now();
        int nextSample = 0;
        while (!gStop.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            const auto now = Clock::now();
            const long ticks = gTicks.load();
            // A scene's loading draws no frame: pictures and sounds coming in
            // are progress too (764 pictures take seconds on a busy machine).
            int images = 0;
            {
                media::ApiLockGuard lock;
                images = media::images::LiveImageCount();
            }
            const Progress progress{gFrames.load(), images, media::sound::LiveSoundCount()};
            if (progress != lastProgress) lastProgress = progress, lastFrameSeen = now;
            if (now - lastFrameSeen > std::chrono::seconds(kHangSeconds)) {
                std::fprintf(stderr, "soak: FAIL: no frame for %d s (tick %ld, scene %d, stage %d)\n", kHangSeconds,
                             ticks, gScene.load(), gStage.load());
                std::fflush(nullptr);
                _exit(3);
            }
            const int seconds = static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(now - started).count());
            if (seconds < nextSample) continue;
            nextSample += kSampleSeconds;
            Sample s{seconds, ticks, gScene.load(), gStage.load(), residentKb(), openDescriptors(), 0, 0};
            {
                media::ApiLockGuard lock;
                s.images = media::images::LiveImageCount();
            }
            s.sounds = media::sound::LiveSoundCount();
            if (!gStop.load() && savedFiles(work + "/game") != savedAtStart && failure.empty())
                failure = "a saved file changed while the game ran (at " + std::to_string(seconds) + " s)";
            std::lock_guard<std::mutex> hold(samplesLock);
            samples.push_back(s);
            std::printf("%6d s %8ld ticks  %-12s stage %2d  RSS %7.1f MB  fds %3d  images %5d  sounds %3d\n", s.seconds,
                        s.ticks, s.scene >= 0 && s.scene <= 10 ? kSceneNames[s.scene] : "?", s.stage,
                        s.rssKb / 1024.0, s.fds, s.images, s.sounds);
            std::fflush(stdout);
            if (now - started >= runFor) gStop.store(true);
        }
    });

    installInputScript(maker.records(), static_cast<uint32_t>(maker.tickCapacity()));
    setInputObserver(observe, nullptr);
    media::movies::SetFrameObserver(movieFrame, nullptr);
    CommandLine options;
    const int status = runGame(options);
    gStop.store(true);
    sampler.join();
    setInputObserver(nullptr, nullptr);
    removeInputScript();

    // The saved files hold what the game held at its exit, and nothing else.
    const std::vector<std::string> savedAtEnd = savedFiles(work + "/game");
    const std::string expected[] = {
        std::string(reinterpret_cast<const char*>(&game.settings), sizeof game.settings),
        std::string(reinterpret_cast<const char*>(game.highScores), sizeof game.highScores),
        std::string(reinterpret_cast<const char*>(game.padButtons), sizeof game.padButtons),
        std::string(reinterpret_cast<const char*>(&game.highestStage), sizeof game.highestStage),
    };
    for (int f = 0; f < 4; ++f)
        if (savedAtEnd[f] != expected[f] && failure.empty())
            failure = std::string("01/") + kSavedNames[f] + " does not hold what the game saved at exit";
    if (status != 0 && failure.empty()) failure = "the program ended with status " + std::to_string(status);

    // Growth: within each scene, nothing may exceed what that scene showed up
    // to the end of the first cycle; a scene first reached later (an
    // interlude, the ending) is measured over its first minute.
    const int cycleEnd = maker.firstCycleSeconds() >= 0 ? maker.firstCycleSeconds()
                         : samples.empty()                ? 0
                                                          : samples.back().seconds / 4;
    // A run that never met every scene is measured from its first quarter
    // (the summary lists the scenes it met).
    std::map<int, Sample> baseline;
    std::map<int, int> measuredUntil;
    for (const Sample& s : samples) {
        if (!measuredUntil.count(s.scene)) measuredUntil[s.scene] = std::max(cycleEnd, s.seconds + 60);
        if (s.seconds <= measuredUntil[s.scene]) {
            Sample& b = baseline.try_emplace(s.scene, s).first->second;
            b.rssKb = std::max(b.rssKb, s.rssKb), b.fds = std::max(b.fds, s.fds);
            b.images = std::max(b.images, s.images), b.sounds = std::max(b.sounds, s.sounds);
            continue;
        }
        const Sample& b = baseline[s.scene];
        if (s.rssKb > b.rssKb + kRssSlackKb || s.fds > b.fds || s.images > b.images || s.sounds > b.sounds) {
            char text[256];
            std::snprintf(text, sizeof text,
                          "growth in the %s scene at %d s: RSS %ld KB (before %ld), fds %d (%d), images %d (%d), "
                          "sounds %d (%d)",
                          kSceneNames[s.scene], s.seconds, s.rssKb, b.rssKb, s.fds, b.fds, s.images, b.images,
                          s.sounds, b.sounds);
            if (failure.empty()) failure = text;
        }
    }

    long rssMin = 0, rssMax = 0;
    int fdMax = 0, imageMax = 0, soundMax = 0;
    for (const Sample& s : samples) {
        rssMin = rssMin == 0 ? s.rssKb : std::min(rssMin, s.rssKb), rssMax = std::max(rssMax, s.rssKb);
        fdMax = std::max(fdMax, s.fds), imageMax = std::max(imageMax, s.images), soundMax = std::max(soundMax, s.sounds);
    }
    std::printf("\nsoak: %ld ticks in %.1f min, %d scene changes, %d stages started, %d stage clears, %d deaths\n",
                gTicks.load(), std::chrono::duration<double>(Clock::now() - started).count() / 60,
                gSceneChanges.load(), maker.stagesStarted(), maker.clears(), maker.deaths());
    std::printf("soak: scenes visited: %s; first cycle ended at %d s\n", maker.scenesVisited().c_str(),
                maker.firstCycleSeconds());
    std::printf("soak: RSS %.1f..%.1f MB, fds at most %d, images at most %d, sounds at most %d, %zu samples\n",
                rssMin / 1024.0, rssMax / 1024.0, fdMax, imageMax, soundMax, samples.size());
    if (!failure.empty()) {
        std::printf("soak: FAIL: %s\n", failure.c_str());
        return 1;
    }
    std::printf("soak: PASS\n");
    return 0;
}
