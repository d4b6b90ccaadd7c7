// Movie playback through the public operations: the blocking loop, centring,
// skipping, damaged files, archives and the default movies.
#include "media/core/area_hooks.h"
#include "media/media.h"
#include "media/movies/movie_decoder.h"
#include "media/movies/sound_track.h"
#include "tests/files/archive_test_helpers.h"
#include "tests/support/test_support.h"
#include "tools/moviegen/movie_writer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kRed = 0xFFE02020u, kBlue = 0xFF2040E0u, kMarker = 0xFF20E020u;

// A movie of `frames` frames at 30 frames/s, every frame one colour: `first`
// for all but the last, which is `last`.
void WriteMovie(const std::string& path, int width, int height, int frames, uint32_t first, uint32_t last) {
    moviegen::MovieWriter writer;
    ASSERT_TRUE(writer.Open(path, width, height, 30));
    for (int i = 0; i < frames; ++i)
        ASSERT_TRUE(writer.Add(std::vector<uint32_t>(size_t(width) * height, i + 1 == frames ? last : first)));
    ASSERT_TRUE(writer.Close());
}

std::vector<uint32_t> Screen() {
    std::vector<uint32_t> pixels(kScreenWidth * kScreenHeight);
    EXPECT_EQ(ReadScreenPixels(pixels.data(), kScreenWidth, kScreenHeight), 0);
    return pixels;
}

// Lossy coding moves colours a little.
bool Near(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 24) return false;
    return true;
}

uint32_t At(const std::vector<uint32_t>& screen, int x, int y) { return screen[size_t(y) * kScreenWidth + x]; }

void HoldKey(SDL_Scancode key, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = key;
    event.key.keysym.sym = SDL_GetKeyFromScancode(key);
    SDL_PushEvent(&event);
    ProcessMessage();
}

class Movies : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(media_.ok()); }
    // Something on the back buffer that a movie would cover or clear.
    void Mark() {
        SetDrawTarget(kDrawTargetBack);
        DrawRectangle(0, 0, kScreenWidth, kScreenHeight, int(kMarker & 0xFFFFFF), 1);
    }
    testing_support::ScratchDirectory scratch_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    testing_support::HeadlessMedia media_;
};

TEST_F(Movies, MissingOrDamagedFilesReturnAtOnceAndDrawNothing) {
    WriteMovie("good.avi", 64, 48, 12, kRed, kRed);
    const std::vector<uint8_t> good = files_test::ReadFile("good.avi");
    files_test::WriteFile("noise.avi", files_test::Noise(20000));
    std::vector<uint8_t> header(good.begin(), good.begin() + 300);
    files_test::WriteFile("header-only.avi", header);
    for (const char* name : {"missing.avi", "noise.avi", "header-only.avi"}) {
        SCOPED_TRACE(name);
        Mark();
        SetDrawTarget(kDrawTargetFront);
        EXPECT_EQ(PlayMovie(name, 1, 0), 0);
        EXPECT_EQ(media::images::CurrentDrawTarget(), kDrawTargetFront);
        const auto screen = Screen();
        EXPECT_TRUE(Near(At(screen, 320, 240), kMarker));
        EXPECT_TRUE(Near(At(screen, 0, 0), kMarker));
    }
}

TEST_F(Movies, TruncatedMovieEndsCleanly) {
    WriteMovie("good.avi", 64, 48, 60, kRed, kBlue);
    std::vector<uint8_t> bytes = files_test::ReadFile("good.avi");
    // Most of a small file is header and index: cut into the frames.
    bytes.resize(bytes.size() * 7 / 10);
    files_test::WriteFile("half.avi", bytes);
    Mark();
    SetDrawTarget(kDrawTargetFront);
    EXPECT_EQ(PlayMovie("half.avi", 1, 1), 0);
    EXPECT_EQ(media::images::CurrentDrawTarget(), kDrawTargetFront);
    // Whatever was shown, the cut-off last frame (blue) never was.
    EXPECT_FALSE(Near(At(Screen(), 320, 240), kBlue));
    // Damage in the middle of the frames is skipped over, not fatal.
    bytes = files_test::ReadFile("good.avi");
    for (size_t i = bytes.size() / 3; i < bytes.size() / 3 + 2000; ++i) bytes[i] ^= 0x5A;
    files_test::WriteFile("damaged.avi", bytes);
    EXPECT_EQ(PlayMovie("damaged.avi", 1, 1), 0);
}

TEST_F(Movies, PlaysToTheEndCentredAndClearsOnce) {
    WriteMovie("m.avi", 64, 48, 20, kRed, kBlue);
    Mark();
    SetDrawTarget(kDrawTargetFront);
    EXPECT_EQ(PlayMovie("m.avi", 1, 0), 0);
    EXPECT_EQ(media::images::CurrentDrawTarget(), kDrawTargetFront);
    const auto screen = Screen();
    // 64 x 48 at (288, 216)..(352, 264), showing the last frame; the rest cleared.
    EXPECT_TRUE(Near(At(screen, 320, 240), kBlue));
    EXPECT_TRUE(Near(At(screen, 288, 216), kBlue));
    EXPECT_TRUE(Near(At(screen, 351, 263), kBlue));
    EXPECT_EQ(At(screen, 287, 240) & 0xFFFFFF, 0u);
    EXPECT_EQ(At(screen, 352, 240) & 0xFFFFFF, 0u);
    EXPECT_EQ(At(screen, 320, 215) & 0xFFFFFF, 0u);
    EXPECT_EQ(At(screen, 320, 264) & 0xFFFFFF, 0u);
    EXPECT_EQ(At(screen, 0, 0) & 0xFFFFFF, 0u);
}

TEST_F(Movies, ScaleTwoDoublesAboutTheSameCentre) {
    WriteMovie("m.avi", 64, 48, 6, kRed, kRed);
    EXPECT_EQ(PlayMovie("m.avi", 2, 0), 0);
    const auto screen = Screen();
    EXPECT_TRUE(Near(At(screen, 256, 192), kRed));
    EXPECT_TRUE(Near(At(screen, 383, 287), kRed));
    EXPECT_EQ(At(screen, 255, 240) & 0xFFFFFF, 0u);
    EXPECT_EQ(At(screen, 384, 240) & 0xFFFFFF, 0u);
    EXPECT_EQ(At(screen, 320, 191) & 0xFFFFFF, 0u);
    EXPECT_EQ(At(screen, 320, 288) & 0xFFFFFF, 0u);
}

TEST_F(Movies, HeldKeySkipsUnlessNoSkip) {
    WriteMovie("m.avi", 64, 48, 30, kRed, kBlue);
    HoldKey(SDL_SCANCODE_SPACE, true);
    ASSERT_EQ(CheckKey(57), 1) << "the held Space must read as held";
    EXPECT_EQ(PlayMovie("m.avi", 1, 0), 0);
    EXPECT_TRUE(Near(At(Screen(), 320, 240), kRed));  // ended after its first frame
    EXPECT_EQ(PlayMovie("m.avi", 1, 1), 0);
    EXPECT_TRUE(Near(At(Screen(), 320, 240), kBlue));  // played through
    HoldKey(SDL_SCANCODE_SPACE, false);
    // Caps Lock held does not skip.
    HoldKey(SDL_SCANCODE_CAPSLOCK, true);
    EXPECT_EQ(PlayMovie("m.avi", 1, 0), 0);
    EXPECT_TRUE(Near(At(Screen(), 320, 240), kBlue));
    HoldKey(SDL_SCANCODE_CAPSLOCK, false);
}

// Mouse buttons reach the media layer as events, as from the window system.
void HoldMouseButton(Uint8 button, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = button;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&event);
    ProcessMessage();
}

TEST_F(Movies, AnyJoypadAnyMouseButtonAndAnyKeyButTheLockKeysSkip) {
    WriteMovie("m.avi", 64, 48, 30, kRed, kBlue);
    auto skipped = [] {
        EXPECT_EQ(PlayMovie("m.avi", 1, 0), 0);
        return Near(At(Screen(), 320, 240), kRed);  // ended after its first frame
    };
    // Seven raw joypads, as many as the game lets a player choose from.
    std::vector<SDL_Joystick*> pads;
    for (int i = 0; i < 7; ++i) {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 24, 0);
        ASSERT_GE(index, 0) << SDL_GetError();
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
        ProcessMessage();  // the media layer opens it
        pads.push_back(SDL_JoystickFromInstanceID(id));
        ASSERT_NE(pads.back(), nullptr);
    }
    auto settle = [] {
        ProcessMessage();
        const uint32_t now = GetTimeMs();
        while (GetTimeMs() == now) SDL_Delay(0);  // joypads are read once a millisecond
    };
    EXPECT_FALSE(skipped()) << "nothing held";
    struct Press {
        int pad;     // 0-based
        int button;  // -1: an axis
        int axis, value;
    };
    const Press presses[] = {{4, 0, 0, 0}, {5, 23, 0, 0}, {6, 11, 0, 0}, {6, -1, 1, -32768},
                             {5, -1, 0, 32767}, {4, -1, 1, 32767}, {0, -1, 0, -32768}};
    for (const Press& press : presses) {
        SCOPED_TRACE(testing::Message() << "joypad " << press.pad + 1 << " button " << press.button
                                        << " axis " << press.axis);
        SDL_Joystick* pad = pads[static_cast<size_t>(press.pad)];
        if (press.button >= 0) SDL_JoystickSetVirtualButton(pad, press.button, 1);
        else SDL_JoystickSetVirtualAxis(pad, press.axis, static_cast<Sint16>(press.value));
        settle();
        EXPECT_TRUE(skipped());
        if (press.button >= 0) SDL_JoystickSetVirtualButton(pad, press.button, 0);
        else SDL_JoystickSetVirtualAxis(pad, press.axis, 0);
        settle();
        EXPECT_FALSE(skipped()) << "released";
    }
    for (int i = SDL_NumJoysticks() - 1; i >= 0; --i)
        if (SDL_JoystickIsVirtual(i)) SDL_JoystickDetachVirtual(i);
    ProcessMessage();
    for (Uint8 button : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT, SDL_BUTTON_X2}) {
        SCOPED_TRACE(testing::Message() << "mouse button " << int(button));
        HoldMouseButton(button, true);
        EXPECT_TRUE(skipped());
        HoldMouseButton(button, false);
        EXPECT_FALSE(skipped());
    }
    // Any key but Caps Lock, Kana and Kanji, which stay down by their lock.
    const struct {
        SDL_Scancode key;
        bool skips;
    } keys[] = {{SDL_SCANCODE_F12, true},           {SDL_SCANCODE_KP_5, true},
                {SDL_SCANCODE_RCTRL, true},         {SDL_SCANCODE_INTERNATIONAL2, false},
                {SDL_SCANCODE_LANG5, false},        {SDL_SCANCODE_CAPSLOCK, false}};
    for (const auto& k : keys) {
        SCOPED_TRACE(SDL_GetScancodeName(k.key));
        HoldKey(k.key, true);
        EXPECT_EQ(skipped(), k.skips);
        HoldKey(k.key, false);
    }
}

TEST_F(Movies, PlaysFromAPackArchive) {
    WriteMovie("m.avi", 64, 48, 10, kRed, kBlue);
    const std::vector<uint8_t> movie = files_test::ReadFile("m.avi");
    fs::remove("m.avi");
    SetPackArchiveExtension("lmt");
    files_test::WriteFile("25.lmt", files_test::MakeArchive(files_test::Dir("", {files_test::File("m.avi", movie)})));
    EXPECT_EQ(PlayMovie("25\\m.avi", 1, 1), 0);
    EXPECT_TRUE(Near(At(Screen(), 320, 240), kBlue));
}

TEST_F(Movies, OpenedAsAnImageShowsTheFirstFrame) {
    WriteMovie("m.avi", 64, 48, 4, kRed, kBlue);
    const int image = LoadImage("m.avi", 0);
    ASSERT_NE(image, -1);
    int w = 0, h = 0;
    EXPECT_EQ(GetImageSize(image, &w, &h), 0);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 48);
    EXPECT_EQ(DeleteImage(image, 0), 0);
}

// The default movies are films of 12 to 30 s at the screen's size, each
// with a sound track of music as long as its picture.
TEST_F(Movies, DefaultMoviesAreFilmsWithTheirMusic) {
    const char* dataDir = std::getenv("LUMOTTA_DATA_DIR");
    ASSERT_NE(dataDir, nullptr);
    for (int n = 0; n < 4; ++n) {
        const std::string path = std::string(dataDir) + "/25/" + std::to_string(n) + ".avi";
        SCOPED_TRACE(path);
        ASSERT_TRUE(fs::exists(path));
        const int image = LoadImage(path.c_str(), 0);
        ASSERT_NE(image, -1);
        int w = 0, h = 0;
        GetImageSize(image, &w, &h);
        EXPECT_EQ(w, 640);
        EXPECT_EQ(h, 480);
        DeleteImage(image, 0);

        media::movies::MovieDecoder picture;
        ASSERT_TRUE(picture.Open(path.c_str()));
        EXPECT_GE(picture.duration(), 12.0);
        EXPECT_LE(picture.duration(), 30.0);
        media::movies::SoundTrack sound;
        ASSERT_EQ(sound.Open(path.c_str()), media::movies::SoundTrack::Opened::kPlayable);
        std::vector<int16_t> piece(2 * 4096);
        size_t frames = 0, loud = 0;
        for (size_t got; (got = sound.Read(piece.data(), 4096)) > 0; frames += got)
            for (size_t i = 0; i < got * 2; ++i) loud += std::abs(piece[i]) > 1000;
        EXPECT_FALSE(sound.failed()) << sound.why();
        EXPECT_NEAR(frames / 44100.0, picture.duration(), 0.1);
        EXPECT_GT(loud, frames / 4) << "the music is mostly silence";
    }
}

}  // namespace
