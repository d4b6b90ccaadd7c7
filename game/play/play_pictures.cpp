#include "game/play/play_pictures.h"

#include "game/play/draw_quad.h"
#include "game/state/globals.h"
#include "media/media.h"

#include <cstdio>

namespace {

template <size_t N>
int lookup(const int32_t (&table)[N], int index) {
    return index >= 0 && index < static_cast<int>(N) ? table[index] : -1;
}

}  // namespace

int tileImage(int n) { return lookup(game.tileImages, n); }
int picture(int slot) { return lookup(game.pictures, slot); }

int sheetCell(int firstRow, int cell) {
    constexpr int kSlots = sizeof game.sheetCells / sizeof game.sheetCells[0][0];
    const int index = firstRow * 10 + cell;
    return index >= 0 && index < kSlots ? (&game.sheetCells[0][0])[index] : -1;
}

PictureSize pictureSize(int handle) {
    PictureSize size{0, 0};
    GetImageSize(handle, &size.w, &size.h);
    return size;
}

void additive(int p) { SetBlendMode(kBlendAdd, p); }
void alpha(int p) { SetBlendMode(kBlendAlpha, p); }
void opaque() { SetBlendMode(kBlendNone, 0); }

void drawAnchored(int handle, double x, double y, int w, int h, int flip, int angle) {
    drawQuad(static_cast<int>(x), static_cast<int>(y - h / 2 + 1), w, h, 0, 0, angle, handle, 1,
             flip);
}

void loadOverlayFrame(int slot, int folder, int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "%02d\\%d.png", folder, frame);
    DeleteImage(game.pictures[slot], 0);
    game.pictures[slot] = LoadImage(name, 0);
}
