#include "tools/report/report_table.h"

#include "tools/report/play_watch.h"
#include "tools/runner/input_script.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace report {

namespace {

std::string percent(double share) { return std::to_string(static_cast<int>(std::lround(share * 100))) + " %"; }

std::string twoDigits(int stage) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", stage);
    return text;
}

std::string skillList(uint32_t skills) {
    std::string out;
    for (int s = 0; s < kSkillCount; ++s)
        if (skills & (1u << s)) out += (out.empty() ? "" : ", ") + std::string(skillName(s));
    return out;
}

const StageReport* find(const std::vector<StageReport>& reports, int stage) {
    for (const StageReport& r : reports)
        if (r.stage == stage) return &r;
    return nullptr;
}

double routeLikeness(const StageReport& a, const StageReport& b) {
    size_t both = 0;
    for (const auto& cell : a.route) both += b.route.count(cell);
    size_t either = a.route.size() + b.route.size() - both;
    return either ? static_cast<double>(both) / static_cast<double>(either) : 0.0;
}

long median(std::vector<long> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

bool isBandFinale(int stage) { return stage >= 14 && stage <= 49 && stage % 5 == 4; }

FinderBest readFinderBest(const std::string& text) {
    FinderBest best;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find(';'));
        std::istringstream fields(line);
        int stage = -1;
        std::string value;
        if (!(fields >> stage >> value) || stage < 0 || stage > 99) continue;
        if (value == "none") {
            best[stage] = -1;
        } else {
            char* end = nullptr;
            long tick = std::strtol(value.c_str(), &end, 10);
            if (end && !*end && tick > 0) best[stage] = tick;
        }
    }
    return best;
}

std::string finderBestText(const FinderBest& best) {
    std::string out =
        "; The shortcut finder's fastest clear of each stage, width 3000, in the runner's\n"
        "; count of ticks (\"none\": no clear found). lumotta-report --finder keeps it.\n";
    for (const auto& [stage, tick] : best)
        out += twoDigits(stage) + " " + (tick < 0 ? std::string("none") : std::to_string(tick)) + "\n";
    return out;
}

std::string tableText(const std::vector<StageReport>& reports, const FinderBest& finder) {
    std::string out =
        "| stage | clear | wait 4 | wait 8 | narrowest line | cells | rows | out and back | solid | full rows | "
        "most like | skills | kinds | finder 3000 |\n"
        "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n";
    for (const StageReport& r : reports) {
        out += "| " + twoDigits(r.stage) + " | ";
        if (!r.problem.empty()) {
            out += r.problem + " |||||||||||||\n";
            continue;
        }
        out += (r.cleared ? std::to_string(r.result.tick) : r.result.line()) + " | ";
        bool slack = r.slack.measured;
        out += (slack ? percent(r.slack.share4()) : "-") + " | ";
        out += (slack ? percent(r.slack.share8()) : "-") + " | ";
        out += (r.slack.narrowest ? r.slack.narrowest->text() : "-") + " | ";
        out += std::to_string(r.routeCells) + " | " + std::to_string(r.routeRows) + " | ";
        out += std::string(r.layout.outAndBack() ? "yes" : "") + " | ";
        out += percent(r.layout.solidShare()) + " | " + std::to_string(r.layout.fullRows) + " | ";
        out += (r.likeStage >= 0 ? twoDigits(r.likeStage) + " (" + percent(r.likeness) + ")" : "-") + " | ";
        out += std::to_string(r.skillCount()) + ": " + skillList(r.skills) + " | ";
        std::string kinds;
        for (int k : r.layout.kinds) kinds += (kinds.empty() ? "" : " ") + std::to_string(k);
        out += kinds + " | ";
        auto f = finder.find(r.stage);
        out += (f == finder.end() ? std::string("-") : f->second < 0 ? std::string("none") : std::to_string(f->second));
        out += " |\n";
    }
    return out;
}

std::string bandMediansText(const std::vector<StageReport>& reports) {
    std::string out;
    // Stage 50 stands alone; the bands of ten before it are compared.
    for (int band = 0; band < 50; band += 10) {
        std::vector<long> ticks;
        for (const StageReport& r : reports)
            if (r.cleared && r.stage >= band && r.stage < band + 10) ticks.push_back(r.result.tick);
        if (ticks.empty()) continue;
        out += (out.empty() ? "" : ", ") + std::string("stages ") + std::to_string(band) + " to " +
               std::to_string(band + 9) + ": " + std::to_string(median(ticks));
    }
    return out.empty() ? "none cleared" : out;
}

std::vector<std::string> ruleBreaks(const std::vector<StageReport>& reports, const FinderBest& finder) {
    std::vector<std::string> out;
    auto say = [&](int stage, const std::string& what) { out.push_back("stage " + twoDigits(stage) + ": " + what); };
    int outAndBack = 0;
    long longest = 0;
    for (const StageReport& r : reports) {
        if (r.layout.outAndBack()) ++outAndBack;
        if (r.cleared) longest = std::max(longest, r.result.tick);
    }
    for (const StageReport& r : reports) {
        if (r.stage < kFirstRuledStage) continue;
        if (!r.problem.empty() || !r.cleared) {
            say(r.stage, "the solution does not clear it");
            continue;
        }
        if (r.result.tick - input_script::kReadyTicks > kTimerTicks * 6 / 10)
            say(r.stage, "cleared at tick " + std::to_string(r.result.tick) + ", beyond 60 % of the timer");
        if (r.slack.measured && r.slack.share4() < kMinSlackShare)
            say(r.stage, "slack at 4 ticks " + percent(r.slack.share4()) + ", under 80 %");
        if (r.slack.narrowest && r.slack.narrowest->width() < kMinWindow)
            say(r.stage, "a window of " + std::to_string(r.slack.narrowest->width()) + " ticks (" +
                             r.slack.narrowest->text() + "), under 8");
        if (r.layout.fullRows > kMaxFullRows)
            say(r.stage, std::to_string(r.layout.fullRows) + " fully solid rows, more than 3");
        int minRows = isBandFinale(r.stage) ? kMinFinaleRouteRows : kMinRouteRows;
        if (r.routeRows < minRows)
            say(r.stage, "the route passes through " + std::to_string(r.routeRows) +
                             (r.routeRows == 1 ? " row" : " rows") + ", fewer than " +
                             std::to_string(minRows));
        if (r.likeStage >= 0 && r.likeness > kMaxLikeness)
            say(r.stage, "shares " + percent(r.likeness) + " of its solid cells with stage " + twoDigits(r.likeStage));
        if (r.layout.outAndBack()) {
            const StageReport* before = find(reports, r.stage - 1);
            if (before && before->layout.outAndBack())
                say(r.stage, "out and back, as stage " + twoDigits(r.stage - 1) + " before it");
        }
        auto f = finder.find(r.stage);
        if (f != finder.end() && f->second > 0 && f->second < kMinFinderShare * static_cast<double>(r.result.tick))
            say(r.stage, "the finder clears it at tick " + std::to_string(f->second) + ", under 70 % of the solution's");
        if (r.stage == 50) {
            if (r.result.tick < longest) say(50, "not the longest solution (" + std::to_string(longest) + " is)");
            if (r.skillCount() < kMinFinaleSkills)
                say(50, "uses " + std::to_string(r.skillCount()) + " skills, fewer than 10");
            for (int earlier : {9, 23})
                if (const StageReport* e = find(reports, earlier); e && routeLikeness(r, *e) > kMaxLikeness)
                    say(50, "its route shares " + percent(routeLikeness(r, *e)) + " of its cells with stage " +
                                twoDigits(earlier) + "'s");
        }
    }
    // The curve: band medians rise, to at least 2,400 in stages 40 to 49.
    long previous = 0;
    for (int band = 0; band < 50; band += 10) {
        std::vector<long> ticks;
        for (const StageReport& r : reports)
            if (r.cleared && r.stage >= band && r.stage < band + 10) ticks.push_back(r.result.tick);
        if (ticks.empty()) continue;
        long m = median(ticks);
        std::string name = "stages " + std::to_string(band) + " to " + std::to_string(band + 9);
        if (band > 0 && m <= previous)
            out.push_back("the game: the median of " + name + " (" + std::to_string(m) + ") does not rise");
        if (band == 40 && m < kMinLastBandMedian)
            out.push_back("the game: the median of " + name + " (" + std::to_string(m) + ") is under 2400");
        previous = m;
    }
    if (outAndBack > kMaxOutAndBack)
        out.push_back("the game: " + std::to_string(outAndBack) + " out-and-back stages, more than 8");
    return out;
}

std::string linesText(const StageReport& r) {
    std::string out;
    for (const LineWindow& w : r.slack.windows) {
        bool fails4 = std::count(r.slack.failWith4.begin(), r.slack.failWith4.end(), w.line.lineNo) > 0;
        bool fails8 = std::count(r.slack.failWith8.begin(), r.slack.failWith8.end(), w.line.lineNo) > 0;
        char text[64];
        std::snprintf(text, sizeof text, "  window %3ld  wait 4 %-5s wait 8 %-5s ", w.width(), fails4 ? "fails" : "ok",
                      fails8 ? "fails" : "ok");
        out += text + w.text() + "\n";
    }
    return out;
}

bool replaceReportSection(std::string& readme, const std::string& section) {
    size_t begin = readme.find(kBeginMark);
    if (begin == std::string::npos) return false;
    begin += std::string(kBeginMark).size();
    size_t end = readme.find(kEndMark, begin);
    if (end == std::string::npos) return false;
    readme.replace(begin, end - begin, "\n" + section);
    return true;
}

}  // namespace report
