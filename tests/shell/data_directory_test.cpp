#include "game/shell/data_directory.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using testing_support::ScratchDirectory;

TEST(DataDirectory, GameDataIsFolder01OrFolder00OrItsArchive) {
    ScratchDirectory dir("data-kinds");
    EXPECT_FALSE(holdsGameData("."));
    std::ofstream("01");  // a file named 01 is not the folder
    EXPECT_FALSE(holdsGameData("."));
    fs::remove("01");
    fs::create_directory("01");
    EXPECT_TRUE(holdsGameData("."));
    fs::remove("01");
    fs::create_directory("00");
    EXPECT_TRUE(holdsGameData(dir.path()));
    fs::remove("00");
    std::ofstream("00.lmt") << "archive";
    EXPECT_TRUE(holdsGameData("."));
}

TEST(DataDirectory, AWorkingDirectoryWithDataIsKept) {
    ScratchDirectory dir("data-here");
    fs::create_directory("01");
    EXPECT_FALSE(moveToDataDirectory());
    EXPECT_EQ(fs::current_path(), fs::path(dir.path()));
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
