// lumotta-find: searches a stage for its fastest clear and prints it as an
// input script, checked by playing it back as the runner does.
#include "tools/finder/search.h"
#include "tools/runner/command_line.h"
#include "tools/runner/input_script.h"
#include "tools/runner/stage_run.h"
#include "tools/stagec/stage_io.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

int usage() {
    std::fputs(
        "usage: lumotta-find --stage N [options]\n"
        "  --data DIR      the data folder holding 01/ (default: LUMOTTA_DATA_DIR or the build's)\n"
        "  --charges N     shot charges at the start (default 0)\n"
        "  --width N       states kept per step (default 1500)\n"
        "  --step N        ticks per move (default 8)\n"
        "  --ticks N       ticks of play searched after the countdown (default 6000)\n"
        "  --seconds N     give up after this long (default 900)\n"
        "  --out FILE      also write the script found to FILE\n"
        "  --quiet         no progress lines\n"
        "  --log-every N   a progress line every N steps (default 25)\n",
        stderr);
    return 2;
}

using tool_options::readNumber;

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir = tool_options::defaultDataDir(), out;
    long stage = -1, charges = 0, width = 1500, step = 8, ticks = 6000, seconds = 900, logEvery = 25;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--data" && hasValue) dataDir = argv[++i];
        else if (arg == "--out" && hasValue) out = argv[++i];
        else if (arg == "--quiet") quiet = true;
        else if (arg == "--stage" && hasValue && readNumber(argv[++i], stage) && stage >= 0 && stage <= 99) {}
        else if (arg == "--charges" && hasValue && readNumber(argv[++i], charges) && charges >= 0 && charges <= 3) {}
        else if (arg == "--width" && hasValue && readNumber(argv[++i], width) && width >= 1 && width <= 100000) {}
        else if (arg == "--step" && hasValue && readNumber(argv[++i], step) && step >= 1 && step <= 64) {}
        else if (arg == "--ticks" && hasValue && readNumber(argv[++i], ticks) && ticks >= 1 && ticks <= 100000) {}
        else if (arg == "--seconds" && hasValue && readNumber(argv[++i], seconds) && seconds >= 1) {}
        else if (arg == "--log-every" && hasValue && readNumber(argv[++i], logEvery) && logEvery >= 1) {}
        else return usage();
    }
    if (stage < 0) return usage();

    ReplayStart start;
    start.stage = static_cast<int32_t>(stage);
    start.magic = static_cast<int16_t>(charges);
    dataDir = std::filesystem::absolute(dataDir).string();
    std::string error;
    if (!stage_run::startStage(dataDir, start, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    finder::SearchLimits limits;
    limits.width = static_cast<int>(width);
    limits.step = static_cast<int>(step);
    limits.ticks = ticks;
    limits.seconds = static_cast<double>(seconds);
    limits.logEvery = static_cast<int>(logEvery);
    finder::SearchResult found = finder::search(limits, quiet ? nullptr : stderr);
    std::printf("stage %02ld: %ld steps of %ld ticks, %ld states kept, %ld ticks played, %.1f s%s\n", stage,
                found.levels, step, found.states, found.simulatedTicks, found.seconds,
                found.stoppedByClock ? " (stopped by the clock)" : "");
    if (!found.cleared) {
        std::printf("no clear found within %ld ticks\n", input_script::kReadyTicks + ticks);
        return 3;
    }
    std::string script = finder::scriptText(found.inputs, start);
    std::printf("fastest clear found: tick %ld\n%s", found.clearTick, script.c_str());

    // The script as the runner plays it.
    input_script::Result compiled = input_script::compile(script, "found.script");
    for (const std::string& e : compiled.errors) std::fprintf(stderr, "%s\n", e.c_str());
    if (!compiled.ok() || !stage_run::startStage(dataDir, compiled.replay.start, error)) return 1;
    stage_run::Result check = stage_run::play(compiled.replay, -1);
    std::printf("played back: %s\n", check.line().c_str());
    if (!out.empty() && !stagec::writeFileBytes(out, std::vector<unsigned char>(script.begin(), script.end()))) {
        std::fprintf(stderr, "%s: cannot write\n", out.c_str());
        return 1;
    }
    bool same = check.outcome == stage_run::Outcome::Cleared && check.tick == found.clearTick;
    return same ? 0 : 1;
}
