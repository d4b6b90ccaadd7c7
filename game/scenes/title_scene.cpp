// The title: a timed intro in which the title pictures fade and turn into
// place, then the five-item main menu over a dimmed copy of it.
#include "game/play/draw_quad.h"
#include "game/scenes/front_end_framework.h"
#include "game/scenes/scenes.h"
#include "game/state/globals.h"
#include "media/media.h"

namespace {

// sceneImages slots.
constexpr int kPictureBackdrop = 5;
constexpr int kPicturePulse = 6;
constexpr int kPictureCursor = 8;
constexpr int kPicturePanel = 14;

constexpr int kMusicTick = 271;   // the title music starts here
constexpr int kIntroEnd = 270;    // a press during the intro jumps here
constexpr int kMenuDeadTicks = 30;
constexpr int kTitleExitTick = 85;
constexpr int kMenuItems = 5;

struct MenuItem {
    int picture;  // sceneImages slot
    int y;
    int scene;    // where choosing it leads; -1 quits
};

constexpr MenuItem kMenu[kMenuItems] = {
    {9, 170, kSceneOpeningMovie},
    {12, 220, kSceneRanking},
    {13, 270, kSceneStageSelect},
    {10, 320, kSceneSettings},
    {11, 370, -1},
};

void introInput() {
    if (!freshPress(0)) return;
    playMenuSound(kSoundDecide);
    if (game.sceneFrame < kIntroEnd)
        game.sceneFrame = kIntroEnd;
    else
        game.menuShown = 1;
}

void menuInput() {
    if (freshVertical(1)) {
        playMenuSound(kSoundCursor);
        game.menuCursor -= 1;
    }
    if (freshVertical(-1)) {
        playMenuSound(kSoundCursor);
        game.menuCursor += 1;
    }
    if (game.menuCursor < 0) game.menuCursor = 0;
    if (game.menuCursor > kMenuItems - 1) game.menuCursor = kMenuItems - 1;
    rememberDirections();
    if (freshPress(0)) {
        playMenuSound(kSoundDecide);
        game.exitCounter = 1;
    }
}

// The pulse of picture 6: up over 25 ticks, down over 25, every 50 ticks.
int pulseAlpha(int t) {
    const int q = (t - 220) % 50;
    return q <= 24 ? 10 * q : 505 - 10 * q;
}

// Steps shared by the intro and the menu: the white ground, the backdrop and
// the five layers of the title composition.
void drawTitleLayers(int t) {
    const int32_t* images = game.sceneImages;
    DrawFullScreenGrey(255);

    if (t < 255) setAlpha(10 * t - 2300);
    DrawScrollingBackdrop(images[kPictureBackdrop]);
    setOpaque();

    if (t < 50) setAlpha(10 * t - 250);
    drawPicture(320, 240, images[0]);
    setOpaque();

    if (t <= 84) setAlpha(10 * t - 600);
    drawPicture(320, 240, images[1]);
    setOpaque();

    if (t <= 144) setAlpha(10 * t - 1200);
    drawPicture(320, 240, images[3]);
    setOpaque();

    if (t < 110) setAlpha(10 * t - 850);
    drawPicture(320, 240, images[2]);
    setOpaque();

    setAdditive(t < 170 ? 10 * t - 1450 : 255);
    const PictureSize size = pictureSize(images[4]);
    const int angle = t < 210 ? t - 170 : 40;
    drawQuad(270, 275, size.w, size.h, 0, 0, angle, images[4], 1, 0);
    setOpaque();
}

void drawBottomPicture(int t) {
    if (t < 245) setAlpha(10 * t - 2200);
    drawPicture(320, 430, game.sceneImages[7]);
    setOpaque();
}

void drawIntro() {
    const int t = game.sceneFrame;
    drawTitleLayers(t);
    if (t > 220) drawPictureAtAlpha(320, 360, game.sceneImages[kPicturePulse], pulseAlpha(t));
    drawBottomPicture(t);
}

// Offset of the chosen item: it dips, springs up 40 pixels and falls away.
int chosenItemDrop(int e) {
    if (e <= 4) return 10 * e;
    if (e <= 14) return 100 - 10 * e;
    return 10 * e - 200;
}

void drawMenu() {
    const int t = game.sceneFrame;
    const int m = game.menuTimer;
    const int e = game.exitCounter;
    const int32_t* images = game.sceneImages;

    drawTitleLayers(t);
    if (t > 220) {
        const int y = m <= 4 ? 360 - 10 * m : 260 + 10 * m;
        drawPictureAtAlpha(320, y, images[kPicturePulse], pulseAlpha(t));
    }
    drawBottomPicture(t);
    drawBlackAtAlpha(m < 24 ? 5 * m : 120);

    if (m > kMenuDeadTicks) {
        drawPicture(320, 240, images[kPicturePanel]);
        for (int i = 0; i < kMenuItems; ++i) {
            const int drop = i == game.menuCursor ? chosenItemDrop(e) : 0;
            drawPicture(320, kMenu[i].y + drop, images[kMenu[i].picture]);
        }
        drawPicture(180, 170 + 50 * game.menuCursor, images[kPictureCursor]);
        drawNumber(240, 10, 27, game.highScores[0].score, 7, game.pictures);
        drawNumber(430, 10, 27, game.highestStage, 2, game.pictures);
    }
    if (e >= 60) drawBlackAtAlpha(10 * e - 590);
}

void leaveTitle() {
    const int cursor = game.menuCursor < 0 ? 0 : game.menuCursor >= kMenuItems ? kMenuItems - 1
                                                                                : game.menuCursor;
    const int next = kMenu[cursor].scene;
    if (next < 0) {
        game.quitRequested = 1;
        return;
    }
    game.stageNumber = 0;
    game.score = 0;
    game.players[0].lives = game.settings.startLives;
    changeScene(next);
}

}  // namespace

void resetTitleScene() {
    game.menuShown = 0;
    game.sceneFrame = 0;
    game.menuTimer = 0;
    game.exitCounter = 0;
}

void updateTitleScene() {
    game.sceneFrame += 1;
    if (game.sceneFrame == kMusicTick) playSceneSound(kSoundMusic, kPlayLoop);
    if (game.menuShown == 1) game.menuTimer += 1;
    if (game.exitCounter > 0) game.exitCounter += 1;

    if (game.menuShown == 0)
        introInput();
    else if (game.menuTimer > kMenuDeadTicks && game.exitCounter == 0)
        menuInput();

    if (game.menuShown == 0)
        drawIntro();
    else
        drawMenu();

    if (game.exitCounter == kTitleExitTick) leaveTitle();
}
