// The stage report's measures on small made-up stages: the script lines a
// player could change, the slack and windows, the route, the layout and the
// skills seen in play.
#include "tests/support/test_support.h"
#include "tools/report/play_watch.h"
#include "tools/report/report_table.h"
#include "tools/report/script_lines.h"
#include "tools/report/solution_run.h"
#include "tools/report/stage_layout.h"
#include "tools/report/stage_report.h"
#include "tools/runner/input_script.h"
#include "tools/runner/stage_run.h"
#include "tools/stagec/stage_io.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <utility>
#include <string>
#include <vector>

namespace {

using testing_support::ScratchDirectory;

// A stage source of 15 rows, the legend the stage compiler starts with.
stagec::StageData stageFrom(const std::vector<std::string>& rows, const std::string& extra = "") {
    std::string text = extra + "blocks\n";
    for (const std::string& row : rows) text += row + "\n";
    stagec::ParseResult parsed = stagec::parseStageText(text, "made-up.stage");
    for (const auto& e : parsed.errors) ADD_FAILURE() << e.text();
    return parsed.data;
}

// The field of 20 columns: walls, a floor, and the rows given from row 1 down.
std::vector<std::string> field(std::vector<std::string> inner) {
    std::vector<std::string> rows{"####################"};
    while (inner.size() < 13) inner.insert(inner.begin(), "#..................#");
    rows.insert(rows.end(), inner.begin(), inner.end());
    rows.push_back("####################");
    return rows;
}

TEST(ReportScriptLines, OnlyCommandLinesCountAndEditsTouchOneLine) {
    const std::string script =
        "; a comment\n"
        "stage 3\n"
        "charges 2\n"
        "no-time-limit\n"
        "ready\n"
        "\n"
        "right 40   ; walk\n"
        "repeat 2\n"
        "  jump right 30\n"
        "  # another comment\n"
        "end\n"
        "cast\n";
    auto lines = report::commandLines(script);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].lineNo, 7);
    EXPECT_EQ(lines[0].text, "right 40");
    EXPECT_EQ(lines[0].count, 40);
    EXPECT_EQ(lines[1].lineNo, 9);
    EXPECT_EQ(lines[1].count, 30);
    EXPECT_EQ(lines[2].lineNo, 12);
    EXPECT_EQ(lines[2].count, 1);  // not written: one tick

    std::string waited = report::insertLineBefore(script, 9, "wait 4");
    EXPECT_NE(waited.find("repeat 2\nwait 4\n  jump right 30\n"), std::string::npos) << waited;
    EXPECT_EQ(report::commandLines(waited).size(), 4u);

    std::string longer = report::withCount(script, 7, 44);
    EXPECT_NE(longer.find("\nright 44\nrepeat 2"), std::string::npos) << longer;
    EXPECT_EQ(report::withCount(script, 12, 3).substr(script.size() - 5), "cast 3\n");
    // The other lines stay as they were.
    EXPECT_EQ(longer.substr(0, script.find("right")), script.substr(0, script.find("right")));
    EXPECT_EQ(longer.substr(longer.find("repeat")), script.substr(script.find("repeat")));
}

TEST(ReportLayout, SolidRowsShareLikenessAndOutAndBack) {
    // Row 2 full stone, row 5 full but for one breakable block, row 1 full
    // (not counted), row 13 full with the start and exit above in row 12.
    auto rows = field({"####################",
                       "####################",
                       "#..................#",
                       "#..................#",
                       "#########b##########",
                       "#..................#",
                       "#..................#",
                       "#..................#",
                       "#..................#",
                       "#..................#",
                       "#..................#",
                       "#@...K...E.........#",
                       "####################"});
    report::Layout a = report::layoutOf(stageFrom(rows));
    EXPECT_EQ(a.fullRows, 2);                       // rows 2 and 13
    EXPECT_EQ(a.solid.count(), 18u * 3 + 17);       // rows 1, 2, 13 and 17 of row 5
    EXPECT_DOUBLE_EQ(a.solidShare(), (18.0 * 3 + 17) / 234);
    EXPECT_EQ(a.startColumn, 1);
    EXPECT_EQ(a.exitColumn, 9);
    EXPECT_FALSE(a.outAndBack());

    rows[12] = "#@..E..K...........#";  // exit 3 columns from the start
    rows[9] = "#....cb......##....#";   // soft blocks are not stone; two more stone cells
    report::Layout b = report::layoutOf(stageFrom(rows));
    EXPECT_TRUE(b.outAndBack());
    EXPECT_EQ(b.fullRows, 2);
    // Likeness looks at the drawn rows 2..13 only (row 1 is under the status
    // bar): shared 53 cells of a; b has 2 more of its own.
    EXPECT_DOUBLE_EQ(report::jaccard(a, b), 53.0 / 55);
    rows[12] = "#@...E.K...........#";  // 4 columns: not out and back
    EXPECT_FALSE(report::layoutOf(stageFrom(rows)).outAndBack());
    EXPECT_EQ(report::jaccard(report::Layout{}, report::Layout{}), 0.0);
}

// A made-up stage written as the game reads it: dataDir/01/NN*.dat.
struct MadeUpStage {
    ScratchDirectory dir{"report"};
    std::string dataDir() const { return dir.path(); }
    void write(int stage, const std::vector<std::string>& rows, const std::string& extra = "") {
        std::filesystem::create_directories(dir.path() + "/01");
        ASSERT_TRUE(stagec::writeStageFiles(dir.path() + "/01", stage, stageFrom(rows, extra)));
    }
};

// Plays a script afresh, from the stage files, as the runner does.
bool clearsAfresh(const std::string& dataDir, const std::string& script, int stage) {
    input_script::Result compiled = input_script::compile(script, "fresh");
    EXPECT_TRUE(compiled.ok());
    compiled.replay.start.stage = stage;
    std::string error;
    EXPECT_TRUE(stage_run::startStage(dataDir, compiled.replay.start, error)) << error;
    return stage_run::play(compiled.replay, -1).outcome == stage_run::Outcome::Cleared;
}

// A flier shuttles in a short shaft over the corridor between the key and
// the exit: the player takes the key, waits, and walks under it while it is
// up. Waiting 115 to 167 ticks clears; this script waits 165, near the end.
const std::vector<std::string> kShaftStage = field({"#..........#.......#",
                                                    "#..........F.......#",
                                                    "#..................#",
                                                    "#.@..K.........E...#"});
const std::string kShaftScript =
    "ready\n"
    "right 80   ; the key\n"
    "wait 220\n"
    "wait 165   ; until the flier goes up\n"
    "right 400\n"
    "wait 30\n";

TEST(ReportSlack, VariantsFromCopiesPlayAsFreshRunsAndWindowsEndWhereClearsEnd) {
    MadeUpStage made;
    made.write(2, kShaftStage);
    report::SolutionRun run;
    std::string error;
    ASSERT_TRUE(run.start(made.dataDir(), kShaftScript, 2, error)) << error;
    ASSERT_TRUE(run.cleared()) << run.result().line();
    EXPECT_FALSE(run.variantClears("ready\nright 80\nwait 220\nwait 100\nright 400\nwait 30\n"));

    const auto lines = report::commandLines(kShaftScript);
    ASSERT_EQ(lines.size(), 5u);
    for (int wait : {4, 8}) {
        int fresh = 0;
        for (const auto& line : lines)
            fresh += clearsAfresh(made.dataDir(),
                                  report::insertLineBefore(kShaftScript, line.lineNo, "wait " + std::to_string(wait)), 2);
        std::vector<int> failing;
        EXPECT_EQ(report::clearsWithWaitBefore(run, kShaftScript, wait, &failing), fresh) << wait;
        EXPECT_EQ(failing.size(), lines.size() - static_cast<size_t>(fresh));
        // A wait before the last line still clears; before any other the
        // player comes late to the crossing and the flier catches her.
        EXPECT_EQ(fresh, 1) << wait;
    }

    for (const auto& line : lines) {
        report::LineWindow w = report::windowOf(run, kShaftScript, line);
        SCOPED_TRACE(w.text());
        EXPECT_LE(w.low, line.count);
        EXPECT_GE(w.high, line.count);
        for (long count = w.low; count <= w.high; ++count)
            EXPECT_TRUE(clearsAfresh(made.dataDir(), report::withCount(kShaftScript, line.lineNo, count), 2)) << count;
        if (w.low > 1 && line.count - w.low < report::kWindowReach)
            EXPECT_FALSE(clearsAfresh(made.dataDir(), report::withCount(kShaftScript, line.lineNo, w.low - 1), 2));
        else
            EXPECT_TRUE(w.low == 1 || line.count - w.low == report::kWindowReach);
        if (w.high - line.count < report::kWindowReach)
            EXPECT_FALSE(clearsAfresh(made.dataDir(), report::withCount(kShaftScript, line.lineNo, w.high + 1), 2));
        else
            EXPECT_EQ(w.high - line.count, report::kWindowReach);
    }
    // The wait for the flier: 115 to 167 clear, so from 165 the window
    // reaches down the whole 16 and up to 167.
    report::LineWindow waiting = report::windowOf(run, kShaftScript, lines[2]);
    EXPECT_EQ(waiting.text(), "line 4 \"wait 165\": 149..167");

    report::StageReport r = report::reportStage(made.dataDir(), 2, kShaftScript);
    EXPECT_EQ(r.slack.clearWith4, 1);
    ASSERT_TRUE(r.slack.narrowest);
    for (const auto& w : r.slack.windows) EXPECT_GE(w.width(), r.slack.narrowest->width());
}

TEST(ReportRoute, TheCellOfThePlayersMiddle) {
    EXPECT_EQ(report::routeCell(80, 446.0), std::make_pair(2, 13));
    EXPECT_EQ(report::routeCell(95, 432.0), std::make_pair(2, 13));   // middle at 416: row 13
    EXPECT_EQ(report::routeCell(96, 431.5), std::make_pair(3, 12));   // middle above 416: row 12

    // Walk from column 2 to column 7, jump there: six cells of row 13 and
    // one of row 12 at the top of the jump.
    MadeUpStage made;
    made.write(1, field({"#..............K...#", "#..................#", "#.@.............E..#"}));
    report::SolutionRun run;
    std::string error;
    ASSERT_TRUE(run.start(made.dataDir(), "ready\nright 150\njump\nwait 60\n", 1, error)) << error;
    std::set<std::pair<int, int>> expected{{2, 13}, {3, 13}, {4, 13}, {5, 13}, {6, 13}, {7, 13}, {7, 12}};
    EXPECT_EQ(run.watch().cells(), expected);
    EXPECT_EQ(run.watch().rows(), 2);
}

// Each skill seen in play, and nothing else: a stage, a script, the skills.
struct SkillCase {
    const char* name;
    std::vector<std::string> rows;  // the inner rows, from the bottom one up to row 1
    std::string script;
    std::vector<report::Skill> skills;
};

TEST(ReportSkills, EachIsSeenWhenUsedAndOnlyThen) {
    using namespace report;
    const std::string floor = "#.@................#";
    const std::vector<SkillCase> cases = {
        {"walk and jump", {floor}, "ready\nright 20\njump\nwait 60\n", {kWalk, kJump}},
        {"make ahead", {floor}, "ready\ncast\nwait 30\n", {kMake}},
        {"make behind: a turned cast", {"#..@...............#"}, "ready\nleft cast\nwait 30\n", {kMake, kTurnedCast}},
        {"turning first is no turned cast", {"#..@...............#"}, "ready\nleft\nwait 5\ncast\nwait 30\n",
         {kMake}},
        {"break ahead", {"#.@b...............#"}, "ready\ncast\nwait 30\n", {kBreak}},
        {"dig down in front: the sleeper on it drops into the hole",
         {"###b################", "#.@Z...............#"},
         "ready\nwait 5\ndown cast\nwait 60\n", {kDig, kDrop}},
        {"a head bump cracks the block above", {"#.@................#", "#.b................#"},
         "ready\nwait 5\njump\nwait 80\n", {kJump, kHeadBump}},
        {"shoot", {floor}, "charges 1\nready\nshoot\nwait 40\n", {kShoot}},
        {"the big spell", {floor}, "charges 3\nready\nwait 5\nspell\nwait 400\n", {kBigSpell}},
        {"lull the sleeper ahead", {"#.@Z...............#"}, "ready\ncast\nwait 30\n", {kLull}},
        {"a block shields the cannon's shot", {"#.@.......<........#"}, "ready\ncast\nwait 300\n",
         {kMake, kShield}},
        {"no block: the shot is not shielded", {"#.@....b..<........#"}, "ready\nwait 300\n", {}},
        {"the bonus key", {"#.@.B...........E..#"}, "ready\nright 60\nwait 20\n", {kWalk, kBonusKey}},
    };
    MadeUpStage made;
    int stage = 10;
    for (const SkillCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> inner(c.rows.rbegin(), c.rows.rend());
        made.write(stage, field(inner));
        SolutionRun run;
        std::string error;
        ASSERT_TRUE(run.start(made.dataDir(), c.script, stage, error)) << error;
        uint32_t expected = 0;
        for (Skill s : c.skills) expected |= 1u << s;
        std::string seen;
        for (int s = 0; s < kSkillCount; ++s)
            if (run.watch().skills() & (1u << s)) seen += std::string(" ") + skillName(s);
        EXPECT_EQ(run.watch().skills(), expected) << "seen:" << seen;
        ++stage;
    }
}

// The rules the report lists, each at its limit: a report that meets every
// rule, then one number at a time just past a limit.
report::StageReport meetsEveryRule(int stage) {
    report::StageReport r;
    r.stage = stage;
    r.cleared = true;
    r.result.outcome = stage_run::Outcome::Cleared;
    r.result.tick = 1000 + stage * 40;
    r.slack.measured = true;
    r.slack.lines = 10;
    r.slack.clearWith4 = 8;
    r.slack.clearWith8 = 5;
    r.slack.narrowest = report::LineWindow{{3, "right 40", 40}, 36, 43};  // 8 ticks
    r.routeRows = report::isBandFinale(stage) ? 7 : 5;
    r.layout.fullRows = 3;
    r.layout.startColumn = 2;
    r.layout.exitColumn = 6;
    r.likeStage = stage == 10 ? 11 : 10;
    r.likeness = 0.6;
    r.skills = (1u << 10) - 1;
    return r;
}

TEST(ReportRules, EachRuleSpeaksJustPastItsLimit) {
    struct Case {
        const char* name;
        int stage;
        void (*change)(report::StageReport&);
        const char* says;  // nullptr: still meets every rule
    };
    const Case cases[] = {
        {"slack 7 of 10", 12, [](auto& r) { r.slack.clearWith4 = 7; }, "slack at 4 ticks 70 %"},
        {"slack at 8 is not a rule", 12, [](auto& r) { r.slack.clearWith8 = 0; }, nullptr},
        {"a 7-tick window", 12, [](auto& r) { r.slack.narrowest->low = 37; }, "a window of 7 ticks"},
        {"4 full rows", 12, [](auto& r) { r.layout.fullRows = 4; }, "4 fully solid rows"},
        {"4 route rows", 12, [](auto& r) { r.routeRows = 4; }, "through 4 rows, fewer than 5"},
        {"6 route rows in a finale", 14, [](auto& r) { r.routeRows = 6; }, "through 6 rows, fewer than 7"},
        {"6 route rows elsewhere", 15, [](auto& r) { r.routeRows = 6; }, nullptr},
        {"61 % alike", 12, [](auto& r) { r.likeness = 0.61; }, "shares 61 % of its solid cells"},
        {"over 60 % of the timer", 12, [](auto& r) { r.result.tick = 124 + 6000; }, "beyond 60 % of the timer"},
        {"at 60 % of the timer", 12, [](auto& r) { r.result.tick = 124 + 5999; }, nullptr},
        {"not cleared", 12, [](auto& r) { r.cleared = false; }, "does not clear it"},
        {"stage 9 is not ruled", 9, [](auto& r) { r.layout.fullRows = 9; }, nullptr},
        {"stage 50 with 9 skills", 50, [](auto& r) { r.skills = (1u << 9) - 1; }, "9 skills, fewer than 10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<report::StageReport> reports{meetsEveryRule(c.stage)};
        c.change(reports[0]);
        auto breaks = report::ruleBreaks(reports, {});
        if (!c.says) {
            EXPECT_EQ(breaks, std::vector<std::string>{});
            continue;
        }
        ASSERT_EQ(breaks.size(), 1u) << ::testing::PrintToString(breaks);
        EXPECT_NE(breaks[0].find(c.says), std::string::npos) << breaks[0];
    }
}

TEST(ReportRules, AcrossStagesOutAndBackTheFinderTheFinaleAndTheCurve) {
    std::vector<report::StageReport> reports;
    for (int stage = 10; stage <= 21; ++stage) reports.push_back(meetsEveryRule(stage));
    auto outAndBack = [&](int stage) { reports[static_cast<size_t>(stage - 10)].layout.exitColumn = 5; };
    for (int stage : {10, 12, 14, 16, 18, 20, 21}) outAndBack(stage);  // 7, and 20 and 21 in a row
    auto breaks = report::ruleBreaks(reports, {});
    ASSERT_EQ(breaks.size(), 1u) << ::testing::PrintToString(breaks);
    EXPECT_EQ(breaks[0], "stage 21: out and back, as stage 20 before it");
    outAndBack(17);
    outAndBack(13);  // 9 in all, now 12 to 14 and 16 to 18 in a row as well
    breaks = report::ruleBreaks(reports, {});
    EXPECT_EQ(breaks.back(), "the game: 9 out-and-back stages, more than 8");
    EXPECT_EQ(breaks.size(), 6u);

    // The finder: under 70 % of the solution's ticks is a shortcut.
    reports = {meetsEveryRule(12)};  // cleared at tick 1480
    EXPECT_EQ(report::ruleBreaks(reports, {{12, 1036}}), std::vector<std::string>{});
    EXPECT_EQ(report::ruleBreaks(reports, {{12, -1}}), std::vector<std::string>{});
    EXPECT_EQ(report::ruleBreaks(reports, {{12, 1035}}),
              std::vector<std::string>{"stage 12: the finder clears it at tick 1035, under 70 % of the solution's"});

    // The finale is the longest solution.
    reports = {meetsEveryRule(49), meetsEveryRule(50)};
    reports[0].routeRows = 7;
    EXPECT_EQ(report::ruleBreaks(reports, {}), std::vector<std::string>{});
    reports[0].result.tick = reports[1].result.tick + 1;
    EXPECT_EQ(report::ruleBreaks(reports, {}),
              std::vector<std::string>{"stage 50: not the longest solution (3001 is)"});

    // Band medians: the middle one, or the mean of the middle two.
    reports.clear();
    for (int stage = 0; stage < 3; ++stage) reports.push_back(meetsEveryRule(stage));
    reports[0].result.tick = 1300;
    reports[1].result.tick = 1100;
    reports[2].result.tick = 1250;
    for (long tick : {2400, 2500, 2000, 3000}) {
        reports.push_back(meetsEveryRule(40 + static_cast<int>(reports.size()) - 3));
        reports.back().result.tick = tick;
    }
    EXPECT_EQ(report::bandMediansText(reports), "stages 0 to 9: 1250, stages 40 to 49: 2450");
    EXPECT_EQ(report::ruleBreaks(reports, {}), std::vector<std::string>{});
    reports.back().result.tick = 2300;  // the median falls to 2350
    breaks = report::ruleBreaks(reports, {});
    ASSERT_EQ(breaks.size(), 1u);
    EXPECT_EQ(breaks[0], "the game: the median of stages 40 to 49 (2350) is under 2400");
}

// The whole tool as a designer runs it: a source tree and a data set, the
// table written into the README between its marks and nowhere else, the
// finder's kept results read back into it.
TEST(ReportProgram, WritesTheTableIntoTheReadme) {
    MadeUpStage made;
    made.write(2, kShaftStage);
    made.write(3, field({"#.@..K.........E...#"}));
    const std::string source = made.dataDir() + "/tree";
    std::filesystem::create_directories(source + "/content/stages");
    std::filesystem::create_directories(source + "/content/replays");
    ASSERT_TRUE(testing_support::writeWholeFile(source + "/content/stages/02.stage", "; the shaft\n"));
    ASSERT_TRUE(testing_support::writeWholeFile(source + "/content/stages/03.stage", "; the corridor\n"));
    ASSERT_TRUE(testing_support::writeWholeFile(source + "/content/replays/02.script", kShaftScript));
    ASSERT_TRUE(testing_support::writeWholeFile(source + "/content/replays/03.script", "ready\nright 500\n"));
    ASSERT_TRUE(testing_support::writeWholeFile(source + "/content/stages/finder-best.txt", "; kept\n02 700\n"));
    const std::string readme = source + "/content/stages/README.md";
    const std::string before = std::string("# Stages\n\n") + report::kBeginMark + "\nold table\n" + report::kEndMark +
                               "\n\nThe end.\n";
    ASSERT_TRUE(testing_support::writeWholeFile(readme, before));

    const std::string run = std::string(LUMOTTA_REPORT_PROGRAM) + " --data " + made.dataDir() + " --source " + source;
    ASSERT_EQ(std::system((run + " --readme > out.txt 2> err.txt").c_str()), 0)
        << testing_support::readWholeFile("err.txt");
    const std::string after = testing_support::readWholeFile(readme);
    EXPECT_EQ(after.find("old table"), std::string::npos);
    EXPECT_EQ(after.rfind(std::string("# Stages\n\n") + report::kBeginMark, 0), 0u);
    EXPECT_NE(after.find(std::string(report::kEndMark) + "\n\nThe end.\n"), std::string::npos);
    EXPECT_NE(after.find("| 02 | "), std::string::npos) << after;
    EXPECT_NE(after.find("| 20 % | 20 % | "), std::string::npos) << after;  // one line of five clears with a wait
    EXPECT_NE(after.find(" | 700 |\n"), std::string::npos) << after;       // the finder's kept best
    EXPECT_NE(after.find("| 03 | "), std::string::npos);
    // Stage 3's solution walks past the exit before the key's spark opens it:
    // the row says how it ended and measures no slack around it.
    EXPECT_NE(after.find("| 03 | still running after tick "), std::string::npos) << after;
    EXPECT_NE(after.find(" | - | - | - | 10 | 1 | "), std::string::npos) << after;
    EXPECT_NE(after.find(" | 0 % | 0 | - | 1: walk | "), std::string::npos) << after;  // no stone: alike to none
    // What it prints is what it writes.
    const std::string printed = testing_support::readWholeFile("out.txt");
    EXPECT_NE(after.find(report::kBeginMark + ("\n" + printed) + report::kEndMark), std::string::npos) << printed;

    // Without the marks the README is left alone and the run fails.
    ASSERT_TRUE(testing_support::writeWholeFile(readme, "# Stages\n"));
    EXPECT_NE(std::system((run + " --readme > out.txt 2> err.txt").c_str()), 0);
    EXPECT_EQ(testing_support::readWholeFile(readme), "# Stages\n");
}

}  // namespace
