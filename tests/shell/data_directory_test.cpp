#include "game/shell/data_directory.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using testing_support::ScratchDirectory;

// Makes `path` as an empty file, with its folders.
void touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "";
}

TEST(DataDirectory, GameDataIsThePicturesOfFolder00AndTheFirstStage) {
    ScratchDirectory dir("data-kinds");
    EXPECT_FALSE(holdsGameData("."));
    fs::create_directory("01");
    EXPECT_FALSE(holdsGameData(".")) << "a folder called 01 alone is no game";
    touch("01/00.dat");
    EXPECT_FALSE(holdsGameData(".")) << "stages without pictures";
    fs::create_directory("00");
    EXPECT_TRUE(holdsGameData("."));
    EXPECT_TRUE(holdsGameData(dir.path()));
    fs::remove("00");
    std::ofstream("00.lmt") << "archive";
    EXPECT_TRUE(holdsGameData(".")) << "packed pictures";
    fs::remove("01/00.dat");
    fs::create_directory("01/00.dat");
    EXPECT_FALSE(holdsGameData(".")) << "the first stage must be a file";
    fs::remove("01/00.dat");
    fs::create_directory("00");
    EXPECT_FALSE(holdsGameData("."));
}

TEST(DataDirectory, AWorkingDirectoryWithDataIsKept) {
    ScratchDirectory dir("data-here");
    fs::create_directory("00");
    touch("01/00.dat");
    EXPECT_FALSE(moveToDataDirectory());
    EXPECT_EQ(fs::current_path(), fs::path(dir.path()));
}

TEST(DataDirectory, AFolderCalled01IsNotTakenForTheGame) {
    const char* built = std::getenv("LUMOTTA_DATA_DIR");
    if (!built || !holdsGameData(built)) GTEST_SKIP() << "the build's data directory is not there";
    ScratchDirectory dir("data-only-01");
    fs::create_directory("01");
    EXPECT_TRUE(moveToDataDirectory());
    EXPECT_TRUE(fs::equivalent(fs::current_path(), built));
}

TEST(DataDirectory, AnEmptyWorkingDirectoryMovesToTheBuildsData) {
    const char* built = std::getenv("LUMOTTA_DATA_DIR");
    if (!built || !holdsGameData(built)) GTEST_SKIP() << "the build's data directory is not there";
    ScratchDirectory dir("data-elsewhere");
    EXPECT_TRUE(moveToDataDirectory());
    EXPECT_TRUE(fs::equivalent(fs::current_path(), built));
}

TEST(DataDirectory, TheBuildsDataIsAmongTheCandidates) {
    const char* built = std::getenv("LUMOTTA_DATA_DIR");
    if (!built) GTEST_SKIP() << "LUMOTTA_DATA_DIR is not set";
    bool found = false;
    std::error_code error;
    for (const std::string& dir : defaultDataDirectories())
        found = found || fs::equivalent(dir, built, error);
    EXPECT_TRUE(found);
}

}  // namespace
