// A fresh game state for each play test, scripted input, and a record of the
// sounds the scene plays.
#pragma once

#include "game/play/play_scene.h"
#include "game/play/play_sounds.h"
#include "game/shell/frame_tick.h"
#include "game/state/globals.h"
#include "tests/play/stage_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace play_testing {

inline std::vector<int>& playedSounds() {
    static std::vector<int> sounds;
    return sounds;
}

inline void recordSound(int fileNumber) { playedSounds().push_back(fileNumber); }

// Input of the first player for one tick.
struct Pad {
    int horizontal = 0;
    int vertical = 0;
    bool magic = false;   // button 1
    bool shot = false;    // button 2
    bool spell = false;   // button 3
    bool pause = false;   // button 4
};

class PlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        game = GameGlobals{};
        game.randomState = 1;
        game.players[0].lives = 2;
        playedSounds().clear();
        setPlaySoundObserver(recordSound);
        // A lost life or a cleared stage enters the next scene as the game does.
        installShellSceneEntry();
    }
    void TearDown() override { setPlaySoundObserver(nullptr); }

    static Player& player() { return game.players[0]; }

    static void setPad(const Pad& pad) {
        InputState& in = game.input[0];
        in = InputState{};
        in.horizontal = pad.horizontal;
        in.vertical = pad.vertical;
        in.button[0] = pad.magic;
        in.button[1] = pad.shot;
        in.button[2] = pad.spell;
        in.button[3] = pad.pause;
    }

    // Runs `n` ticks of the logic with this input held.
    static void tick(int n = 1, const Pad& pad = {}) {
        for (int i = 0; i < n; ++i) {
            setPad(pad);
            updatePlayLogic();
        }
    }

    // Loads the stage and runs the start countdown to its end (its last tick
    // already runs the player once).
    static void start(const stage_builder::StageBuilder& stage) {
        stage.load();
        while (game.startCounter != 0) tick();
    }

    // Ticks until `done` holds, at most `limit` ticks; the ticks taken.
    template <typename Done>
    static int tickUntil(Done done, int limit, const Pad& pad = {}) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return i;
            tick(1, pad);
        }
        return done() ? limit : -1;
    }

    static int soundCount(int fileNumber) {
        const auto& s = playedSounds();
        return static_cast<int>(std::count(s.begin(), s.end(), fileNumber));
    }

    static int liveCount(const Actor* table, int kind) {
        int n = 0;
        for (int i = 0; i < 100; ++i)
            if (table[i].live && table[i].kind == kind) ++n;
        return n;
    }
    static int liveActors(int kind) { return liveCount(game.actors, kind); }
    static int liveEffects(int kind) { return liveCount(game.effects, kind); }
    static int blockAtCell(int column, int row) { return game.tileMap.blocks[column * 15 + row]; }
};

// A walled room: solid floor on row 13, walls in columns 0 and 19; the
// picture fills the inside from cell (1, 2) on.
inline stage_builder::StageBuilder room(const std::vector<std::string>& inside = {}) {
    stage_builder::StageBuilder stage;
    for (int c = 0; c < 20; ++c) stage.block(c, 13, 1);
    for (int r = 0; r < 14; ++r) {
        stage.block(0, r, 1);
        stage.block(19, r, 1);
    }
    stage.draw(inside, 2, 1);
    return stage;
}

}  // namespace play_testing
