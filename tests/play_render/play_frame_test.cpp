// The play field as pictures: small stages with pictures made by the test,
// drawn headless and read back pixel by pixel.
#include "game/play/play_pictures.h"
#include "game/play/play_render.h"
#include "game/state/globals.h"
#include "media/media.h"
#include "tests/support/golden_picture.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using testing_support::HeadlessMedia;
using testing_support::ScratchDirectory;

// --- Pictures made by the test ------------------------------------------------

uint32_t rgb(int r, int g, int b) { return (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b); }

using testing_support::writeBmp;

int solid(const std::string& name, int w, int h, uint32_t c) {
    writeBmp(name, w, h, [c](int, int) { return c; });
    return LoadImage(name.c_str(), 0);
}

// Distinct, easily told colours for the digits and blocks.
uint32_t digitColour(int d) { return rgb(20 + 23 * d, 240 - 20 * d, 100); }
uint32_t cellColour(int k) { return rgb(200, 10 * k, 255 - 10 * k); }
constexpr uint32_t kBackground = 0x203040;
constexpr uint32_t kPlayerColour = 0xE0C020;

// --- Reading the frame back ------------------------------------------------------

class Frame {
public:
    Frame() : pixels_(kScreenWidth * kScreenHeight) {
        EXPECT_EQ(ReadScreenPixels(pixels_.data(), kScreenWidth, kScreenHeight), 0);
    }
    uint32_t at(int x, int y) const { return pixels_[static_cast<size_t>(y) * kScreenWidth + x] & 0xFFFFFF; }
    const std::vector<uint32_t>& pixels() const { return pixels_; }

private:
    std::vector<uint32_t> pixels_;
};

// Compares the frame with tests/play_render/golden/NAME.png; one step of
// rounding either way is allowed per channel.
void expectMatchesGolden(const std::string& name) {
    EXPECT_TRUE(testing_support::matchesGoldenPicture("tests/play_render/golden", name, {2, 0}));
}

// --- The fixture -------------------------------------------------------------------

class PlayFrame : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(media_.ok());
        SetTransparentColor(0, 255, 0);
        game = GameGlobals{};
        game.sceneImages[0] = solid("03/1.bmp", 640, 480, kBackground);
        // The block sheet: 20 cells, each its own colour.
        writeBmp("00/01.bmp", 320, 64, [](int x, int y) { return cellColour(x / 32 + 10 * (y / 32)); });
        LoadImageTiles("00/01.bmp", 20, 10, 2, 32, 32, &game.sheetCells[0][0], 0);
        for (int d = 0; d < 10; ++d)
            game.pictures[pic::kDigits + d] = solid("04/" + std::to_string(d) + ".bmp", 8, 12, digitColour(d));
        game.pictures[pic::kMagicIcon] = solid("04/10.bmp", 12, 12, 0x8040FF);
        game.pictures[pic::kPause] = solid("04/91.bmp", 100, 40, 0xFFFFFF);
        game.pictures[pic::kIris] = solid("04/21.bmp", 64, 64, 0x00FF00);  // all key colour
        game.pictures[pic::kClearBanner] = solid("04/25.bmp", 200, 50, 0xF0A000);
        game.pictures[pic::kIntroBand] = solid("04/22.bmp", 640, 80, 0x4080C0);
        // The player: a 20x40 figure with a key-colour frame.
        writeBmp("02/21.bmp", 20, 40, [](int x, int y) {
            return x < 2 || y < 2 ? 0x00FF00 : kPlayerColour;
        });
        game.tileImages[21] = LoadImage("02/21.bmp", 0);
        game.tileImages[22] = game.tileImages[21];
        game.tileImages[216] = solid("02/216.bmp", 40, 40, 0x808080);
        Player& p = game.players[0];
        p.active = 1;
        p.state = kPlayerInAir;
        p.x = 200;
        p.y = 300;
        p.lives = 3;
        game.timeLeft = 9999;
    }

    void drawFrame() {
        ClearScreen();
        drawPlayScene();
    }

    void setBlock(int column, int row, int code, int variant = 0) {
        game.tileMap.blocks[column * kGridRows + row] = code;
        game.tileMap.blockVariant[column * kGridRows + row] = variant;
    }

    ScratchDirectory scratch_{"play_frame"};
    HeadlessMedia media_;
};

TEST_F(PlayFrame, BlocksAreDrawnOnlyInsideTheWalledField) {
    setBlock(1, 2, kBlockSolid);
    setBlock(18, 13, kBlockBreakable, 1);
    setBlock(5, 6, kBlockBreakable, 0);
    setBlock(6, 6, kBlockCracked, 1);
    setBlock(0, 5, kBlockSolid);   // the walls, rows 0 and 1 and the floor row: never drawn
    setBlock(19, 5, kBlockSolid);
    setBlock(4, 1, kBlockSolid);
    setBlock(4, 14, kBlockSolid);
    drawFrame();
    const Frame f;
    EXPECT_EQ(f.at(32 + 16, 64 + 16), cellColour(0));
    EXPECT_EQ(f.at(18 * 32 + 16, 13 * 32 + 16), cellColour(5));
    EXPECT_EQ(f.at(5 * 32 + 16, 6 * 32 + 16), cellColour(4));
    EXPECT_EQ(f.at(6 * 32 + 16, 6 * 32 + 16), cellColour(16));
    EXPECT_EQ(f.at(16, 5 * 32 + 16), kBackground);
    EXPECT_EQ(f.at(19 * 32 + 16, 5 * 32 + 16), kBackground);
    EXPECT_EQ(f.at(4 * 32 + 16, 32 + 16), kBackground);
    EXPECT_EQ(f.at(4 * 32 + 16, 14 * 32 + 16), kBackground);
}

TEST_F(PlayFrame, StatusShowsTheLastDigitOfEachValue) {
    game.timeLeft = 9999;
    game.players[0].magic = 3;
    drawFrame();
    const Frame full;
    for (int x : {264, 274, 284, 294}) EXPECT_EQ(full.at(x, 32), digitColour(9)) << x;
    for (int x : {350, 368, 386}) EXPECT_EQ(full.at(x, 48), 0x8040FFu) << x;
    EXPECT_EQ(full.at(404, 48), kBackground) << "no fourth icon";

    game.timeLeft = 123.6f;
    game.score = 4567;
    drawFrame();
    const Frame part;
    int digit = 0;
    for (int x : {264, 274, 284, 294}) EXPECT_EQ(part.at(x, 32), digitColour(digit++)) << x;
    const int scoreDigits[] = {0, 0, 0, 4, 5, 6, 7};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(part.at(540 + 10 * i, 48), digitColour(scoreDigits[i]));
    EXPECT_EQ(part.at(100, 32), digitColour(3)) << "lives";
    EXPECT_EQ(part.at(190, 32), digitColour(1)) << "stage 0 shows as 1";
}

TEST_F(PlayFrame, PlayerIsHiddenForTheFirstThirtyFiveTicksOfTheIntro) {
    // In the air her picture is tile 21, anchored at her feet: centre (200, 281).
    game.startCounter = 35;
    drawFrame();
    EXPECT_NE(Frame().at(205, 285), kPlayerColour);
    game.startCounter = 36;
    drawFrame();
    EXPECT_EQ(Frame().at(205, 285), kPlayerColour);
    game.startCounter = 0;
    drawFrame();
    const Frame f;
    EXPECT_EQ(f.at(205, 285), kPlayerColour);
    EXPECT_EQ(f.at(191, 262), kBackground) << "the key-colour frame is transparent";
}

TEST_F(PlayFrame, BlendParametersAreClampedAtBothEnds) {
    // Effect 12 adds 255 - 10 t: at t = 30 it is below zero and invisible.
    Actor& e = game.effects[0];
    e.live = 1;
    e.kind = 12;
    e.x = 400;
    e.y = 300;
    e.timer = 30;
    drawFrame();
    EXPECT_EQ(Frame().at(400, 300), kBackground);
    // At t = 0 it adds fully: grey 0x80 on 0x203040.
    e.timer = 0;
    drawFrame();
    EXPECT_EQ(Frame().at(400, 300), 0xA0B0C0u);
    // The intro band at tick 100 fades in with 25 (100 - 70) = 750: drawn full.
    game.startCounter = 100;
    drawFrame();
    EXPECT_EQ(Frame().at(20, 240), 0x4080C0u);
}

TEST_F(PlayFrame, PausePulsesAndGolden) {
    game.pauseCounter = 50;
    drawFrame();
    const Frame f;
    EXPECT_EQ(f.at(320 - 74, 240), 0xFFFFFFu) << "100 + 49 wide";
    EXPECT_EQ(f.at(320 - 76, 240), kBackground);
    expectMatchesGolden("pause-50");
}

TEST_F(PlayFrame, ClearBannerDropsInAndTheIrisCloses) {
    setBlock(3, 10, kBlockSolid);
    game.clearCounter = 100;
    drawFrame();
    expectMatchesGolden("clear-100");
    game.clearCounter = 170;  // the iris, radius 140, around her feet (200, 300)
    drawFrame();
    const Frame f;
    EXPECT_EQ(f.at(200, 155), 0u) << "blacked out above the window";
    EXPECT_EQ(f.at(55, 300), 0u) << "and left of it";
    EXPECT_EQ(f.at(345, 300), 0u) << "and right of it";
    EXPECT_EQ(f.at(200, 165), kBackground) << "the field shows through the window";
    expectMatchesGolden("clear-170");
}

TEST_F(PlayFrame, OnceTheIrisHasClosedTheScreenStaysBlack) {
    // An iris frame with a gold rim that would show if it were drawn.
    writeBmp("04/21r.bmp", 64, 64, [](int x, int y) {
        return x < 4 || y < 4 || x >= 60 || y >= 60 ? 0xF0C000 : 0x00FF00;
    });
    game.pictures[pic::kIris] = LoadImage("04/21r.bmp", 0);
    game.clearCounter = 180;  // r = 40: the rim lies around the window
    drawFrame();
    EXPECT_EQ(Frame().at(161, 300), 0xF0C000u) << "the rim at x = 200 - 40";
    for (int k : {184, 185, 200, 263, 299}) {
        SCOPED_TRACE(k);
        game.clearCounter = static_cast<int16_t>(k);
        drawFrame();
        const Frame f;
        int lit = 0;
        for (uint32_t p : f.pixels()) lit += (p & 0xFFFFFF) != 0;
        EXPECT_EQ(lit, 0);
    }
}

TEST_F(PlayFrame, DeathFadeDarkensTheField) {
    setBlock(3, 10, kBlockSolid);
    game.deathCounter = 60;
    drawFrame();
    EXPECT_EQ(Frame().at(600, 400), kBackground);
    game.deathCounter = 70;  // alpha 100 of a black background
    drawFrame();
    const uint32_t dim = Frame().at(600, 400);
    EXPECT_LT(dim & 0xFF, kBackground & 0xFF);
    EXPECT_GT(dim & 0xFF, 0u);
    expectMatchesGolden("death-70");
    game.deathCounter = 86;  // alpha 260: fully dark
    drawFrame();
    EXPECT_EQ(Frame().at(600, 400), 0u);
}

TEST_F(PlayFrame, StageIntroGolden) {
    game.stageNumber = 11;
    for (int d = 0; d < 10; ++d)
        game.pictures[pic::kLargeDigits + d] =
            solid("04/" + std::to_string(11 + d) + ".bmp", 24, 40, digitColour(9 - d));
    game.pictures[pic::kIntroStage] = solid("04/24.bmp", 120, 40, 0xC0C0F0);
    game.startCounter = 95;
    drawFrame();
    expectMatchesGolden("intro-95");
}

}  // namespace
