// Building a stage from its three files: blocks with the player's start and
// the placed actors, the items hidden in blocks, and the spawner scripts.
#include "game/play/play_scene.h"
#include "game/play/stage_files.h"

#include "game/play/actors.h"
#include "game/play/tile_map.h"
#include "game/state/globals.h"
#include "game/state/little_endian.h"

#include <cstdio>
#include <cstring>

namespace {

// Reads up to `size` bytes of a file into `buffer`; the number of bytes read
// (0 when the file is missing). Stage files are plain files beside the saved
// ones, read straight from the disk: a pack archive named after their folder
// does not stand in for them.
size_t readStageFile(const char* name, unsigned char* buffer, size_t size) {
    char path[kStageFileNameSize];
    std::snprintf(path, sizeof path, "%s", name);
    for (char* c = path; *c; ++c)
        if (*c == '\\') *c = '/';
    FILE* file = std::fopen(path, "rb");
    if (!file) return 0;
    size_t total = 0;
    while (total < size) {
        size_t got = std::fread(buffer + total, 1, size - total, file);
        if (got == 0) break;
        total += got;
    }
    std::fclose(file);
    return total;
}

// Whole values only: a file cut inside a value leaves that value as it was.
void decodeIntLayer(const unsigned char* bytes, size_t size, int32_t* layer) {
    if (!bytes) return;
    if (size > kStageLayerBytes) size = kStageLayerBytes;
    for (size_t i = 0; i < size / 4; ++i) layer[i] = static_cast<int32_t>(readLe32(bytes + 4 * i));
}

void decodeScripts(const unsigned char* bytes, size_t size) {
    if (!bytes) return;
    if (size > kStageScriptBytes) size = kStageScriptBytes;
    int16_t* values = &game.tileMap.cellScripts[0][0];
    for (size_t i = 0; i < size / 2; ++i) values[i] = static_cast<int16_t>(readLe16(bytes + 2 * i));
}

void resetPlayState() {
    game.timeLeft = 9999.0f;
    Player& p = game.players[0];
    p.x = 60;
    p.y = 320.0;
    p.vy = 0.0;
    p.state = kPlayerInAir;
    p.active = 1;
    p.lockTimer = 0;
    p.bumped = 0;
    p.stateTimer = 0;
    game.startCounter = 1;
    game.controlsLocked = 0;
    game.deathCounter = 0;
    game.clearCounter = 0;
    game.playFrame = 0;
    // Every slot starts the stage empty and zeroed. Freeing the slots alone
    // would leave the last stage's pause counters, ages and lifetimes for the
    // creatures placed or spawned into them, so that a stage played in a game
    // would not play as the same stage started afresh (nor as its replay).
    for (Actor& a : game.actors) a = Actor{};
    for (Actor& e : game.effects) e = Actor{};
}

// Stage block codes 4..99 and above 155 mean nothing and load as empty.
// Negative codes stay: they stand as solid cells that are never drawn, and
// every rule that reads a cell takes any value.
bool clearedOnLoad(int32_t code) {
    return (code > kBlockCracked && code < kStagePlayerStart) || code > kStageLastActor;
}

void copyScript(Actor& a, const int16_t* r) {
    for (int i = 0; i < kSpawnScriptEntries; ++i) a.spawnKinds[i] = r[i];
    a.spawnInterval = r[10];
    a.spawnLimit = r[11];
    for (int i = 0; i < kSpawnScriptEntries; ++i) a.spawnFacings[i] = r[12 + i];
    for (int i = 0; i < kSpawnScriptEntries; ++i) a.spawnLifetimes[i] = r[22 + i];
}

void placeActor(int cell, int kind, double x, double y) {
    int slot = findFreeActorSlot();
    if (slot < 0) return;  // the table is full: the placement is dropped
    Actor& a = game.actors[slot];
    a.kind = static_cast<int16_t>(kind);
    a.x = static_cast<float>(x);
    a.y = y;
    a.vy = 0.0;
    a.phase = 0;
    a.timer = 0;
    a.lifetime = 0;
    a.live = 1;
    a.spawnerSlot = -1;
    if (kind == kKindScriptedSpawner) copyScript(a, game.tileMap.cellScripts[cell]);
}

}  // namespace

void stageFileName(char (&out)[kStageFileNameSize], int stage, StageFile file) {
    static constexpr const char* kSuffixes[] = {".dat", "_.dat", "__.dat"};
    std::snprintf(out, sizeof out, "01\\%d%d%s", stage / 10, stage % 10,
                  kSuffixes[static_cast<int>(file)]);
}

void loadStageFrom(const StageBytes& bytes) {
    resetPlayState();

    TileMap& map = game.tileMap;
    std::memset(map.blocks, 0, sizeof map.blocks);
    std::memset(map.blockVariant, 0, sizeof map.blockVariant);
    std::memset(map.breakTimers, 0, sizeof map.breakTimers);
    std::memset(map.hiddenItems, 0, sizeof map.hiddenItems);

    decodeIntLayer(bytes.blocks, bytes.blocksSize, map.blocks);
    decodeIntLayer(bytes.hiddenItems, bytes.hiddenItemsSize, map.hiddenItems);
    decodeScripts(bytes.cellScripts, bytes.cellScriptsSize);

    for (int i = 0; i < kCellCount; ++i) {
        if (map.blocks[i] == kBlockBreakable) map.blockVariant[i] = 1;
        if (clearedOnLoad(map.blocks[i])) map.blocks[i] = kBlockEmpty;
    }

    Player& player = game.players[0];
    for (int i = 0; i < kCellCount; ++i) {
        int32_t code = map.blocks[i];
        if (code < kStagePlayerStart) continue;
        double x = kCellSize * (i / kGridRows) + 16.0;
        double y = kCellSize * (i % kGridRows) + 31.0;
        if (code > kStagePlayerStart) {
            placeActor(i, code - kStagePlayerStart, x, y);
        } else {
            player.x = static_cast<int16_t>(x);
            player.y = y;
            player.state = kPlayerInAir;
            player.airborne = 1;
        }
        map.blocks[i] = kBlockEmpty;
    }
}

void loadStage() {
    static unsigned char blocks[kStageLayerBytes];
    static unsigned char hiddenItems[kStageLayerBytes];
    static unsigned char cellScripts[kStageScriptBytes];
    StageBytes bytes;
    int stage = game.stageNumber;
    if (stage >= 0) {
        char name[kStageFileNameSize];
        stageFileName(name, stage, StageFile::Blocks);
        bytes.blocks = blocks;
        bytes.blocksSize = readStageFile(name, blocks, sizeof blocks);
        stageFileName(name, stage, StageFile::HiddenItems);
        bytes.hiddenItems = hiddenItems;
        bytes.hiddenItemsSize = readStageFile(name, hiddenItems, sizeof hiddenItems);
        stageFileName(name, stage, StageFile::CellScripts);
        bytes.cellScripts = cellScripts;
        bytes.cellScriptsSize = readStageFile(name, cellScripts, sizeof cellScripts);
    }
    loadStageFrom(bytes);
    notifyStageLoaded();
}
