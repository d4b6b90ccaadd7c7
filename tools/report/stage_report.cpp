#include "tools/report/stage_report.h"

#include "tools/stagec/stage_io.h"

#include <bitset>

namespace report {

std::string LineWindow::text() const {
    return "line " + std::to_string(line.lineNo) + " \"" + line.text + "\": " + std::to_string(low) + ".." +
           std::to_string(high);
}

int StageReport::skillCount() const { return static_cast<int>(std::bitset<32>(skills).count()); }

int clearsWithWaitBefore(SolutionRun& run, const std::string& script, int wait, std::vector<int>* failing) {
    int clear = 0;
    std::string waitLine = "wait " + std::to_string(wait);
    for (const CommandLine& line : commandLines(script)) {
        if (run.variantClears(insertLineBefore(script, line.lineNo, waitLine)))
            ++clear;
        else if (failing)
            failing->push_back(line.lineNo);
    }
    return clear;
}

LineWindow windowOf(SolutionRun& run, const std::string& script, const CommandLine& line) {
    LineWindow w;
    w.line = line;
    w.low = line.count + 1;
    w.high = line.count;
    if (!run.cleared()) return w;  // empty: nothing around a failing solution clears
    w.low = line.count;
    while (w.low - 1 >= 1 && line.count - (w.low - 1) <= kWindowReach &&
           run.variantClears(withCount(script, line.lineNo, w.low - 1)))
        --w.low;
    while ((w.high + 1) - line.count <= kWindowReach && run.variantClears(withCount(script, line.lineNo, w.high + 1)))
        ++w.high;
    return w;
}

StageReport reportStage(const std::string& dataDir, int stage, const std::string& script,
                        const ReportOptions& options) {
    StageReport r;
    r.stage = stage;
    std::string note;
    r.layout = layoutOf(stagec::readStageFiles(dataDir + "/01", stage, &note));
    SolutionRun run;
    if (!run.start(dataDir, script, stage, r.problem)) return r;
    r.result = run.result();
    r.cleared = run.cleared();
    r.route = run.watch().cells();
    r.routeCells = static_cast<int>(r.route.size());
    r.routeRows = run.watch().rows();
    r.skills = run.watch().skills();
    std::vector<CommandLine> lines = commandLines(script);
    r.slack.lines = static_cast<int>(lines.size());
    // Slack is measured around a solution that clears.
    if (!options.slack || !r.cleared) return r;
    r.slack.measured = true;
    r.slack.clearWith4 = clearsWithWaitBefore(run, script, 4, &r.slack.failWith4);
    r.slack.clearWith8 = clearsWithWaitBefore(run, script, 8, &r.slack.failWith8);
    if (!options.windows) return r;
    for (const CommandLine& line : lines) {
        r.slack.windows.push_back(windowOf(run, script, line));
        if (!r.slack.narrowest || r.slack.windows.back().width() < r.slack.narrowest->width())
            r.slack.narrowest = r.slack.windows.back();
    }
    return r;
}

// A stage alike to none (no stone shared with any) names none.
void findLikeStages(std::vector<StageReport>& reports, const std::vector<NamedLayout>& others) {
    for (StageReport& r : reports) {
        r.likeStage = -1;
        r.likeness = 0.0;
        for (const NamedLayout& other : others) {
            if (other.stage == r.stage) continue;
            double j = jaccard(r.layout, other.layout);
            if (j > r.likeness) {
                r.likeStage = other.stage;
                r.likeness = j;
            }
        }
    }
}

}  // namespace report
