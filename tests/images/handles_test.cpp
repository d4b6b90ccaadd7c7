// Image handles: layout, life cycle, staleness, the table's slots.
#include "tests/images/image_test_support.h"

using namespace image_tests;

namespace {

class ImageHandles : public MediaFixture {
protected:
    int LoadDot(const std::string& name = "dot.bgra") {
        return LoadFromBytes(name, MakeBgra(1, 1, {0xFFFFFFFF}));
    }
};

int Slot(int handle) { return handle & 0xFFFF; }
int Serial(int handle) { return (handle >> 16) & 2047; }

TEST_F(ImageHandles, HandleCarriesKindSlotAndSerial) {
    const int a = LoadDot(), b = LoadDot();
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_EQ((a >> 27) & 15, 1);
    EXPECT_EQ(a & 0x8000, 0);
    EXPECT_EQ(Slot(b), Slot(a) + 1);
    EXPECT_EQ(Serial(b), (Serial(a) + 1) & 2047);
}

TEST_F(ImageHandles, DeletedHandleIsRefusedEverywhereEvenAfterSlotReuse) {
    const int old = LoadDot();
    ASSERT_EQ(DeleteImage(old, 0), 0);
    const int reused = LoadDot();
    ASSERT_EQ(Slot(reused), Slot(old));   // the high-water mark fell back
    ASSERT_NE(reused, old);

    int w = 77, h = 88;
    EXPECT_EQ(GetImageSize(old, &w, &h), -1);
    EXPECT_EQ(w, 77);
    EXPECT_EQ(h, 88);
    EXPECT_EQ(DrawImageQuad(0, 0, 1, 0, 1, 1, 0, 1, old, 1), -1);
    EXPECT_EQ(SetDrawTarget(old), -1);
    EXPECT_EQ(DeleteImage(old, 0), -1);
    EXPECT_EQ(GetImageSize(reused, &w, &h), 0);   // the new occupant is untouched
}

TEST_F(ImageHandles, MalformedHandlesAreRefused) {
    const int good = LoadDot();
    for (int bad : {0, -1, good | 0x8000, (good & ~(15 << 27)) | (2 << 27), good + (1 << 16), good + 1}) {
        int w = 5;
        EXPECT_EQ(GetImageSize(bad, &w, nullptr), -1) << std::hex << bad;
        EXPECT_EQ(w, 5);
        EXPECT_EQ(DrawImageQuad(0, 0, 1, 0, 1, 1, 0, 1, bad, 1), -1);
    }
}

TEST_F(ImageHandles, ScreenTargetsHaveTheScreenSize) {
    int w = 0, h = 0;
    EXPECT_EQ(GetImageSize(kDrawTargetBack, &w, &h), 0);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    w = h = 0;
    EXPECT_EQ(GetImageSize(kDrawTargetFront, &w, nullptr), 0);
    EXPECT_EQ(w, 640);
}

TEST_F(ImageHandles, NewImagesTakeTheHighWaterMarkUntilTheTopIsFreed) {
    const int a = LoadDot(), b = LoadDot(), c = LoadDot();
    ASSERT_EQ(DeleteImage(b, 0), 0);
    const int d = LoadDot();
    EXPECT_EQ(Slot(d), Slot(c) + 1);   // the hole at b's slot is not reused yet
    ASSERT_EQ(DeleteImage(d, 0), 0);
    ASSERT_EQ(DeleteImage(c, 0), 0);
    const int e = LoadDot();
    EXPECT_EQ(Slot(e), Slot(a) + 1);   // the mark fell to one past a
}

TEST_F(ImageHandles, SerialWrapsAfter2048Images) {
    const int first = LoadDot();
    ASSERT_EQ(DeleteImage(first, 0), 0);
    // Each of the next 2047 images takes the same slot with a serial of its
    // own, and the deleted handle stays refused while it lives.
    for (int i = 1; i < 2048; ++i) {
        const int next = LoadDot();
        ASSERT_EQ(Slot(next), Slot(first));
        ASSERT_NE(next, first) << "the serial came round after " << i << " images";
        ASSERT_EQ(GetImageSize(first, nullptr, nullptr), -1) << i;
        ASSERT_EQ(DeleteImage(next, 0), 0);
    }
    EXPECT_EQ(LoadDot(), first);   // same slot, serial come round again
}

TEST_F(ImageHandles, DeleteLogsTheFileNameOnlyWhenAsked) {
    const int quiet = LoadDot("quiet.bgra"), loud = LoadDot("loud.bgra");
    DeleteImage(quiet, 0);
    DeleteImage(loud, 1);
    const std::string log = Log();
    EXPECT_NE(log.find("グラフィック loud.bgra の削除"), std::string::npos);
    EXPECT_EQ(log.find("quiet.bgra"), std::string::npos);
}

TEST_F(ImageHandles, DeleteAllRefusesEveryHandle) {
    const int a = LoadDot("one.bgra"), b = LoadDot("two.bgra");
    EXPECT_EQ(DeleteAllImages(1), 0);
    EXPECT_EQ(GetImageSize(a, nullptr, nullptr), -1);
    EXPECT_EQ(GetImageSize(b, nullptr, nullptr), -1);
    const std::string log = Log();
    EXPECT_LT(log.find("one.bgra の削除"), log.find("two.bgra の削除"));
}

TEST_F(ImageHandles, MissingAndUndecodableFilesFailWithTheirLogLines) {
    EXPECT_EQ(LoadImage("nothing.png", 0), -1);
    WriteFile("junk.png", Bytes(100, 0x42));
    EXPECT_EQ(LoadImage("junk.png", 0), -1);
    const std::string log = Log();
    EXPECT_NE(log.find("グラフィックファイル nothing.png がありません"), std::string::npos);
    EXPECT_NE(log.find("右記のグラフィックファイルのロードに失敗しました：junk.png"), std::string::npos);
}

TEST_F(ImageHandles, CuttingAMissingOrUndecodableFileLogsTheLoadFailureOnce) {
    int cells[4] = {7, 7, 7, 7};
    EXPECT_EQ(LoadImageTiles("absent.png", 4, 2, 2, 8, 8, cells, 0), -1);
    WriteFile("junk.png", Bytes(100, 0x42));
    EXPECT_EQ(LoadImageTiles("junk.png", 4, 2, 2, 8, 8, cells, 0), -1);
    const std::string log = Log();
    EXPECT_NE(log.find("グラフィックファイル absent.png がありません"), std::string::npos);
    const std::string absent = "右記のグラフィックファイルのロードに失敗しました：absent.png";
    const std::string junk = "右記のグラフィックファイルのロードに失敗しました：junk.png";
    ASSERT_NE(log.find(absent), std::string::npos);
    EXPECT_EQ(log.find(absent, log.find(absent) + 1), std::string::npos) << "once";
    ASSERT_NE(log.find(junk), std::string::npos);
    EXPECT_EQ(log.find(junk, log.find(junk) + 1), std::string::npos) << "once";
}

using ImageHandlesDeathTest = ImageHandles;

TEST_F(ImageHandlesDeathTest, TableOverflowEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // 256 x 128 one-pixel cells fill all 32768 slots; one more image overflows.
    std::vector<uint32_t> pixels(256 * 128, 0xFF102030);
    WriteFile("sheet.bgra", MakeBgra(256, 128, pixels));
    EXPECT_EXIT(
        {
            std::vector<int> cells(256 * 128);
            if (LoadImageTiles("sheet.bgra", 256 * 128, 256, 128, 1, 1, cells.data(), 0) == 0) LoadDot();
            std::exit(0);
        },
        ::testing::ExitedWithCode(255), "");
    EXPECT_NE(Log().find("グラフィックの数が許容量を越えました終了します"), std::string::npos);
}

}  // namespace
