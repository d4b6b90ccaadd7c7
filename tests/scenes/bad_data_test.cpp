// Bad data where the game reads it: the whole program started on a data set
// with one thing damaged (a saved file, a stage, a picture, a sound, a pack
// archive) and played from the title into the first stage, or round the
// front end. It must start, fall back, end normally and leave whole saved
// files behind.
#include "tests/scenes/program_run.h"
#include "tools/pack/archive_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace program_run;
using testing_support::readWholeFile;

std::string randomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

void replaceWith(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A linked folder of the data set made a copy of its own, so one of its
// files can be damaged without touching the data set.
void ownCopyOf(const std::string& folder) {
    const fs::path target = fs::read_symlink(folder);
    fs::remove(folder);
    fs::copy(target, folder, fs::copy_options::recursive);
}

void put32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// A BMP of width x height, 24 bits, whose pixels are all there only when
// `whole`.
std::string bmp(uint32_t width, uint32_t height, bool whole) {
    const uint32_t row = (width * 3 + 3) / 4 * 4;
    std::string bytes(54, '\0');
    bytes[0] = 'B', bytes[1] = 'M';
    put32(bytes, 2, 54 + row * height);
    put32(bytes, 10, 54);
    put32(bytes, 14, 40);
    put32(bytes, 18, width);
    put32(bytes, 22, height);
    bytes[26] = 1, bytes[28] = 24;
    if (whole) bytes += std::string(row * height, '\x40');
    return bytes;
}

// The saved files are there afterwards, whole, with their sizes.
void expectWholeSavedFiles() {
    EXPECT_EQ(fs::file_size("01/K.dat"), 16u);
    EXPECT_EQ(fs::file_size("01/S.dat"), 80u);
    EXPECT_EQ(fs::file_size("01/B.dat"), 80u);
    EXPECT_EQ(fs::file_size("01/H.dat"), 4u);
}

// Closes the program once `ticks` ticks of play have run.
std::function<bool()> afterPlayTicks(int ticks) {
    return [ticks, played = 0]() mutable {
        played += game.scene == kScenePlay;
        return played >= ticks;
    };
}

// From the start-up movie through the title into stage 0, played by its
// solution for `playTicks` ticks.
ProgramRun playTheFirstStage(int playTicks) {
    Script script;
    script.idle(1);
    reachLiveMenu(script);
    script.pressButton(0);
    script.idle(86);
    for (const InputState& in : solutionOf(0)) script.hold(in, 1);
    ProgramRun run;
    run.closeWhen = afterPlayTicks(playTicks);
    runProgram(script, run);
    return run;
}

// Round the front end: the ranking, then the stage select (up to the last
// stage the saved files allow) and into the stage chosen.
ProgramRun tourTheFrontEnd() {
    Script script;
    script.idle(1);
    reachLiveMenu(script);
    script.pressDown();
    script.pressButton(0);  // the ranking
    script.idle(120);
    script.pressButton(0);  // back to the title
    script.idle(120);
    reachLiveMenu(script);
    script.pressDown();     // from the ranking's item to the stage select
    script.pressButton(0);
    script.idle(100);
    for (int i = 0; i < 8; ++i) script.pressDirection(1, 0), script.pressRight();
    script.pressButton(0);  // the stage chosen
    ProgramRun run;
    run.closeWhen = afterPlayTicks(120);
    runProgram(script, run);
    return run;
}

// The log of the run `body` makes (each start writes it afresh).
std::string logOf(const std::function<void()>& body) {
    body();
    return readWholeFile("Log.txt");
}

class BadData : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(data_.ok()) << "LUMOTTA_DATA_DIR holds no game data"; }
    ScratchGameData data_{"bad_data"};
};

TEST_F(BadData, DamagedSavedFilesFallBackAndAreWrittenWholeAtExit) {
    const char* names[] = {"K.dat", "S.dat", "B.dat", "H.dat"};
    const size_t sizes[] = {16, 80, 80, 4};
    auto damaged = [](const std::string& kind, size_t size) {
        std::string bytes;
        if (kind == "short") bytes = randomBytes(3, 1);
        if (kind == "long") bytes = randomBytes(5000, 2);
        if (kind == "random") bytes = randomBytes(size, 3);
        if (kind == "extreme high") bytes.assign(size, '\x7f');
        if (kind == "extreme low") {
            bytes.assign(size, '\0');  // INT32_MIN, or -32768 in pairs
            for (size_t at = 1; at < size; at += 2) bytes[at] = '\x80';
        }
        return bytes;  // "empty" too
    };
    // Each file gets every kind over the rounds.
    const std::string kinds[] = {"empty", "short", "long", "random", "extreme high", "extreme low"};
    for (int round = 0; round < 3; ++round) {
        std::string said;
        for (int f = 0; f < 4; ++f) {
            const std::string kind = kinds[(round * 2 + f) % 6];
            replaceWith(std::string("01/") + names[f], damaged(kind, sizes[f]));
            said += std::string(names[f]) + " " + kind + "; ";
        }
        SCOPED_TRACE(said);
        const ProgramRun run = tourTheFrontEnd();
        EXPECT_EQ(run.result, 0);
        EXPECT_GT(ticksIn(run, kSceneRanking), 0);
        EXPECT_GT(ticksIn(run, kSceneStageSelect), 0);
        EXPECT_GT(ticksIn(run, kScenePlay), 0);
        EXPECT_GE(game.highestStage, 0);
        EXPECT_LE(game.highestStage, 51);
        EXPECT_GE(game.stageSelectChoice, 1);
        EXPECT_LE(game.stageSelectChoice, 51);
        expectWholeSavedFiles();
    }
}

TEST_F(BadData, ASavedFileThatIsAFolderIsKeptAndTheGameRunsOnDefaults) {
    fs::create_directory("01/K.dat");
    const ProgramRun run = tourTheFrontEnd();
    EXPECT_EQ(run.result, 1);  // the settings could not be saved: said, and the exit status says so
    EXPECT_TRUE(fs::is_directory("01/K.dat"));
    EXPECT_EQ(fs::file_size("01/S.dat"), 80u);
    EXPECT_EQ(game.settings.startLives, 2);
    EXPECT_NE(readWholeFile("Log.txt").find("The settings could not be read from"), std::string::npos);
}

TEST_F(BadData, DamagedStageFilesArePlayedWithoutCrashOrHang) {
    struct Damage {
        const char* what;
        std::function<void()> apply;
    };
    const std::vector<Damage> damages = {
        {"truncated", [] { replaceWith("01/00.dat", readWholeFile("01/00.dat").substr(0, 101)); }},
        {"random", [] {
             replaceWith("01/00.dat", randomBytes(2400, 4));
             replaceWith("01/00_.dat", randomBytes(2400, 5));
             replaceWith("01/00__.dat", randomBytes(38400, 6));
         }},
        {"every cell a spawner", [] {
             std::string blocks(2400, '\0');
             for (size_t c = 0; c < 600; ++c) put32(blocks, 4 * c, c == 20 ? 100 : 135);
             replaceWith("01/00.dat", blocks);
             std::string scripts = randomBytes(38400, 7);  // spawn lines anywhere, negative places too
             replaceWith("01/00__.dat", scripts);
         }},
        {"every kind number", [] {
             std::string blocks(2400, '\0'), hidden(2400, '\0');
             const int32_t codes[] = {-1, -2147483647 - 1, 2147483647, 4, 99, 156, 1000};
             for (size_t c = 0; c < 600; ++c) {
                 put32(blocks, 4 * c, c % 2 ? static_cast<uint32_t>(100 + c % 60) : static_cast<uint32_t>(codes[c % 7]));
                 put32(hidden, 4 * c, static_cast<uint32_t>(codes[(c + 3) % 7]) + static_cast<uint32_t>(c % 60));
             }
             replaceWith("01/00.dat", blocks);
             replaceWith("01/00_.dat", hidden);
             std::string scripts(38400, '\0');
             for (size_t v = 0; v < 19200; ++v) {
                 const uint16_t value = v % 3 == 0 ? 0x8000 : v % 3 == 1 ? 0x7FFF : 0xFFFF;
                 scripts[2 * v] = static_cast<char>(value), scripts[2 * v + 1] = static_cast<char>(value >> 8);
             }
             replaceWith("01/00__.dat", scripts);
         }},
    };
    const std::string blocks = readWholeFile("01/00.dat"), hidden = readWholeFile("01/00_.dat"),
                      scripts = readWholeFile("01/00__.dat");
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        replaceWith("01/00.dat", blocks), replaceWith("01/00_.dat", hidden), replaceWith("01/00__.dat", scripts);
        damage.apply();
        const ProgramRun run = playTheFirstStage(600);
        EXPECT_EQ(run.result, 0);
        EXPECT_GE(ticksIn(run, kScenePlay), 600);
        expectWholeSavedFiles();
    }
}

TEST_F(BadData, DamagedPicturesAndSoundsAreLoggedAndPlayGoesOn) {
    ownCopyOf("00"), ownCopyOf("03"), ownCopyOf("05"), ownCopyOf("10");
    const std::string sheet = readWholeFile("00/01.png"), backdrop = readWholeFile("03/1.bmp"),
                      music = readWholeFile("05/3.ogg"), sound = readWholeFile("10/01.wav");
    struct Damage {
        const char* what;
        std::string sheet, backdrop, music, sound;
        bool refused = true;  // the pictures are refused, and the log says so
    };
    const Damage damages[] = {
        {"garbage", randomBytes(3000, 8), randomBytes(3000, 9), randomBytes(3000, 10), randomBytes(3000, 11)},
        {"truncated", sheet.substr(0, sheet.size() / 2), backdrop.substr(0, 80), music.substr(0, music.size() / 3),
         sound.substr(0, 30)},
        // A picture of one pixel is a picture: drawn stretched, its cells empty.
        {"1x1", bmp(1, 1, true), bmp(1, 1, true), music.substr(0, 58), sound.substr(0, 44), false},
        {"beyond the limits", bmp(20000, 20000, false), bmp(100000, 1, false), std::string(100, '\0'), ""},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        replaceWith("00/01.png", d.sheet), replaceWith("03/1.bmp", d.backdrop);
        replaceWith("05/3.ogg", d.music), replaceWith("10/01.wav", d.sound);
        ProgramRun run;
        const std::string log = logOf([&run] { run = playTheFirstStage(200); });
        EXPECT_EQ(run.result, 0);
        EXPECT_GE(ticksIn(run, kScenePlay), 200);
        EXPECT_EQ(log.find("00\\01.png") != std::string::npos, d.refused) << log.substr(0, 3000);
        EXPECT_EQ(log.find("03\\1.bmp") != std::string::npos, d.refused) << log.substr(0, 3000);
        expectWholeSavedFiles();
    }
}

size_t countOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// A player who starts the game from the menu reads no Japanese log lines and
// no scene counts: every picture or sound that failed is named in English,
// once, on standard error and in the log, however often a scene loads it.
TEST_F(BadData, MissingAndDamagedFilesAreNamedOnceOnStandardErrorAndInTheLog) {
    ownCopyOf("00"), ownCopyOf("03"), ownCopyOf("10");
    fs::remove("03/1.bmp");
    fs::remove("10/01.wav");
    replaceWith("00/01.png", randomBytes(3000, 8));
    ProgramRun run;
    testing::internal::CaptureStderr();
    const std::string log = logOf([&run] { run = playTheFirstStage(200); });
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(run.result, 0);
    EXPECT_GE(ticksIn(run, kScenePlay), 200);
    const std::string lines[] = {
        "The picture file 03\\1.bmp of the game data is missing",
        "The sound file 10\\01.wav of the game data is missing",
        "The picture file 00\\01.png of the game data could not be read (damaged or of a kind the game does not "
        "know)",
    };
    for (const std::string& line : lines) {
        EXPECT_EQ(countOf(said, "Lumotta: " + line + "\n"), 1u) << line << "\n" << said;
        EXPECT_EQ(countOf(log, line + "\r\n"), 1u) << line << "\n" << log.substr(0, 3000);
    }
    // Nothing else of the data is said to have failed.
    EXPECT_EQ(countOf(said, " of the game data "), 3u) << said;
}

TEST_F(BadData, ADamagedPackArchiveIsLoggedAndPlayGoesOn) {
    // Folder 00 packed as 00.lmt, the only copy of its pictures.
    pack::PackItem root;
    std::vector<std::string> warnings;
    std::string error;
    ASSERT_TRUE(pack::ScanFolder(fs::read_symlink("00").string(), root, warnings, error)) << error;
    ASSERT_TRUE(pack::WriteArchiveFile(root, pack::PackOptions{}, "whole.lmt", error)) << error;
    fs::remove("00");
    const std::string whole = readWholeFile("whole.lmt");
    ASSERT_GT(whole.size(), 4096u);
    struct Damage {
        const char* what;
        size_t at, length;
    };
    const Damage damages[] = {
        {"header", 0, 24},
        {"directory", whole.size() - 600, 600},
        {"data", 24 + 200, 3000},
        {"cut short", whole.size() / 2, whole.size() - whole.size() / 2},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        std::string bytes = whole;
        if (std::string(d.what) == "cut short")
            bytes.resize(d.at);
        else
            bytes.replace(d.at, d.length, randomBytes(d.length, 12));
        replaceWith("00.lmt", bytes);
        ProgramRun run;
        const std::string log = logOf([&run] { run = playTheFirstStage(200); });
        EXPECT_EQ(run.result, 0);
        EXPECT_GE(ticksIn(run, kScenePlay), 200);
        EXPECT_NE(log.find("00\\"), std::string::npos) << log.substr(0, 2000);  // its pictures said missing
        expectWholeSavedFiles();
    }
}

}  // namespace
