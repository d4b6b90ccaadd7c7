// The play scene's pictures and sounds: which file goes into which slot.
#include "game/shell/play_catalogue.h"

#include "game/play/play_pictures.h"
#include "game/state/globals.h"
#include "media/media.h"

#include <cstdio>

namespace {

// "FF\N.ext" with the file number written plainly, or with two digits.
void fileName(char (&out)[32], int folder, int number, const char* extension,
              bool twoDigits = false) {
    std::snprintf(out, sizeof out, twoDigits ? "%02d\\%02d.%s" : "%02d\\%d.%s", folder, number,
                  extension);
}

void visitPicture(PlayAssetVisitor& v, int32_t* slot, int folder, int number, const char* extension,
                  bool twoDigits = false) {
    char name[32];
    fileName(name, folder, number, extension, twoDigits);
    v.picture(slot, name);
}

// The stage band (ten stages each, stage 50 alone) picks the background and
// the music; -1 outside 0..50.
int stageBand(int stage) {
    if (stage < 0 || stage > 50) return -1;
    return stage / 10;
}
constexpr int kBackgroundOfBand[] = {1, 2, 3, 4, 5, 6};
constexpr int kMusicOfBand[] = {3, 4, 5, 6, 8, 9};

struct Sheet {
    int fileNumber;
    int cells;
    int across;
    int down;
    int firstRow;
};
// Sheets of 32x32 cells in folder 00, each filling consecutive slots of
// sheetCells from the start of its row.
constexpr Sheet kSheets[] = {
    {1, 20, 10, 2, 0},  {2, 13, 10, 2, 5},  {3, 10, 10, 1, 7},   {4, 10, 10, 2, 8},
    {5, 6, 6, 1, 9},    {6, 4, 4, 1, 10},   {7, 3, 4, 1, 11},    {8, 6, 6, 1, 12},
    {9, 6, 6, 1, 13},   {10, 6, 6, 1, 14},  {11, 10, 10, 1, 15}, {12, 10, 10, 1, 16},
    {13, 7, 7, 1, 17},  {14, 1, 1, 1, 18},  {15, 2, 2, 1, 19},   {16, 10, 10, 10, 20},
    {-17, 1, 1, 1, 21},  // 00\17.png, a single picture
    {17, 6, 6, 1, 22},  {18, 6, 6, 1, 23},  {21, 10, 10, 1, 26}, {22, 10, 10, 1, 27},
    {23, 6, 6, 1, 28},  {24, 6, 6, 1, 29},  {19, 13, 10, 2, 34}, {20, 13, 10, 2, 36},
};

struct PictureRun {
    int firstSlot;
    int lastSlot;
    int folder;
    int firstFile;
};
// pictures[firstSlot..lastSlot] = folder\firstFile.png onwards.
constexpr PictureRun kPictureRuns[] = {
    {0, 10, 4, 0},     {11, 11, 19, 1},  {12, 15, 4, 22},  {16, 16, 4, 21},
    {17, 17, 18, 1},   {18, 18, 17, 1},  {19, 19, 16, 1},  {20, 29, 4, 11},
    {30, 34, 4, 26},   {40, 97, 4, 31},  {100, 102, 4, 89}, {110, 140, 4, 92},
    {141, 168, 4, 124}, {170, 171, 4, 152},
};

constexpr int kSheetRows = 40;
constexpr int kSheetRowSlots = 10;

void visitSheet(PlayAssetVisitor& v, const Sheet& sheet) {
    static_assert(sizeof game.sheetCells == sizeof(int32_t) * kSheetRows * kSheetRowSlots);
    int32_t* first = &game.sheetCells[sheet.firstRow][0];
    if (sheet.fileNumber < 0) {
        visitPicture(v, first, 0, -sheet.fileNumber, "png", true);
        return;
    }
    char name[32];
    fileName(name, 0, sheet.fileNumber, "bmp", true);
    v.sheet(first, name, sheet.cells, sheet.across, sheet.down);
}

void visitSound(PlayAssetVisitor& v, int32_t* slot, int folder, int number, const char* extension,
                bool streamed) {
    char name[32];
    fileName(name, folder, number, extension, folder == 10);
    v.sound(slot, name, streamed);
}

// Has the media layer's worker decode what the requests would load.
class ScenePreparer final : public PlayAssetVisitor {
public:
    void picture(int32_t*, const char* name) override { PrepareImage(name); }
    void sheet(int32_t*, const char* name, int, int, int) override { PrepareImage(name); }
    void sound(int32_t*, const char* name, bool streamed) override {
        if (!streamed) PrepareSound(name);  // music is decoded as it plays
    }
};

void visitStageBackground(int stage, PlayAssetVisitor& v) {
    int band = stageBand(stage);
    if (band >= 0) visitPicture(v, &game.sceneImages[0], 3, kBackgroundOfBand[band], "bmp");
}

}  // namespace

void visitPlaySceneImages(int stage, PlayAssetVisitor& v) {
    visitStageBackground(stage, v);

    for (int n = 0; n < 400; ++n) visitPicture(v, &game.tileImages[n], 2, n, "bmp");

    for (int n = 1; n <= 8; ++n) visitPicture(v, &game.sheetCells[30][n - 1], 0, n, "png", true);
    visitPicture(v, &game.sheetCells[31][0], 0, 10, "png", true);
    visitPicture(v, &game.sheetCells[31][1], 0, 11, "png", true);
    visitPicture(v, &game.sheetCells[32][0], 0, 20, "png", true);

    for (const Sheet& sheet : kSheets) visitSheet(v, sheet);

    for (const PictureRun& run : kPictureRuns)
        for (int slot = run.firstSlot; slot <= run.lastSlot; ++slot)
            visitPicture(v, &game.pictures[slot], run.folder, run.firstFile + slot - run.firstSlot,
                         "png");
}

void visitPlaySceneSounds(int stage, PlayAssetVisitor& v) {
    for (int i = 0; i < 4; ++i) visitSound(v, &game.soundSlots[i], 10, i + 1, "wav", false);
    for (int i = 0; i < 24; ++i) {
        if (i == 19) continue;
        // Slot 4 repeats the sound of slot 3.
        int file = i == 4 ? 33 : 30 + i;
        visitSound(v, &game.effectSounds[i], 10, file, "wav", false);
    }
    visitSound(v, &game.stageStartSound, 10, 5, "wav", false);
    visitSound(v, &game.exitReachedSound, 10, 6, "wav", false);
    visitSound(v, &game.timeUpSound, 10, 7, "wav", false);

    int band = stageBand(stage);
    if (band >= 0) visitSound(v, &game.stageMusic, 5, kMusicOfBand[band], "ogg", true);
}

void SceneLoader::picture(int32_t* slot, const char* name) { *slot = LoadImage(name, 0); }

void SceneLoader::sheet(int32_t* first, const char* name, int cells, int across, int down) {
    LoadImageTiles(name, cells, across, down, 32, 32, first, 0);
}

void SceneLoader::sound(int32_t* slot, const char* name, bool streamed) {
    if (streamed) SetSoundLoadMode(2);
    *slot = LoadSound(name, 3, -1);
    if (streamed) SetSoundLoadMode(0);
}

void SceneLoader::start(int32_t* slot, int playType) { PlaySound(*slot, playType, 1); }

void preparePlayScene(int stage) {
    ScenePreparer preparer;
    visitPlaySceneSounds(stage, preparer);
    visitPlaySceneImages(stage, preparer);
    // The intro's overlay loads a picture a tick from the stage's first
    // tick on (frame 1 is in the set).
    for (int frame = 2; frame <= kIntroOverlayFrames; ++frame)
        visitPicture(preparer, nullptr, kIntroOverlayFolder, frame, "png");
    visitStageBackground(stage + 1, preparer);
}

void prepareNextStageBackground(int stage) {
    // Stages of one band share their background: it is loaded already.
    if (stageBand(stage + 1) == stageBand(stage)) return;
    ScenePreparer preparer;
    visitStageBackground(stage + 1, preparer);
}
