// The saved-file readers: any bytes as 01/H.dat, B.dat, S.dat and K.dat
// (each may also be missing), read as at start-up, then the scenes that show
// or use the values (title, ranking, stage select, settings, play's start)
// run a while on them with input from the rest of the bytes.
#include "game/play/play_scene.h"
#include "game/scenes/scenes.h"
#include "game/shell/frame_tick.h"
#include "game/shell/saved_files.h"
#include "game/state/globals.h"
#include "tests/fuzz/game/fuzz_input.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr const char* kNames[] = {"H.dat", "B.dat", "S.dat", "K.dat"};
constexpr int kTicksPerScene = 120;

std::string folder() {
    static const std::string path = [] {
        const std::string f = "/tmp/lumotta-fuzz-saved-" + std::to_string(getpid());
        std::filesystem::create_directories(f + "/01");
        return f;
    }();
    return path;
}

void runScene(int scene, void (*update)(), const std::vector<uint8_t>& moves) {
    game.scene = scene;
    ResetSceneState();
    for (int t = 0; t < kTicksPerScene; ++t) {
        const uint8_t m = moves.empty() ? static_cast<uint8_t>(t * 37) : moves[static_cast<size_t>(t) % moves.size()];
        InputState& p = game.input[0];
        p = InputState{};
        p.horizontal = (m & 3) == 1 ? 1 : (m & 3) == 2 ? -1 : 0;
        p.vertical = (m >> 2 & 3) == 1 ? 1 : (m >> 2 & 3) == 2 ? -1 : 0;
        p.button[0] = m >> 4 & 1;
        update();
        if (game.scene != scene) break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    setSavedFilesFolder(folder());
    for (const char* name : kNames) {
        const std::string path = folder() + "/01/" + name;
        const uint32_t length = in.number(0);
        if (length == 0xFFFFFFFF) {
            std::remove(path.c_str());
            continue;
        }
        const std::vector<uint8_t> bytes = in.piece(length & 0x3FF);
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    const std::vector<uint8_t> moves = in.rest();
    game = GameGlobals{};
    setSavedDefaults();
    readSavedFiles();
    runScene(kSceneTitle, updateTitleScene, moves);
    runScene(kSceneRanking, updateRankingScene, moves);
    runScene(kSceneStageSelect, updateStageSelectScene, moves);
    runScene(kSceneSettings, updateSettingsScene, moves);
    return 0;
}
