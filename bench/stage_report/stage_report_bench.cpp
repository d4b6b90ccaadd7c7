// The stage report's cost: each shipped stage measured as lumotta-report
// does (the waits put in and every line's window), timed in the thread's
// CPU time so the figure holds on a shared machine. Target: the whole
// report of 51 stages within 60 s, the slack the stage tests check (20
// stages, waits of 4 only) well within that.
//
//   build/bench/stage_report/bench_stage_report [FIRST LAST]
#include "tools/report/stage_report.h"
#include "tools/stagec/stage_io.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    const int first = argc > 2 ? std::atoi(argv[1]) : 0, last = argc > 2 ? std::atoi(argv[2]) : 50;
    constexpr double kTargetSeconds = 60.0;
    double whole = 0.0, wait4 = 0.0;
    int stages = 0;
    for (int stage = first; stage <= last; ++stage) {
        char name[64];
        std::snprintf(name, sizeof name, "/content/replays/%02d.script", stage);
        std::string script;
        if (!stagec::readTextFile(std::string(BENCH_SOURCE_DIR) + name, script)) continue;
        double begin = cpuSeconds();
        report::StageReport r = report::reportStage(BENCH_DATA_DIR, stage, script);
        double spent = cpuSeconds() - begin;

        report::SolutionRun run;
        std::string error;
        begin = cpuSeconds();
        if (run.start(BENCH_DATA_DIR, script, stage, error)) report::clearsWithWaitBefore(run, script, 4);
        double slack = cpuSeconds() - begin;

        std::printf("stage %02d: %3d lines, report %.2f s, waits of 4 %.2f s%s\n", stage, r.slack.lines, spent, slack,
                    r.cleared ? "" : " (not cleared)");
        whole += spent;
        wait4 += slack;
        ++stages;
    }
    std::printf("%d stages: the report %.1f s of CPU (target %.0f s: %s), waits of 4 alone %.1f s\n", stages, whole,
                kTargetSeconds, whole <= kTargetSeconds ? "met" : "MISSED", wait4);
    return 0;
}
