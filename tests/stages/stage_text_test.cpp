// Stage sources and the three stage files: both directions, and the errors.
#include "tools/stagec/stage_io.h"
#include "tools/stagec/stage_text.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

using stagec::cellIndex;
using stagec::StageData;

std::string sourceDir() {
    const char* dir = std::getenv("LUMOTTA_SOURCE_DIR");
    return dir ? dir : LUMOTTA_TEST_SOURCE_DIR;
}

std::vector<std::string> contentStages() {
    std::vector<std::string> paths;
    std::filesystem::path dir = std::filesystem::path(sourceDir()) / "content" / "stages";
    if (!std::filesystem::is_directory(dir)) return paths;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().extension() == ".stage") paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

StageData parseOk(const std::string& text) {
    stagec::ParseResult r = stagec::parseStageText(text, "t.stage");
    for (const auto& e : r.errors) ADD_FAILURE() << e.text();
    return r.data;
}

// A stage whose bytes hold anything at all: odd block codes, negative hidden
// values, things in the off-screen columns, script data in any cell.
StageData randomStage(unsigned seed) {
    std::mt19937 rng(seed);
    StageData d;
    std::uniform_int_distribution<int> pick(0, 99);
    for (int i = 0; i < stagec::kCells; ++i) {
        int p = pick(rng);
        if (p < 50) d.blocks[i] = 0;
        else if (p < 80) d.blocks[i] = p % 4;
        else if (p < 95) d.blocks[i] = 100 + p % 56;
        else d.blocks[i] = static_cast<int32_t>(rng());
        int q = pick(rng);
        d.hidden[i] = q < 80 ? 0 : q < 95 ? 100 + q % 56 : static_cast<int32_t>(rng());
    }
    for (int n = 0; n < 40; ++n) {
        int cell = static_cast<int>(rng() % stagec::kCells);
        for (int v = 0; v < stagec::kScriptValues; ++v)
            if (pick(rng) < 40) d.record(cell)[v] = static_cast<int16_t>(rng());
    }
    // Two cells sharing one script.
    std::copy(d.record(cellIndex(3, 3)), d.record(cellIndex(3, 3)) + 32, d.record(cellIndex(30, 7)));
    return d;
}

TEST(StageText, BinaryToTextToBinaryIsByteIdentical) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        StageData original = randomStage(seed);
        std::string text = stagec::writeStageText(original, "random");
        StageData back = parseOk(text);
        EXPECT_EQ(stagec::blockFileBytes(back), stagec::blockFileBytes(original)) << "seed " << seed;
        EXPECT_EQ(stagec::hiddenFileBytes(back), stagec::hiddenFileBytes(original)) << "seed " << seed;
        EXPECT_EQ(stagec::scriptFileBytes(back), stagec::scriptFileBytes(original)) << "seed " << seed;
    }
}

TEST(StageText, BytesReadBackAsTheyWereWritten) {
    StageData original = randomStage(99);
    std::string note;
    StageData back = stagec::stageFromBytes(stagec::blockFileBytes(original), stagec::hiddenFileBytes(original),
                                            stagec::scriptFileBytes(original), &note);
    EXPECT_EQ(back, original);
    EXPECT_EQ(note, "");
    EXPECT_EQ(stagec::blockFileBytes(original).size(), 2400u);
    EXPECT_EQ(stagec::scriptFileBytes(original).size(), 38400u);
}

TEST(StageText, ShortFilesReadAsFarAsTheyGoAndAreNamed) {
    StageData original = randomStage(5);
    auto blocks = stagec::blockFileBytes(original);
    blocks.resize(1001);  // cut inside a value: that value stays zero
    std::string note;
    StageData back = stagec::stageFromBytes(blocks, {}, {}, &note);
    EXPECT_EQ(back.blocks[249], original.blocks[249]);
    EXPECT_EQ(back.blocks[250], 0);
    EXPECT_NE(note.find("1001 bytes"), std::string::npos);
    EXPECT_NE(note.find("cell-script file holds 0 bytes"), std::string::npos);
}

TEST(StageText, ContentStagesAreStableThroughBinaryAndBack) {
    auto paths = contentStages();
    ASSERT_FALSE(paths.empty()) << "no content/stages found under LUMOTTA_SOURCE_DIR";
    for (const std::string& path : paths) {
        std::string text;
        ASSERT_TRUE(stagec::readTextFile(path, text));
        stagec::ParseResult first = stagec::parseStageText(text, path);
        ASSERT_TRUE(first.ok()) << first.errors[0].text();
        std::string canonical = stagec::writeStageText(first.data, "x");
        StageData second = parseOk(canonical);
        EXPECT_EQ(second, first.data) << path;
        EXPECT_EQ(stagec::writeStageText(second, "x"), canonical) << path;
    }
}

TEST(StageText, CompiledContentMatchesTheBuiltDataFiles) {
    const char* data = std::getenv("LUMOTTA_DATA_DIR");
    if (!data) data = LUMOTTA_TEST_DATA_DIR;
    for (const std::string& path : contentStages()) {
        std::string text;
        ASSERT_TRUE(stagec::readTextFile(path, text));
        StageData compiled = parseOk(text);
        int stage = *stagec::stageNumberOfSource(path);
        std::string note;
        StageData built = stagec::readStageFiles(std::string(data) + "/01", stage, &note);
        EXPECT_EQ(note, "") << path;
        EXPECT_EQ(built, compiled) << path;
    }
}

const char* kSmallStage =
    "; a test stage\n"
    "legend x = chaser\n"
    "legend T = spawner waves\n"
    "blocks\n"
    "####################\n"
    "#..................#\n"
    "#..................#\n"
    "#..................#\n"
    "#..................#\n"
    "#..................#\n"
    "#..................#\n"
    "#..................#\n"
    "#..................#\n"
    "#..................#\n"
    "#..........T.......#\n"
    "#....x.....#.......#  ; a comment after a row\n"
    "#...bbb....#.......#\n"
    "#@..b?b....#..K...E#\n"
    "####################\n"
    "hidden\n"
    "....................\n"
    "....................\n"
    "....................\n"
    "....................\n"
    "....................\n"
    "....................\n"
    "....................\n"
    "....................\n"
    "....................\n"
    "....................\n"
    "....................\n"
    "....................\n"
    ".....L..............\n"
    "....M...............\n"
    "....................\n"
    "script waves\n"
    "  interval 120\n"
    "  limit 2\n"
    "  spawn walker facing left lifetime 300\n"
    "  spawn kind 16\n"
    "  spawn restart\n"
    "end\n"
    "value blocks 5 13 = 57\n";

TEST(StageText, ReadsEveryKindOfLine) {
    StageData d = parseOk(kSmallStage);
    EXPECT_EQ(d.blocks[cellIndex(1, 13)], 100);
    EXPECT_EQ(d.blocks[cellIndex(5, 11)], 113);
    EXPECT_EQ(d.blocks[cellIndex(4, 12)], 2);
    EXPECT_EQ(d.blocks[cellIndex(5, 13)], 57);
    EXPECT_EQ(d.blocks[cellIndex(11, 10)], 135);
    EXPECT_EQ(d.blocks[cellIndex(18, 13)], 108);
    EXPECT_EQ(d.hidden[cellIndex(5, 12)], 148);
    EXPECT_EQ(d.hidden[cellIndex(4, 13)], 149);
    const int16_t* r = d.record(cellIndex(11, 10));
    EXPECT_EQ(r[0], 12);
    EXPECT_EQ(r[1], 16);
    EXPECT_EQ(r[2], 0);
    EXPECT_EQ(r[10], 120);
    EXPECT_EQ(r[11], 2);
    EXPECT_EQ(r[12], 1);
    EXPECT_EQ(r[22], 300);
    EXPECT_EQ(d.record(cellIndex(10, 10))[10], 0);
}

TEST(StageText, WideGridsOnlyWhenTheOffScreenColumnsHoldSomething) {
    StageData d = parseOk(kSmallStage);
    std::string narrow = stagec::writeStageText(d, "x");
    EXPECT_NE(narrow.find("\n####################\n"), std::string::npos);
    d.blocks[cellIndex(25, 4)] = 2;
    std::string wide = stagec::writeStageText(d, "x");
    EXPECT_NE(wide.find("\n" + std::string(20, '#') + std::string(20, '.') + "\n"), std::string::npos);
    EXPECT_EQ(parseOk(wide), d);
}

// The first error of a text with one line replaced.
stagec::Diagnostic firstError(const std::string& from, const std::string& to) {
    std::string text = kSmallStage;
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    stagec::ParseResult r = stagec::parseStageText(text, "bad.stage");
    EXPECT_FALSE(r.ok()) << "no error for: " << to;
    return r.errors.empty() ? stagec::Diagnostic{} : r.errors[0];
}

TEST(StageText, ErrorsNameFileLineAndColumn) {
    auto e = firstError("#...bbb....#.......#", "#...bbb..%.#.......#");
    EXPECT_EQ(e.text(), "bad.stage:17:10: '%' is not in the legend");

    e = firstError("#@..b?b....#..K...E#", "#@..b?b....#..K...E");
    EXPECT_EQ(e.line, 18);
    EXPECT_EQ(e.column, 1);
    EXPECT_NE(e.message.find("20 or 40"), std::string::npos);

    e = firstError("legend x = chaser", "legend x = chaserz");
    EXPECT_EQ(e.text(), "bad.stage:2:12: unknown code 'chaserz'");

    e = firstError("  limit 2", "  limit two");
    EXPECT_EQ(e.text(), "bad.stage:38:9: expected a number from -32768 to 32767");

    e = firstError("  spawn kind 16", "  spawn kind 16 facing");
    EXPECT_EQ(e.line, 40);
    EXPECT_EQ(e.column, 17);

    e = firstError("value blocks 5 13 = 57", "value blocks 6 13 = 57");
    EXPECT_EQ(e.line, 43);
    EXPECT_NE(e.message.find("not marked '?'"), std::string::npos);

    e = firstError("value blocks 5 13 = 57", "value blocks 5 15 = 57");
    EXPECT_EQ(e.text(), "bad.stage:43:16: the row must be 0..14");

    e = firstError("legend T = spawner waves", "legend T = spawner wave");
    EXPECT_EQ(e.line, 15);  // the spawner's cell in the grid
    EXPECT_EQ(e.column, 12);
    EXPECT_EQ(e.message, "no script named 'wave'");

    std::string unclosed = kSmallStage;
    unclosed.erase(unclosed.find("end\n"), 4);
    auto r = stagec::parseStageText(unclosed, "bad.stage");
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(std::any_of(r.errors.begin(), r.errors.end(), [](const stagec::Diagnostic& d) {
        return d.text() == "bad.stage:36:1: script 'waves' has no 'end'";
    }));

    e = firstError("; a test stage", "blocs");
    EXPECT_EQ(e.text(), "bad.stage:1:1: unknown statement 'blocs'");
}

TEST(StageText, MissingPartsAreErrors) {
    EXPECT_FALSE(stagec::parseStageText("; nothing\n", "e.stage").ok());
    auto r = stagec::parseStageText("blocks\n####################\n", "e.stage");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.errors[0].text(), "e.stage:1:1: the grid has 1 rows; it needs 15");
    std::string text = kSmallStage;
    text.erase(text.find("value blocks"));
    r = stagec::parseStageText(text, "e.stage");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.errors[0].text(), "e.stage:18:6: '?' without a 'value blocks' line");
}

TEST(StageText, FileNamesAreOnlyStageFiles) {
    EXPECT_EQ(stagec::stageFileBase(7, 0), "07.dat");
    EXPECT_EQ(stagec::stageFileBase(10, 1), "10_.dat");
    EXPECT_EQ(stagec::stageFileBase(50, 2), "50__.dat");
    EXPECT_EQ(stagec::stageNumberOfSource("/a/b/07.stage"), 7);
    EXPECT_FALSE(stagec::stageNumberOfSource("/a/K.stage").has_value());
    EXPECT_FALSE(stagec::stageNumberOfSource("/a/7.stage").has_value());
}

}  // namespace
