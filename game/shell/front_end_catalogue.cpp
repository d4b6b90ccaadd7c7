// The front-end scenes' pictures and sounds, as tables: which files go into
// which slots for each scene. The movie scenes load nothing.
#include "game/shell/play_catalogue.h"

#include "game/state/globals.h"
#include "media/media.h"

#include <cstdio>

namespace {

enum class Table { SceneImages, Pictures, TileImages, SheetCells };

// `count` consecutive slots from `firstSlot` get the files numbered from
// `firstFile` in `pattern` (a printf format with one %d). A sheet cut into
// cells has cellsAcross > 0 and fills `count` cells from `firstSlot`.
struct ImageLoad {
    Table table;
    int firstSlot;
    int count;
    const char* pattern;
    int firstFile;
    int cellsAcross = 0;
    int cellsDown = 0;
};

constexpr ImageLoad kGameOverImages[] = {
    {Table::SceneImages, 0, 1, "03\\%d.bmp", 1},
    {Table::SceneImages, 1, 2, "20\\%d.png", 1},
    {Table::SceneImages, 3, 1, "02\\%d.bmp", 150},
    {Table::SceneImages, 4, 10, "04\\%d.png", 11},
    {Table::SceneImages, 15, 2, "20\\%d.png", 3},
    {Table::SceneImages, 17, 1, "04\\%d.png", 21},
    {Table::SheetCells, 5 * 10, 12, "00\\%02d.bmp", 2, 10, 2},
    {Table::Pictures, 0, 10, "04\\%d.png", 0},
    // The continue animation: row 0 and the first slot of row 1.
    {Table::SheetCells, 0, 11, "02\\%d.bmp", 71},
};

constexpr ImageLoad kTitleImages[] = {
    {Table::SceneImages, 0, 1, "21\\%d.png", 6},
    {Table::SceneImages, 1, 1, "21\\%d.png", 4},
    {Table::SceneImages, 2, 2, "21\\%d.png", 2},   // 2, 3
    {Table::SceneImages, 4, 1, "21\\%d.png", 5},
    {Table::SceneImages, 5, 1, "21\\%d.png", 8},
    {Table::SceneImages, 6, 1, "21\\%d.png", 7},
    {Table::SceneImages, 7, 1, "21\\%d.png", 1},
    {Table::SceneImages, 8, 1, "21\\%d.png", 9},
    {Table::SceneImages, 9, 1, "21\\%d.png", 13},
    {Table::SceneImages, 10, 1, "21\\%d.png", 11},
    {Table::SceneImages, 11, 1, "21\\%d.png", 10},
    {Table::SceneImages, 12, 3, "21\\%d.png", 14},  // 14, 15, 16
    {Table::Pictures, 0, 10, "04\\%d.png", 0},
};

constexpr ImageLoad kStageSelectImages[] = {
    {Table::SceneImages, 0, 1, "21\\%d.png", 8},
    {Table::TileImages, 0, 200, "22\\%d.png", 0},
};

constexpr ImageLoad kRankingImages[] = {
    {Table::SceneImages, 0, 1, "21\\%d.png", 8},
    {Table::SceneImages, 1, 11, "23\\%d.png", 0},
    {Table::SceneImages, 20, 13, "23\\%d.png", 20},
};

constexpr ImageLoad kSettingsImages[] = {
    {Table::SceneImages, 0, 1, "21\\%d.png", 8},
    {Table::SceneImages, 1, 1, "24\\%d.png", 0},
    {Table::SceneImages, 2, 4, "24\\%d.png", 2},
    {Table::SceneImages, 10, 12, "24\\%d.png", 10},
};

constexpr ImageLoad kInterludeImages[] = {
    {Table::SceneImages, 1, 10, "26\\%d.png", 1},
};

struct SceneImages {
    const ImageLoad* loads;
    int count;
};

template <int N>
constexpr SceneImages images(const ImageLoad (&loads)[N]) {
    return {loads, N};
}

// Indexed by scene number; scenes without pictures have none.
constexpr SceneImages kSceneImageLoads[] = {
    {nullptr, 0},                     // play: its own catalogue
    images(kGameOverImages),
    images(kTitleImages),
    images(kStageSelectImages),
    images(kRankingImages),
    images(kSettingsImages),
    {nullptr, 0},                     // opening movie
    {nullptr, 0},                     // start-up movie
    images(kInterludeImages),
    {nullptr, 0},                     // ending movie
    {nullptr, 0},                     // mid-game movie
};
constexpr int kSceneCount = static_cast<int>(sizeof kSceneImageLoads / sizeof kSceneImageLoads[0]);

struct TableSpan {
    int32_t* slots;
    int size;
};

TableSpan tableSpan(Table table) {
    switch (table) {
    case Table::SceneImages: return {game.sceneImages, 100};
    case Table::Pictures: return {game.pictures, 500};
    case Table::TileImages: return {game.tileImages, 500};
    case Table::SheetCells: return {&game.sheetCells[0][0], 400};
    }
    return {nullptr, 0};
}

void visitImages(const ImageLoad& load, PlayAssetVisitor& v) {
    const TableSpan span = tableSpan(load.table);
    if (load.firstSlot < 0 || load.firstSlot + load.count > span.size) return;
    char name[32];
    if (load.cellsAcross > 0) {
        std::snprintf(name, sizeof name, load.pattern, load.firstFile);
        v.sheet(span.slots + load.firstSlot, name, load.count, load.cellsAcross, load.cellsDown);
        return;
    }
    for (int i = 0; i < load.count; ++i) {
        std::snprintf(name, sizeof name, load.pattern, load.firstFile + i);
        v.picture(span.slots + load.firstSlot + i, name);
    }
}

// The menu scenes' sounds: their music in slot 0, then cancel, cursor and
// decide. Whether the music starts at once differs by scene.
struct MenuSounds {
    const char* music;
    bool musicStartsAtOnce;
};

constexpr MenuSounds kTitleSounds{"05\\1.ogg", false};  // the title starts it itself
constexpr MenuSounds kMenuSceneSounds{"05\\2.ogg", true};
constexpr MenuSounds kInterludeSounds{"05\\7.ogg", true};

void visitMenuSounds(const MenuSounds& sounds, PlayAssetVisitor& v) {
    v.sound(&game.soundSlots[0], sounds.music, true);
    v.sound(&game.soundSlots[1], "10\\20.wav", false);
    v.sound(&game.soundSlots[2], "10\\21.wav", false);
    v.sound(&game.soundSlots[3], "10\\22.wav", false);
    if (sounds.musicStartsAtOnce) v.start(&game.soundSlots[0], kPlayLoop);
}

}  // namespace

void visitFrontEndSceneImages(int scene, PlayAssetVisitor& visitor) {
    if (scene < 0 || scene >= kSceneCount) return;
    const SceneImages& loads = kSceneImageLoads[scene];
    for (int i = 0; i < loads.count; ++i) visitImages(loads.loads[i], visitor);
}

void visitFrontEndSceneSounds(int scene, PlayAssetVisitor& visitor) {
    switch (scene) {
    case kSceneGameOver:
        visitor.sound(&game.soundSlots[1], "20\\1.wav", false);
        visitor.sound(&game.soundSlots[2], "20\\2.wav", false);
        visitor.start(&game.soundSlots[2], kPlayOnce);
        break;
    case kSceneTitle:
        visitMenuSounds(kTitleSounds, visitor);
        break;
    case kSceneStageSelect:
    case kSceneRanking:
    case kSceneSettings:
        visitMenuSounds(kMenuSceneSounds, visitor);
        break;
    case kSceneInterlude:
        visitMenuSounds(kInterludeSounds, visitor);
        break;
    default:
        break;  // the movie scenes load nothing
    }
}
