#include "game/scenes/front_end_framework.h"

#include "game/play/draw_quad.h"
#include "game/state/globals.h"
#include "game/state/scene_entry.h"
#include "media/media.h"

void advanceMenuCounters() {
    game.sceneFrame += 1;
    if (game.exitCounter > 0) game.exitCounter += 1;
    if (game.fadeCounter > 0) game.fadeCounter -= 1;
}

bool freshPress(int button) {
    const int32_t now = game.input[0].button[button];
    const bool fresh = now == 1 && game.prevButtons[0][button] == 0;
    game.prevButtons[0][button] = now;
    return fresh;
}

bool freshVertical(int value) {
    return game.input[0].vertical == value && game.prevDirection[0].vertical != value;
}

bool freshHorizontal(int value) {
    return game.input[0].horizontal == value && game.prevDirection[0].horizontal != value;
}

void rememberDirections() {
    game.prevDirection[0].vertical = game.input[0].vertical;
    game.prevDirection[0].horizontal = game.input[0].horizontal;
}

void playSceneSound(int slot, int playType) {
    game.sceneSoundStarts[slot] += 1;
    PlaySound(game.soundSlots[slot], playType, 1);
}

void playMenuSound(int slot) { playSceneSound(slot, kPlayOnce); }

void changeScene(int scene) {
    game.scene = scene;
    enterCurrentScene();
}

void setAlpha(int parameter) { SetBlendMode(kBlendAlpha, parameter); }
void setAdditive(int parameter) { SetBlendMode(kBlendAdd, parameter); }
void setOpaque() { SetBlendMode(kBlendNone, 0); }

void drawPictureSized(int x, int y, int w, int h, int image) {
    drawQuad(x, y, w, h, 0, 0, 0, image, 1, 0);
}

void drawPicture(int x, int y, int image) {
    const PictureSize size = pictureSize(image);
    drawPictureSized(x, y, size.w, size.h, image);
}

void drawPictureAsSizeOf(int x, int y, int image, int sizeOf) {
    const PictureSize size = pictureSize(sizeOf);
    drawPictureSized(x, y, size.w, size.h, image);
}

void drawPictureAtAlpha(int x, int y, int image, int alpha) {
    setAlpha(alpha);
    drawPicture(x, y, image);
    setOpaque();
}

void DrawFullScreenGrey(int v) {
    DrawRectangle(0, 0, kScreenWidth, kScreenHeight, GetColorValue(v, v, v), 1);
}

void drawBlackAtAlpha(int alpha) {
    setAlpha(alpha);
    DrawFullScreenGrey(0);
    setOpaque();
}

void DrawFades() {
    if (game.exitCounter > 0) drawBlackAtAlpha(10 * game.exitCounter);
    if (game.fadeCounter > 0) drawBlackAtAlpha(10 * game.fadeCounter);
}

BackdropCentres scrollingBackdropCentres(int sceneFrame, int w, int h) {
    int a = sceneFrame % 640;
    if (a < 0) a += 640;
    const int right = static_cast<int>(320 + 1.2 * a);
    const int left = static_cast<int>(320 + 1.2 * a - w);
    const int top = 240 - a;
    return {{right, left, right, left}, {top, top, top + h, top + h}};
}

void DrawScrollingBackdrop(int picture) {
    const PictureSize size = pictureSize(picture);
    const BackdropCentres c = scrollingBackdropCentres(game.sceneFrame, size.w, size.h);
    for (int i = 0; i < 4; ++i) drawPictureSized(c.x[i], c.y[i], size.w, size.h, picture);
}

void DrawDigit(int x, int y, int d, const int32_t* table) {
    // A negative value read from a saved file gives negative remainders.
    if (d < 0 || d > 9) return;
    drawPicture(x, y, table[d]);
}

void drawNumber(int x, int step, int y, int value, int digits, const int32_t* table) {
    int power = 1;
    for (int k = 1; k < digits; ++k) power *= 10;
    for (int j = 0; j < digits; ++j, power /= 10) DrawDigit(x + step * j, y, value / power % 10, table);
}
