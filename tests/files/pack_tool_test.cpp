// The pack tool from the command line, and its archives through the file layer.
#include "media/core/area_hooks.h"
#include "media/media.h"
#include "tests/files/archive_test_helpers.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace files_test;

namespace {

struct ToolRun {
    int status = -1;
    std::string output;   // stdout and stderr
};

ToolRun Pack(const std::string& arguments) {
    ToolRun run;
    const std::string command = std::string(LUMOTTA_PACK_TOOL) + " " + arguments + " 2>&1";
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) run.output.append(buffer, n);
    const int status = ::pclose(p);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// A folder with nested folders, empty files, odd case and Shift-JIS names.
void MakeSampleFolder(const std::string& root) {
    fs::create_directories(root + "/Sub/Deeper/Deepest");
    fs::create_directories(root + "/empty folder");
    WriteFile(root + "/ReadMe.TXT", "read me");
    WriteFile(root + "/empty.dat", "");
    WriteFile(root + "/noise.bin", Noise(70000, 2));
    // Shrinks by about 3 % when compressed: too little to be worth expanding.
    std::vector<uint8_t> mostlyNoise = Noise(64000, 3);
    mostlyNoise.resize(66000, 0);
    WriteFile(root + "/mostly_noise.bin", mostlyNoise);
    std::string text;
    for (int i = 0; i < 3000; ++i) text += "line " + std::to_string(i % 17) + " of the sample\n";
    WriteFile(root + "/Sub/text.txt", text);
    WriteFile(root + "/Sub/Deeper/Deepest/mIxEd.CaSe", "mixed");
    WriteFile(root + "/Sub/\x83\x5C\x83\x74\x83\x67.bmp", "sofuto");   // Shift-JIS with a "\" second byte
    WriteFile(root + "/Sub/\x83\x61.wav", "second byte a");
}

std::vector<std::string> SampleFiles() {
    return {"ReadMe.TXT", "empty.dat", "noise.bin", "mostly_noise.bin", "Sub/text.txt", "Sub/Deeper/Deepest/mIxEd.CaSe",
            "Sub/\x83\x5C\x83\x74\x83\x67.bmp", "Sub/\x83\x61.wav"};
}

class PackTool : public ::testing::Test {
protected:
    void SetUp() override {
        media::files::Stop();
        media::files::Reset();
        SetPackArchiveExtension("lmt");
    }
    void TearDown() override {
        media::files::Stop();
        media::files::Reset();
    }
    testing_support::ScratchDirectory scratch_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

}  // namespace

TEST_F(PackTool, RoundTripsStoredAndCompressed) {
    MakeSampleFolder("src");
    for (const char* method : {"--store", "--compress"}) {
        SCOPED_TRACE(method);
        fs::remove_all("out");
        const ToolRun made = Pack(std::string("src -o 00.lmt ") + method);
        ASSERT_EQ(made.status, 0) << made.output;
        const ToolRun listed = Pack("list 00.lmt");
        ASSERT_EQ(listed.status, 0) << listed.output;
        EXPECT_NE(listed.output.find("Sub/Deeper/Deepest/mIxEd.CaSe"), std::string::npos);
        EXPECT_NE(listed.output.find("empty folder/"), std::string::npos);
        EXPECT_EQ(listed.output.find("compressed  Sub/text.txt") != std::string::npos,
                  method == std::string("--compress"));
        // noise does not compress and stays stored either way.
        EXPECT_NE(listed.output.find("stored      noise.bin"), std::string::npos);
        EXPECT_NE(listed.output.find("stored      mostly_noise.bin"), std::string::npos);

        const ToolRun verified = Pack("verify 00.lmt src");
        EXPECT_EQ(verified.status, 0) << verified.output;
        const ToolRun extracted = Pack("extract 00.lmt -C out");
        ASSERT_EQ(extracted.status, 0) << extracted.output;
        for (const std::string& f : SampleFiles()) EXPECT_EQ(ReadFile("out/" + f), ReadFile("src/" + f)) << f;
        EXPECT_TRUE(fs::is_directory("out/empty folder"));

        // The game reads the same bytes through the file layer.
        for (std::string f : SampleFiles()) {
            std::string name = "00\\" + f;
            for (size_t i = 3; i < name.size(); ++i) {
                if (static_cast<uint8_t>(name[i]) >= 0x81 && static_cast<uint8_t>(name[i]) <= 0x9F) ++i;
                else if (name[i] == '/') name[i] = '\\';
            }
            const int h = FileOpen(name.c_str(), 0);
            ASSERT_NE(h, 0) << f;
            EXPECT_TRUE(ReadAll(h) == ReadFile("src/" + f)) << f;
            FileClose(h);
        }
        media::files::Reset();
        SetPackArchiveExtension("lmt");
    }
}

TEST_F(PackTool, DefaultNamesAndVerifyingWithoutOriginals) {
    MakeSampleFolder("05");
    ASSERT_EQ(Pack("05/").status, 0);
    ASSERT_TRUE(fs::exists("05.lmt"));
    EXPECT_EQ(Pack("verify 05.lmt").status, 0);   // compares with 05/ beside it
    fs::rename("05", "elsewhere");
    const ToolRun alone = Pack("verify 05.lmt");
    EXPECT_EQ(alone.status, 0) << alone.output;
    EXPECT_NE(alone.output.find("no originals"), std::string::npos);
    ASSERT_EQ(Pack("extract 05.lmt").status, 0);   // into 05/
    EXPECT_EQ(ReadFile("05/Sub/text.txt"), ReadFile("elsewhere/Sub/text.txt"));
}

TEST_F(PackTool, VerifyFindsDifferences) {
    MakeSampleFolder("src");
    ASSERT_EQ(Pack("src -o a.lmt").status, 0);
    WriteFile("src/Sub/text.txt", "changed");
    ToolRun run = Pack("verify a.lmt src");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("Sub/text.txt: differs from the original"), std::string::npos);
    WriteFile("src/new.txt", "new");
    run = Pack("verify a.lmt src");
    EXPECT_NE(run.output.find("new.txt: in src but not in the archive"), std::string::npos);
    // A damaged archive.
    std::vector<uint8_t> bytes = ReadFile("a.lmt");
    bytes.resize(bytes.size() / 2);
    WriteFile("a.lmt", bytes);
    run = Pack("verify a.lmt");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("damaged"), std::string::npos);
}

TEST_F(PackTool, RefusesWhatItCannotDoSafely) {
    EXPECT_EQ(Pack("").status, 2);
    EXPECT_EQ(Pack("--bogus x").status, 2);
    EXPECT_EQ(Pack("src -o").status, 2);
    EXPECT_EQ(Pack("list").status, 2);
    EXPECT_EQ(Pack("no-such-folder").status, 1);
    EXPECT_EQ(Pack("list no-such.lmt").status, 1);
    WriteFile("plain.lmt", "plain text");
    EXPECT_NE(Pack("list plain.lmt").output.find("not a pack archive"), std::string::npos);
    // Two names the game could not tell apart.
    fs::create_directories("clash");
    WriteFile("clash/a.txt", "1");
    WriteFile("clash/A.TXT", "2");
    const ToolRun clash = Pack("clash");
    EXPECT_EQ(clash.status, 1);
    EXPECT_NE(clash.output.find("differ only in case"), std::string::npos);
    EXPECT_FALSE(fs::exists("clash.lmt"));
    // An archive whose names would climb out of the target folder.
    WriteFile("evil.lmt", MakeArchive(Dir("", {Dir("..", {File("escaped", "x")})})));
    const ToolRun evil = Pack("extract evil.lmt -C target");
    EXPECT_EQ(evil.status, 1);
    EXPECT_FALSE(fs::exists("escaped"));
    EXPECT_FALSE(fs::exists("target/../escaped"));
    WriteFile("slash.lmt", MakeArchive(Dir("", {File("a/b", "x")})));
    EXPECT_EQ(Pack("extract slash.lmt -C target").status, 1);
}
