// lumotta-report: the stage report. Plays every stage's shipped solution
// and its variants, prints one row per stage (clear tick, slack, route,
// layout, skills, the finder's best), the band medians and the design rules
// each stage breaks, and with --readme writes it all into
// content/stages/README.md.
#include "tools/finder/search.h"
#include "tools/report/report_table.h"
#include "tools/report/stage_report.h"
#include "tools/runner/command_line.h"
#include "tools/runner/input_script.h"
#include "tools/runner/stage_run.h"
#include "tools/stagec/stage_io.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

int usage() {
    std::fputs(
        "usage: lumotta-report [options]\n"
        "  --data DIR          the data folder holding 01/ (default: LUMOTTA_DATA_DIR or the build's)\n"
        "  --source DIR        the source tree holding content/ (default: this build's)\n"
        "  --stages LIST       the stages to report, as 10-29,50 (default: every stage with a source)\n"
        "  --script FILE       report this script as the solution of the one stage named by --stages\n"
        "  --no-windows        leave out each line's window (the narrowest line column)\n"
        "  --no-slack          leave out the waits put in and the windows\n"
        "  --lines             also print every line's window and waits\n"
        "  --finder LIST       first run the shortcut finder (width 3000) on these stages and keep\n"
        "                      its results in content/stages/finder-best.txt (minutes per stage)\n"
        "  --finder-seconds N  give each finder run at most N seconds (default 1800)\n"
        "  --readme            write the report into content/stages/README.md (every stage reported)\n",
        stderr);
    return 2;
}

bool readList(const std::string& text, std::set<int>& out) {
    size_t i = 0;
    while (i < text.size()) {
        size_t comma = text.find(',', i);
        if (comma == std::string::npos) comma = text.size();
        std::string part = text.substr(i, comma - i);
        size_t dash = part.find('-');
        long first = 0, last = 0;
        if (dash == std::string::npos) {
            if (!tool_options::readNumber(part.c_str(), first)) return false;
            last = first;
        } else if (!tool_options::readNumber(part.substr(0, dash).c_str(), first) ||
                   !tool_options::readNumber(part.substr(dash + 1).c_str(), last)) {
            return false;
        }
        if (first < 0 || last > 99 || first > last) return false;
        for (long s = first; s <= last; ++s) out.insert(static_cast<int>(s));
        i = comma + 1;
    }
    return !out.empty();
}

std::string stagePath(const std::string& source, const char* folder, int stage, const char* extension) {
    char name[32];
    std::snprintf(name, sizeof name, "/%02d.%s", stage, extension);
    return source + "/content/" + folder + name;
}

bool writeText(const std::string& path, const std::string& text) {
    return stagec::writeFileBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir = tool_options::defaultDataDir(), source = LUMOTTA_REPORT_SOURCE_DIR, scriptFile;
    std::set<int> wanted, finderStages;
    bool readme = false, lines = false;
    long finderSeconds = 1800;
    report::ReportOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--data" && hasValue) dataDir = argv[++i];
        else if (arg == "--source" && hasValue) source = argv[++i];
        else if (arg == "--script" && hasValue) scriptFile = argv[++i];
        else if (arg == "--stages" && hasValue && readList(argv[++i], wanted)) {}
        else if (arg == "--finder" && hasValue && readList(argv[++i], finderStages)) {}
        else if (arg == "--finder-seconds" && hasValue && tool_options::readNumber(argv[++i], finderSeconds) &&
                 finderSeconds > 0) {}
        else if (arg == "--no-windows") options.windows = false;
        else if (arg == "--no-slack") options.slack = options.windows = false;
        else if (arg == "--lines") lines = true;
        else if (arg == "--readme") readme = true;
        else return usage();
    }
    dataDir = std::filesystem::absolute(dataDir).string();
    source = std::filesystem::absolute(source).string();

    // Every stage with a source is compared with every other by layout.
    std::vector<report::NamedLayout> layouts;
    std::vector<int> stages;
    for (int stage = 0; stage <= 99; ++stage) {
        if (!std::filesystem::exists(stagePath(source, "stages", stage, "stage"))) continue;
        std::string note;
        layouts.push_back({stage, report::layoutOf(stagec::readStageFiles(dataDir + "/01", stage, &note))});
        if (!note.empty()) std::fprintf(stderr, "stage %02d: %s\n", stage, note.c_str());
        if (wanted.empty() || wanted.count(stage)) stages.push_back(stage);
    }
    if (stages.empty()) {
        std::fprintf(stderr, "no stage sources under %s/content/stages\n", source.c_str());
        return 1;
    }
    if (!scriptFile.empty() && (stages.size() != 1 || readme)) {
        std::fputs("--script goes with --stages naming one stage, and never with --readme\n", stderr);
        return 2;
    }
    if (readme && !wanted.empty()) {
        std::fputs("--readme writes the whole table: leave out --stages\n", stderr);
        return 2;
    }

    const std::string finderFile = source + "/content/stages/finder-best.txt";
    std::string finderText;
    stagec::readTextFile(finderFile, finderText);
    report::FinderBest finder = report::readFinderBest(finderText);

    std::vector<report::StageReport> reports;
    auto started = std::chrono::steady_clock::now();
    for (int stage : stages) {
        auto stageStarted = std::chrono::steady_clock::now();
        std::string script;
        const std::string path = scriptFile.empty() ? stagePath(source, "replays", stage, "script") : scriptFile;
        if (!stagec::readTextFile(path, script)) {
            report::StageReport missing;
            missing.stage = stage;
            missing.problem = "no solution";
            reports.push_back(missing);
            continue;
        }
        if (finderStages.count(stage)) {
            input_script::Result compiled = input_script::compile(script, "solution");
            ReplayStart start = compiled.replay.start;
            if (!compiled.stageGiven) start.stage = stage;
            std::string error;
            if (stage_run::startStage(dataDir, start, error)) {
                finder::SearchLimits limits;
                limits.width = 3000;
                limits.seconds = static_cast<double>(finderSeconds);
                std::fprintf(stderr, "stage %02d: the finder at width 3000...\n", stage);
                finder::SearchResult found = finder::search(limits, nullptr);
                if (found.stoppedByClock && !found.cleared) {
                    std::fprintf(stderr, "stage %02d: the finder ran out of time; nothing kept\n", stage);
                } else {
                    // Kept at once: a long run stopped half way keeps what it found.
                    finder[stage] = found.cleared ? found.clearTick : -1;
                    if (!writeText(finderFile, report::finderBestText(finder)))
                        std::fprintf(stderr, "%s: cannot write\n", finderFile.c_str());
                }
                std::fprintf(stderr, "stage %02d: finder %s in %.0f s\n", stage,
                             found.cleared ? std::to_string(found.clearTick).c_str() : "none", found.seconds);
            } else {
                std::fprintf(stderr, "stage %02d: %s\n", stage, error.c_str());
            }
        }
        reports.push_back(report::reportStage(dataDir, stage, script, options));
        std::fprintf(stderr, "stage %02d: %.1f s\n", stage, secondsSince(stageStarted));
        if (lines) {
            std::printf("stage %02d: %s\n%s", stage, reports.back().result.line().c_str(),
                        report::linesText(reports.back()).c_str());
        }
    }
    report::findLikeStages(reports, layouts);

    std::string text = report::tableText(reports, finder);
    text += "\nBand medians of the clear ticks: " + report::bandMediansText(reports) + ".\n";
    std::vector<std::string> breaks = report::ruleBreaks(reports, finder);
    text += "\nThe design rules broken (stages 10 to 50):";
    text += breaks.empty() ? std::string(" none.\n") : std::string("\n\n");
    for (const std::string& b : breaks) text += "- " + b + "\n";
    std::printf("%s", text.c_str());
    std::fprintf(stderr, "%zu stages in %.0f s\n", reports.size(), secondsSince(started));

    if (readme) {
        const std::string path = source + "/content/stages/README.md";
        std::string readmeText;
        if (!stagec::readTextFile(path, readmeText) || !report::replaceReportSection(readmeText, text)) {
            std::fprintf(stderr, "%s: cannot read it, or the report's marks are missing\n", path.c_str());
            return 1;
        }
        if (!writeText(path, readmeText)) {
            std::fprintf(stderr, "%s: cannot write\n", path.c_str());
            return 1;
        }
        std::fprintf(stderr, "wrote the report into %s\n", path.c_str());
    }
    return 0;
}
