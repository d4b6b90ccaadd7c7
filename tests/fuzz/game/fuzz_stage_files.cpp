// The stage loader with its three files together (blocks, hidden items,
// cell scripts), then play on the stage built: every block code, actor kind
// and script value a damaged stage can hold reaches the play logic.
// Input: three pieces, each a 4-byte length and its bytes (see make_seeds).
#include "game/play/play_scene.h"
#include "game/play/stage_files.h"
#include "game/state/globals.h"
#include "tests/fuzz/game/fuzz_input.h"

namespace {

constexpr int kTicks = 240;

void silenceSounds() {
    for (int32_t& h : game.soundSlots) h = -1;
    for (int32_t& h : game.effectSounds) h = -1;
    game.stageStartSound = game.exitReachedSound = game.timeUpSound = game.stageMusic = -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const std::vector<uint8_t> blocks = fuzz::lengthPrefixed(in);
    const std::vector<uint8_t> hidden = fuzz::lengthPrefixed(in);
    const std::vector<uint8_t> scripts = fuzz::lengthPrefixed(in);
    const std::vector<uint8_t> moves = in.rest();
    game = GameGlobals{};
    silenceSounds();
    game.scene = kScenePlay;
    game.stageNumber = 1;
    game.players[0].lives = 2;
    game.players[0].magic = 3;
    StageBytes bytes;
    bytes.blocks = blocks.data(), bytes.blocksSize = blocks.size();
    bytes.hiddenItems = hidden.data(), bytes.hiddenItemsSize = hidden.size();
    bytes.cellScripts = scripts.data(), bytes.cellScriptsSize = scripts.size();
    loadStageFrom(bytes);
    // Play: the rest of the input held a byte a tick, or walking right and
    // shooting when there is none.
    for (int t = 0; t < kTicks && game.scene == kScenePlay; ++t) {
        const uint8_t m = moves.empty() ? 0x25 : moves[static_cast<size_t>(t) % moves.size()];
        InputState& p = game.input[0];
        p = InputState{};
        p.horizontal = (m & 3) == 1 ? 1 : (m & 3) == 2 ? -1 : 0;
        p.vertical = (m >> 2 & 3) == 1 ? 1 : (m >> 2 & 3) == 2 ? -1 : 0;
        for (int b = 0; b < 3; ++b) p.button[b] = m >> (4 + b) & 1;
        updatePlayLogic();
    }
    return 0;
}
