// Image handles and drawing. (Placeholder: nothing loads or draws yet.)
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/media.h"

namespace media::images {
bool Start() { return true; }
void Stop() {}
void OnDisplayRecreated() {}
void OnRenderTargetsReset() {}
}  // namespace media::images

int LoadImage(const char*, int) { return -1; }
int LoadImageTiles(const char*, int, int, int, int, int, int*, int) { return -1; }
int DeleteImage(int, int) { return -1; }
int DeleteAllImages(int) { return 0; }
int GetImageSize(int, int*, int*) { return -1; }
int SetTransparentColor(int, int, int) { return 0; }
int SetDrawArea(int, int, int, int) { return 0; }
int SetBlendMode(int, int) { return 0; }
int SetBrightness(int, int, int) { return 0; }
int DrawImageQuad(int, int, int, int, int, int, int, int, int, int) { return -1; }
int DrawRectangle(int, int, int, int, int, int) { return 0; }
int DrawText(int, int, const char*, int, int) { return 0; }
int GetColorValue(int r, int g, int b) { return ((r & 255) << 16) | ((g & 255) << 8) | (b & 255); }
int SetDefaultFontSize(int) { return 0; }
int SaveScreenshotPng(const char*) { return -1; }
