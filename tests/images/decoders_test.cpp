// The decoders on small hand-made files: each variant, and refusals of
// files whose sizes, palettes or data do not add up.
#include "media/images/decoders.h"
#include "media/images/images_area.h"
#include "tests/images/image_test_support.h"

using namespace image_tests;
using media::images::DecodeResult;
using media::images::Picture;

namespace {

DecodeResult Decode(const Bytes& bytes, Picture& picture) {
    media::images::MemorySource source(bytes.data(), bytes.size());
    return media::images::DecodePicture(source, picture);
}

TEST(BmpDecoder, OneBitPaletteBottomUp) {
    // 3 x 2: rows stored bottom first, each padded to 4 bytes.
    const Bytes pixels = {0b10100000, 0, 0, 0, 0b01000000, 0, 0, 0};
    Picture p;
    ASSERT_EQ(Decode(Bmp(3, 2, 1, 0, {0x000000, 0xFFFFFF}, pixels), p), DecodeResult::Decoded);
    EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0xFF000000, 0xFFFFFFFF, 0xFF000000,
                                               0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}));
}

TEST(BmpDecoder, FourAndEightBitTopDown) {
    Picture p;
    ASSERT_EQ(Decode(Bmp(2, -2, 8, 0, {0x112233, 0x445566, 0x778899}, {0, 1, 0, 0, 2, 0, 0, 0}), p),
              DecodeResult::Decoded);
    EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0xFF112233, 0xFF445566, 0xFF778899, 0xFF112233}));
    ASSERT_EQ(Decode(Bmp(3, 1, 4, 0, {0x000010, 0x000020, 0x000030}, {0x21, 0x00, 0, 0}), p), DecodeResult::Decoded);
    EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0xFF000030, 0xFF000020, 0xFF000010}));
}

TEST(BmpDecoder, Rle8RunsLiteralsAndDeltaLeaveSkippedPixelsTransparent) {
    const Bytes rle = {
        3, 1,                // three of index 1
        0, 0,                // end of line
        0, 3, 2, 1, 2, 0,    // literal 2 1 2, padded
        0, 2, 0, 1,          // move up one row
        0, 1,                // end of picture
    };
    Picture p;
    ASSERT_EQ(Decode(Bmp(4, 3, 8, 1, {0x000000, 0xFF0000, 0x00FF00}, rle), p), DecodeResult::Decoded);
    // Bottom row first in the file.
    EXPECT_EQ(p.pixels[8], 0xFFFF0000u);
    EXPECT_EQ(p.pixels[10], 0xFFFF0000u);
    EXPECT_EQ(p.pixels[11] >> 24, 0u);
    EXPECT_EQ(p.pixels[4], 0xFF00FF00u);
    EXPECT_EQ(p.pixels[5], 0xFFFF0000u);
    EXPECT_EQ(p.pixels[6], 0xFF00FF00u);
    EXPECT_EQ(p.pixels[0] >> 24, 0u);   // the move skipped the whole top row
    EXPECT_TRUE(p.hasAlpha);
}

TEST(BmpDecoder, Rle4AlternatesNibbles) {
    const Bytes rle = {5, 0x12, 0, 0, 0, 1};
    Picture p;
    ASSERT_EQ(Decode(Bmp(5, 1, 4, 2, {0, 0x0000FF, 0x00FF00}, rle), p), DecodeResult::Decoded);
    EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0xFF0000FF, 0xFF00FF00, 0xFF0000FF, 0xFF00FF00, 0xFF0000FF}));
}

TEST(BmpDecoder, SixteenBitMasksAndThirtyTwoBitAlpha) {
    Bytes b = Bmp(1, 1, 16, 3, {}, {});
    // 5-6-5 masks after the 40-byte header, then one pixel: pure green.
    Bytes masks;
    PutLe32(masks, 0xF800);
    PutLe32(masks, 0x07E0);
    PutLe32(masks, 0x001F);
    b.insert(b.end(), masks.begin(), masks.end());
    PutLe16(b, 0x07E0);
    PutLe16(b, 0);
    b[10] = 14 + 40 + 12;
    Picture p;
    ASSERT_EQ(Decode(b, p), DecodeResult::Decoded);
    EXPECT_EQ(p.pixels[0], 0xFF00FF00u);

    Bytes a = Bmp(1, 1, 32, 6, {}, {});
    for (uint32_t m : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) PutLe32(a, m);
    PutLe32(a, 0x80102030);
    a[10] = 14 + 40 + 16;
    ASSERT_EQ(Decode(a, p), DecodeResult::Decoded);
    EXPECT_EQ(p.pixels[0], 0x80102030u);
    EXPECT_TRUE(p.hasAlpha);
}

TEST(BmpDecoder, Os2CoreHeaderHasThreeBytePalette) {
    Bytes b = {'B', 'M'};
    PutLe32(b, 14 + 12 + 6 + 4);
    PutLe32(b, 0);
    PutLe32(b, 14 + 12 + 6);
    PutLe32(b, 12);
    PutLe16(b, 1);
    PutLe16(b, 1);
    PutLe16(b, 1);
    PutLe16(b, 8);
    b.insert(b.end(), {0x10, 0x20, 0x30, 0x40, 0x50, 0x60});
    b.insert(b.end(), {1, 0, 0, 0});
    Picture p;
    ASSERT_EQ(Decode(b, p), DecodeResult::Decoded);
    EXPECT_EQ(p.pixels[0], 0xFF605040u);
}

TEST(BmpDecoder, RefusesWhatDoesNotAddUp) {
    Picture p;
    // Rows missing.
    EXPECT_EQ(Decode(Bmp(4, 4, 24, 0, {}, Bytes(12, 0)), p), DecodeResult::Broken);
    // Too wide, and too many pixels: refused before anything is allocated.
    EXPECT_EQ(Decode(Bmp(20000, 1, 24, 0, {}, Bytes(60000, 0)), p), DecodeResult::Broken);
    EXPECT_EQ(Decode(Bmp(10000, 10000, 8, 1, {0}, {0, 1}), p), DecodeResult::Broken);
    // A run past the end of the row.
    EXPECT_EQ(Decode(Bmp(2, 1, 8, 1, {0, 0}, {5, 1, 0, 1}), p), DecodeResult::Broken);
    // Run-length data cannot be top-down.
    EXPECT_EQ(Decode(Bmp(2, -1, 8, 1, {0, 0}, {2, 1, 0, 1}), p), DecodeResult::Broken);
    EXPECT_TRUE(p.pixels.empty());
}

Bytes TgaHeader(int type, int bits, int w, int h, int descriptor, int mapLength = 0, int mapFirst = 0,
                int mapBits = 0) {
    Bytes b = {0, static_cast<uint8_t>(mapLength ? 1 : 0), static_cast<uint8_t>(type)};
    PutLe16(b, mapFirst);
    PutLe16(b, mapLength);
    b.push_back(static_cast<uint8_t>(mapBits));
    PutLe16(b, 0);
    PutLe16(b, 0);
    PutLe16(b, w);
    PutLe16(b, h);
    b.push_back(static_cast<uint8_t>(bits));
    b.push_back(static_cast<uint8_t>(descriptor));
    return b;
}

TEST(TgaDecoder, RunLengthTrueColourAcrossRowsFromTheBottom) {
    Bytes b = TgaHeader(10, 24, 2, 2, 0);
    b.insert(b.end(), {0x82, 0x00, 0x00, 0xFF});          // three red
    b.insert(b.end(), {0x00, 0xFF, 0x00, 0x00});          // one blue
    Picture p;
    ASSERT_EQ(Decode(b, p), DecodeResult::Decoded);
    // First stored row is the bottom one.
    EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF0000FF, 0xFFFF0000, 0xFFFF0000}));
}

TEST(TgaDecoder, ColourMapWithFirstEntryOffsetFromTheTopRight) {
    Bytes b = TgaHeader(1, 8, 2, 1, 0x30, 2, 5, 24);
    b.insert(b.end(), {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00});   // entries 5 and 6
    b.insert(b.end(), {5, 6});
    Picture p;
    ASSERT_EQ(Decode(b, p), DecodeResult::Decoded);
    EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0xFF0000FF, 0xFFFF0000}));
    b.back() = 7;   // past the map: black
    ASSERT_EQ(Decode(b, p), DecodeResult::Decoded);
    EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0xFF000000, 0xFFFF0000}));
}

TEST(TgaDecoder, GreyAndCutShort) {
    Bytes b = TgaHeader(3, 8, 2, 1, 0x20);
    b.insert(b.end(), {0x10, 0xF0});
    Picture p;
    ASSERT_EQ(Decode(b, p), DecodeResult::Decoded);
    EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0xFF101010, 0xFFF0F0F0}));
    b.pop_back();
    EXPECT_EQ(Decode(b, p), DecodeResult::Broken);
}

Bytes DdsHeader(int w, int h, uint32_t flags, uint32_t fourCc, uint32_t bits, std::array<uint32_t, 4> masks) {
    Bytes b = {'D', 'D', 'S', ' '};
    PutLe32(b, 124);
    PutLe32(b, 0x1007);
    PutLe32(b, h);
    PutLe32(b, w);
    for (int i = 0; i < 14; ++i) PutLe32(b, 0);
    PutLe32(b, 32);
    PutLe32(b, flags);
    PutLe32(b, fourCc);
    PutLe32(b, bits);
    for (uint32_t m : masks) PutLe32(b, m);
    for (int i = 0; i < 5; ++i) PutLe32(b, 0);
    return b;
}

TEST(DdsDecoder, Dxt1BlockWithTransparentEntry) {
    Bytes b = DdsHeader(4, 4, 0x4, 0x31545844, 0, {});   // "DXT1"
    PutLe16(b, 0x0000);   // c0 <= c1: three colours and transparent
    PutLe16(b, 0xFFFF);
    PutLe32(b, 0b11100100);   // first row: 0, 1, 2, 3
    Picture p;
    ASSERT_EQ(Decode(b, p), DecodeResult::Decoded);
    EXPECT_EQ(p.pixels[0], 0xFF000000u);
    EXPECT_EQ(p.pixels[1], 0xFFFFFFFFu);
    EXPECT_EQ(p.pixels[2], 0xFF7F7F7Fu);
    EXPECT_EQ(p.pixels[3] >> 24, 0u);
    b.resize(b.size() - 1);
    EXPECT_EQ(Decode(b, p), DecodeResult::Broken);
}

TEST(DdsDecoder, UncompressedMasks) {
    Bytes b = DdsHeader(1, 1, 0x41, 0, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000u});
    PutLe32(b, 0x40112233);
    Picture p;
    ASSERT_EQ(Decode(b, p), DecodeResult::Decoded);
    EXPECT_EQ(p.pixels[0], 0x40112233u);
}

TEST(BgraDecoder, SixteenBitKeepsHighBytesAndOddDepthIsRefused) {
    Bytes b = {'B', 'G', 'R', 'A'};
    PutLe32(b, 0x10101010);
    PutLe32(b, 1);
    PutLe32(b, 1);
    for (uint32_t v : {0x11FFu, 0x2200u, 0x3312u, 0x80AAu}) PutLe16(b, v);
    Picture p;
    ASSERT_EQ(Decode(b, p), DecodeResult::Decoded);
    EXPECT_EQ(p.pixels[0], 0x80332211u);
    b[4] = 0x09;
    EXPECT_EQ(Decode(b, p), DecodeResult::Broken);
    EXPECT_EQ(Decode(MakeBgra(2, 2, {0, 0, 0}), p), DecodeResult::Broken);
}

TEST(Decoders, UnknownBytesAreNobodys) {
    Picture p;
    EXPECT_EQ(Decode(Bytes(64, 0xEE), p), DecodeResult::NotMine);
    EXPECT_EQ(Decode(Bytes(), p), DecodeResult::NotMine);
}

TEST(CompanionAlpha, NameGetsUnderscoreABeforeTheExtension) {
    using media::images::CompanionAlphaName;
    EXPECT_EQ(CompanionAlphaName("00\\10.png"), "00\\10_a.png");
    EXPECT_EQ(CompanionAlphaName("picture"), "picture_a");
    EXPECT_EQ(CompanionAlphaName("dir.v\\picture"), "dir.v\\picture_a");
}

class CompanionAlphaFile : public MediaFixture {};

TEST_F(CompanionAlphaFile, GreyLevelBecomesAlphaAndSizesMustMatch) {
    WriteFile("p.bmp", MakeBmp24(2, 1, {0xFF0000, 0xFF0000}));
    WriteFile("p_a.bmp", MakeBmp24(2, 1, {0xFFFFFF, 0x000000}));
    const int h = LoadImage("p.bmp", 0);
    ASSERT_NE(h, -1);
    DrawRectangle(0, 0, 640, 480, 0x0000FF, 1);
    DrawImageQuad(0, 0, 2, 0, 2, 1, 0, 1, h, 1);
    Screen s;
    EXPECT_EQ(s.At(0, 0), 0xFF0000u);
    EXPECT_EQ(s.At(1, 0), 0x0000FFu);

    WriteFile("q.bmp", MakeBmp24(2, 1, {0xFF0000, 0xFF0000}));
    WriteFile("q_a.bmp", MakeBmp24(1, 1, {0xFFFFFF}));
    EXPECT_EQ(LoadImage("q.bmp", 0), -1);
}

}  // namespace
