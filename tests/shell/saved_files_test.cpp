#include "game/shell/file_writing.h"
#include "game/shell/saved_files.h"
#include "game/state/globals.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>
#include <string>

namespace {

namespace fs = std::filesystem;
using testing_support::readWholeFile;
using testing_support::ScratchDirectory;

void writeFile(const std::string& path, const void* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
}

template <typename T>
T fieldAt(const std::string& bytes, size_t offset) {
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

class SavedFiles : public ::testing::Test {
protected:
    void SetUp() override {
        game = GameGlobals{};
        fs::create_directory("01");
        setSavedFilesFolder("");
        resetFailedWrites();
    }
    void TearDown() override { setSavedFilesFolder(""); }
    void load() {
        setSavedDefaults();
        readSavedFiles();
    }
    ScratchDirectory dir_{"saved"};
};

TEST_F(SavedFiles, MissingFilesLeaveTheDefaults) {
    load();
    for (const PadAssignment& pad : game.padButtons) {
        for (int b = 0; b < 8; ++b) EXPECT_EQ(pad.buttonMask[b], 16 << b);
        EXPECT_EQ(pad.spare, 0);
    }
    EXPECT_EQ(game.padButtons[0].padIndex, 0);
    EXPECT_EQ(game.padButtons[1].padIndex, 1);
    EXPECT_EQ(game.settings.startLives, 2);
    EXPECT_EQ(game.settings.noTimeLimit, 0);
    EXPECT_EQ(game.settings.fullScreen, 0);
    EXPECT_EQ(game.stageSelectChoice, 1);
    EXPECT_EQ(game.highestStage, 0);
    for (const HighScoreEntry& row : game.highScores) {
        EXPECT_EQ(row.score, 0);
        EXPECT_EQ(row.stageReached, 0);
    }
}

TEST_F(SavedFiles, WrittenWithExactSizesAndLayouts) {
    load();
    game.highestStage = 37;
    game.highScores[0] = {123456, 12};
    game.highScores[9] = {-5, 51};
    game.padButtons[1].buttonMask[3] = 0x4000;
    game.padButtons[1].padIndex = 5;
    game.padButtons[0].spare = 77;
    game.settings.reserved[4] = -9;
    game.settings.noTimeLimit = 1;
    game.settings.startLives = 42;
    game.settings.fullScreen = 1;
    writeSavedFiles();

    const std::string k = readWholeFile("01/K.dat");
    const std::string s = readWholeFile("01/S.dat");
    const std::string b = readWholeFile("01/B.dat");
    const std::string h = readWholeFile("01/H.dat");
    ASSERT_EQ(k.size(), 16u);
    ASSERT_EQ(s.size(), 80u);
    ASSERT_EQ(b.size(), 80u);
    ASSERT_EQ(h.size(), 4u);
    EXPECT_EQ(fieldAt<int16_t>(k, 8), -9);
    EXPECT_EQ(fieldAt<int16_t>(k, 10), 1);
    EXPECT_EQ(fieldAt<int16_t>(k, 12), 42);
    EXPECT_EQ(fieldAt<int16_t>(k, 14), 1);
    EXPECT_EQ(fieldAt<int32_t>(s, 0), 123456);
    EXPECT_EQ(fieldAt<int32_t>(s, 4), 12);
    EXPECT_EQ(fieldAt<int32_t>(s, 72), -5);
    EXPECT_EQ(fieldAt<int32_t>(s, 76), 51);
    EXPECT_EQ(fieldAt<int32_t>(b, 0), 16);
    EXPECT_EQ(fieldAt<int32_t>(b, 32), 77);
    EXPECT_EQ(fieldAt<int32_t>(b, 36), 0);
    EXPECT_EQ(fieldAt<int32_t>(b, 40 + 12), 0x4000);
    EXPECT_EQ(fieldAt<int32_t>(b, 40 + 36), 5);
    EXPECT_EQ(fieldAt<int32_t>(h, 0), 37);
    // Nothing is left beside them.
    int entries = 0;
    for (const auto& entry : fs::directory_iterator("01")) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 4);

    // And they read back as they were.
    const GameGlobals written = game;
    game = GameGlobals{};
    load();
    EXPECT_EQ(std::memcmp(&written.settings, &game.settings, sizeof game.settings), 0);
    EXPECT_EQ(std::memcmp(written.highScores, game.highScores, sizeof game.highScores), 0);
    EXPECT_EQ(std::memcmp(written.padButtons, game.padButtons, sizeof game.padButtons), 0);
    EXPECT_EQ(game.highestStage, 37);
}

TEST_F(SavedFiles, AShortFileReplacesOnlyItsLeadingBytes) {
    const int16_t twoValues[2] = {7, 8};
    writeFile("01/K.dat", twoValues, sizeof twoValues);
    const int32_t oneMask = 0x100;
    writeFile("01/B.dat", &oneMask, sizeof oneMask);
    writeFile("01/H.dat", "", 0);
    load();
    EXPECT_EQ(game.settings.reserved[0], 7);
    EXPECT_EQ(game.settings.reserved[1], 8);
    EXPECT_EQ(game.settings.startLives, 2);  // beyond the file: the default stays
    EXPECT_EQ(game.padButtons[0].buttonMask[0], 0x100);
    EXPECT_EQ(game.padButtons[0].buttonMask[1], 32);
    EXPECT_EQ(game.padButtons[1].padIndex, 1);
    EXPECT_EQ(game.highestStage, 0);
}

TEST_F(SavedFiles, ALongFileFillsOnlyTheRecord) {
    int32_t big[64];
    for (int i = 0; i < 64; ++i) big[i] = 1000 + i;
    writeFile("01/S.dat", big, sizeof big);
    writeFile("01/H.dat", big, sizeof big);
    load();
    EXPECT_EQ(game.highScores[9].stageReached, 1019);
    EXPECT_EQ(game.highestStage, 51);  // 1000, brought into range
    EXPECT_EQ(game.padButtons[0].buttonMask[0], 16);  // the record after it is untouched
}

TEST_F(SavedFiles, OutOfRangeValuesAreClampedOnLoad) {
    PadAssignment pads[2] = {};
    pads[0].padIndex = 99;
    pads[1].padIndex = -4;
    writeFile("01/B.dat", pads, sizeof pads);
    SettingsRecord settings{};
    settings.startLives = 150;
    writeFile("01/K.dat", &settings, sizeof settings);
    load();
    EXPECT_EQ(game.padButtons[0].padIndex, 6);
    EXPECT_EQ(game.padButtons[1].padIndex, 0);
    EXPECT_EQ(game.settings.startLives, 99);

    settings.startLives = -3;
    writeFile("01/K.dat", &settings, sizeof settings);
    game = GameGlobals{};
    load();
    EXPECT_EQ(game.settings.startLives, 0);
}

TEST_F(SavedFiles, HighestStageIsKeptWithinTheStagesOnLoad) {
    // Stage select offers highestStage + 1: a damaged file must not make that
    // overflow or reach past stage 50.
    for (const auto& [stored, loaded] : {std::pair{2147483647, 51}, std::pair{52, 51}, std::pair{51, 51},
                                         std::pair{50, 50}, std::pair{0, 0}, std::pair{-1, 0},
                                         std::pair{-2147483647 - 1, 0}}) {
        writeFile("01/H.dat", &stored, sizeof stored);
        game = GameGlobals{};
        load();
        EXPECT_EQ(game.highestStage, loaded) << stored;
    }
}

// A saved file the game could not read must not be replaced by the defaults
// it then ran with, nor one the player made read-only.
TEST_F(SavedFiles, AFileWithoutPermissionsIsKeptAndTheFailureSaid) {
    SettingsRecord mine{};
    mine.startLives = 17;
    mine.noTimeLimit = 1;
    writeFile("01/K.dat", &mine, sizeof mine);
    fs::permissions("01/K.dat", fs::perms::none);
    testing::internal::CaptureStderr();
    load();
    game.settings.startLives = 3;
    EXPECT_FALSE(writeSavedFiles());
    const std::string said = testing::internal::GetCapturedStderr();
    fs::permissions("01/K.dat", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(readWholeFile("01/K.dat"), std::string(reinterpret_cast<const char*>(&mine), sizeof mine));
    EXPECT_EQ(fs::status("01/K.dat").permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(failedWrites(), 1);
    EXPECT_NE(said.find("The settings could not be saved to 01/K.dat"), std::string::npos) << said;
    EXPECT_NE(said.find("kept as it is"), std::string::npos) << said;
    EXPECT_FALSE(fs::exists("01/K.dat.new"));
    EXPECT_EQ(fs::file_size("01/S.dat"), 80u);  // the others are saved
}

TEST_F(SavedFiles, AReadOnlyFileIsNotReplaced) {
    const int32_t highest = 12;
    writeFile("01/H.dat", &highest, sizeof highest);
    fs::permissions("01/H.dat", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    load();
    EXPECT_EQ(game.highestStage, 12);  // read as usual
    game.highestStage = 20;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(writeSavedFiles());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(fieldAt<int32_t>(readWholeFile("01/H.dat"), 0), 12);
    EXPECT_EQ(fs::status("01/H.dat").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(failedWrites(), 1);
    EXPECT_NE(said.find("The highest stage could not be saved to 01/H.dat: the file is read-only"),
              std::string::npos)
        << said;
}

TEST_F(SavedFiles, AFileThatCannotBeReadIsSaidAtStartAndKeptAtExit) {
    // A folder in the ranking's place: it opens, but reading it fails.
    fs::create_directory("01/S.dat");
    std::ofstream("01/S.dat/mine") << "the player's own";
    testing::internal::CaptureStderr();
    load();
    const std::string atStart = testing::internal::GetCapturedStderr();
    EXPECT_NE(atStart.find("The ranking could not be read from 01/S.dat"), std::string::npos) << atStart;
    EXPECT_NE(atStart.find("the defaults are used and the file is kept as it is"), std::string::npos) << atStart;
    for (const HighScoreEntry& row : game.highScores) EXPECT_EQ(row.score, 0);

    game.highScores[0] = {500, 2};
    testing::internal::CaptureStderr();
    EXPECT_FALSE(writeSavedFiles());
    const std::string atExit = testing::internal::GetCapturedStderr();
    EXPECT_NE(atExit.find("The ranking could not be saved to 01/S.dat: it could not be read at start"),
              std::string::npos)
        << atExit;
    EXPECT_EQ(readWholeFile("01/S.dat/mine"), "the player's own");
    EXPECT_EQ(failedWrites(), 1);
    EXPECT_EQ(fs::file_size("01/K.dat"), 16u);
}

TEST_F(SavedFiles, TheFolderIsMadeWhenMissing) {
    fs::remove_all("01");
    load();
    writeSavedFiles();
    EXPECT_EQ(fs::file_size("01/K.dat"), 16u);
    EXPECT_EQ(fs::file_size("01/S.dat"), 80u);
    EXPECT_EQ(fs::file_size("01/B.dat"), 80u);
    EXPECT_EQ(fs::file_size("01/H.dat"), 4u);
}

TEST_F(SavedFiles, AFullDiskLeavesTheOldFilesWhole) {
    load();
    game.highScores[0] = {900, 3};
    writeSavedFiles();
    const std::string before = readWholeFile("01/S.dat");

    // Files may grow to 10 bytes only: H.dat fits, K.dat, S.dat and B.dat
    // do not.
    game.highScores[0] = {1000, 4};
    game.highestStage = 9;
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tight = old;
    tight.rlim_cur = 10;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written = writeSavedFiles();
    setrlimit(RLIMIT_FSIZE, &old);

    // Each file that did not fit is counted for the exit status (and said on
    // standard error, which the limit does not stop as it is no file here).
    EXPECT_FALSE(written);
    EXPECT_EQ(failedWrites(), 3);

    EXPECT_EQ(readWholeFile("01/S.dat"), before);
    EXPECT_EQ(fs::file_size("01/B.dat"), 80u);
    EXPECT_EQ(fieldAt<int32_t>(readWholeFile("01/H.dat"), 0), 9);
    EXPECT_FALSE(fs::exists("01/S.dat.new"));
    EXPECT_FALSE(fs::exists("01/B.dat.new"));
}

TEST_F(SavedFiles, AnUnwritableFolderIsReportedForEveryFile) {
    fs::remove_all("01");
    writeFile("01", "not a folder", 12);  // a file where the folder should be
    load();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(writeSavedFiles());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(readWholeFile("01"), "not a folder");
    EXPECT_EQ(failedWrites(), 4);
    for (const char* what : {"The settings", "The ranking", "The joypad buttons", "The highest stage"})
        EXPECT_NE(said.find(std::string("Lumotta: ") + what + " could not be saved to 01"), std::string::npos)
            << what << " in: " << said;
}

TEST_F(SavedFiles, AFileThatCannotBeReplacedIsReportedAndTheOthersAreWritten) {
    load();
    fs::create_directory("01/H.dat");  // a folder where the file should be
    testing::internal::CaptureStderr();
    EXPECT_FALSE(writeSavedFiles());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(failedWrites(), 1);
    EXPECT_NE(said.find("The highest stage could not be saved to 01/H.dat"), std::string::npos) << said;
    EXPECT_EQ(fs::file_size("01/K.dat"), 16u);
    EXPECT_EQ(fs::file_size("01/S.dat"), 80u);
    EXPECT_FALSE(fs::exists("01/H.dat.new"));
}

TEST_F(SavedFiles, AnotherFolderHoldsItsOwn01MadeOnFirstUse) {
    setSavedFilesFolder("user/share/lumotta");
    EXPECT_EQ(savedFilePath("K.dat"), "user/share/lumotta/01/K.dat");
    load();  // nothing there yet: the defaults
    EXPECT_EQ(game.settings.startLives, 2);
    game.highestStage = 11;
    game.settings.startLives = 9;
    EXPECT_TRUE(writeSavedFiles());
    EXPECT_EQ(failedWrites(), 0);
    EXPECT_EQ(fs::file_size("user/share/lumotta/01/H.dat"), 4u);
    EXPECT_FALSE(fs::exists("01/H.dat"));  // nothing beside the data
    game = GameGlobals{};
    load();
    EXPECT_EQ(game.highestStage, 11);
    EXPECT_EQ(game.settings.startLives, 9);
}

}  // namespace
