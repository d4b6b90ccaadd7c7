// Replay files, the input-script language, and recording in the game.
#include "game/play/play_scene.h"
#include "game/play/state_hash.h"
#include "game/shell/replay.h"
#include "game/shell/replay_recorder.h"
#include "game/state/globals.h"
#include "tests/support/test_support.h"
#include "tools/runner/input_script.h"
#include "tools/runner/stage_run.h"
#include "tools/pack/archive_writer.h"
#include "tools/stagec/stage_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

Replay sampleReplay() {
    Replay r;
    r.start.stage = 7;
    r.start.randomState = 0xDEADBEEF;
    r.start.score = 12345;
    r.start.noTimeLimit = 1;
    r.start.lives = 3;
    r.start.magic = 2;
    r.start.facing = 1;
    r.start.prevButtons[1] = 1;
    r.start.prevVertical = -1;
    r.start.prevHorizontal = 1;
    r.start.crouching = 1;
    for (int i = 0; i < 300; ++i) {
        InputState in{};
        in.horizontal = i % 3 - 1;
        in.vertical = i / 3 % 3 - 1;
        for (int b = 0; b < 8; ++b) in.button[b] = (i * 37 >> b) & 1;
        r.ticks.push_back(packReplayInput(in));
    }
    return r;
}

TEST(ReplayFile, RoundTrip) {
    Replay r = sampleReplay();
    std::vector<unsigned char> bytes = encodeReplay(r);
    ASSERT_EQ(bytes.size(), kReplayHeaderSize + 2 * r.ticks.size());
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "LRPL");
    Replay back;
    std::string error;
    ASSERT_TRUE(decodeReplay(bytes.data(), bytes.size(), back, error)) << error;
    EXPECT_EQ(back.ticks, r.ticks);
    EXPECT_EQ(encodeReplay(back), bytes);
    EXPECT_EQ(back.start.randomState, 0xDEADBEEFu);
    EXPECT_EQ(back.start.prevVertical, -1);
    // Known places, not only a round trip: lives, magic and facing at 26, 28
    // and 30, button 2's memory at 33, crouching at 38.
    EXPECT_EQ(bytes[26], 3);
    EXPECT_EQ(bytes[28], 2);
    EXPECT_EQ(bytes[30], 1);
    EXPECT_EQ(bytes[33], 1);
    EXPECT_EQ(bytes[38], 1);
    EXPECT_EQ(back.start.crouching, 1);
    EXPECT_EQ(back.start.lives, 3);
    EXPECT_EQ(back.start.magic, 2);
    EXPECT_EQ(back.start.facing, 1);
}

TEST(ReplayFile, DamagedFilesAreRefused) {
    std::vector<unsigned char> good = encodeReplay(sampleReplay());
    std::string error;
    Replay out;
    auto refused = [&](std::vector<unsigned char> bytes) {
        return !decodeReplay(bytes.data(), bytes.size(), out, error);
    };
    auto bad = good;
    bad[0] = 'X';
    EXPECT_TRUE(refused(bad));
    bad = good;
    bad[4] = 2;  // version 2
    EXPECT_TRUE(refused(bad));
    EXPECT_NE(error.find("version 2"), std::string::npos);
    bad = good;
    bad.pop_back();
    EXPECT_TRUE(refused(bad));
    bad = good;
    bad[20] = 0xFF;  // tick count beyond the data
    EXPECT_TRUE(refused(bad));
    bad = good;
    bad[kReplayHeaderSize] = 3;  // left and right at once
    EXPECT_TRUE(refused(bad));
    bad = good;
    bad[kReplayHeaderSize + 1] = 0x10;  // a ninth button
    EXPECT_TRUE(refused(bad));
    bad = good;
    bad[8] = 100;  // stages run from 0 to 99
    EXPECT_TRUE(refused(bad));
    EXPECT_NE(error.find("stage 100"), std::string::npos) << error;
    bad[8] = 99;
    EXPECT_FALSE(refused(bad)) << error;
    bad = good;
    bad[6] = 200;  // header larger than the file
    EXPECT_TRUE(refused(bad));
    EXPECT_TRUE(refused({}));
    EXPECT_FALSE(refused(good));
}

TEST(ReplayFile, InputPacking) {
    InputState in{};
    in.horizontal = -1;
    in.vertical = 1;
    in.button[0] = 1;
    in.button[3] = 1;
    uint16_t packed = packReplayInput(in);
    InputState back = unpackReplayInput(packed);
    EXPECT_EQ(back.horizontal, -1);
    EXPECT_EQ(back.vertical, 1);
    EXPECT_EQ(back.button[0], 1);
    EXPECT_EQ(back.button[1], 0);
    EXPECT_EQ(back.button[3], 1);
    EXPECT_EQ(packReplayInput(back), packed);
}

TEST(InputScript, LinesHoldTheirInputs) {
    auto r = input_script::compile(
        "stage 4\ncharges 2\nno-time-limit\nready\nwalk right 3 ; comment\njump left 2\ncast\nwait 2\n"
        "repeat 2\n  down shoot 1\n  up\nend\n",
        "s.script");
    ASSERT_TRUE(r.ok()) << r.errors[0];
    EXPECT_TRUE(r.stageGiven);
    EXPECT_EQ(r.replay.start.stage, 4);
    EXPECT_EQ(r.replay.start.magic, 2);
    EXPECT_EQ(r.replay.start.noTimeLimit, 1);
    const auto& t = r.replay.ticks;
    ASSERT_EQ(t.size(), 124u + 3 + 2 + 1 + 2 + 4);
    EXPECT_EQ(t[0], 0);
    auto at = [&](size_t i) { return unpackReplayInput(t[124 + i]); };
    EXPECT_EQ(at(0).horizontal, 1);
    EXPECT_EQ(at(2).horizontal, 1);
    EXPECT_EQ(at(3).vertical, 1);   // the jump presses up on its first tick only
    EXPECT_EQ(at(3).horizontal, -1);
    EXPECT_EQ(at(4).vertical, 0);
    EXPECT_EQ(at(4).horizontal, -1);
    EXPECT_EQ(at(5).button[0], 1);
    EXPECT_EQ(at(6).button[0], 0);
    EXPECT_EQ(at(8).vertical, -1);
    EXPECT_EQ(at(8).button[1], 1);
    EXPECT_EQ(at(9).vertical, 1);
    EXPECT_EQ(at(10).vertical, -1);
    EXPECT_EQ(at(11).vertical, 1);
}

TEST(InputScript, ErrorsNameLineAndColumn) {
    auto first = [](const char* text) {
        auto r = input_script::compile(text, "s.script");
        return r.errors.empty() ? std::string() : r.errors[0];
    };
    EXPECT_EQ(first("ready\nright 10\nleft sideways 3\n"), "s.script:3:6: unknown word 'sideways'");
    EXPECT_EQ(first("left right 2\n"), "s.script:1:1: opposite directions on one line");
    EXPECT_EQ(first("right 2 3\n"), "s.script:1:9: one tick count from 0 to 1000000 per line");
    EXPECT_EQ(first("repeat 2\nright\n"), "s.script:1:1: 'repeat' without 'end'");
    EXPECT_EQ(first("  end\n"), "s.script:1:3: 'end' without 'repeat'");
    EXPECT_EQ(first("stage x\n"), "s.script:1:1: expected 'stage N'");
}

// Writes a walled room with a key and an exit into 01/ of the current folder.
void writeRoom() {
    std::filesystem::create_directories("01");
    ASSERT_TRUE(stagec::writeStageFiles("01", 3, stagec::placeholderStage()));
}

TEST(ReplayRecording, TheGameRecordsAReplayThatPlaysBackTheSame) {
    testing_support::ScratchDirectory scratch("recording");
    writeRoom();
    std::filesystem::create_directories("replays");

    game = GameGlobals{};
    game.randomState = 77;
    game.players[0].lives = 2;
    game.players[0].magic = 1;
    game.stageNumber = 3;
    startReplayRecording((scratch.path() + "/replays").c_str());
    loadStage();
    // Walk right, jump about, shoot: some input the replay must carry.
    for (int t = 0; t < 400; ++t) {
        game.input[0] = InputState{};
        game.input[0].horizontal = t % 90 < 60 ? 1 : -1;
        game.input[0].vertical = t % 50 == 0 ? 1 : 0;
        game.input[0].button[1] = t == 300;
        updatePlayScene();
    }
    uint64_t recordedHash = hashPlayState();
    startReplayRecording(nullptr);  // writes the open attempt and stops

    std::vector<unsigned char> bytes;
    // Stage file 3 is what the game shows as STAGE 04.
    ASSERT_TRUE(stagec::readFileBytes(scratch.path() + "/replays/04-1.rep", bytes));
    Replay replay;
    std::string error;
    ASSERT_TRUE(decodeReplay(bytes.data(), bytes.size(), replay, error)) << error;
    EXPECT_EQ(replay.ticks.size(), 400u);
    EXPECT_EQ(replay.start.magic, 1);
    EXPECT_EQ(replay.start.stage, 3);

    ASSERT_TRUE(stage_run::startStage(scratch.path(), replay.start, error)) << error;
    stage_run::Result result = stage_run::play(replay, -1);
    EXPECT_EQ(result.hash, recordedHash);
    EXPECT_EQ(result.tick, 400);
}

// The runner reads a stage as the game does: loose, packed in 01.lmt, short
// or empty; only a missing block file stops it.
TEST(StageRun, ReadsStagesAsTheGameDoesLooseNeverFromAnArchiveAndAnEmptyFileAsItStands) {
    testing_support::ScratchDirectory scratch("runner_reading");
    namespace fs = std::filesystem;
    fs::create_directories("loose/01");
    ASSERT_TRUE(stagec::writeStageFiles("loose/01", 3, stagec::placeholderStage()));
    pack::PackItem root;
    std::vector<std::string> warnings;
    std::string error;
    ASSERT_TRUE(pack::ScanFolder("loose/01", root, warnings, error)) << error;
    fs::create_directories("packed");
    ASSERT_TRUE(pack::WriteArchiveFile(root, pack::PackOptions{}, "packed/01.lmt", error)) << error;

    ReplayStart start{};
    start.stage = 3;
    start.lives = 2;
    ASSERT_TRUE(stage_run::startStage(scratch.path() + "/loose", start, error)) << error;
    EXPECT_EQ(fs::current_path(), fs::path(scratch.path()));  // where it was started
    EXPECT_NE(game.players[0].x, 0);  // the placeholder's start cell
    // An archive of the folder does not stand in for the loose stage files.
    EXPECT_FALSE(stage_run::startStage(scratch.path() + "/packed", start, error));
    EXPECT_NE(error.find("packed/01/03.dat is missing"), std::string::npos) << error;
    EXPECT_EQ(fs::current_path(), fs::path(scratch.path()));

    fs::create_directories("empty/01");
    std::ofstream("empty/01/03.dat").close();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(stage_run::startStage(scratch.path() + "/empty", start, error)) << error;
    const std::string note = testing::internal::GetCapturedStderr();
    EXPECT_NE(note.find("empty/01/03.dat holds 0 of 2400 bytes"), std::string::npos) << note;

    start.stage = 4;
    error.clear();
    EXPECT_FALSE(stage_run::startStage(scratch.path() + "/empty", start, error));
    EXPECT_NE(error.find("empty/01/04.dat is missing"), std::string::npos) << error;

    // A folder in a stage file's place opens, and nothing can be read from
    // it: the game plays it as an empty file, and the run says so.
    fs::create_directories("folder/01/05.dat");
    fs::create_directories("folder/01/05__.dat");
    start.stage = 5;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(stage_run::startStage(scratch.path() + "/folder", start, error)) << error;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("folder/01/05.dat is a folder: the game reads nothing from it"), std::string::npos) << said;
    EXPECT_NE(said.find("folder/01/05__.dat is a folder"), std::string::npos) << said;
    EXPECT_EQ(said.find("05_.dat"), std::string::npos) << said;  // missing, as the game takes it
    EXPECT_EQ(game.players[0].x, 60);  // an empty stage: the player where none is placed
    EXPECT_EQ(std::count(std::begin(game.tileMap.blocks), std::end(game.tileMap.blocks), 0), kCellCount);
}

}  // namespace
