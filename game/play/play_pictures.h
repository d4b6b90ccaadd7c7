// Where the play scene's pictures sit in the handle tables, and the small
// helpers every drawing routine of the play scene shares.
#pragma once

#include <cstdint>

// First sheetCells row of each sheet of folder 00 (a sheet fills consecutive
// slots from the start of its row).
namespace sheet {
constexpr int k01 = 0;    // blocks
constexpr int k02 = 5;
constexpr int k03 = 7;
constexpr int k04 = 8;
constexpr int k05 = 9;
constexpr int k06 = 10;
constexpr int k07 = 11;
constexpr int k08 = 12;
constexpr int k09 = 13;
constexpr int k10 = 14;
constexpr int k11 = 15;
constexpr int k12 = 16;
constexpr int k13 = 17;
constexpr int k14 = 18;
constexpr int k15 = 19;
constexpr int k16 = 20;   // items
constexpr int k17Png = 21;
constexpr int k17 = 22;
constexpr int k18 = 23;
constexpr int k21 = 26;
constexpr int k22 = 27;
constexpr int k23 = 28;
constexpr int k24 = 29;
constexpr int kKeyFrames = 30;   // 00\01.png .. 00\08.png
constexpr int kExitDoors = 31;   // 00\10.png closed, 00\11.png open
constexpr int k19 = 34;
constexpr int k20 = 36;
}  // namespace sheet

// Slots of the pictures table (04\N.png and the overlay frames).
namespace pic {
constexpr int kDigits = 0;          // 04\0.png .. 04\9.png
constexpr int kMagicIcon = 10;      // 04\10.png
constexpr int kIntroOverlay = 11;   // 19\N.png, one frame at a time
constexpr int kIntroBand = 12;      // 04\22.png
constexpr int kIntroStage = 14;     // 04\24.png
constexpr int kClearBanner = 15;    // 04\25.png
constexpr int kIris = 16;           // 04\21.png
constexpr int kKeyFlash = 17;       // 18\N.png
constexpr int kKeyArrival = 18;     // 17\N.png
constexpr int kSpellBackdrop = 19;  // 16\N.png
constexpr int kLargeDigits = 20;    // 04\11.png .. 04\20.png
constexpr int kShotPieces = 30;     // 04\26.png ..
constexpr int kSpark = 40;          // 04\31.png ..
constexpr int kScoreRise = 80;      // 04\71.png ..
constexpr int kStarB = 100;         // 04\89.png
constexpr int kStarA = 101;         // 04\90.png
constexpr int kPause = 102;         // 04\91.png
constexpr int kBurst = 110;         // 04\92.png ..
constexpr int kRing = 141;          // 04\124.png ..
constexpr int kCornerMarker = 170;  // 04\152.png
constexpr int kCornerMarkerLit = 171;
}  // namespace pic

// Handles by table position; a position outside its table gives -1, which
// every draw refuses.
int tileImage(int n);
int picture(int slot);
int sheetCell(int firstRow, int cell);

// Width and height of a picture; 0 x 0 when it is not loaded.
struct PictureSize {
    int w;
    int h;
};
PictureSize pictureSize(int handle);

// Blending as the play scene uses it; every blended picture is followed by
// opaque() again.
void additive(int p);
void alpha(int p);
void opaque();

// A picture of height h anchored at its bottom: centred at (x, y - h/2 + 1).
void drawAnchored(int handle, double x, double y, int w, int h, int flip, int angle = 0);

// The overlay animations keep one picture at a time in their slot: the old
// one is deleted and the numbered frame of `folder` loaded in its place.
void loadOverlayFrame(int slot, int folder, int frame);

// The stage intro's overlay: frames 1.. of folder 19, one a tick.
constexpr int kIntroOverlayFolder = 19;
constexpr int kIntroOverlayFrames = 68;
