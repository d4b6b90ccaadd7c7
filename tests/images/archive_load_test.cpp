// Pictures read through the file layer from inside a pack archive.
#include "tests/images/image_test_support.h"
#include "tools/pack/archive_writer.h"

using namespace image_tests;

namespace {

class ArchiveLoad : public MediaFixture {
protected:
    // Writes "00.lmt" holding the given files.
    void Pack(const std::vector<std::pair<std::string, Bytes>>& files) {
        pack::PackItem root;
        root.directory = true;
        for (const auto& [name, bytes] : files) {
            pack::PackItem item;
            item.name = name;
            item.data = bytes;
            root.children.push_back(item);
        }
        std::string error;
        ASSERT_TRUE(pack::WriteArchiveFile(root, pack::PackOptions{}, "00.lmt", error)) << error;
        SetPackArchiveExtension("lmt");
    }
};

TEST_F(ArchiveLoad, PictureAndItsAlphaCompanionComeFromTheArchive) {
    Pack({{"pic.bmp", MakeBmp24(2, 1, {0xFF0000, 0x0000FF})},
          {"pic_a.bmp", MakeBmp24(2, 1, {0xFFFFFF, 0x000000})},
          {"sheet.bgra", MakeBgra(4, 1, {0xFF111111, 0xFF222222, 0xFF333333, 0xFF444444})}});
    const int h = LoadImage("00\\pic.bmp", 0);
    ASSERT_NE(h, -1);
    int cells[4];
    ASSERT_EQ(LoadImageTiles("00\\sheet.bgra", 4, 4, 1, 1, 1, cells, 0), 0);
    DrawRectangle(0, 0, 640, 480, 0x00FF00, 1);
    DrawImageQuad(0, 0, 2, 0, 2, 1, 0, 1, h, 1);
    DrawImageQuad(10, 0, 11, 0, 11, 1, 10, 1, cells[2], 1);
    Screen s;
    EXPECT_EQ(s.At(0, 0), 0xFF0000u);
    EXPECT_EQ(s.At(1, 0), 0x00FF00u);   // alpha 0 from the companion
    EXPECT_EQ(s.At(10, 0), 0x333333u);
}

TEST_F(ArchiveLoad, MissingEntryFailsWithTheMissingFileLine) {
    Pack({{"other.bmp", MakeBmp24(1, 1, {0})}});
    EXPECT_EQ(LoadImage("00\\absent.bmp", 0), -1);
    EXPECT_NE(Log().find("グラフィックファイル 00\\absent.bmp がありません"), std::string::npos);
}

}  // namespace
