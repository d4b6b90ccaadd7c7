#include "game/shell/write_folders.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testing_support::ScratchDirectory;

// Sets an environment variable for the life of the object, or unsets it.
class EnvironmentValue {
public:
    EnvironmentValue(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) had_ = true, old_ = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~EnvironmentValue() {
        if (had_) setenv(name_.c_str(), old_.c_str(), 1);
        else unsetenv(name_.c_str());
    }

private:
    std::string name_, old_;
    bool had_ = false;
};

void makeDataFolder(const fs::path& dir) {
    fs::create_directories(dir / "00");
    fs::create_directories(dir / "01");
    std::ofstream(dir / "01" / "00.dat");
}

TEST(WriteFolders, TheUsersFoldersFollowTheXdgVariablesThenHome) {
    EnvironmentValue home("HOME", "/home/player");
    {
        EnvironmentValue data("XDG_DATA_HOME", nullptr);
        EnvironmentValue state("XDG_STATE_HOME", nullptr);
        EXPECT_EQ(userDataFolder(), "/home/player/.local/share/lumotta");
        EXPECT_EQ(userStateFolder(), "/home/player/.local/state/lumotta");
    }
    {
        EnvironmentValue data("XDG_DATA_HOME", "/srv/data");
        EnvironmentValue state("XDG_STATE_HOME", "/srv/state");
        EXPECT_EQ(userDataFolder(), "/srv/data/lumotta");
        EXPECT_EQ(userStateFolder(), "/srv/state/lumotta");
    }
    {
        // Relative and empty values are not used.
        EnvironmentValue data("XDG_DATA_HOME", "relative/data");
        EnvironmentValue state("XDG_STATE_HOME", "");
        EXPECT_EQ(userDataFolder(), "/home/player/.local/share/lumotta");
        EXPECT_EQ(userStateFolder(), "/home/player/.local/state/lumotta");
    }
}

TEST(WriteFolders, AWritableDataFolderKeepsEverythingBesideTheData) {
    ScratchDirectory scratch("write_folders");
    makeDataFolder("data");
    const std::string data = fs::absolute("data").string();
    EXPECT_TRUE(writesBesideData(data));
    const WriteFolders folders = chooseWriteFolders(data);
    EXPECT_FALSE(folders.userFolders);
    EXPECT_EQ(folders.saves, data);
    EXPECT_EQ(folders.log, data);
    EXPECT_EQ(folders.screenshots, data);
}

TEST(WriteFolders, AReadOnlyDataFolderSendsTheWritingToTheUsersFolders) {
    ScratchDirectory scratch("write_folders");
    makeDataFolder("data");
    const std::string data = fs::absolute("data").string();
    chmod("data/01", 0555);
    const bool bypassed = access("data/01", W_OK) == 0;  // root writes anyway
    if (!bypassed) {
        EnvironmentValue dataHome("XDG_DATA_HOME", (scratch.path() + "/share").c_str());
        EnvironmentValue stateHome("XDG_STATE_HOME", (scratch.path() + "/state").c_str());
        EXPECT_FALSE(writesBesideData(data));
        const WriteFolders folders = chooseWriteFolders(data);
        EXPECT_TRUE(folders.userFolders);
        EXPECT_EQ(folders.saves, scratch.path() + "/share/lumotta");
        EXPECT_EQ(folders.screenshots, scratch.path() + "/share/lumotta");
        EXPECT_EQ(folders.log, scratch.path() + "/state/lumotta");
    }
    chmod("data/01", 0755);
    if (bypassed) GTEST_SKIP() << "running as root: permissions do not stop writing (install_read_only_data checks it)";
}

}  // namespace
