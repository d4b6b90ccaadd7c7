// Cutting pictures into cells; screen-mode changes, device resets, text and
// screenshots.
#include "media/images/byte_source.h"
#include "media/images/decoders.h"
#include "tests/images/image_test_support.h"

#include <SDL.h>

#include <filesystem>

using namespace image_tests;

namespace {

// Cell (k, j) of a grid of 10 x 10 cells has colour (k * 20, j * 100, 7).
std::vector<uint32_t> Grid(int across, int down, int cell = 10) {
    const int w = across * cell, h = down * cell;
    std::vector<uint32_t> p(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p[y * w + x] = 0xFF000000u | (x / cell * 20) << 16 | (y / cell * 100) << 8 | 7;
    return p;
}

class Tiles : public MediaFixture {};

TEST_F(Tiles, ThirteenCellsOfATenByTwoGridRowByRow) {
    WriteFile("sheet.bgra", MakeBgra(100, 20, Grid(10, 2)));
    int cells[13];
    ASSERT_EQ(LoadImageTiles("sheet.bgra", 13, 10, 2, 10, 10, cells, 0), 0);
    for (int i = 0; i < 13; ++i) {
        int w = 0, h = 0;
        ASSERT_EQ(GetImageSize(cells[i], &w, &h), 0);
        EXPECT_EQ(w, 10);
        EXPECT_EQ(h, 10);
        ASSERT_EQ(DrawImageQuad(i * 10, 0, i * 10 + 10, 0, i * 10 + 10, 10, i * 10, 10, cells[i], 1), 0);
    }
    Screen s;
    for (int i = 0; i < 13; ++i) {
        const int k = i % 10, j = i / 10;
        EXPECT_EQ(s.At(i * 10 + 5, 5), static_cast<uint32_t>((k * 20) << 16 | (j * 100) << 8 | 7)) << i;
    }
}

TEST_F(Tiles, CellsAtTheEdgesAreCutToThePicture) {
    WriteFile("odd.bgra", MakeBgra(25, 15, Grid(3, 2)));
    int cells[6];
    ASSERT_EQ(LoadImageTiles("odd.bgra", 6, 3, 2, 10, 10, cells, 0), 0);
    const int expected[6][2] = {{10, 10}, {10, 10}, {5, 10}, {10, 5}, {10, 5}, {5, 5}};
    for (int i = 0; i < 6; ++i) {
        int w = 0, h = 0;
        ASSERT_EQ(GetImageSize(cells[i], &w, &h), 0);
        EXPECT_EQ(w, expected[i][0]) << i;
        EXPECT_EQ(h, expected[i][1]) << i;
    }
}

TEST_F(Tiles, ACellStartingAtTheEdgeFailsTheWholeCut) {
    WriteFile("small.bgra", MakeBgra(20, 10, Grid(2, 1)));
    int first[2];
    ASSERT_EQ(LoadImageTiles("small.bgra", 2, 2, 1, 10, 10, first, 0), 0);
    int cells[3] = {-7, -7, -7};
    EXPECT_EQ(LoadImageTiles("small.bgra", 3, 3, 1, 10, 10, cells, 0), -1);
    EXPECT_NE(Log().find("グラフィックの分割に失敗しました"), std::string::npos);
    // The cells made before the failure went with it.
    EXPECT_EQ(GetImageSize(cells[0], nullptr, nullptr), -1);
    EXPECT_EQ(GetImageSize(cells[1], nullptr, nullptr), -1);
    EXPECT_EQ(GetImageSize(first[1], nullptr, nullptr), 0);
}

TEST_F(Tiles, CellsShareThePixelsAndOutliveEachOther) {
    WriteFile("sheet.bgra", MakeBgra(100, 20, Grid(10, 2)));
    int cells[20];
    ASSERT_EQ(LoadImageTiles("sheet.bgra", 20, 10, 2, 10, 10, cells, 0), 0);
    for (int i = 0; i < 19; ++i) ASSERT_EQ(DeleteImage(cells[i], 0), 0);
    ASSERT_EQ(DrawImageQuad(0, 0, 10, 0, 10, 10, 0, 10, cells[19], 1), 0);
    Screen s;
    EXPECT_EQ(s.At(5, 5), static_cast<uint32_t>((9 * 20) << 16 | 100 << 8 | 7));
}

class Lifecycle : public MediaFixture {};

TEST_F(Lifecycle, ScreenModeChangeDeletesImagesResetsStateAndKeepsTheKey) {
    SetTransparentColor(0, 255, 0);
    const int old = LoadFromBytes("a.bmp", MakeBmp24(2, 1, {0x00FF00, 0xFF0000}));
    SetBlendMode(kBlendAdd, 10);
    SetBrightness(0, 0, 0);
    SetDrawArea(0, 0, 1, 1);
    ASSERT_EQ(ChangeWindowMode(0), 0);
    EXPECT_EQ(GetImageSize(old, nullptr, nullptr), -1);
    EXPECT_EQ(DrawImageQuad(0, 0, 2, 0, 2, 1, 0, 1, old, 1), -1);
    SetDrawTarget(kDrawTargetBack);
    const int again = LoadFromBytes("a.bmp", MakeBmp24(2, 1, {0x00FF00, 0xFF0000}));
    DrawRectangle(0, 0, 640, 480, 0x646464, 1);
    ASSERT_EQ(DrawImageQuad(10, 10, 12, 10, 12, 11, 10, 11, again, 1), 0);
    Screen s;
    EXPECT_EQ(s.At(10, 10), 0x646464u);   // green still keyed out
    EXPECT_EQ(s.At(11, 10), 0xFF0000u);   // blend mode 0, full brightness
    EXPECT_EQ(s.At(639, 479), 0x646464u); // clip back to the whole screen
    ChangeWindowMode(1);
}

TEST_F(Lifecycle, DeviceResetRebuildsTexturesUnderTheSameHandle) {
    const int h = LoadFromBytes("r.bgra", MakeBgra(2, 1, {0xFFFF0000, 0xFF0000FF}));
    SDL_Event event{};
    event.type = SDL_RENDER_DEVICE_RESET;
    SDL_PushEvent(&event);
    ProcessMessage();
    ClearScreen();
    EXPECT_NE(Log().find("グラフィックを復帰します"), std::string::npos);
    ASSERT_EQ(DrawImageQuad(0, 0, 2, 0, 2, 1, 0, 1, h, 1), 0);
    Screen s;
    EXPECT_EQ(s.At(0, 0), 0xFF0000u);
    EXPECT_EQ(s.At(1, 0), 0x0000FFu);
}

TEST_F(Lifecycle, TextDrawsArrowsAndDigitsAndGrowsWithTheFontSize) {
    auto height = [](const Screen& s) {
        int top = 480, bottom = -1;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 640; ++x)
                if (s.At(x, y)) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return bottom - top + 1;
    };
    DrawText(0, 0, "↑ ← → ↓ 0123456789", GetColorValue(255, 255, 255), 0);
    const Screen small;
    EXPECT_NE(Log().find("フォントの初期化は正常に終了しました"), std::string::npos);
    ASSERT_GT(height(small), 5);
    // Each arrow is a glyph of the face, not an empty box: it has pixels
    // left of the first digit.
    int lit = 0;
    for (int x = 0; x < 60; ++x)
        for (int y = 0; y < 30; ++y) lit += small.At(x, y) != 0;
    EXPECT_GT(lit, 40);
    ClearScreen();
    SetDefaultFontSize(32);
    DrawText(0, 0, "0123456789", GetColorValue(255, 255, 255), 0);
    const Screen large;
    EXPECT_GT(height(large), height(small));
}

TEST_F(Lifecycle, ScreenshotHoldsTheBackBuffer) {
    DrawRectangle(0, 0, 320, 480, 0xFF8000, 1);
    ASSERT_EQ(SaveScreenshotPng("shot.png"), 0);
    const std::string bytes = ReadText("shot.png");
    media::images::MemorySource source(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    media::images::Picture picture;
    ASSERT_EQ(media::images::DecodePicture(source, picture), media::images::DecodeResult::Decoded);
    ASSERT_EQ(picture.width, 640);
    ASSERT_EQ(picture.height, 480);
    EXPECT_EQ(picture.pixels[0], 0xFFFF8000u);
    EXPECT_EQ(picture.pixels[639], 0xFF000000u);
}

TEST_F(Lifecycle, PrintScreenSavesNumberedScreenshots) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.scancode = SDL_SCANCODE_PRINTSCREEN;
    for (int i = 0; i < 2; ++i) {
        SDL_PushEvent(&event);
        ProcessMessage();
        FlipScreen();
    }
    EXPECT_TRUE(std::filesystem::exists("screenshots/0000.png"));
    EXPECT_TRUE(std::filesystem::exists("screenshots/0001.png"));
}

}  // namespace
