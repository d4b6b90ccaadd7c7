// The file layer through its public operations: where a name is found,
// reading, the limits and the log lines.
#include "media/core/area_hooks.h"
#include "media/files/archive_table.h"
#include "media/media.h"
#include "tests/files/archive_test_helpers.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;
using namespace files_test;

namespace {

std::string Text(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// Opens, reads whole and closes; "<fail>" when the open fails.
std::string Slurp(const char* name) {
    const int h = FileOpen(name, 0);
    if (h == 0) return "<fail>";
    const std::string text = Text(ReadAll(h, 7));
    FileClose(h);
    return text;
}

class FileLayer : public ::testing::Test {
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

void WriteArchive(const std::string& path, const pack::PackItem& root, bool compress = true) {
    WriteFile(path, MakeArchive(root, 3, compress));
}

}  // namespace

TEST_F(FileLayer, ArchiveStandsInForItsFolder) {
    fs::create_directories("00");
    WriteFile("00/01.bmp", "loose");
    WriteFile("00/only-loose.bmp", "loose only");
    WriteArchive("00.lmt", Dir("", {File("01.bmp", "packed"), Dir("sub", {File("deep.txt", "deep")})}));
    EXPECT_EQ(Slurp("00\\01.bmp"), "packed");
    EXPECT_EQ(Slurp("00/sub/deep.txt"), "deep");
    EXPECT_EQ(Slurp("00\\sub\\..\\01.bmp"), "packed");
    // Missing from the archive: fails although the loose file exists.
    EXPECT_EQ(Slurp("00\\only-loose.bmp"), "<fail>");
    // Other folders are read loose.
    fs::create_directories("02");
    WriteFile("02/a.txt", "a");
    EXPECT_EQ(Slurp("02\\a.txt"), "a");
}

TEST_F(FileLayer, NamesIgnoreAsciiCaseEverywhere) {
    WriteArchive("Music.LMT", Dir("", {File("Title.OGG", "title")}));
    EXPECT_EQ(Slurp("music\\title.ogg"), "title");
    EXPECT_EQ(Slurp("MUSIC\\TITLE.OGG"), "title");
    // Loose files and folders from a case-insensitive disk.
    fs::create_directories("Pictures/Stage");
    WriteFile("Pictures/Stage/Back.BMP", "back");
    EXPECT_EQ(Slurp("pictures\\stage\\back.bmp"), "back");
    EXPECT_EQ(Slurp("PICTURES/STAGE/BACK.BMP"), "back");
    EXPECT_EQ(Slurp("pictures\\stage\\front.bmp"), "<fail>");
    // A folder is not a file.
    EXPECT_EQ(FileOpen("pictures\\stage", 0), 0);
    // Shift-JIS names: a second byte that looks like "\\" or a letter is neither.
    fs::create_directories("\x93\xFA");
    WriteFile("\x93\xFA/\x83\x5C\x83\x61.txt", "sjis");
    EXPECT_EQ(Slurp("\x93\xFA\\\x83\x5C\x83\x61.TXT"), "sjis");
    EXPECT_EQ(Slurp("\x93\xFA\\\x83\x5C\x83\x41.txt"), "<fail>");
}

TEST_F(FileLayer, ExtensionRules) {
    WriteArchive("00.lmt", Dir("", {File("a", "lmt")}));
    WriteArchive("00.QRK", Dir("", {File("a", "qrk")}));
    EXPECT_EQ(Slurp("00\\a"), "lmt");
    // 63 characters are an extension; 64 clear it, as do empty and null.
    const std::string ext63(63, 'e');
    WriteArchive("00." + ext63, Dir("", {File("a", "long")}));
    SetPackArchiveExtension(ext63.c_str());
    EXPECT_EQ(Slurp("00\\a"), "long");
    SetPackArchiveExtension(std::string(64, 'e').c_str());
    EXPECT_EQ(Slurp("00\\a"), "qrk");
    SetPackArchiveExtension("lmt");
    EXPECT_EQ(Slurp("00\\a"), "lmt");
    SetPackArchiveExtension("");
    EXPECT_EQ(Slurp("00\\a"), "qrk");
    SetPackArchiveExtension(nullptr);
    EXPECT_EQ(Slurp("00\\a"), "qrk");
    // Starting the layer again clears the extension.
    SetPackArchiveExtension("lmt");
    media::files::Reset();
    EXPECT_EQ(Slurp("00\\a"), "qrk");
}

TEST_F(FileLayer, LastArchiveIsUsedWithoutWalkingAgain) {
    fs::create_directories("top");
    WriteArchive("top/00.lmt", Dir("", {File("a", "inner a"), File("b", "inner b")}));
    EXPECT_EQ(Slurp("top\\00\\a"), "inner a");
    const int probes = media::files::ArchiveProbeCount();
    // An archive for the upper folder appears: the cache still answers for
    // names in the cached folder...
    WriteArchive("top.lmt", Dir("", {Dir("00", {File("b", "outer b")}), File("c", "outer c")}));
    EXPECT_EQ(Slurp("top\\00\\b"), "inner b");
    EXPECT_EQ(media::files::ArchiveProbeCount(), probes);
    // ...and a name elsewhere walks from the root again and finds it.
    EXPECT_EQ(Slurp("top\\c"), "outer c");
    EXPECT_EQ(Slurp("top\\00\\b"), "outer b");
}

TEST_F(FileLayer, ReplacedArchiveIsReadAfresh) {
    WriteArchive("00.lmt", Dir("", {File("a", "first")}));
    EXPECT_EQ(Slurp("00\\a"), "first");
    const int h = FileOpen("00\\a", 0);
    ASSERT_NE(h, 0);
    fs::remove("00.lmt");
    WriteArchive("00.lmt", Dir("", {File("a", "second, longer")}));
    EXPECT_EQ(Slurp("00\\a"), "second, longer");
    // The file opened before still reads the old archive.
    EXPECT_EQ(Text(ReadAll(h)), "first");
    FileClose(h);
    fs::remove("00.lmt");
    fs::create_directories("00");
    WriteFile("00/a", "loose");
    EXPECT_EQ(Slurp("00\\a"), "loose");
}

TEST_F(FileLayer, DamagedArchiveIsIgnored) {
    fs::create_directories("00");
    WriteFile("00/a", "loose");
    std::vector<uint8_t> archive = MakeArchive(Dir("", {File("a", "packed")}));
    archive.resize(archive.size() - 10);
    WriteFile("00.lmt", archive);
    EXPECT_EQ(Slurp("00\\a"), "loose");
    WriteFile("00.lmt", "not an archive at all");
    EXPECT_EQ(Slurp("00\\a"), "loose");
}

TEST_F(FileLayer, SeekTellReadAndEndOfFile) {
    const std::vector<uint8_t> data = Noise(200000, 4);
    std::string runs;
    for (int i = 0; i < 2000; ++i) runs += "pattern " + std::to_string(i % 10) + "\n";
    fs::create_directories("loose");
    WriteFile("loose/noise", data);
    WriteFile("loose/runs", runs);
    WriteArchive("stored.lmt", Dir("", {File("noise", data), File("runs", runs)}), false);
    WriteArchive("packed.lmt", Dir("", {File("noise", data), File("runs", runs)}), true);
    for (const char* folder : {"loose", "stored", "packed"}) {
        SCOPED_TRACE(folder);
        for (const char* file : {"noise", "runs"}) {
            const std::string name = std::string(folder) + "\\" + file;
            const std::vector<uint8_t> expected = file == std::string("noise") ? data : Bytes(runs);
            const int h = FileOpen(name.c_str(), 0);
            ASSERT_NE(h, 0);
            EXPECT_EQ(FileEof(h), 0);
            EXPECT_TRUE(ReadAll(h, 3000) == expected);
            EXPECT_NE(FileEof(h), 0);
            EXPECT_EQ(FileTell(h), static_cast<int64_t>(expected.size()));
            // Rewind and read in elements: whole elements only are counted.
            ASSERT_EQ(FileSeek(h, 0, 0), 0);
            uint32_t words[4];
            EXPECT_EQ(FileRead(words, 4, 4, h), 4u);
            EXPECT_EQ(std::memcmp(words, expected.data(), 16), 0);
            ASSERT_EQ(FileSeek(h, -6, 2), 0);
            EXPECT_EQ(FileRead(words, 4, 4, h), 1u);
            EXPECT_EQ(FileTell(h), static_cast<int64_t>(expected.size()));
            // Relative seeks, and seeks outside the file.
            ASSERT_EQ(FileSeek(h, 100, 0), 0);
            ASSERT_EQ(FileSeek(h, 50, 1), 0);
            uint8_t byte = 0;
            EXPECT_EQ(FileRead(&byte, 1, 1, h), 1u);
            EXPECT_EQ(byte, expected[150]);
            EXPECT_EQ(FileSeek(h, -1, 0), -1);
            EXPECT_EQ(FileSeek(h, INT64_MIN, 1), -1);
            EXPECT_EQ(FileSeek(h, INT64_MAX, 1), -1);
            EXPECT_EQ(FileSeek(h, 10, 7), -1);
            EXPECT_EQ(FileTell(h), 151);
            ASSERT_EQ(FileSeek(h, 1000, 2), 0);
            EXPECT_EQ(FileRead(&byte, 1, 1, h), 0u);
            EXPECT_NE(FileEof(h), 0);
            // A big read straight after small ones.
            ASSERT_EQ(FileSeek(h, 10, 0), 0);
            EXPECT_EQ(FileRead(&byte, 1, 1, h), 1u);
            std::vector<uint8_t> rest(expected.size());
            EXPECT_EQ(FileRead(rest.data(), 1, rest.size(), h), expected.size() - 11);
            EXPECT_TRUE(std::equal(expected.begin() + 11, expected.end(), rest.begin()));
            EXPECT_EQ(FileClose(h), 0);
        }
    }
}

TEST_F(FileLayer, BadHandlesAreRefused) {
    uint8_t b;
    for (int h : {0, -1, 1, static_cast<int>(0xF0000000u | 511), static_cast<int>(0xF0000000u | 512)}) {
        EXPECT_EQ(FileClose(h), -1);
        EXPECT_EQ(FileTell(h), -1);
        EXPECT_EQ(FileSeek(h, 0, 0), -1);
        EXPECT_EQ(FileRead(&b, 1, 1, h), 0u);
        EXPECT_NE(FileEof(h), 0);
    }
    WriteFile("f", "x");
    const int h = FileOpen("f", 0);
    ASSERT_NE(h, 0);
    EXPECT_EQ(static_cast<uint32_t>(h) & 0xF0000000u, 0xF0000000u);
    EXPECT_EQ(FileClose(h), 0);
    EXPECT_EQ(FileClose(h), -1);
    EXPECT_EQ(FileOpen(nullptr, 0), 0);
    EXPECT_EQ(FileOpen("", 0), 0);
}

TEST_F(FileLayer, PipesAndDevicesAreNotFiles) {
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);
    EXPECT_EQ(FileOpen("pipe", 0), 0);   // must not block
    WriteFile("pipe.lmt.src", "");
    ASSERT_EQ(::mkfifo("dev.lmt", 0600), 0);
    fs::create_directories("dev");
    WriteFile("dev/x", "x");
    EXPECT_EQ(Slurp("dev\\x"), "x");
}

TEST_F(FileLayer, AsynchronousReads) {
    const std::vector<uint8_t> data = Noise(1 << 20, 8);
    WriteFile("big", data);
    const int h = FileOpen("big", 1);
    ASSERT_NE(h, 0);
    std::vector<uint8_t> out(data.size());
    EXPECT_EQ(FileRead(out.data(), 1, 600000, h), 600000u);
    while (FileReady(h) == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(FileReady(h), 1);
    EXPECT_EQ(FileRead(out.data() + 600000, 1, out.size(), h), data.size() - 600000);
    // Tell waits for the read under way.
    EXPECT_EQ(FileTell(h), static_cast<int64_t>(data.size()));
    EXPECT_TRUE(out == data);
    // Closing with a read under way waits for it.
    ASSERT_EQ(FileSeek(h, 0, 0), 0);
    EXPECT_EQ(FileRead(out.data(), 1, out.size(), h), data.size());
    EXPECT_EQ(FileClose(h), 0);
    EXPECT_EQ(FileReady(h), -1);
}

TEST_F(FileLayer, CurrentDirectory) {
    fs::create_directories("Data/Sub");
    WriteFile("Data/Sub/f", "f");
    char before[4096];
    ASSERT_EQ(FileGetCurrentDirectory(before, sizeof before), 0);
    EXPECT_EQ(FileSetCurrentDirectory("data\\SUB"), 0);
    EXPECT_EQ(Slurp("f"), "f");
    char now[4096];
    ASSERT_EQ(FileGetCurrentDirectory(now, sizeof now), 0);
    EXPECT_EQ(fs::path(now), fs::path(before) / "Data" / "Sub");
    EXPECT_EQ(FileGetCurrentDirectory(now, 3), -1);
    EXPECT_EQ(FileSetCurrentDirectory("no such folder"), -1);
    EXPECT_EQ(FileSetCurrentDirectory(before), 0);
}

class FileLayerLog : public ::testing::Test {
protected:
    std::string log() { return Text(ReadFile("Log.txt")); }
    testing_support::ScratchDirectory scratch_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    testing_support::HeadlessMedia media_;
};

TEST_F(FileLayerLog, LimitsAndMissingNamesAreLogged) {
    ASSERT_TRUE(media_.ok());
    SetPackArchiveExtension("lmt");
    WriteArchive("00.lmt", Dir("", {File("a", "a")}));
    fs::create_directories("00");
    WriteFile("00/b", "b");
    EXPECT_EQ(FileOpen("00\\b", 0), 0);
    EXPECT_NE(log().find("ＱＲＫファイルの中に指定のファイルは見つかりませんでした\r\n"), std::string::npos);

    WriteFile("f", "f");
    std::vector<int> handles;
    for (int i = 0; i < 512; ++i) {
        handles.push_back(FileOpen(i % 2 ? "f" : "00\\a", 0));
        ASSERT_NE(handles.back(), 0) << i;
    }
    EXPECT_EQ(log().find("同時に開けるファイルの数が限界を超えました"), std::string::npos);
    EXPECT_EQ(FileOpen("f", 0), 0);
    EXPECT_NE(log().find("同時に開けるファイルの数が限界を超えました\r\n"), std::string::npos);
    FileClose(handles[100]);
    handles[100] = FileOpen("00\\a", 0);
    EXPECT_NE(handles[100], 0);
    for (int h : handles) EXPECT_EQ(FileClose(h), 0);

    // A damaged archive says why it is ignored.
    std::vector<uint8_t> damaged = MakeArchive(Dir("", {File("a", "a")}));
    damaged.resize(damaged.size() - 4);
    WriteFile("02.lmt", damaged);
    EXPECT_EQ(FileOpen("02\\a", 0), 0);
    EXPECT_NE(log().find("02.lmt is damaged"), std::string::npos);
}

TEST_F(FileLayerLog, BrokenCompressedEntryFailsTheOpen) {
    ASSERT_TRUE(media_.ok());
    SetPackArchiveExtension("lmt");
    std::vector<uint8_t> archive = MakeArchive(Dir("", {File("a", std::string(5000, 'a'))}));
    // Lower the entry's size so the stream's header disagrees with it.
    std::vector<uint8_t> plain = Unscrambled(archive);
    const size_t fileTable = media::archive::Le32(plain.data() + 12) + media::archive::Le32(plain.data() + 16);
    media::archive::Write32(plain.data() + fileTable + 36, 4999);
    WriteFile("00.lmt", Scrambled(plain));
    EXPECT_EQ(FileOpen("00\\a", 0), 0);
    EXPECT_NE(log().find("cannot be expanded"), std::string::npos);
}

// Folder listings are kept once looked at (the kernel reports their changes):
// a file or folder that comes, goes or is replaced afterwards is seen at once.
TEST_F(FileLayer, FoldersChangedAfterTheyWereLookedAtAreSeenAtOnce) {
    fs::create_directories("watched/inner");
    WriteFile("watched/inner/old.txt", "old");
    EXPECT_EQ(Slurp("WATCHED\\INNER\\OLD.TXT"), "old");
    EXPECT_EQ(Slurp("watched\\inner\\new.txt"), "<fail>");
    WriteFile("watched/inner/New.txt", "new");
    EXPECT_EQ(Slurp("watched\\inner\\new.txt"), "new");
    fs::remove("watched/inner/old.txt");
    EXPECT_EQ(Slurp("watched\\inner\\old.txt"), "<fail>");
    // A folder replaced by another of the same name: the new one's files only.
    fs::rename("watched/inner", "watched/before");
    fs::create_directories("watched/inner");
    WriteFile("watched/inner/Other.txt", "other");
    EXPECT_EQ(Slurp("watched\\inner\\other.txt"), "other");
    EXPECT_EQ(Slurp("watched\\inner\\new.txt"), "<fail>");
    // The same from another current directory.
    ASSERT_EQ(FileSetCurrentDirectory("watched"), 0);
    EXPECT_EQ(Slurp("inner\\other.txt"), "other");
    EXPECT_EQ(Slurp("before\\new.txt"), "new");
    ASSERT_EQ(FileSetCurrentDirectory(".."), 0);
    // Changed behind the file layer's back, by the process itself: one name
    // from two folders.
    WriteFile("OTHER.TXT", "top");
    fs::current_path("watched/inner");
    EXPECT_EQ(Slurp("other.txt"), "other");
    fs::current_path("../..");
    EXPECT_EQ(Slurp("other.txt"), "top");
    // A link to a folder pointed elsewhere.
    fs::create_directories("one");
    WriteFile("one/f.txt", "one");
    fs::create_directories("two");
    WriteFile("two/g.txt", "two");
    fs::create_directory_symlink("one", "link");
    EXPECT_EQ(Slurp("LINK\\F.TXT"), "one");
    fs::remove("link");
    fs::create_directory_symlink("two", "link");
    EXPECT_EQ(Slurp("LINK\\G.TXT"), "two");
    EXPECT_EQ(Slurp("LINK\\F.TXT"), "<fail>");
}

TEST_F(FileLayer, AnArchiveBesideAFolderAlreadyReadIsUsedAtOnce) {
    fs::create_directories("05");
    WriteFile("05/a.txt", "loose");
    EXPECT_EQ(Slurp("05\\a.txt"), "loose");
    EXPECT_EQ(Slurp("05\\a.txt"), "loose");
    WriteArchive("05.lmt", Dir("", {File("a.txt", "packed")}));
    EXPECT_EQ(Slurp("05\\a.txt"), "packed");
    fs::remove("05.lmt");
    EXPECT_EQ(Slurp("05\\a.txt"), "loose");
}
