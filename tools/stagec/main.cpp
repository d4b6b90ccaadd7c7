// stagec: stage sources to the three stage files, stage files back to text,
// design checks, and placeholder stages for numbers without a source.
#include "tools/stagec/stage_io.h"
#include "tools/stagec/stage_text.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

int usage() {
    std::fputs(
        "usage:\n"
        "  stagec compile SOURCE.stage OUTDIR [--check]   write OUTDIR/NN.dat, NN_.dat, NN__.dat\n"
        "  stagec decompile DIR STAGE [OUT.stage]         stage files to text\n"
        "  stagec check SOURCE.stage | DIR STAGE          report design problems\n"
        "  stagec placeholders OUTDIR FIRST LAST SOURCEDIR\n"
        "        write a plain stage for every number in FIRST..LAST that has no\n"
        "        SOURCEDIR/NN.stage and no files in OUTDIR yet\n",
        stderr);
    return 2;
}

bool parseStage(const char* text, int& stage) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!end || *end || v < 0 || v > 99) return false;
    stage = static_cast<int>(v);
    return true;
}

bool loadSource(const std::string& path, stagec::StageData& data) {
    std::string text;
    if (!stagec::readTextFile(path, text)) {
        std::fprintf(stderr, "%s: cannot read the file\n", path.c_str());
        return false;
    }
    stagec::ParseResult parsed = stagec::parseStageText(text, path);
    for (const stagec::Diagnostic& d : parsed.errors) std::fprintf(stderr, "%s\n", d.text().c_str());
    data = parsed.data;
    return parsed.ok();
}

int report(const std::string& what, const stagec::StageData& data) {
    auto problems = stagec::checkStage(data);
    for (const std::string& p : problems) std::fprintf(stderr, "%s: %s\n", what.c_str(), p.c_str());
    return problems.empty() ? 0 : 1;
}

int compile(int argc, char** argv) {
    if (argc < 4 || argc > 5) return usage();
    bool check = argc == 5 && std::strcmp(argv[4], "--check") == 0;
    if (argc == 5 && !check) return usage();
    std::string source = argv[2];
    auto stage = stagec::stageNumberOfSource(source);
    if (!stage) {
        std::fprintf(stderr, "%s: a stage source is named NN.stage (00 to 99)\n", source.c_str());
        return 1;
    }
    stagec::StageData data;
    if (!loadSource(source, data)) return 1;
    if (check && report(source, data) != 0) return 1;
    if (!stagec::writeStageFiles(argv[3], *stage, data)) {
        std::fprintf(stderr, "%s: cannot write the stage files\n", argv[3]);
        return 1;
    }
    return 0;
}

int decompile(int argc, char** argv) {
    int stage = 0;
    if (argc < 4 || argc > 5 || !parseStage(argv[3], stage)) return usage();
    std::string note;
    stagec::StageData data = stagec::readStageFiles(argv[2], stage, &note);
    if (!note.empty()) std::fprintf(stderr, "note: %s\n", note.c_str());
    char heading[64];
    std::snprintf(heading, sizeof heading, "Stage %02d", stage);
    std::string text = stagec::writeStageText(data, heading);
    if (argc == 5) {
        if (!stagec::writeFileBytes(argv[4], std::vector<unsigned char>(text.begin(), text.end()))) {
            std::fprintf(stderr, "%s: cannot write\n", argv[4]);
            return 1;
        }
    } else {
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
    return 0;
}

int check(int argc, char** argv) {
    stagec::StageData data;
    if (argc == 3) {
        if (!loadSource(argv[2], data)) return 1;
        return report(argv[2], data);
    }
    int stage = 0;
    if (argc != 4 || !parseStage(argv[3], stage)) return usage();
    std::string note;
    data = stagec::readStageFiles(argv[2], stage, &note);
    if (!note.empty()) std::fprintf(stderr, "note: %s\n", note.c_str());
    return report(std::string(argv[2]) + "/" + stagec::stageFileBase(stage, 0), data);
}

int placeholders(int argc, char** argv) {
    int first = 0, last = 0;
    if (argc != 6 || !parseStage(argv[3], first) || !parseStage(argv[4], last)) return usage();
    namespace fs = std::filesystem;
    stagec::StageData data = stagec::placeholderStage();
    for (int stage = first; stage <= last; ++stage) {
        char source[16];
        std::snprintf(source, sizeof source, "%02d.stage", stage);
        if (fs::exists(fs::path(argv[5]) / source)) continue;
        if (fs::exists(fs::path(argv[2]) / stagec::stageFileBase(stage, 0))) continue;
        if (!stagec::writeStageFiles(argv[2], stage, data)) {
            std::fprintf(stderr, "%s: cannot write stage %d\n", argv[2], stage);
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string command = argv[1];
    if (command == "compile") return compile(argc, argv);
    if (command == "decompile") return decompile(argc, argv);
    if (command == "check") return check(argc, argv);
    if (command == "placeholders") return placeholders(argc, argv);
    return usage();
}
