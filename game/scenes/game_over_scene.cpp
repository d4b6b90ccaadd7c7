// Game over: the final and best scores while ten pictures drop one after
// another; until the last has landed button 1 continues the same stage with
// a fresh set of lives. Either way the score is ranked first.
#include "game/play/draw_quad.h"
#include "game/scenes/front_end_framework.h"
#include "game/scenes/scenes.h"
#include "game/state/globals.h"
#include "game/state/high_scores.h"
#include "media/media.h"

namespace {

// sceneImages slots.
constexpr int kPictureBackdrop = 0;
constexpr int kPictureSlideIn = 1;
constexpr int kPictureBand = 2;
constexpr int kPictureWaiting = 3;
constexpr int kPictureFirstFaller = 4;
constexpr int kPictureFinal = 15;
constexpr int kPictureIrisFrame = 17;

// sheetCells, counted as one run of slots: the continue animation (rows 0
// and 1) and the animated strip (row 5).
constexpr int kContinueFrames = 11;
constexpr int kStripFirstCell = 5 * 10;
constexpr int kStripCells = 12;

// soundSlots[1]: the sound of the last faller landing.
constexpr int kSoundLanded = 1;

constexpr int kFinalSoundTick = 729;  // the last faller has landed
constexpr int kContinueClosed = 730;
constexpr int kFinalPictureTick = 730;
constexpr int kTitleAfter = 900;
constexpr int kPlayAfter = 250;
constexpr int kIrisStart = 120;

// The iris closes on this point.
constexpr int kIrisX = 320;
constexpr int kIrisY = 424;

const int32_t* sheetCellRun() { return &game.sheetCells[0][0]; }

void updateFallers() {
    for (int k = 0; k < 10; ++k) {
        Faller& f = game.fallers[k];
        if (f.phase == kFallerFalling) {
            f.y += 10;
            if (f.y > 270) {
                f.phase = kFallerRising;
                if (k < 9) game.fallers[k + 1].phase = kFallerKnockedAway;
            }
        }
        if (f.phase == kFallerRising) {
            f.y -= 10;
            if (f.y < 210) f.phase = kFallerSettling;
        }
        if (f.phase == kFallerSettling) {
            f.y += 10;
            if (f.y > 240) {
                f.y = 240;
                f.phase = kFallerResting;
                if (k >= 1) game.fallers[k - 1].phase = kFallerFalling;
            }
        }
        if (f.phase == kFallerKnockedAway) f.y += 20;
    }
}

// The screen outside a square of half-size r around the iris point goes
// black, and the iris frame is drawn around the opening.
void drawIris(int r) {
    const int image = game.sceneImages[kPictureBackdrop];
    SetBrightness(0, 0, 0);
    const int areas[4][4] = {
        {0, 0, kScreenWidth, kIrisY - r},
        {0, kIrisY + r, kScreenWidth, kScreenHeight},
        {0, 0, kIrisX - r, kScreenHeight},
        {kIrisX + r, 0, kScreenWidth, kScreenHeight},
    };
    for (const auto& area : areas) {
        SetDrawArea(area[0], area[1], area[2], area[3]);
        drawPictureSized(320, 240, kScreenWidth, kScreenHeight, image);
    }
    SetDrawArea(0, 0, kScreenWidth, kScreenHeight);
    SetBrightness(255, 255, 255);
    // Once the square has closed the screen stays black: a frame of negative
    // size would be drawn turned over and grow again.
    if (r > 0) drawPictureSized(kIrisX, kIrisY, 2 * r, 2 * r, game.sceneImages[kPictureIrisFrame]);
}

void drawGameOver() {
    const int f = game.gameOverFrame;
    const int u = game.continueCounter;
    const int32_t* images = game.sceneImages;
    const int32_t* cells = sheetCellRun();

    drawPictureSized(320, 240, kScreenWidth, kScreenHeight, images[kPictureBackdrop]);
    if (u == 0) {
        drawPictureSized(320, 240, 640, 449, images[kPictureBand]);
        const int x = 20 * f - 200 < 300 ? 20 * f - 200 : 300;
        drawPicture(x, 240, images[kPictureSlideIn]);
        drawPicture(kIrisX, kIrisY, images[kPictureWaiting]);
    } else {
        const int frame = u < 8 * kContinueFrames ? u / 8 : kContinueFrames - 1;
        drawPictureAsSizeOf(kIrisX, kIrisY, cells[frame], cells[0]);
    }

    // The score panel in the play scene's places; lives and time read zero.
    drawNumber(540, 10, 18, game.highScores[0].score, 7, game.pictures);
    drawNumber(540, 10, 48, game.score, 7, game.pictures);
    drawNumber(90, 10, 32, 0, 2, game.pictures);
    drawNumber(180, 10, 32, game.stageNumber + 1, 2, game.pictures);
    drawNumber(264, 10, 32, 0, 4, game.pictures);

    const int cell = cells[kStripFirstCell + (f / 8) % kStripCells];
    const PictureSize cellSize = pictureSize(cell);
    for (int i = 0; i < 3; ++i)
        drawQuad(240 - 80 * i, 432, cellSize.w, cellSize.h, 0, 0, 0, cell, 1, 0);
    for (int i = 0; i < 3; ++i)
        drawQuad(400 + 80 * i, 432, cellSize.w, cellSize.h, 0, 0, 0, cell, 1, 1);

    if (u == 0) {
        for (int k = 9; k >= 0; --k)
            drawPictureAsSizeOf(520, static_cast<int>(game.fallers[k].y),
                                images[kPictureFirstFaller + k], images[kPictureFirstFaller]);
    }
    if (u > kIrisStart) drawIris(1840 - 10 * u);
    if (f > kFinalPictureTick) {
        if (f <= 753) setAlpha(10 * f - 7300);
        drawPictureSized(320, 240, kScreenWidth, kScreenHeight, images[kPictureFinal]);
        setOpaque();
    }
}

}  // namespace

void resetGameOverScene() {
    game.gameOverFrame = 0;
    game.continueCounter = 0;
    for (Actor& effect : game.effects) effect.live = 0;
    for (Faller& f : game.fallers) f = {kFallerWaiting, {0, 0, 0}, -310.0};
    game.fallers[9].phase = kFallerFalling;
}

void updateGameOverScene() {
    if (game.continueCounter == 0)
        game.gameOverFrame += 1;
    else
        game.continueCounter += 1;

    // The final sound plays on the tick the last faller lands. A continue
    // chosen on that very tick keeps the frame count at 729, and the sound
    // must not start again on every tick of the continue.
    if (game.gameOverFrame == kFinalSoundTick && game.continueCounter == 0)
        playSceneSound(kSoundLanded, kPlayOnce);

    if (game.gameOverFrame < kContinueClosed && freshPress(0) && game.continueCounter == 0)
        game.continueCounter = 1;

    updateFallers();
    drawGameOver();

    if (game.gameOverFrame > kTitleAfter) {
        InsertHighScore(game.score, game.stageNumber);
        game.score = 0;
        changeScene(kSceneTitle);
    }
    if (game.continueCounter > kPlayAfter) {
        InsertHighScore(game.score, game.stageNumber);
        game.score = 0;
        game.players[0].lives = game.settings.startLives;
        changeScene(kScenePlay);
    }
}
