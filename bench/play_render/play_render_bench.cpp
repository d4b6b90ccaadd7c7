// The cost of one play frame on screen: clearing, drawPlayScene on a busy
// stage (full field, 100 actors, 100 effects, the intro overlay loading its
// next picture every frame) and presenting, with the default pictures.
//
//   SDL_VIDEODRIVER=offscreen SDL_RENDER_DRIVER=opengl
//   build/bench/play_render/bench_play_render [frames] [data directory]
//
// The effect table holds one of each full-screen effect (the spell backdrop,
// which loads its next picture every fourth frame, and the beam), as play
// can show them: the spell that brings the backdrop cannot be cast again
// while it runs. BENCH_EVERY_EFFECT_COPY=1 keeps the shared crowd's six
// copies of each instead, a worst case no stage reaches.
// BENCH_NO_OVERLAY=1 leaves the intro overlay out.
//
// The stage is entered as the game enters it, from the title, whose
// warm-up decodes the stage's pictures and the intro's frames ahead (the
// measuring starts once it is done); BENCH_STRAIGHT_INTO_PLAY=1 enters it
// straight after start-up, so the first pass of the intro decodes its
// frames as it goes. LUMOTTA_CACHE_MB=0 keeps no decoded picture: every
// load decodes, as before the cache.
#include "bench/common/crowded_stage.h"
#include "game/play/play_render.h"
#include "game/shell/frame_tick.h"
#include "game/state/globals.h"
#include "media/core/work_ahead.h"
#include "media/media.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

// CPU time of the whole process (the GL driver renders on threads of its
// own): the figure holds on a machine shared with other work.
double processCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec * 1e-6;
}

// Copies of the full-screen effects after the first become small ones.
void thinFullScreenEffects() {
    bool seen49 = false, seen50 = false;
    for (Actor& e : game.effects) {
        if (e.live <= 0) continue;
        if (e.kind == 49) {
            if (seen49) e.kind = 26;
            seen49 = true;
        } else if (e.kind == 50) {
            if (seen50) e.kind = 36;
            seen50 = true;
        }
    }
}

void fillField() {
    for (int column = 1; column <= 18; ++column)
        for (int row = 2; row <= 12; ++row)
            if (game.tileMap.blocks[column * kGridRows + row] == 0)
                game.tileMap.blocks[column * kGridRows + row] = 1 + (column + row) % 3;
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 2000;
    std::filesystem::path data = argc > 2 ? argv[2] : BENCH_DATA_DIR;
    if (!std::filesystem::is_directory(data / "04") && !std::filesystem::exists(data / "04.lmt")) {
        std::fprintf(stderr, "no default pictures in %s: build the data first\n", data.c_str());
        return 1;
    }
    std::filesystem::current_path(data);
    SetAllowSecondInstance(1);
    SetFramePacing(0);
    if (InitMedia() != 0) {
        std::fprintf(stderr, "the media layer could not start (see Log.txt)\n");
        return 1;
    }
    SetPackArchiveExtension("lmt");
    SetTransparentColor(0, 255, 0);

    if (!std::getenv("BENCH_STRAIGHT_INTO_PLAY")) {
        game.scene = kSceneTitle;
        LoadSceneImages();
        media::core::WaitForWorkAhead();
    }
    game.scene = kScenePlay;
    game.stageNumber = 0;
    LoadSceneImages();
    buildCrowdedStage();
    fillEffects();
    if (!std::getenv("BENCH_EVERY_EFFECT_COPY")) thinFullScreenEffects();
    fillField();
    game.players[0].magic = 3;
    game.score = 123456;

    std::vector<double> ms, cpu;
    ms.reserve(frames);
    cpu.reserve(frames);
    for (int f = 0; f < frames; ++f) {
        game.startCounter = std::getenv("BENCH_NO_OVERLAY") ? 0 : 1 + f % 68;  // the intro overlay reads a picture a frame
        for (Actor& e : game.effects) e.timer = static_cast<int16_t>((e.timer + 1) % 30);
        for (Actor& a : game.actors) a.timer += 1;
        const auto begin = std::chrono::steady_clock::now();
        const double cpuBegin = processCpuMs();
        ClearScreen();
        drawPlayScene();
        FlipScreen();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
        cpu.push_back(processCpuMs() - cpuBegin);
    }
    EndMedia();

    auto report = [frames](const char* what, std::vector<double>& v) {
        std::sort(v.begin(), v.end());
        std::printf("%s, %d frames: median %.2f ms, p99 %.2f ms, max %.2f ms\n", what, frames,
                    v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 99 / 100)], v.back());
    };
    report("play frame (clear + drawPlayScene + present), wall clock", ms);
    report("play frame, CPU time of the process", cpu);
    return 0;
}
