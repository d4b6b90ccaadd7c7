#include "game/shell/user_settings.h"
#include "media/media.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testing_support::ScratchDirectory;

TEST(UserSettings, NoFileMeansTheGameAsItAlwaysWas) {
    ScratchDirectory scratch("user_settings");
    std::vector<std::string> problems;
    const UserSettings s = readUserSettings("lumotta.ini", problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(s.scaling, kScalingSmooth);
    EXPECT_EQ(s.volume, 100);
    EXPECT_FALSE(s.muted);
    EXPECT_FALSE(s.windowKnown);
}

TEST(UserSettings, EachLineIsRead) {
    std::vector<std::string> problems;
    const UserSettings s = parseUserSettings(
        "# comment\n"
        "scaling = sharp\r\n"
        "  volume=35   ; as quiet as the night\n"
        "muted = yes\n"
        "window = -20, 40, 1280,960\n",
        problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(s.scaling, kScalingSharp);
    EXPECT_EQ(s.volume, 35);
    EXPECT_TRUE(s.muted);
    ASSERT_TRUE(s.windowKnown);
    EXPECT_EQ(s.windowX, -20);
    EXPECT_EQ(s.windowY, 40);
    EXPECT_EQ(s.windowWidth, 1280);
    EXPECT_EQ(s.windowHeight, 960);
}

TEST(UserSettings, LinesThatCannotBeUsedAreLeftOutWithALineNumber) {
    std::vector<std::string> problems;
    const UserSettings s = parseUserSettings(
        "volume = 101\n"           // 1: out of range
        "volume = 50\n"
        "scaling = blurry\n"       // 3
        "muted = perhaps\n"        // 4
        "window = 1,2,3\n"         // 5: three numbers
        "window = 1,2,0,480\n"     // 6: no width
        "window = 1,2,3,4,5\n"     // 7
        "colour = red\n"           // 8: unknown
        "no equals sign\n"         // 9
        "volume = 7x\n",           // 10
        problems);
    ASSERT_EQ(problems.size(), 9u);
    EXPECT_EQ(problems[0].rfind("line 1: ", 0), 0u);
    EXPECT_EQ(problems[1].rfind("line 3: ", 0), 0u);
    EXPECT_EQ(problems[8].rfind("line 10: ", 0), 0u);
    EXPECT_EQ(s.volume, 50);
    EXPECT_EQ(s.scaling, kScalingSmooth);
    EXPECT_FALSE(s.muted);
    EXPECT_FALSE(s.windowKnown);
}

TEST(UserSettings, VolumeRunsFromNoneToAHundred) {
    for (const auto& [line, volume] : {std::pair<const char*, int>{"volume = 0\n", 0}, {"volume = 100\n", 100}}) {
        std::vector<std::string> problems;
        EXPECT_EQ(parseUserSettings(line, problems).volume, volume) << line;
        EXPECT_TRUE(problems.empty()) << line;
    }
    std::vector<std::string> problems;
    parseUserSettings("volume = -1\n", problems);
    EXPECT_EQ(problems.size(), 1u);
}

TEST(UserSettings, WrittenAndReadBackTheSame) {
    ScratchDirectory scratch("user_settings");
    UserSettings s;
    s.scaling = kScalingSharp;
    s.volume = 60;
    s.muted = true;
    s.windowKnown = true;
    s.windowX = 5, s.windowY = 6, s.windowWidth = 700, s.windowHeight = 500;
    ASSERT_TRUE(writeUserSettings(userSettingsPath(scratch.path()), s));
    std::vector<std::string> problems;
    const UserSettings back = readUserSettings(scratch.path() + "/lumotta.ini", problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(back.scaling, kScalingSharp);
    EXPECT_EQ(back.volume, 60);
    EXPECT_TRUE(back.muted);
    EXPECT_TRUE(back.windowKnown);
    EXPECT_EQ(back.windowX, 5);
    EXPECT_EQ(back.windowWidth, 700);
    EXPECT_EQ(back.windowHeight, 500);
}

TEST(UserSettings, AHugeFileIsNotOurs) {
    ScratchDirectory scratch("user_settings");
    ASSERT_TRUE(testing_support::writeWholeFile("lumotta.ini", "volume = 10\n" + std::string(100000, '#')));
    std::vector<std::string> problems;
    const UserSettings s = readUserSettings("lumotta.ini", problems);
    EXPECT_EQ(s.volume, 100);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("larger than a settings file"), std::string::npos);
}

}  // namespace
