#include "game/shell/file_writing.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// Every fsync of this program, seen before it is done: which file or folder,
// and what the saved file held at that moment.
struct SyncSeen {
    ino_t inode;
    bool folder;
    std::string fileThen;
};
std::vector<SyncSeen> gSyncs;
std::string gWatched;

}  // namespace

// Stands in for the C library's fsync in this test program, which links the
// game's code statically: it notes the call and then does it.
extern "C" int fsync(int fd) {
    struct stat st {};
    if (fstat(fd, &st) == 0) {
        std::string now;
        if (!gWatched.empty()) now = testing_support::readWholeFile(gWatched);
        gSyncs.push_back({st.st_ino, S_ISDIR(st.st_mode), now});
    }
    return static_cast<int>(syscall(SYS_fsync, fd));
}

namespace {

namespace fs = std::filesystem;

TEST(ReplaceFile, SyncsTheFileAndThenItsFolderAfterTheRename) {
    testing_support::ScratchDirectory dir("file_writing");
    fs::create_directory("saves");
    testing_support::writeWholeFile("saves/K.dat", "old");
    gWatched = "saves/K.dat";
    gSyncs.clear();
    std::string reason;
    ASSERT_TRUE(replaceFile("saves/K.dat", "new!", 4, reason)) << reason;
    gWatched.clear();
    EXPECT_EQ(testing_support::readWholeFile("saves/K.dat"), "new!");

    ASSERT_EQ(gSyncs.size(), 2u);
    EXPECT_FALSE(gSyncs[0].folder);  // the new bytes, before the rename
    EXPECT_EQ(gSyncs[0].fileThen, "old");
    EXPECT_TRUE(gSyncs[1].folder);   // then the folder that holds the rename
    struct stat saves {};
    ASSERT_EQ(stat("saves", &saves), 0);
    EXPECT_EQ(gSyncs[1].inode, saves.st_ino);
    EXPECT_EQ(gSyncs[1].fileThen, "new!");
}

TEST(ReplaceFile, AFileInTheCurrentFolderSyncsTheCurrentFolder) {
    testing_support::ScratchDirectory dir("file_writing_here");
    gSyncs.clear();
    std::string reason;
    ASSERT_TRUE(replaceFile("H.dat", "1234", 4, reason)) << reason;
    struct stat here {};
    ASSERT_EQ(stat(".", &here), 0);
    ASSERT_EQ(gSyncs.size(), 2u);
    EXPECT_TRUE(gSyncs[1].folder);
    EXPECT_EQ(gSyncs[1].inode, here.st_ino);
}

}  // namespace
