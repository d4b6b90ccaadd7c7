// The measures of one stage and its shipped solution: the clear tick, how
// much slack the solution has, the route, the layout and the skills used.
#pragma once

#include "tools/report/script_lines.h"
#include "tools/report/solution_run.h"
#include "tools/report/stage_layout.h"
#include "tools/runner/stage_run.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace report {

// A line's window: the tick counts from `low` to `high` around the written
// one that still clear the stage, reaching at most kWindowReach either way
// (and never below 1 tick).
constexpr long kWindowReach = 16;

struct LineWindow {
    CommandLine line;
    long low = 0, high = 0;
    long width() const { return high - low + 1; }
    std::string text() const;  // line 23 "right 40": 38..41
};

struct Slack {
    bool measured = false;  // the waits were put in
    int lines = 0;
    int clearWith4 = 0;
    int clearWith8 = 0;
    std::vector<int> failWith4, failWith8;  // line numbers
    std::vector<LineWindow> windows;        // every line's, when asked for
    std::optional<LineWindow> narrowest;    // the first of the narrowest
    double share4() const { return lines ? static_cast<double>(clearWith4) / lines : 0.0; }
    double share8() const { return lines ? static_cast<double>(clearWith8) / lines : 0.0; }
};

// How many command lines still clear with `wait N` put in before them; the
// lines that do not go in `failing` when given.
int clearsWithWaitBefore(SolutionRun& run, const std::string& script, int wait, std::vector<int>* failing = nullptr);
LineWindow windowOf(SolutionRun& run, const std::string& script, const CommandLine& line);

struct StageReport {
    int stage = 0;
    std::string problem;  // why the solution could not be played; empty when it was
    stage_run::Result result;
    bool cleared = false;
    Slack slack;
    std::set<std::pair<int, int>> route;  // the cells the player's middle passed through
    int routeCells = 0, routeRows = 0;
    Layout layout;
    int likeStage = -1;     // the other stage whose solid cells are most alike
    double likeness = 0.0;  // and their Jaccard index
    uint32_t skills = 0;

    int skillCount() const;
};

struct ReportOptions {
    bool slack = true;    // the waits put in
    bool windows = true;  // every line's window (the costly part)
};

// Plays `script` on stage `stage` of the data set in dataDir and measures it.
StageReport reportStage(const std::string& dataDir, int stage, const std::string& script,
                        const ReportOptions& options = {});

// Fills in each report's most alike stage among `others` (every stage whose
// layout is known, the reported ones among them).
struct NamedLayout {
    int stage;
    Layout layout;
};
void findLikeStages(std::vector<StageReport>& reports, const std::vector<NamedLayout>& others);

}  // namespace report
