// Numbered runs of pictures decoded ahead: the next file is taken only when
// it is unchanged, and a load gives and logs what it would without it.
#include "media/core/load_report.h"
#include "media/core/work_ahead.h"
#include "media/images/decode_ahead.h"
#include "tests/images/image_test_support.h"

#include <filesystem>

using namespace image_tests;

namespace {

using media::images::NextInRun;

// Pictures a load took from the decoded cache instead of decoding them.
int DecodedAheadTaken() { return media::report::Totals(media::cache::Kind::Picture).reused; }

TEST(NextInRun, CountsTheLastNumberOfTheFileName) {
    long n = -1;
    EXPECT_EQ(NextInRun("19\\9.png", &n), "19\\10.png");
    EXPECT_EQ(n, 9);
    EXPECT_EQ(NextInRun("a07.bmp"), "a08.bmp");
    EXPECT_EQ(NextInRun("09\\099"), "09\\100");
    EXPECT_EQ(NextInRun("frame12_a.png"), "frame13_a.png");
    EXPECT_EQ(NextInRun("12\\title.png"), "");   // the folder's number is not the picture's
    EXPECT_EQ(NextInRun("x.p4g"), "");          // nor the extension's
    EXPECT_EQ(NextInRun("1234567890.png"), "");  // too long to be a frame number
}

class DecodeAhead : public MediaFixture {
protected:
    static uint32_t ColourOf(int n) { return 0x102030u + 0x1F0000u * static_cast<uint32_t>(n); }

    // run/N.bmp: 4 x 4 of one colour each.
    void WriteFrame(int n, uint32_t colour) {
        WriteFile("run/" + std::to_string(n) + ".bmp", MakeBmp24(4, 4, std::vector<uint32_t>(16, colour)));
    }

    // Loads run/N.bmp as an overlay does (the previous one deleted first)
    // and returns the colour it draws.
    uint32_t Show(int n) {
        media::core::WaitForWorkAhead();   // as a frame's time would let it
        if (handle_ != -1) DeleteImage(handle_, 0);
        handle_ = LoadImage(("run/" + std::to_string(n) + ".bmp").c_str(), 0);
        if (handle_ == -1) return 0xFFFFFFFFu;
        ClearScreen();
        DrawImageQuad(0, 0, 4, 0, 4, 4, 0, 4, handle_, 0);
        return Screen().At(1, 1);
    }

    void SetUp() override {
        MediaFixture::SetUp();
        std::filesystem::create_directories("run");
        for (int n = 1; n <= 6; ++n) WriteFrame(n, ColourOf(n));
    }

    int handle_ = -1;
};

TEST_F(DecodeAhead, ARunIsTakenFromTheWorkerAndShowsEachFrame) {
    const int before = DecodedAheadTaken();
    for (int n = 1; n <= 6; ++n) ASSERT_EQ(Show(n), ColourOf(n)) << n;
    // Frames 3 to 6 were decoded while the ones before them showed.
    EXPECT_EQ(DecodedAheadTaken() - before, 4);
    // The end of the run was looked for quietly.
    EXPECT_EQ(Log().find("7.bmp"), std::string::npos);
}

TEST_F(DecodeAhead, AFileChangedAfterItWasReadAheadIsLoadedAnew) {
    const int before = DecodedAheadTaken();
    Show(1);
    Show(2);   // reads and decodes run/3.bmp ahead
    media::core::WaitForWorkAhead();
    WriteFrame(3, 0xABCDEF);
    EXPECT_EQ(Show(3), 0xABCDEFu);
    EXPECT_EQ(DecodedAheadTaken(), before);
}

TEST_F(DecodeAhead, ABrokenNextFileFailsAndLogsAsWithoutDecodingAhead) {
    WriteFile("run/3.bmp", Bytes{'B', 'M', 1, 2, 3});
    Show(1);
    Show(2);
    EXPECT_EQ(Log().find("run/3.bmp"), std::string::npos);   // reading ahead wrote nothing
    EXPECT_EQ(Show(3), 0xFFFFFFFFu);
    // The load-failure line and the English line that names the file, each once.
    const std::string log = Log();
    for (const char* line : {"ロードに失敗しました：run/3.bmp", "The picture file run/3.bmp "}) {
        const size_t failure = log.find(line);
        ASSERT_NE(failure, std::string::npos) << line << "\n" << log;
        EXPECT_EQ(log.find(line, failure + 1), std::string::npos) << "logged once:\n" << log;
    }
    // The run goes on from the next good frame.
    EXPECT_EQ(Show(4), ColourOf(4));
}

TEST_F(DecodeAhead, ADifferentDirectoryIsADifferentFile) {
    Show(1);
    Show(2);   // run/3.bmp read ahead from here
    std::filesystem::create_directories("other/run");
    WriteFile("other/run/3.bmp", MakeBmp24(4, 4, std::vector<uint32_t>(16, 0xFF00FFu)));
    ASSERT_EQ(FileSetCurrentDirectory("other"), 0);
    EXPECT_EQ(Show(3), 0xFF00FFu);
    ASSERT_EQ(FileSetCurrentDirectory(".."), 0);
}

TEST_F(DecodeAhead, EndingTheMediaLayerWithAPictureAheadIsClean) {
    Show(1);
    Show(2);   // the worker may still be at run/3.bmp while the layer stops
}

}  // namespace
