// Loading stages: the three file layouts, cleaning, placement, missing and
// broken files, and the cell rules at the edge of the grid.
#include "game/play/stage_files.h"
#include "game/play/tile_map.h"
#include "media/media.h"
#include "tests/files/archive_test_helpers.h"
#include "tests/play/play_fixture.h"
#include "tests/support/test_support.h"

#include <filesystem>
#include <fstream>

using namespace play_testing;
using stage_builder::StageBuilder;

namespace {

class StageLoadTest : public PlayTest {};

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST_F(StageLoadTest, FileNamesUseTwoDigitsInFolder01) {
    char name[kStageFileNameSize];
    stageFileName(name, 7, StageFile::Blocks);
    EXPECT_STREQ(name, "01\\07.dat");
    stageFileName(name, 10, StageFile::HiddenItems);
    EXPECT_STREQ(name, "01\\10_.dat");
    stageFileName(name, 0, StageFile::CellScripts);
    EXPECT_STREQ(name, "01\\00__.dat");
}

TEST_F(StageLoadTest, ReadsTheThreeFilesOfTheCurrentStage) {
    testing_support::ScratchDirectory dir("stage_files");
    StageBuilder stage = room({"   2               "});
    stage.block(5, 10, 2).block(6, 10, 3).actor(3, 12, 43).block(8, 12, 100);
    stage.hiddenItem(5, 10, 48);
    stage.scriptValue(9, 5, 0, 12).block(9, 5, 135);
    stage.writeFiles(dir.path(), 12);
    StageBuilder other;  // stage 11 must not be read
    other.block(1, 1, 1);
    other.writeFiles(dir.path(), 11);

    game.stageNumber = 12;
    loadStage();

    EXPECT_EQ(blockAtCell(0, 13), 1);
    EXPECT_EQ(blockAtCell(1, 1), 0);
    EXPECT_EQ(blockAtCell(5, 10), 2);
    EXPECT_EQ(game.tileMap.blockVariant[5 * 15 + 10], 1);
    EXPECT_EQ(blockAtCell(6, 10), 3);
    EXPECT_EQ(game.tileMap.blockVariant[6 * 15 + 10], 0);
    EXPECT_EQ(game.tileMap.hiddenItems[5 * 15 + 10], 148);
    EXPECT_EQ(player().x, 8 * 32 + 16);
    EXPECT_EQ(player().y, 12 * 32 + 31);
    EXPECT_EQ(liveActors(43), 1);
    EXPECT_EQ(liveActors(44), 1);
    EXPECT_EQ(liveActors(35), 1);
    EXPECT_EQ(game.tileMap.cellScripts[9 * 15 + 5][0], 12);
}

TEST_F(StageLoadTest, MissingFilesGiveAnEmptyScreen) {
    testing_support::ScratchDirectory dir("no_files");
    game.tileMap.blocks[20] = 1;
    game.actors[3].live = 1;
    game.effects[7].live = 1;
    game.stageNumber = 3;
    loadStage();
    for (int i = 0; i < kCellCount; ++i) ASSERT_EQ(game.tileMap.blocks[i], 0) << i;
    EXPECT_EQ(player().x, 60);
    EXPECT_EQ(player().y, 320.0);
    EXPECT_EQ(player().state, kPlayerInAir);
    EXPECT_EQ(player().active, 1);
    EXPECT_EQ(game.actors[3].live, 0);
    EXPECT_EQ(game.effects[7].live, 0);
    EXPECT_EQ(game.startCounter, 1);
    EXPECT_EQ(game.timeLeft, 9999.0f);
}

TEST_F(StageLoadTest, ShortAndOversizedFilesAreReadOnlyAsFarAsTheyGo) {
    testing_support::ScratchDirectory dir("short_files");
    std::filesystem::create_directories("01");
    StageBuilder stage;
    stage.block(0, 0, 1).block(0, 1, 2).block(39, 14, 1);
    std::vector<unsigned char> blocks = stage.blockFile();
    blocks.resize(6);  // one whole value and half of the next
    writeFile("01/04.dat", blocks);
    std::vector<unsigned char> hidden = stage.hiddenItemFile();
    hidden.resize(5000, 0xFF);  // longer than the layer
    writeFile("01/04_.dat", hidden);
    game.tileMap.cellScripts[599][31] = 77;  // kept: the script file is missing

    game.stageNumber = 4;
    loadStage();
    EXPECT_EQ(blockAtCell(0, 0), 1);
    EXPECT_EQ(blockAtCell(0, 1), 0);
    EXPECT_EQ(game.tileMap.hiddenItems[599], 0);
    EXPECT_EQ(game.tileMap.cellScripts[599][31], 77);
}

TEST_F(StageLoadTest, StageFilesAreReadFromTheDiskEvenBesideAnArchiveOfTheirFolder) {
    testing_support::ScratchDirectory dir("stage_beside_archive");
    testing_support::HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    SetPackArchiveExtension("lmt");
    StageBuilder loose = room();
    loose.block(5, 10, 2).block(8, 12, 100);
    loose.writeFiles(dir.path(), 7);
    StageBuilder packed = room();
    packed.block(6, 10, 1).block(3, 12, 100).actor(4, 12, 43);
    using files_test::File;
    files_test::WriteFile("01.lmt", files_test::MakeArchive(files_test::Dir(
                                        "", {File("07.dat", packed.blockFile()),
                                             File("07_.dat", packed.hiddenItemFile()),
                                             File("07__.dat", packed.cellScriptFile())})));
    // The archive is there for the file layer: a picture in it would be read.
    const int archived = FileOpen("01\\07.dat", 0);
    ASSERT_NE(archived, 0);
    FileClose(archived);

    game.stageNumber = 7;
    loadStage();
    EXPECT_EQ(blockAtCell(5, 10), 2);
    EXPECT_EQ(blockAtCell(6, 10), 0);
    EXPECT_EQ(player().x, 8 * 32 + 16);
    EXPECT_EQ(liveActors(43), 0);
}

TEST_F(StageLoadTest, NegativeStageNumberReadsNothing) {
    testing_support::ScratchDirectory dir("negative");
    room().writeFiles(dir.path(), 0);
    game.stageNumber = -1;
    loadStage();
    EXPECT_EQ(blockAtCell(0, 13), 0);
}

TEST_F(StageLoadTest, CodesFourToNinetyNineAndAbove155LoadAsEmpty) {
    StageBuilder stage;
    const int cleared[] = {4, 57, 99, 156, 100000, 2147483647};
    for (int i = 0; i < 6; ++i) stage.block(1, 1 + i, cleared[i]);
    stage.block(2, 1, 155).block(2, 2, 1).block(2, 3, 3).block(2, 4, 2);
    stage.load();
    for (int i = 0; i < 6; ++i) EXPECT_EQ(blockAtCell(1, 1 + i), 0) << cleared[i];
    EXPECT_EQ(blockAtCell(2, 1), 0) << "the placement is taken out";
    EXPECT_EQ(liveActors(55), 1);
    int placed = 0;
    for (const Actor& a : game.actors) placed += a.live != 0;
    EXPECT_EQ(placed, 1) << "the cleared codes place nothing";
    EXPECT_EQ(blockAtCell(2, 2), 1);
    EXPECT_EQ(blockAtCell(2, 3), 3);
    EXPECT_EQ(blockAtCell(2, 4), 2);
}

TEST_F(StageLoadTest, NegativeCodesStayAsSolidUndrawnCells) {
    // A column of negative codes under the start: she lands on them and a
    // wall of them holds her back.
    StageBuilder stage = room();
    stage.block(5, 12, -1).block(6, 12, -7).block(7, 12, -2147483647 - 1);
    stage.block(9, 12, -3).block(9, 11, -3);
    stage.block(6, 5, 100);
    start(stage);
    EXPECT_EQ(blockAtCell(5, 12), -1);
    EXPECT_EQ(blockAtCell(6, 12), -7);
    EXPECT_EQ(blockAtCell(7, 12), -2147483647 - 1);
    EXPECT_EQ(game.tileMap.blockVariant[6 * 15 + 12], 0);
    tickUntil([] { return !player().airborne; }, 300);
    EXPECT_EQ(static_cast<int>(player().y), 12 * 32 - 2) << "standing on the negative cells";
    tick(120, Pad{1});
    EXPECT_EQ(player().x, 9 * 32 - 12 - 1) << "held back by the negative wall";
    EXPECT_EQ(blockAtCell(9, 12), -3);
}

TEST_F(StageLoadTest, PlacementFillsSlotsColumnByColumn) {
    StageBuilder stage;
    stage.actor(4, 9, 43).actor(4, 2, 44).actor(2, 12, 45);
    stage.block(6, 6, 100).block(3, 3, 100);  // the last start in scan order wins
    stage.load();
    EXPECT_EQ(game.actors[0].kind, 45);
    EXPECT_EQ(game.actors[1].kind, 44);
    EXPECT_EQ(game.actors[2].kind, 43);
    EXPECT_FLOAT_EQ(game.actors[1].x, 4 * 32 + 16);
    EXPECT_DOUBLE_EQ(game.actors[1].y, 2 * 32 + 31);
    EXPECT_EQ(game.actors[1].spawnerSlot, -1);
    EXPECT_EQ(player().x, 6 * 32 + 16);
    EXPECT_EQ(player().airborne, 1);
    for (int i = 0; i < kCellCount; ++i) ASSERT_LT(game.tileMap.blocks[i], 100);
}

TEST_F(StageLoadTest, ScriptedSpawnerCopiesItsCellRecord) {
    stage_builder::SpawnScript script;
    script.kinds = {12, 16, 0};
    script.interval = 60;
    script.limit = 3;
    script.facings = {1, 0, 1};
    script.lifetimes = {300, 400, 500};
    StageBuilder stage;
    stage.actor(7, 7, 35).script(7, 7, script).scriptValue(7, 8, 0, 99);
    stage.load();
    const Actor& a = game.actors[0];
    EXPECT_EQ(a.kind, 35);
    EXPECT_EQ(a.spawnKinds[0], 12);
    EXPECT_EQ(a.spawnKinds[1], 16);
    EXPECT_EQ(a.spawnInterval, 60);
    EXPECT_EQ(a.spawnLimit, 3);
    EXPECT_EQ(a.spawnFacings[0], 1);
    EXPECT_EQ(a.spawnLifetimes[2], 500);
}

TEST_F(StageLoadTest, SurplusPlacementsBeyondTheTableAreCleared) {
    StageBuilder stage;
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 15; ++r) stage.actor(c, r, 43);  // 120 placements
    stage.load();
    EXPECT_EQ(liveActors(43), 100);
    for (int i = 0; i < kCellCount; ++i) ASSERT_EQ(game.tileMap.blocks[i], 0) << i;
}

// Nothing the last stage's creatures and effects left in their slots reaches
// the next stage: a walker placed into a slot whose last occupant was paused,
// old or short-lived starts as in a fresh game.
TEST_F(StageLoadTest, LoadFreesAndZeroesBothTablesAndKeepsPauseAndHeldActors) {
    for (Actor& a : game.actors) {
        a.live = 1;
        a.dying = 1;
        a.vy = 4;
        a.airborne = 1;
        a.facing = 1;
        a.frame = 9;
        a.age = 500;
        a.lifetime = 30;
        a.pose = 2;
        a.spawnerSlot = 3;
    }
    for (Actor& e : game.effects) {
        e.live = 1;
        e.persist = 1;
        e.angle = 123;
    }
    game.pauseCounter = 12;
    game.actorsHeld = 1;
    game.clearCounter = 300;
    game.deathCounter = 85;
    game.controlsLocked = 1;
    game.tileMap.placeTimers[40] = 7;
    StageBuilder({"##########", "#P.....W.#", "##########"}).load();
    int walkers = 0;
    for (const Actor& a : game.actors) {
        walkers += a.live == 1 && a.kind == 12;
        if (a.live == 1) {
            ASSERT_EQ(a.spawnerSlot, -1);
            ASSERT_TRUE(a.kind == 12 || a.kind == 7 || a.kind == 8) << a.kind;
        }
        ASSERT_EQ(a.dying, 0);
        ASSERT_EQ(a.vy, 0.0);
        ASSERT_EQ(a.airborne, 0);
        ASSERT_EQ(a.facing, 0);
        ASSERT_EQ(a.frame, 0);
        ASSERT_EQ(a.age, 0);
        ASSERT_EQ(a.lifetime, 0);
        ASSERT_EQ(a.pose, 0);
    }
    EXPECT_EQ(walkers, 1);
    for (const Actor& e : game.effects) {
        ASSERT_EQ(e.live, 0);
        ASSERT_EQ(e.persist, 0);
        ASSERT_EQ(e.angle, 0);
    }
    EXPECT_EQ(game.pauseCounter, 12);
    EXPECT_EQ(game.actorsHeld, 1);
    EXPECT_EQ(game.clearCounter, 0);
    EXPECT_EQ(game.deathCounter, 0);
    EXPECT_EQ(game.controlsLocked, 0);
    EXPECT_EQ(game.tileMap.placeTimers[40], 7);
}

TEST_F(StageLoadTest, CellsOutsideTheGridReadEmptyAndIgnoreWrites) {
    StageBuilder stage;
    for (int r = 0; r < 15; ++r) stage.block(39, r, 1).block(0, r, 1);
    stage.load();
    EXPECT_TRUE(solidAtPoint(39 * 32 + 5, 100));
    EXPECT_FALSE(solidAtPoint(40 * 32 + 5, 100));
    EXPECT_FALSE(solidAtPoint(100, -40));
    EXPECT_FALSE(solidAtPoint(100, 15 * 32));
    EXPECT_FALSE(solidAtPoint(1.0e300, 1.0e300));
    // Small negative coordinates truncate toward zero into column 0.
    EXPECT_TRUE(solidAtPoint(-5, 100));
    EXPECT_FALSE(solidAtPoint(-40, 100));
    setBlock(40, 3, 1);
    setBlock(-1, 3, 1);
    setBlock(3, 15, 1);
    breakCell(50, 50);
    for (int i = 0; i < kCellCount; ++i)
        if (i / 15 != 0 && i / 15 != 39) {
            ASSERT_EQ(game.tileMap.blocks[i], 0) << i;
        }
}

TEST_F(StageLoadTest, CellTimersCountDownToZero) {
    StageBuilder().load();
    game.tileMap.placeTimers[3] = 2;
    game.tileMap.breakTimers[4] = 1;
    countDownCellTimers();
    EXPECT_EQ(game.tileMap.placeTimers[3], 1);
    EXPECT_EQ(game.tileMap.breakTimers[4], 0);
    countDownCellTimers();
    countDownCellTimers();
    EXPECT_EQ(game.tileMap.placeTimers[3], 0);
    EXPECT_EQ(game.tileMap.breakTimers[4], 0);
}

}  // namespace

namespace {

// Stage files of random bytes (and random codes that mean something) load
// into a clean grid and play without going astray.
TEST_F(StageLoadTest, RandomStageFilesLoadCleanAndPlay) {
    uint32_t seed = 99;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed;
    };
    for (int round = 0; round < 40; ++round) {
        SetUp();
        std::vector<unsigned char> blocks(kStageLayerBytes);
        std::vector<unsigned char> hidden(kStageLayerBytes);
        std::vector<unsigned char> scripts(kStageScriptBytes);
        for (auto& b : hidden) b = static_cast<unsigned char>(next() >> 24);
        for (auto& b : scripts) b = static_cast<unsigned char>(next() >> 24);
        for (size_t i = 0; i < blocks.size(); i += 4) {
            // Half the cells hold a plausible code, the rest random bytes.
            uint32_t v = next();
            uint32_t code = (v & 1) ? (v >> 8) % 160 : v;
            for (int k = 0; k < 4; ++k) blocks[i + k] = static_cast<unsigned char>(code >> (8 * k));
        }
        StageBytes bytes;
        bytes.blocks = blocks.data();
        bytes.blocksSize = blocks.size() - (round % 3) * 7;
        bytes.hiddenItems = hidden.data();
        bytes.hiddenItemsSize = hidden.size();
        bytes.cellScripts = scripts.data();
        bytes.cellScriptsSize = scripts.size();
        loadStageFrom(bytes);
        for (int i = 0; i < kCellCount; ++i) ASSERT_LE(game.tileMap.blocks[i], 3);
        for (int t = 0; t < 400; ++t) {
            Pad pad;
            uint32_t r = next();
            pad.horizontal = static_cast<int>(r % 3) - 1;
            pad.vertical = static_cast<int>((r >> 4) % 3) - 1;
            pad.magic = (r >> 8) % 5 == 0;
            pad.shot = (r >> 12) % 7 == 0;
            pad.spell = (r >> 16) % 11 == 0;
            player().magic = 3;
            tick(1, pad);
        }
        EXPECT_EQ(game.scene, kScenePlay);
        EXPECT_GE(game.freezeCounter, 0);
    }
}

}  // namespace
