#include "game/shell/help_overlay.h"

#include "media/media.h"

namespace {

constexpr int kHelpKey = 59;  // F1
constexpr const char* kHelpPicture = "21\\help.png";
constexpr int kShadeAlpha = 150;

// Every scene change releases all pictures, so the handle is checked before
// each use and the picture loaded again when it has gone.
int gHelpPicture = -1;

}  // namespace

void drawHelpOverlay() {
    if (!CheckKey(kHelpKey)) return;
    int w = 0, h = 0;
    if (gHelpPicture < 0 || GetImageSize(gHelpPicture, &w, &h) != 0) {
        gHelpPicture = LoadImage(kHelpPicture, 0);
        if (gHelpPicture < 0 || GetImageSize(gHelpPicture, &w, &h) != 0) return;
    }
    SetDrawArea(0, 0, kScreenWidth, kScreenHeight);
    SetBlendMode(kBlendAlpha, kShadeAlpha);
    DrawRectangle(0, 0, kScreenWidth, kScreenHeight, GetColorValue(0, 0, 0), 1);
    SetBlendMode(kBlendNone, 0);
    const int left = (kScreenWidth - w) / 2, top = (kScreenHeight - h) / 2;
    DrawImageQuad(left, top, left + w, top, left + w, top + h, left, top + h, gHelpPicture, 1);
}
