// lumotta-run: plays one stage headless from its files with a replay or an
// input script, prints how it ended, the score and a hash of the final state,
// and can take screenshots through the real renderer.
#include "game/play/play_render.h"
#include "game/shell/frame_tick.h"
#include "game/shell/replay.h"
#include "game/state/globals.h"
#include "media/media.h"
#include "tools/runner/command_line.h"
#include "tools/runner/input_script.h"
#include "tools/runner/stage_run.h"
#include "tools/stagec/stage_io.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

namespace {

int usage() {
    std::fputs(
        "usage: lumotta-run (--replay FILE | --script FILE) [options]\n"
        "  --data DIR          the data folder holding 01/ (default: LUMOTTA_DATA_DIR or the build's)\n"
        "  --stage N           play stage N (default: the replay's or the script's)\n"
        "  --ticks N           run N ticks in all, nothing held after the input ends\n"
        "  --write-replay OUT  also write the input as a replay file\n"
        "  --shots DIR         screenshots (PNG) through the renderer, SDL offscreen:\n"
        "  --every N           ... every N ticks\n"
        "  --at N              ... after tick N (0 = as loaded; may repeat)\n"
        "  --at-end            ... after the last tick\n"
        "  --trace N           print the player's position and state every N ticks\n",
        stderr);
    return 2;
}

using tool_options::readNumber;

struct Screenshots {
    std::string folder;
    long every = 0;
    std::set<long> at;
    bool atEnd = false;
    bool started = false;

    bool wanted() const { return !folder.empty(); }

    bool start(const std::string& dataDir) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_RENDER_DRIVER", "opengl", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        std::filesystem::create_directories(folder);
        folder = std::filesystem::absolute(folder).string();
        SetAllowSecondInstance(1);
        SetFramePacing(0);
        if (InitMedia() == -1) return false;
        SetDrawTarget(kDrawTargetBack);
        SetTransparentColor(0, 255, 0);
        FileSetCurrentDirectory(dataDir.c_str());
        started = true;
        return true;
    }

    void loadPictures() {
        // The run keeps its game state; only the handle tables change.
        LoadSceneImages();
    }

    void take(long tick) {
        ClearScreen();
        drawPlayScene();
        char name[64];
        std::snprintf(name, sizeof name, "/stage%02d-tick%05ld.png", game.stageNumber, tick);
        std::string path = folder + name;
        if (SaveScreenshotPng(path.c_str()) == 0)
            std::printf("screenshot %s\n", path.c_str());
        else
            std::fprintf(stderr, "could not write the screenshot %s\n", path.c_str());
    }

    void stop() {
        if (started) EndMedia();
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::string replayPath, scriptPath, writeReplay, dataDir = tool_options::defaultDataDir();
    long stage = -1, ticks = -1, trace = 0;
    Screenshots shots;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        long n = 0;
        if (arg == "--replay" && hasValue) replayPath = argv[++i];
        else if (arg == "--script" && hasValue) scriptPath = argv[++i];
        else if (arg == "--data" && hasValue) dataDir = argv[++i];
        else if (arg == "--write-replay" && hasValue) writeReplay = argv[++i];
        else if (arg == "--shots" && hasValue) shots.folder = argv[++i];
        else if (arg == "--stage" && hasValue && readNumber(argv[++i], stage) && stage >= 0 && stage <= 99) {}
        else if (arg == "--ticks" && hasValue && readNumber(argv[++i], ticks) && ticks >= 0) {}
        else if (arg == "--every" && hasValue && readNumber(argv[++i], shots.every) && shots.every > 0) {}
        else if (arg == "--at" && hasValue && readNumber(argv[++i], n) && n >= 0) shots.at.insert(n);
        else if (arg == "--at-end") shots.atEnd = true;
        else if (arg == "--trace" && hasValue && readNumber(argv[++i], trace) && trace > 0) {}
        else return usage();
    }
    if (replayPath.empty() == scriptPath.empty()) return usage();

    Replay replay;
    if (!replayPath.empty()) {
        std::vector<unsigned char> bytes;
        std::string error;
        if (!stagec::readFileBytes(replayPath, bytes)) {
            std::fprintf(stderr, "%s: cannot read the file\n", replayPath.c_str());
            return 1;
        }
        if (!decodeReplay(bytes.data(), bytes.size(), replay, error)) {
            std::fprintf(stderr, "%s: %s\n", replayPath.c_str(), error.c_str());
            return 1;
        }
    } else {
        std::string text;
        if (!stagec::readTextFile(scriptPath, text)) {
            std::fprintf(stderr, "%s: cannot read the file\n", scriptPath.c_str());
            return 1;
        }
        input_script::Result compiled = input_script::compile(text, scriptPath);
        for (const std::string& e : compiled.errors) std::fprintf(stderr, "%s\n", e.c_str());
        if (!compiled.ok()) return 1;
        replay = compiled.replay;
        if (!compiled.stageGiven)
            if (auto number = stagec::stageNumberOfSource(scriptPath)) replay.start.stage = *number;
    }
    if (stage >= 0) replay.start.stage = static_cast<int32_t>(stage);
    if (!writeReplay.empty() && !stagec::writeFileBytes(writeReplay, encodeReplay(replay))) {
        std::fprintf(stderr, "%s: cannot write\n", writeReplay.c_str());
        return 1;
    }

    dataDir = std::filesystem::absolute(dataDir).string();
    std::string error;
    if (!stage_run::startStage(dataDir, replay.start, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (shots.wanted()) {
        if (!shots.start(dataDir)) {
            std::fprintf(stderr, "the media layer did not start; no screenshots\n");
            shots.folder.clear();
        } else {
            shots.loadPictures();
            if (shots.at.count(0)) shots.take(0);
        }
    }
    auto afterTick = [&](long tick) {
        static int lastState = -1;
        const Player& p = game.players[0];
        if (trace > 0 && (tick % trace == 0 || p.state != lastState)) {
            lastState = p.state;
            std::printf("tick %ld: x %d y %.2f state %d magic %d time %.0f", tick, p.x, p.y, p.state, p.magic,
                        static_cast<double>(game.timeLeft));
            for (const Actor& a : game.actors)
                if (a.live && !a.dying && a.kind >= 11 && a.kind <= 40)
                    std::printf(" | kind %d at %.0f,%.0f", a.kind, static_cast<double>(a.x), a.y);
            std::printf("\n");
        }
        if (shots.wanted() && ((shots.every > 0 && tick % shots.every == 0) || shots.at.count(tick)))
            shots.take(tick);
    };
    stage_run::Result result = stage_run::play(replay, ticks, afterTick);
    if (shots.wanted() && shots.atEnd) shots.take(result.tick);
    shots.stop();
    std::printf("%s\n", result.line().c_str());
    return 0;
}
