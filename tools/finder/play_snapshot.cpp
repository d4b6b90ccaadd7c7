#include "tools/finder/play_snapshot.h"

#include <cstring>

namespace finder {

namespace {

unsigned char* layersOf(PlayState& play) { return reinterpret_cast<unsigned char*>(&play.tileMap); }
unsigned char* restOf(PlayState& play) { return reinterpret_cast<unsigned char*>(&play) + sizeof(TileMap); }

static_assert(offsetof(PlayState, tileMap) == 0, "the tile map leads the play state");

}  // namespace

void saveSnapshot(PlaySnapshot& out) {
    PlayState& play = game;
    std::memcpy(out.layers, layersOf(play), PlaySnapshot::kLayerBytes);
    std::memcpy(out.rest, restOf(play), PlaySnapshot::kRestBytes);
    out.score = game.score;
    out.randomState = game.randomState;
    std::memcpy(out.prevButtons, game.prevButtons, sizeof out.prevButtons);
    std::memcpy(out.prevDirection, game.prevDirection, sizeof out.prevDirection);
}

void restoreSnapshot(const PlaySnapshot& in) {
    PlayState& play = game;
    std::memcpy(layersOf(play), in.layers, PlaySnapshot::kLayerBytes);
    std::memcpy(restOf(play), in.rest, PlaySnapshot::kRestBytes);
    game.score = in.score;
    game.randomState = in.randomState;
    std::memcpy(game.prevButtons, in.prevButtons, sizeof in.prevButtons);
    std::memcpy(game.prevDirection, in.prevDirection, sizeof in.prevDirection);
}

}  // namespace finder
