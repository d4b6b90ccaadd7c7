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
    // Shared: 71 cells of a; b has 2 more of its own.
    EXPECT_DOUBLE_EQ(report::jaccard(a, b), 71.0 / 73);
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
        // A wait before the last line still clears; the flier catches a
        // player four ticks late at the crossing.
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
        {"dig down in front: the sleeper on it drops",
         {"#..................#", "###b################", "#.@Z...............#"},
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

}  // namespace
