// Pixels whose palette index lies past the palette follow one rule in every
// palette format: they show opaque black, as other viewers show them, and the
// decoder logs once how many there were. Every other pixel keeps its colour.
#include "media/images/decoders.h"
#include "media/images/images_area.h"
#include "tests/images/encoded_pictures.h"
#include "tests/images/image_test_support.h"

using namespace image_tests;
using media::images::DecodeResult;
using media::images::Picture;

namespace {

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kBlack = 0xFF000000;

// Two entries, red and blue; indexes 0, 1, then 2 and 200 past the palette.
const std::vector<uint32_t> kPalette = {kRed, kBlue};
const std::vector<uint8_t> kIndexes = {0, 1, 2, 200, 1, 0, 200, 2};
constexpr int kWidth = 4, kHeight = 2;
const std::vector<uint32_t> kExpected = {0xFFFF0000, 0xFF0000FF, kBlack, kBlack,
                                         0xFF0000FF, 0xFFFF0000, kBlack, kBlack};

// An 8-bit bottom-up BMP: each row's indexes, padded to four bytes.
Bytes Bmp8(int w, int h, const std::vector<uint32_t>& palette, const std::vector<uint8_t>& indexes) {
    Bytes rows;
    for (int y = h - 1; y >= 0; --y) {
        rows.insert(rows.end(), indexes.begin() + y * w, indexes.begin() + (y + 1) * w);
        rows.resize((rows.size() + 3) / 4 * 4, 0);
    }
    return Bmp(w, h, 8, 0, palette, rows, static_cast<uint32_t>(palette.size()));
}

// The same indexes as 8-bit run-length data: one literal run per row.
Bytes Bmp8Rle(int w, int h, const std::vector<uint32_t>& palette, const std::vector<uint8_t>& indexes) {
    Bytes rle;
    for (int y = h - 1; y >= 0; --y) {
        rle.insert(rle.end(), {0, static_cast<uint8_t>(w)});
        rle.insert(rle.end(), indexes.begin() + y * w, indexes.begin() + (y + 1) * w);
        if (w & 1) rle.push_back(0);
        rle.insert(rle.end(), {0, 0});
    }
    rle.insert(rle.end(), {0, 1});
    return Bmp(w, h, 8, 1, palette, rle, static_cast<uint32_t>(palette.size()));
}

// A colour-mapped TGA from the top, its map starting at entry 0.
Bytes Tga8(int w, int h, const std::vector<uint32_t>& palette, const std::vector<uint8_t>& indexes) {
    Bytes b = {0, 1, 1};
    PutLe16(b, 0);
    PutLe16(b, palette.size());
    b.push_back(24);
    PutLe16(b, 0);
    PutLe16(b, 0);
    PutLe16(b, w);
    PutLe16(b, h);
    b.push_back(8);
    b.push_back(0x20);
    for (uint32_t p : palette) b.insert(b.end(), {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16)});
    b.insert(b.end(), indexes.begin(), indexes.end());
    return b;
}

struct Format {
    const char* name;
    const char* logName;
    Bytes bytes;
};

std::vector<Format> EveryFormat() {
    return {
        {"index.png", "PNG", EncodePngIndexed(kWidth, kHeight, 8, kPalette, {}, kIndexes)},
        {"interlaced.png", "PNG", EncodePngIndexed(kWidth, kHeight, 8, kPalette, {}, kIndexes, true)},
        {"index.bmp", "BMP", Bmp8(kWidth, kHeight, kPalette, kIndexes)},
        {"rle.bmp", "BMP", Bmp8Rle(kWidth, kHeight, kPalette, kIndexes)},
        {"index.tga", "TGA", Tga8(kWidth, kHeight, kPalette, kIndexes)},
    };
}

class PaletteIndex : public MediaFixture {};

}  // namespace

TEST(PaletteIndexDecoders, PastThePaletteIsOpaqueBlackInEveryFormat) {
    for (const Format& f : EveryFormat()) {
        media::images::MemorySource source(f.bytes.data(), f.bytes.size());
        Picture p;
        ASSERT_EQ(media::images::DecodePicture(source, p), DecodeResult::Decoded) << f.name;
        EXPECT_EQ(p.pixels, kExpected) << f.name;
    }
}

TEST(PaletteIndexDecoders, SmallDepthsAndTransparencyKeepTheirEntries) {
    // Four bits, three entries, the second half transparent; index 9 is past them.
    const std::vector<uint8_t> indexes = {0, 1, 2, 9, 2, 1, 0, 15};
    const Bytes png = EncodePngIndexed(4, 2, 4, {kRed, kBlue, 0x00FF00}, {255, 128}, indexes);
    media::images::MemorySource source(png.data(), png.size());
    Picture p;
    ASSERT_EQ(media::images::DecodePicture(source, p), DecodeResult::Decoded);
    EXPECT_TRUE(p.hasAlpha);
    EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0xFFFF0000, 0x800000FF, 0xFF00FF00, kBlack, 0xFF00FF00, 0x800000FF,
                                               0xFFFF0000, kBlack}));
}

// As the game shows them: loaded, drawn, read back from the screen, one log
// line each.
TEST_F(PaletteIndex, LoadedPicturesShowBlackWhereThePaletteEnds) {
    DrawRectangle(0, 0, kScreenWidth, kScreenHeight, GetColorValue(255, 255, 255), 1);
    int x = 0;
    for (const Format& f : EveryFormat()) {
        const int h = LoadFromBytes(f.name, f.bytes);
        ASSERT_GE(h, 0) << f.name;
        // Ten times larger, side by side.
        DrawImageQuad(x, 0, x + kWidth * 10, 0, x + kWidth * 10, kHeight * 10, x, kHeight * 10, h, 0);
        x += kWidth * 10 + 10;
        EXPECT_NE(Log().find(std::string(f.logName) + ": 4 pixels index past the 2 palette entries and show black"),
                  std::string::npos)
            << f.name;
    }
    Screen screen;
    x = 0;
    for (const Format& f : EveryFormat()) {
        for (int i = 0; i < kWidth * kHeight; ++i)
            EXPECT_EQ(screen.At(x + (i % kWidth) * 10 + 5, (i / kWidth) * 10 + 5), kExpected[i] & 0xFFFFFF)
                << f.name << ", pixel " << i;
        x += kWidth * 10 + 10;
    }
}
