// The window, the back buffer and FlipScreen, on SDL's offscreen driver.
#include "media/core/area_hooks.h"
#include "media/media.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using testing_support::HeadlessMedia;
using testing_support::readWholeFile;
using testing_support::ScratchDirectory;

class Screen : public ::testing::Test {
protected:
    void TearDown() override {
        EndMedia();
        ChangeWindowMode(1);
        SetWindowScale(1.0);
        SetWindowCaption("Lumotta");
        SetFramePacing(0);
    }
    ScratchDirectory dir_{"screen"};
};

void windowSize(int* w, int* h) { SDL_GetWindowSize(media::screen::Window(), w, h); }

TEST_F(Screen, SettingsMadeBeforeStartShapeTheWindow) {
    SetWindowCaption("Lumotta");
    SetWindowScale(2.0);
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    int w = 0, h = 0;
    windowSize(&w, &h);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 960);
    EXPECT_STREQ(SDL_GetWindowTitle(media::screen::Window()), "Lumotta");
    SetWindowCaption("Another");
    EXPECT_STREQ(SDL_GetWindowTitle(media::screen::Window()), "Another");
}

TEST_F(Screen, ZeroOrNegativeScaleMeansOne) {
    for (double rate : {0.0, -3.0}) {
        SetWindowScale(2.0);
        SetWindowScale(rate);
        HeadlessMedia media;
        ASSERT_TRUE(media.ok());
        int w = 0, h = 0;
        windowSize(&w, &h);
        EXPECT_EQ(w, 640) << rate;
        EXPECT_EQ(h, 480) << rate;
    }
}

TEST_F(Screen, ScaleChangesAtRunTimeResizeTheWindow) {
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    SetWindowScale(1.5);
    int w = 0, h = 0;
    windowSize(&w, &h);
    EXPECT_EQ(w, 960);
    EXPECT_EQ(h, 720);
}

TEST_F(Screen, FullScreenWishBeforeStartOpensFullScreen) {
    EXPECT_EQ(ChangeWindowMode(0), 0);
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    EXPECT_TRUE(SDL_GetWindowFlags(media::screen::Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
}

TEST_F(Screen, ModeSwitchAtRunTime) {
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    EXPECT_EQ(ChangeWindowMode(1), 0);  // the current mode: nothing happens
    EXPECT_EQ(readWholeFile("Log.txt").find("ウインドウスタイル"), std::string::npos);

    EXPECT_EQ(ChangeWindowMode(0), 0);
    EXPECT_TRUE(SDL_GetWindowFlags(media::screen::Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    EXPECT_EQ(SetDrawTarget(kDrawTargetBack), 0);
    EXPECT_EQ(ClearScreen(), 0);
    EXPECT_EQ(FlipScreen(), 0);

    EXPECT_EQ(ChangeWindowMode(1), 0);
    EXPECT_FALSE(SDL_GetWindowFlags(media::screen::Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    int w = 0, h = 0;
    windowSize(&w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    const std::string log = readWholeFile("Log.txt");
    EXPECT_NE(log.find("ウインドウスタイルをフルスクリーンモード用に変更します...完了\r\n"), std::string::npos);
    EXPECT_NE(log.find("ウインドウスタイルをウインドウモード用に変更します...完了\r\n"), std::string::npos);
}

TEST_F(Screen, DrawTargetsNeedGraphicsAndAValidTarget) {
    EXPECT_EQ(SetDrawTarget(kDrawTargetBack), -1);  // before start
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    EXPECT_EQ(SetDrawTarget(kDrawTargetBack), 0);
    EXPECT_EQ(SetDrawTarget(kDrawTargetFront), 0);
    EXPECT_EQ(SetDrawTarget(12345), -1);  // no such image
}

// Fills the back buffer white through the renderer, as the drawing code does.
void paintWhite() {
    SDL_Renderer* r = media::screen::Renderer();
    SDL_SetRenderDrawColor(r, 255, 255, 255, 255);
    SDL_RenderFillRect(r, nullptr);
}

int countNonBlack(const std::vector<uint32_t>& pixels) {
    int n = 0;
    for (uint32_t p : pixels) n += (p & 0xFFFFFF) != 0;
    return n;
}

TEST_F(Screen, ClearScreenFillsTheWholeTargetDespiteTheClipAndKeepsIt) {
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    SDL_Renderer* r = media::screen::Renderer();
    paintWhite();
    const SDL_Rect clip{10, 20, 30, 40};
    SDL_RenderSetClipRect(r, &clip);
    EXPECT_EQ(ClearScreen(), 0);
    std::vector<uint32_t> pixels(kScreenWidth * kScreenHeight);
    ASSERT_EQ(ReadScreenPixels(pixels.data(), kScreenWidth, kScreenHeight), 0);
    EXPECT_EQ(countNonBlack(pixels), 0);
    SDL_Rect after{};
    SDL_RenderGetClipRect(r, &after);
    EXPECT_TRUE(SDL_RenderIsClipEnabled(r));
    EXPECT_TRUE(SDL_RectEquals(&clip, &after));
}

TEST_F(Screen, ClearScreenClearsAPictureTargetAndLeavesTheBackBuffer) {
    // Both drawing paths: our rasteriser and SDL's geometry on the GPU.
    for (const char* drawing : {"cpu", "gpu"}) {
        SCOPED_TRACE(drawing);
        setenv("LUMOTTA_DRAWING", drawing, 1);
        HeadlessMedia media;
        unsetenv("LUMOTTA_DRAWING");
        ASSERT_TRUE(media.ok());
        // A 32 x 16 white picture, as a draw target.
        std::vector<uint32_t> white(32 * 16, 0xFFFFFFFFu);
        std::string bgra = "BGRA";
        for (uint32_t v : {0x08080808u, 32u, 16u})
            for (int i = 0; i < 4; ++i) bgra += static_cast<char>(v >> (8 * i));
        for (uint32_t p : white)
            for (int i = 0; i < 4; ++i) bgra += static_cast<char>(p >> (8 * i));
        ASSERT_TRUE(testing_support::writeWholeFile("white.bgra", bgra));
        const int picture = LoadImage("white.bgra", 0);
        ASSERT_NE(picture, -1);
        SetDrawTarget(kDrawTargetBack);
        DrawRectangle(0, 0, kScreenWidth, kScreenHeight, GetColorValue(0, 0, 255), 1);
        ASSERT_EQ(SetDrawTarget(picture), 0);
        SetDrawArea(4, 4, 8, 8);  // the clip does not limit the clear
        EXPECT_EQ(ClearScreen(), 0);
        SetDrawTarget(kDrawTargetBack);
        DrawImageQuad(100, 100, 132, 100, 132, 116, 100, 116, picture, 0);
        std::vector<uint32_t> pixels(kScreenWidth * kScreenHeight);
        ASSERT_EQ(ReadScreenPixels(pixels.data(), kScreenWidth, kScreenHeight), 0);
        auto at = [&pixels](int x, int y) { return pixels[static_cast<size_t>(y) * kScreenWidth + x] & 0xFFFFFF; };
        EXPECT_EQ(at(10, 10), 0x0000FFu) << "the back buffer keeps what it had";
        EXPECT_EQ(at(101, 101), 0u) << "the picture is black in its corner";
        EXPECT_EQ(at(116, 108), 0u) << "and in its middle";
        EXPECT_EQ(at(131, 115), 0u);
        EXPECT_EQ(at(133, 108), 0x0000FFu);
    }
}

TEST_F(Screen, FlipScreenKeepsTheBackBufferAndItsDrawState) {
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    SDL_Renderer* r = media::screen::Renderer();
    paintWhite();
    const SDL_Rect clip{1, 2, 300, 200};
    SDL_RenderSetClipRect(r, &clip);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_ADD);
    EXPECT_EQ(FlipScreen(), 0);
    EXPECT_EQ(SDL_GetRenderTarget(r), media::screen::BackBuffer());
    SDL_Rect after{};
    SDL_RenderGetClipRect(r, &after);
    EXPECT_TRUE(SDL_RectEquals(&clip, &after));
    SDL_BlendMode blend{};
    SDL_GetRenderDrawBlendMode(r, &blend);
    EXPECT_EQ(blend, SDL_BLENDMODE_ADD);
    std::vector<uint32_t> pixels(kScreenWidth * kScreenHeight);
    ASSERT_EQ(ReadScreenPixels(pixels.data(), kScreenWidth, kScreenHeight), 0);
    EXPECT_EQ(countNonBlack(pixels), kScreenWidth * kScreenHeight);
}

TEST_F(Screen, PacingHoldsSixtyFramesPerSecondAtMost) {
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    SetFramePacing(1);
    FlipScreen();  // starts the schedule
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 12; ++i) FlipScreen();
    const auto took = std::chrono::steady_clock::now() - start;
    // Twelve frames at 60 per second cannot come sooner than 200 ms.
    EXPECT_GE(took, std::chrono::milliseconds(199));
}

TEST_F(Screen, CursorVisibilityFollowsTheSetting) {
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    EXPECT_EQ(SetMouseCursorVisible(0), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(SetMouseCursorVisible(1), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

}  // namespace

namespace {

// A back buffer in which every pixel differs from its neighbours: red counts
// the column, green the row, blue the two together.
uint32_t patternAt(int x, int y) {
    return 0xFF000000u | (static_cast<uint32_t>(x & 0xFF) << 16) | (static_cast<uint32_t>(y & 0xFF) << 8) |
           static_cast<uint32_t>((x * 7 + y * 13) & 0xFF);
}

void fillBackBufferWithPattern() {
    std::vector<uint32_t> pixels(static_cast<size_t>(kScreenWidth) * kScreenHeight);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) pixels[static_cast<size_t>(y) * kScreenWidth + x] = patternAt(x, y);
    SDL_Renderer* renderer = media::screen::Renderer();
    SDL_RenderFlush(renderer);  // ClearScreen's clear, still queued, runs first
    SDL_UpdateTexture(media::screen::BackBuffer(), nullptr, pixels.data(), kScreenWidth * 4);
    SDL_SetRenderTarget(renderer, media::screen::BackBuffer());
}

// What the window shows, read from its renderer before the present.
std::vector<uint32_t> windowPicture(int* w, int* h) {
    media::screen::DrawWindowPicture();
    SDL_Renderer* renderer = media::screen::Renderer();
    SDL_GetRendererOutputSize(renderer, w, h);
    std::vector<uint32_t> out(static_cast<size_t>(*w) * *h);
    EXPECT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, out.data(), *w * 4), 0);
    SDL_SetRenderTarget(renderer, media::screen::BackBuffer());
    return out;
}

// Every window pixel against the picture it should show: the back buffer's
// pixel (x - left) / factor, (y - top) / factor inside, black outside.
void expectSharpPicture(double windowScale, int factor, int left, int top) {
    SetScalingMode(kScalingSharp);
    SetWindowScale(windowScale);
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    fillBackBufferWithPattern();
    int w = 0, h = 0;
    const std::vector<uint32_t> shown = windowPicture(&w, &h);
    ASSERT_EQ(w, static_cast<int>(kScreenWidth * windowScale));
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int px = x - left, py = y - top;
            const bool inside = px >= 0 && py >= 0 && px < kScreenWidth * factor && py < kScreenHeight * factor;
            const uint32_t want = inside ? patternAt(px / factor, py / factor) : 0xFF000000u;
            const uint32_t got = shown[static_cast<size_t>(y) * w + x];
            if (got != want && ++wrong <= 5)
                ADD_FAILURE() << "window pixel " << x << "," << y << " is " << std::hex << got << ", not " << want;
        }
    EXPECT_EQ(wrong, 0);
}

}  // namespace

TEST_F(Screen, SharpScalingAtTwiceShowsEachPixelAsATwoByTwoBlock) {
    expectSharpPicture(2.0, 2, 0, 0);
    SetScalingMode(kScalingSmooth);
}

TEST_F(Screen, SharpScalingAtThreeTimesCentresTheWholeMultipleInBlackBars) {
    // A 2000x1500 window: 3x is 1920x1440, with 40 and 30 pixels of bars.
    expectSharpPicture(2000.0 / 640.0, 3, 40, 30);
    SetScalingMode(kScalingSmooth);
}

TEST_F(Screen, SmoothScalingFillsTheWindowWhereSharpLeavesBars) {
    SetWindowScale(2000.0 / 640.0);
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    fillBackBufferWithPattern();
    int w = 0, h = 0;
    const std::vector<uint32_t> smooth = windowPicture(&w, &h);
    EXPECT_NE(smooth[static_cast<size_t>(h / 2) * w + 5], 0xFF000000u);  // no bar at the left
    SetScalingMode(kScalingSharp);
    const std::vector<uint32_t> sharp = windowPicture(&w, &h);
    EXPECT_EQ(sharp[static_cast<size_t>(h / 2) * w + 5], 0xFF000000u);
    SetScalingMode(kScalingSmooth);
}

TEST_F(Screen, ThePlaceAskedForBeforeStartIsWhereTheWindowOpens) {
    EXPECT_EQ(GetWindowPlacement(nullptr, nullptr, nullptr, nullptr), -1);
    ASSERT_EQ(SetWindowPlacement(10, 20, 800, 600), 0);
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    int w = 0, h = 0;
    windowSize(&w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    int x = -1, y = -1;
    ASSERT_EQ(GetWindowPlacement(&x, &y, &w, &h), 0);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    // Full screen and back: the window returns to its place and size.
    ASSERT_EQ(ChangeWindowMode(0), 0);
    ASSERT_EQ(ChangeWindowMode(1), 0);
    windowSize(&w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
}

TEST_F(Screen, APlaceOnNoDisplayIsCentredAndNoLargerThanTheDisplay) {
    ASSERT_EQ(SetWindowPlacement(-100000, -100000, 100000, 100000), 0);
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    SDL_Rect display{};
    ASSERT_EQ(SDL_GetDisplayBounds(0, &display), 0);
    int w = 0, h = 0;
    windowSize(&w, &h);
    EXPECT_LE(w, display.w);
    EXPECT_LE(h, display.h);
    EXPECT_EQ(SetWindowPlacement(0, 0, 0, 480), -1);
}

TEST_F(Screen, AnExposedWindowOfAnInactiveGameShowsTheLastFrameAgain) {
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    fillBackBufferWithPattern();
    FlipScreen();
    // Paint the window's own picture black, as a window system that lost it.
    SDL_Renderer* renderer = media::screen::Renderer();
    SDL_SetRenderTarget(renderer, nullptr);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_SetRenderTarget(renderer, media::screen::BackBuffer());
    // Focus lost, then an expose: the game is held, the frame comes back.
    testing_support::pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    testing_support::pushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    testing_support::pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    ASSERT_EQ(ProcessMessage(), 0);
    // What was presented last is on the window again: read it back.
    SDL_SetRenderTarget(renderer, nullptr);
    uint32_t pixel = 0;
    const SDL_Rect one{100, 50, 1, 1};
    ASSERT_EQ(SDL_RenderReadPixels(renderer, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4), 0);
    SDL_SetRenderTarget(renderer, media::screen::BackBuffer());
    EXPECT_EQ(pixel, patternAt(100, 50));
}

TEST_F(Screen, PrintScreenSavesIntoTheScreenshotFolderAndSaysWhenItCannot) {
    ASSERT_EQ(SetScreenshotFolder("user/share/lumotta"), 0);
    {
        HeadlessMedia media;
        ASSERT_TRUE(media.ok());
        testing_support::pressKey(SDL_SCANCODE_PRINTSCREEN);
        FlipScreen();
        testing_support::releaseKey(SDL_SCANCODE_PRINTSCREEN);
        EXPECT_NE(readWholeFile("user/share/lumotta/screenshots/0000.png").substr(1, 3), "");
        EXPECT_EQ(readWholeFile("user/share/lumotta/screenshots/0000.png").substr(1, 3), "PNG");

        // A file where the folder should be: said, on standard error and in the log.
        ASSERT_TRUE(testing_support::writeWholeFile("blocked", "a file"));
        SetScreenshotFolder("blocked");
        testing::internal::CaptureStderr();
        testing_support::pressKey(SDL_SCANCODE_PRINTSCREEN);
        FlipScreen();
        testing_support::releaseKey(SDL_SCANCODE_PRINTSCREEN);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("Lumotta: The screenshot could not be saved: the folder blocked/screenshots"),
                  std::string::npos) << said;
    }
    EXPECT_NE(readWholeFile("Log.txt").find("The screenshot could not be saved"), std::string::npos);
    SetScreenshotFolder(nullptr);
}
