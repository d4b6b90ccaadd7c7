// The ranking: places 10 to 6 slide in one after another, rest and drop
// away, then places 5 to 1 slide in and stay. Button 1 leaves for the title.
#include "game/scenes/front_end_framework.h"
#include "game/scenes/scenes.h"
#include "game/state/globals.h"
#include "media/media.h"

namespace {

// sceneImages slots.
constexpr int kPictureBackdrop = 0;
constexpr int kPicturePanel = 1;
constexpr int kPictureFirstLabel = 2;  // place 1 .. place 10
constexpr int kPictureFirstDigit = 20;
constexpr int kPictureFirstPlaceMark = 32;  // place 1 uses 32, place 2 31, place 3 30

constexpr int kRowStartShift = 680;
constexpr int kPageDelay = 60;
constexpr int kSlideStep = 10;
constexpr int kNextRowStarts = 500;  // a row starts once the one below is this close
constexpr int kDropLimit = 500;

// Rows first..first+4 slide in from the right, the bottom one first;
// `lead` says whether the bottom row may move yet.
void slidePageIn(int first, bool lead) {
    int32_t* shift = game.rowShiftX;
    const int last = first + 4;
    if (lead && shift[last] > 0) shift[last] -= kSlideStep;
    for (int r = last - 1; r >= first; --r)
        if (shift[r + 1] < kNextRowStarts && shift[r] > 0) shift[r] -= kSlideStep;
}

void animateRows() {
    slidePageIn(5, true);
    // Place 6 rests for pageDelay ticks, then the page drops.
    if (game.rowShiftX[5] == 0) {
        if (game.pageDelay > 0) {
            game.pageDelay -= 1;
        } else {
            for (int r = 5; r < 10; ++r)
                if (game.rowShiftY[r] < kDropLimit) game.rowShiftY[r] += kSlideStep;
        }
    }
    slidePageIn(0, game.rowShiftY[8] > 450);
}

void drawRow(int r) {
    const int32_t* images = game.sceneImages;
    const int k = r % 5;
    const int x0 = game.rowShiftX[r];
    const int y = 220 + 55 * k + game.rowShiftY[r];
    if (r <= 2)
        drawPictureAsSizeOf(x0 + 17, y - 10, images[kPictureFirstPlaceMark - r],
                            images[kPictureFirstPlaceMark]);
    drawPictureAsSizeOf(x0 + 60, y, images[kPictureFirstLabel + r], images[kPictureFirstLabel + k]);
    const int32_t* digits = images + kPictureFirstDigit;
    drawNumber(x0 + 120, 24, y, game.highScores[r].score, 7, digits);
    drawNumber(x0 + 458, 24, y, game.highScores[r].stageReached, 2, digits);
}

void drawRanking() {
    DrawFullScreenGrey(255);
    DrawScrollingBackdrop(game.sceneImages[kPictureBackdrop]);
    setOpaque();
    drawPicture(320, 260, game.sceneImages[kPicturePanel]);
    for (int r = 0; r < 10; ++r) drawRow(r);
    DrawFades();
}

}  // namespace

void resetRankingScene() {
    game.sceneFrame = 0;
    game.exitCounter = 0;
    game.fadeCounter = kMenuFadeTicks;
    game.pageDelay = kPageDelay;
    for (int r = 0; r < 10; ++r) {
        game.rowShiftX[r] = kRowStartShift;
        game.rowShiftY[r] = 0;
    }
}

void updateRankingScene() {
    advanceMenuCounters();
    if (game.exitCounter == 0 && freshPress(0)) {
        playMenuSound(kSoundDecide);
        game.exitCounter = 1;
    }
    animateRows();
    drawRanking();
    if (game.exitCounter == kMenuExitTick) changeScene(kSceneTitle);
}
