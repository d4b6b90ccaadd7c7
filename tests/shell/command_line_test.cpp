#include "game/shell/command_line.h"
#include "game/shell/game_main.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

// Parses "lumotta ARGS..."; the error is empty when it parsed.
std::string parse(std::initializer_list<const char*> args, CommandLine& out) {
    std::vector<const char*> argv{"lumotta"};
    argv.insert(argv.end(), args);
    std::string error;
    const bool ok = parseCommandLine(static_cast<int>(argv.size()), argv.data(), out, error);
    EXPECT_EQ(ok, error.empty()) << error;
    return error;
}

TEST(CommandLine, NoOptionsChangeNothing) {
    CommandLine line;
    EXPECT_EQ(parse({}, line), "");
    EXPECT_FALSE(line.help);
    EXPECT_FALSE(line.version);
    EXPECT_EQ(line.dataFolder, "");
    EXPECT_EQ(line.windowed, -1);
    EXPECT_EQ(line.scale, 0.0);
    EXPECT_EQ(line.recordFolder, "");
    EXPECT_EQ(line.replayFile, "");
}

TEST(CommandLine, EachOptionIsTakenWithItsValueInEitherForm) {
    CommandLine line;
    EXPECT_EQ(parse({"--data", "/games/lumotta", "--scale", "2", "--record", "rec", "--fullscreen"}, line), "");
    EXPECT_EQ(line.dataFolder, "/games/lumotta");
    EXPECT_EQ(line.scale, 2.0);
    EXPECT_EQ(line.recordFolder, "rec");
    EXPECT_EQ(line.windowed, 0);

    EXPECT_EQ(parse({"--data=d", "--scale=1.5", "--replay=r.rep", "--windowed"}, line), "");
    EXPECT_EQ(line.dataFolder, "d");
    EXPECT_EQ(line.scale, 1.5);
    EXPECT_EQ(line.replayFile, "r.rep");
    EXPECT_EQ(line.windowed, 1);

    EXPECT_EQ(parse({"--help"}, line), "");
    EXPECT_TRUE(line.help);
    EXPECT_EQ(parse({"-h"}, line), "");
    EXPECT_TRUE(line.help);
    EXPECT_EQ(parse({"--version"}, line), "");
    EXPECT_TRUE(line.version);
    // The last of --windowed and --fullscreen decides.
    EXPECT_EQ(parse({"--windowed", "--fullscreen"}, line), "");
    EXPECT_EQ(line.windowed, 0);
}

TEST(CommandLine, BadCommandLinesSayWhatIsWrong) {
    CommandLine line;
    EXPECT_NE(parse({"--frobnicate"}, line).find("unknown option \"--frobnicate\""), std::string::npos);
    EXPECT_NE(parse({"stage3"}, line).find("unknown option"), std::string::npos);
    EXPECT_NE(parse({"-x"}, line).find("unknown option"), std::string::npos);
    EXPECT_NE(parse({"--data"}, line).find("--data needs a value"), std::string::npos);
    EXPECT_NE(parse({"--data="}, line).find("--data needs a value"), std::string::npos);
    EXPECT_NE(parse({"--help=yes"}, line).find("takes no value"), std::string::npos);
    EXPECT_NE(parse({"--record", "a", "--replay", "b"}, line).find("cannot be used together"), std::string::npos);
    for (const char* scale : {"0", "-2", "abc", "2x", "17", "nan", "inf", "0.2", ""})
        EXPECT_NE(parse({"--scale", scale}, line).find("--scale takes a number"), std::string::npos) << scale;
    EXPECT_EQ(parse({"--scale", "0.25"}, line), "");
    EXPECT_EQ(parse({"--scale", "16"}, line), "");
}

TEST(CommandLine, HelpAndVersionAnswerAtOnceOnStandardOutput) {
    const char* help[] = {"lumotta", "--help"};
    testing::internal::CaptureStdout();
    EXPECT_EQ(runProgram(2, help), 0);
    const std::string usage = testing::internal::GetCapturedStdout();
    for (const char* option : {"--data DIR", "--windowed", "--fullscreen", "--scale N", "--record DIR",
                               "--replay FILE", "--help", "--version", "Alt+Enter", "XDG_DATA_HOME"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    EXPECT_EQ(usage, usageText());

    const char* version[] = {"lumotta", "--version"};
    testing::internal::CaptureStdout();
    EXPECT_EQ(runProgram(2, version), 0);
    const std::string line = testing::internal::GetCapturedStdout();
    EXPECT_EQ(line.rfind("Lumotta ", 0), 0u);
    EXPECT_EQ(line, versionText());
    EXPECT_NE(line, "Lumotta 0\n") << "the build gave no version";
}

TEST(CommandLine, AnUnknownOptionPrintsTheUsageAndGivesTwo) {
    const char* argv[] = {"lumotta", "--bogus"};
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    EXPECT_EQ(runProgram(2, argv), kExitUsage);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("lumotta: unknown option \"--bogus\""), std::string::npos) << said;
    EXPECT_NE(said.find(usageText()), std::string::npos);
}

TEST(CommandLine, AnUnusableDataFolderOrReplayGivesTwoBeforeAnythingStarts) {
    const char* data[] = {"lumotta", "--data", "/nonexistent/lumotta-data"};
    testing::internal::CaptureStderr();
    EXPECT_EQ(runProgram(3, data), kExitUsage);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("holds no game data"), std::string::npos);

    const char* replay[] = {"lumotta", "--replay", "/nonexistent/attempt.rep"};
    testing::internal::CaptureStderr();
    EXPECT_EQ(runProgram(3, replay), kExitUsage);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot be read"), std::string::npos);
}

}  // namespace
