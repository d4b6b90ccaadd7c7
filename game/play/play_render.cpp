// drawPlayScene: the whole play field, redrawn from scratch every tick.
#include "game/play/play_render.h"

#include "game/play/draw_quad.h"
#include "game/play/play_pictures.h"
#include "game/play/player_pictures.h"
#include "game/state/globals.h"
#include "media/media.h"

#include <cstdlib>

namespace {

constexpr int kCell = 32;

int background() { return game.sceneImages[0]; }

void drawBackground() { drawQuad(320, 240, kScreenWidth, kScreenHeight, 0, 0, 0, background(), 1, 0); }

// Only the walled field is drawn: columns 1..18, rows 2..13.
void drawCells() {
    const TileMap& map = game.tileMap;
    for (int column = 1; column <= 18; ++column) {
        for (int row = 2; row <= 13; ++row) {
            const int i = column * kGridRows + row;
            int cell;
            switch (map.blocks[i]) {
                case kBlockSolid: cell = 0; break;
                case kBlockBreakable: cell = map.blockVariant[i] != 0 ? 5 : 4; break;
                case kBlockCracked: cell = 15 + map.blockVariant[i]; break;
                default: continue;
            }
            drawQuad(kCell * column + 16, kCell * row + 16, kCell, kCell, 0, 0, 0,
                     sheetCell(sheet::k01, cell), 1, 0);
        }
    }
}

void drawPlayers() {
    if (game.startCounter != 0 && game.startCounter <= 35) return;  // the intro covers her
    for (const Player& player : game.players) {
        if (player.active != 1) continue;
        const int handle = tileImage(playerPicture(player));
        const PictureSize s = pictureSize(handle);
        drawAnchored(handle, player.x, player.y, s.w, s.h, player.facing);
    }
}

void drawCornerMarker() {
    if (game.tileMap.blocks[18 * kGridRows + 2] != kBlockSolid) return;
    const PictureSize s = pictureSize(picture(pic::kCornerMarker));
    const bool lit = game.playFrame % 180 >= 170;
    alpha(128);
    drawQuad(620, 50, s.w, s.h, 0, 0, 0, picture(lit ? pic::kCornerMarkerLit : pic::kCornerMarker),
             1, 0);
    opaque();
}

void drawKeyFlash() {
    const Player& player = game.players[0];
    if (player.state != kPlayerKeyTaken || player.stateTimer >= 20 || player.stateTimer < 0) return;
    loadOverlayFrame(pic::kKeyFlash, 18, player.stateTimer + 1);
    additive(255);
    drawQuad(player.x, static_cast<int>(player.y - 32), 368, 368, 0, 0, 0, picture(pic::kKeyFlash),
             1, 0);
    opaque();
}

void drawPause() {
    if (game.pauseCounter == 0) return;
    const PictureSize s = pictureSize(picture(pic::kPause));
    const int j = game.pauseCounter % 200;
    const int grow = j <= 99 ? j : 200 - j;  // a slow pulse
    drawQuad(320, 240, s.w + grow, s.h + grow, 0, 0, 0, picture(pic::kPause), 1, 0);
}

// One status digit: the last decimal digit of the value. A negative value
// (a lost last life) shows the digit of its magnitude rather than reaching
// outside the digit pictures.
void drawDigit(int value, int x, int y, PictureSize size) {
    const int digit = std::abs(value % 10);
    drawQuad(x, y, size.w, size.h, 0, 0, 0, picture(pic::kDigits + digit), 1, 0);
}

void drawSevenDigits(int value, int y, PictureSize size) {
    int divisor = 1000000;
    for (int x = 540; x <= 600; x += 10, divisor /= 10) drawDigit(value / divisor, x, y, size);
}

void drawStatus() {
    const PictureSize digit = pictureSize(picture(pic::kDigits));
    const Player& player = game.players[0];
    drawDigit(player.lives / 10, 90, 32, digit);
    drawDigit(player.lives, 100, 32, digit);
    const int stage = game.stageNumber + 1;
    drawDigit(stage / 10, 180, 32, digit);
    drawDigit(stage, 190, 32, digit);
    const float time = game.timeLeft;
    drawDigit(static_cast<int>(time / 1000), 264, 32, digit);
    drawDigit(static_cast<int>(time / 100), 274, 32, digit);
    drawDigit(static_cast<int>(time / 10), 284, 32, digit);
    drawDigit(static_cast<int>(time), 294, 32, digit);
    const PictureSize icon = pictureSize(picture(pic::kMagicIcon));
    for (int i = 0; i < player.magic; ++i)
        drawQuad(350 + 18 * i, 48, icon.w, icon.h, 0, 0, 0, picture(pic::kMagicIcon), 1, 0);
    drawSevenDigits(game.highScores[0].score, 18, digit);
    drawSevenDigits(game.score, 48, digit);
}

// The stage intro runs while startCounter counts 1..125.
void drawStageIntro() {
    const int i = game.startCounter;
    const Player& player = game.players[0];
    if (i >= 1 && i <= kIntroOverlayFrames) {
        loadOverlayFrame(pic::kIntroOverlay, kIntroOverlayFolder, i);
        additive(255);
        drawQuad(player.x, static_cast<int>(player.y - 32), 640, 640, 0, 0, 0,
                 picture(pic::kIntroOverlay), 1, 0);
    }
    const int fadeOut = 1255 - 10 * i;
    if (i > 70) {
        alpha(i > 100 ? fadeOut : 25 * (i - 70));
        const PictureSize band = pictureSize(picture(pic::kIntroBand));
        drawQuad(320, 240, band.w, band.h, 0, 0, 0, picture(pic::kIntroBand), 1, 0);
        opaque();
        if (i > 100) alpha(fadeOut);
        const PictureSize word = pictureSize(picture(pic::kIntroStage));
        const int x = 20 * i - 1800 < 240 ? 20 * i - 1800 : 250;
        drawQuad(x, 240, word.w, word.h, 0, 0, 0, picture(pic::kIntroStage), 1, 0);
    }
    if (i > 90) {
        if (i > 100) alpha(fadeOut);
        const PictureSize big = pictureSize(picture(pic::kLargeDigits));
        const int stage = game.stageNumber + 1;
        const int x = 2500 - 20 * i > 400 ? 2500 - 20 * i : 400;
        drawQuad(x, 240, big.w, big.h, 0, 0, 0, picture(pic::kLargeDigits + std::abs(stage / 10 % 10)),
                 1, 0);
        drawQuad(x + big.w, 240, big.w, big.h, 0, 0, 0,
                 picture(pic::kLargeDigits + std::abs(stage % 10)), 1, 0);
    }
    opaque();
}

// The clear banner drops in and bounces; then an iris closes on the player.
void drawStageClear() {
    const int k = game.clearCounter;
    if (k > 80) {
        int y;
        if (k <= 105) y = 20 * k - 1800;
        else if (k <= 109) y = 2400 - 20 * k;
        else if (k <= 111) y = 20 * k - 2000;
        else y = 240;
        const PictureSize s = pictureSize(picture(pic::kClearBanner));
        drawQuad(320, y, s.w, s.h, 0, 0, 0, picture(pic::kClearBanner), 1, 0);
    }
    if (k > 120) {
        const int r = 1840 - 10 * k;
        const Player& player = game.players[0];
        const int px = player.x, py = static_cast<int>(player.y);
        const int bands[4][4] = {
            {0, 0, kScreenWidth, py - r},
            {0, py + r, kScreenWidth, kScreenHeight},
            {0, 0, px - r, kScreenHeight},
            {px + r, 0, kScreenWidth, kScreenHeight},
        };
        SetBrightness(0, 0, 0);
        for (const auto& band : bands) {
            SetDrawArea(band[0], band[1], band[2], band[3]);
            drawBackground();
            SetDrawArea(0, 0, kScreenWidth, kScreenHeight);
        }
        SetBrightness(255, 255, 255);
        // Once the window has closed (k = 184) the screen stays black: a
        // frame of negative size would be drawn turned over and grow again
        // around her.
        if (r > 0) drawQuad(px, py, 2 * r, 2 * r, 0, 0, 0, picture(pic::kIris), 1, 0);
    }
}

void drawDeathFade() {
    if (game.deathCounter <= 60) return;
    SetBrightness(0, 0, 0);
    alpha(10 * game.deathCounter - 600);
    drawBackground();
    opaque();
    SetBrightness(255, 255, 255);
}

}  // namespace

void drawPlayScene() {
    drawBackground();
    drawCells();
    drawActors();
    drawPlayers();
    drawEffects();
    drawCornerMarker();
    drawKeyFlash();
    drawPause();
    drawStatus();
    drawStageIntro();
    drawStageClear();
    drawDeathFade();
}
