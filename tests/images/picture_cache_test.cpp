// The decoded-picture cache never changes what a load shows, refuses or
// logs: every load gets a handle of its own, deleted handles stay refused, a
// file changed on disk (or its alpha companion, or the transparent colour)
// is decoded again, a picture drawn into is its load's alone, and a load
// that meets the worker still decoding its file shows its own bytes.
#include "media/core/decoded_cache.h"
#include "media/core/load_report.h"
#include "media/core/work_ahead.h"
#include "tests/images/image_test_support.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

using namespace image_tests;
using media::cache::Kind;

namespace {

constexpr uint32_t kGreen = 0x00FF00, kMagenta = 0xFF00FF, kGrey = 0x646464;

media::report::Counts Pictures() { return media::report::Totals(Kind::Picture); }

// One colour all over.
Bytes Plain(int w, int h, uint32_t colour) { return MakeBmp24(w, h, std::vector<uint32_t>(size_t(w) * h, colour)); }

class PictureCache : public MediaFixture {
protected:
    // What `handle` draws at (x, y) of a w x h picture drawn at the origin
    // over grey, with its transparency honoured.
    static uint32_t Drawn(int handle, int x, int y, int w, int h) {
        ClearScreen();
        DrawRectangle(0, 0, 640, 480, GetColorValue(0x64, 0x64, 0x64), 1);
        if (DrawImageQuad(0, 0, w, 0, w, h, 0, h, handle, 1) != 0) return 0xFFFFFFFFu;
        return Screen().At(x, y);
    }
    static int Reload(const std::string& name, int previous) {
        if (previous != -1) DeleteImage(previous, 0);
        return LoadImage(name.c_str(), 0);
    }
};

// The media layer these tests start has a setting of its own.
template <const char* kVariable, const char* kValue>
class PictureCacheWith : public PictureCache {
protected:
    void SetUp() override {
        setenv(kVariable, kValue, 1);
        PictureCache::SetUp();
    }
    void TearDown() override {
        PictureCache::TearDown();
        unsetenv(kVariable);
    }
};

constexpr char kBudget[] = "LUMOTTA_CACHE_MB", kOneMb[] = "1", kNothing[] = "0";
constexpr char kDrawing[] = "LUMOTTA_DRAWING", kGpu[] = "gpu";
using PictureCacheBudget = PictureCacheWith<kBudget, kOneMb>;
using PictureCacheOff = PictureCacheWith<kBudget, kNothing>;
using PictureCacheGpu = PictureCacheWith<kDrawing, kGpu>;

TEST_F(PictureCache, AnUnchangedFileComesFromTheCacheUnderANewHandleAndOldHandlesStayRefused) {
    WriteFile("p.bmp", Plain(4, 4, 0x123456));
    const int first = LoadImage("p.bmp", 0);
    ASSERT_NE(first, -1);
    const auto before = Pictures();
    ASSERT_EQ(DeleteImage(first, 0), 0);
    const int second = LoadImage("p.bmp", 0);
    ASSERT_NE(second, -1);
    EXPECT_EQ(Pictures().reused, before.reused + 1);
    EXPECT_EQ(Pictures().decoded, before.decoded);
    EXPECT_NE(second, first);
    EXPECT_EQ(Drawn(second, 1, 1, 4, 4), 0x123456u);
    int w = -7;
    EXPECT_EQ(GetImageSize(first, &w, nullptr), -1);
    EXPECT_EQ(w, -7);
    EXPECT_EQ(DrawImageQuad(0, 0, 4, 0, 4, 4, 0, 4, first, 1), -1);
    EXPECT_EQ(DeleteImage(first, 0), -1);

    // Two live loads of one file are two handles, each deleted on its own.
    const int third = LoadImage("p.bmp", 0);
    ASSERT_NE(third, -1);
    EXPECT_NE(third, second);
    ASSERT_EQ(DeleteImage(second, 0), 0);
    EXPECT_EQ(Drawn(third, 1, 1, 4, 4), 0x123456u);

    // After DeleteAllImages every earlier handle is refused, cached or not.
    ASSERT_EQ(DeleteAllImages(0), 0);
    EXPECT_EQ(GetImageSize(third, nullptr, nullptr), -1);
    const int fourth = LoadImage("p.bmp", 0);
    EXPECT_NE(fourth, third);
    EXPECT_EQ(Drawn(fourth, 1, 1, 4, 4), 0x123456u);
    EXPECT_EQ(Drawn(third, 1, 1, 4, 4), 0xFFFFFFFFu);
}

TEST_F(PictureCache, AFileChangedOnDiskIsDecodedAgainWhileOldHandlesKeepWhatTheyShowed) {
    // A large picture changed in one pixel only, the same size on disk.
    std::vector<uint32_t> pixels(200u * 200u, 0x102030);
    WriteFile("big.bmp", MakeBmp24(200, 200, pixels));
    const int old = LoadImage("big.bmp", 0);
    pixels[100u * 200u + 100u] = 0xC0FFEE;
    WriteFile("big.bmp", MakeBmp24(200, 200, pixels));
    const auto before = Pictures();
    const int fresh = LoadImage("big.bmp", 0);
    EXPECT_EQ(Pictures().decoded, before.decoded + 1);
    EXPECT_EQ(Pictures().reused, before.reused);
    EXPECT_EQ(Drawn(fresh, 100, 100, 200, 200), 0xC0FFEEu);
    EXPECT_EQ(Drawn(old, 100, 100, 200, 200), 0x102030u);

    // Changed back: the first decode is still kept and is taken again.
    pixels[100u * 200u + 100u] = 0x102030;
    WriteFile("big.bmp", MakeBmp24(200, 200, pixels));
    const auto again = Pictures();
    const int back = LoadImage("big.bmp", 0);
    EXPECT_EQ(Pictures().reused, again.reused + 1);
    EXPECT_EQ(Drawn(back, 100, 100, 200, 200), 0x102030u);
}

TEST_F(PictureCache, TheTransparentColourSetBetweenTwoLoadsGivesTwoPictures) {
    WriteFile("keys.bmp", MakeBmp24(2, 1, {kGreen, kMagenta}));
    SetTransparentColor(0, 255, 0);
    const int greenKeyed = LoadImage("keys.bmp", 0);
    SetTransparentColor(255, 0, 255);
    const int magentaKeyed = LoadImage("keys.bmp", 0);
    EXPECT_EQ(Drawn(greenKeyed, 0, 0, 2, 1), kGrey);
    EXPECT_EQ(Drawn(greenKeyed, 1, 0, 2, 1), kMagenta);
    EXPECT_EQ(Drawn(magentaKeyed, 0, 0, 2, 1), kGreen);
    EXPECT_EQ(Drawn(magentaKeyed, 1, 0, 2, 1), kGrey);
    // Each keeps its own colour key; the green one is found again.
    SetTransparentColor(0, 255, 0);
    const auto before = Pictures();
    const int again = LoadImage("keys.bmp", 0);
    EXPECT_EQ(Pictures().reused, before.reused + 1);
    EXPECT_EQ(Drawn(again, 0, 0, 2, 1), kGrey);
    EXPECT_EQ(Drawn(again, 1, 0, 2, 1), kMagenta);
}

TEST_F(PictureCache, AnAlphaCompanionAddedChangedOrRemovedIsTakenIntoAccount) {
    WriteFile("c.bmp", Plain(2, 1, 0xFF0000));
    int h = LoadImage("c.bmp", 0);
    EXPECT_EQ(Drawn(h, 0, 0, 2, 1), 0xFF0000u);
    WriteFile("c_a.bmp", MakeBmp24(2, 1, {0x000000, 0xFFFFFF}));
    h = Reload("c.bmp", h);
    EXPECT_EQ(Drawn(h, 0, 0, 2, 1), kGrey);
    EXPECT_EQ(Drawn(h, 1, 0, 2, 1), 0xFF0000u);
    WriteFile("c_a.bmp", MakeBmp24(2, 1, {0xFFFFFF, 0x000000}));
    h = Reload("c.bmp", h);
    EXPECT_EQ(Drawn(h, 0, 0, 2, 1), 0xFF0000u);
    EXPECT_EQ(Drawn(h, 1, 0, 2, 1), kGrey);
    std::filesystem::remove("c_a.bmp");
    h = Reload("c.bmp", h);
    EXPECT_EQ(Drawn(h, 1, 0, 2, 1), 0xFF0000u);
    // A companion of another size fails the load, every time.
    WriteFile("c_a.bmp", Plain(3, 1, 0xFFFFFF));
    EXPECT_EQ(Reload("c.bmp", h), -1);
    EXPECT_EQ(LoadImage("c.bmp", 0), -1);
}

TEST_F(PictureCache, LoadsLogWhatTheyLoggedWithoutTheCache) {
    WriteFile("bad.bmp", Bytes{'B', 'M', 1, 2, 3});
    WriteFile("odd.bmp", Plain(2, 2, 0x445566));
    WriteFile("odd_a.bmp", Bytes{'n', 'o', 'n', 'e'});
    const auto count = [&](const std::string& text) {
        const std::string log = Log();
        int n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(LoadImage("bad.bmp", 0), -1);
        EXPECT_EQ(LoadImage("gone.bmp", 0), -1);
        const int odd = LoadImage("odd.bmp", 0);
        EXPECT_EQ(Drawn(odd, 1, 1, 2, 2), 0x445566u);   // the unreadable companion is ignored
        DeleteImage(odd, 0);
    }
    EXPECT_EQ(count("右記のグラフィックファイルのロードに失敗しました：bad.bmp"), 3);
    EXPECT_EQ(count("グラフィックファイル gone.bmp がありません"), 3);
    EXPECT_EQ(count("The alpha file odd_a.bmp could not be read; it is ignored"), 3);
}

TEST_F(PictureCache, DrawingIntoALoadedPictureChangesThatLoadOnly) {
    WriteFile("canvas.bmp", Plain(8, 8, 0x203040));
    const int drawnInto = LoadImage("canvas.bmp", 0);
    const int other = LoadImage("canvas.bmp", 0);
    int cells[4];
    ASSERT_EQ(LoadImageTiles("canvas.bmp", 4, 2, 2, 4, 4, cells, 0), 0);
    ASSERT_EQ(SetDrawTarget(drawnInto), 0);
    DrawRectangle(0, 0, 8, 8, GetColorValue(255, 255, 0), 1);
    ASSERT_EQ(SetDrawTarget(cells[3]), 0);
    DrawRectangle(0, 0, 4, 4, GetColorValue(0, 0, 255), 1);
    ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
    EXPECT_EQ(Drawn(drawnInto, 2, 2, 8, 8), 0xFFFF00u);
    EXPECT_EQ(Drawn(cells[3], 1, 1, 4, 4), 0x0000FFu);
    EXPECT_EQ(Drawn(cells[0], 1, 1, 4, 4), 0x203040u);
    EXPECT_EQ(Drawn(other, 2, 2, 8, 8), 0x203040u);
    EXPECT_EQ(Drawn(other, 6, 6, 8, 8), 0x203040u);
    DeleteAllImages(0);
    const int later = LoadImage("canvas.bmp", 0);
    EXPECT_EQ(Drawn(later, 2, 2, 8, 8), 0x203040u);
    EXPECT_EQ(Drawn(later, 6, 6, 8, 8), 0x203040u);
}

TEST_F(PictureCache, ASceneChangeLogsOneLineOfWhatWasReusedAndDecoded) {
    WriteFile("a.bmp", Plain(2, 2, 0x111111));
    WriteFile("b.bmp", Plain(2, 2, 0x222222));
    DeleteImage(LoadImage("a.bmp", 0), 0);
    ClearScreen();
    ASSERT_EQ(DeleteAllImages(0), 0);   // a scene change begins
    LoadImage("a.bmp", 0);
    LoadImage("b.bmp", 0);
    LoadImage("gone.bmp", 0);
    ClearScreen();                      // the next frame: it is over
    LoadImage("b.bmp", 0);              // an animation's next picture: not a scene change
    ClearScreen();
    const std::string log = Log();
    const size_t line = log.find("Scene loaded in ");
    ASSERT_NE(line, std::string::npos) << log;
    EXPECT_NE(log.find("3 pictures (1 from the cache, 1 decoded, 1 failed), 0 sounds", line), std::string::npos)
        << log.substr(line);
    EXPECT_EQ(log.find("Scene loaded in ", line + 1), std::string::npos) << log.substr(line);
}

TEST_F(PictureCacheGpu, APictureKeptOverADeviceResetGetsItsTexturesAgain) {
    WriteFile("t.bmp", MakeBmp24(2, 1, {0xFF0000, 0x0000FF}));
    const int shown = LoadImage("t.bmp", 0);
    DeleteImage(LoadImage("t.bmp", 0), 0);
    SDL_Event event{};
    event.type = SDL_RENDER_DEVICE_RESET;
    SDL_PushEvent(&event);
    ProcessMessage();
    ClearScreen();
    const auto before = Pictures();
    const int again = LoadImage("t.bmp", 0);
    EXPECT_EQ(Pictures().reused, before.reused + 1);
    for (int h : {shown, again}) {
        EXPECT_EQ(Drawn(h, 0, 0, 2, 1), 0xFF0000u);
        EXPECT_EQ(Drawn(h, 1, 0, 2, 1), 0x0000FFu);
    }
}

// The worker announces its decode and holds it until a load waits for it
// (or the test lets it go).
std::atomic<bool> gAnnounced{false}, gRelease{false};
void HoldDecodeUntilALoadWaits() {
    gAnnounced = true;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!gRelease && media::cache::Waiting() == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

class PictureCacheWorker : public PictureCache {
protected:
    void SetUp() override {
        PictureCache::SetUp();
        gAnnounced = false;
        gRelease = false;
        media::cache::SetDecodeStartHook(HoldDecodeUntilALoadWaits);
    }
    void TearDown() override {
        gRelease = true;
        media::core::WaitForWorkAhead();
        media::cache::SetDecodeStartHook(nullptr);
        PictureCache::TearDown();
    }
    static bool WaitForAnnouncement() {
        for (int i = 0; i < 10000 && !gAnnounced; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return gAnnounced;
    }
};

TEST_F(PictureCacheWorker, APictureLoadedWhileTheWorkerStillDecodesItShowsTheRightPixels) {
    SetTransparentColor(0, 255, 0);
    std::vector<uint32_t> pixels(64u * 64u, 0x336699);
    pixels[5] = kGreen;
    WriteFile("warm.bmp", MakeBmp24(64, 64, pixels));
    ASSERT_EQ(PrepareImage("warm.bmp"), 0);
    ASSERT_TRUE(WaitForAnnouncement());
    const auto before = Pictures();
    const int h = LoadImage("warm.bmp", 0);   // waits for the worker's decode
    ASSERT_NE(h, -1);
    EXPECT_EQ(Pictures().reused, before.reused + 1) << "the load took the worker's picture";
    EXPECT_EQ(Pictures().decoded, before.decoded);
    EXPECT_EQ(Drawn(h, 10, 10, 64, 64), 0x336699u);
    EXPECT_EQ(Drawn(h, 5, 0, 64, 64), kGrey);   // keyed with the colour set before
}

TEST_F(PictureCacheWorker, AFileChangedWhileTheWorkerDecodesItsOldBytesLoadsTheNewOnes) {
    WriteFile("warm.bmp", Plain(64, 64, 0x336699));
    ASSERT_EQ(PrepareImage("warm.bmp"), 0);
    ASSERT_TRUE(WaitForAnnouncement());
    WriteFile("warm.bmp", Plain(64, 64, 0x996633));
    const auto before = Pictures();
    const int h = LoadImage("warm.bmp", 0);
    gRelease = true;
    EXPECT_EQ(Pictures().decoded, before.decoded + 1);
    EXPECT_EQ(Drawn(h, 10, 10, 64, 64), 0x996633u);
}


TEST_F(PictureCacheBudget, TheLeastRecentlyUsedPicturesNoHandleShowsGoFirst) {
    // 200 x 200 pictures: 0.27 MB each (decoded, and the file kept to tell
    // it by), in a budget of 1 MB: the one shown and two more fit.
    for (int n = 0; n < 4; ++n) WriteFile("p" + std::to_string(n) + ".bmp", Plain(200, 200, 0x010101u * (n + 1)));
    const int held = LoadImage("p0.bmp", 0);   // shown all along
    for (int n = 1; n < 4; ++n) DeleteImage(LoadImage(("p" + std::to_string(n) + ".bmp").c_str(), 0), 0);
    EXPECT_LE(media::cache::HeldBytes(), size_t{1} << 20);
    const auto before = Pictures();
    DeleteImage(LoadImage("p3.bmp", 0), 0);   // the most recent: kept
    DeleteImage(LoadImage("p0.bmp", 0), 0);   // in use all along: kept
    DeleteImage(LoadImage("p2.bmp", 0), 0);
    EXPECT_EQ(Pictures().reused, before.reused + 3);
    DeleteImage(LoadImage("p1.bmp", 0), 0);   // the least recent: gone
    EXPECT_EQ(Pictures().decoded, before.decoded + 1);
    EXPECT_LE(media::cache::HeldBytes(), size_t{1} << 20);
    EXPECT_EQ(Drawn(held, 1, 1, 200, 200), 0x010101u);
}

TEST_F(PictureCacheBudget, DecodingAheadStopsAtTheBudget) {
    for (int n = 0; n < 10; ++n) {
        WriteFile("w" + std::to_string(n) + ".bmp", Plain(200, 200, 0x010101u * (n + 1)));
        ASSERT_EQ(PrepareImage(("w" + std::to_string(n) + ".bmp").c_str()), 0);
    }
    media::core::WaitForWorkAhead();
    ClearScreen();   // a frame
    EXPECT_LE(media::cache::HeldBytes(), size_t{1} << 20);
    EXPECT_GT(media::cache::HeldBytes(), 0u);
    // The first ones are there; the pictures are right whichever were kept.
    const auto before = Pictures();
    for (int n = 0; n < 10; ++n) {
        const int h = LoadImage(("w" + std::to_string(n) + ".bmp").c_str(), 0);
        EXPECT_EQ(Drawn(h, 5, 5, 200, 200), 0x010101u * (n + 1)) << n;
        DeleteImage(h, 0);
    }
    EXPECT_GE(Pictures().reused, before.reused + 2);
    EXPECT_LE(media::cache::HeldBytes(), size_t{1} << 20);
}

TEST_F(PictureCacheOff, WithNoBudgetEveryLoadDecodesAndNothingIsDecodedAhead) {
    WriteFile("p.bmp", Plain(4, 4, 0x123456));
    EXPECT_EQ(PrepareImage("p.bmp"), -1);
    const auto before = Pictures();
    for (int i = 0; i < 3; ++i) DeleteImage(LoadImage("p.bmp", 0), 0);
    EXPECT_EQ(Pictures().decoded, before.decoded + 3);
    EXPECT_EQ(Pictures().reused, before.reused);
    EXPECT_EQ(media::cache::HeldBytes(), 0u);
}

}  // namespace
