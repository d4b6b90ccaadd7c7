// The stage report as text: the table of every stage, the band medians, the
// design rules each stage from 10 on breaks, and the finder's kept results.
#pragma once

#include "tools/report/stage_report.h"

#include <map>
#include <string>
#include <vector>

namespace report {

// The design rules, for stages kFirstRuledStage on.
constexpr int kFirstRuledStage = 10;
constexpr double kMinSlackShare = 0.8;     // lines that still clear with a wait of 4 put in before them
constexpr long kMinWindow = 8;             // ticks a line's window should span
constexpr int kMaxFullRows = 3;            // fully solid rows among rows 2..13
constexpr int kMinRouteRows = 5;
constexpr int kMinFinaleRouteRows = 7;     // the band finales 14, 19, ... 49
constexpr double kMaxLikeness = 0.6;       // shared solid cells between two stages
constexpr int kMaxOutAndBack = 8;          // in the whole game, never two in a row
constexpr long kTimerTicks = 9999;         // a solution clears within 60 % of it
constexpr double kMinFinderShare = 0.7;    // a finder clear faster than this share of the solution's is a shortcut
constexpr int kMinFinaleSkills = 10;       // stage 50
constexpr long kMinLastBandMedian = 2400;  // clear ticks, stages 40 to 49

bool isBandFinale(int stage);

// stage -> the finder's fastest clear tick, -1 for none found.
using FinderBest = std::map<int, long>;
FinderBest readFinderBest(const std::string& text);
std::string finderBestText(const FinderBest& best);

// The Markdown table, one row per report.
std::string tableText(const std::vector<StageReport>& reports, const FinderBest& finder);
// "stages 0-9: 1300, ..." over the cleared stages of each band of ten.
std::string bandMediansText(const std::vector<StageReport>& reports);
// One line per rule broken, by the stages from kFirstRuledStage on (with
// their neighbours and the whole game where a rule spans stages).
std::vector<std::string> ruleBreaks(const std::vector<StageReport>& reports, const FinderBest& finder);

// Every line's slack, for designers working on a stage.
std::string linesText(const StageReport& report);

// Puts `section` between the report's marks in `readme`; false when the
// marks are not there.
constexpr const char* kBeginMark = "<!-- the stage report: lumotta-report --readme writes from here -->";
constexpr const char* kEndMark = "<!-- the stage report ends here -->";
bool replaceReportSection(std::string& readme, const std::string& section);

}  // namespace report
