#include "game/play/state_hash.h"

#include "game/state/globals.h"

#include <cstddef>

namespace {
constexpr uint64_t kFnvOffset = 1469598103934665603ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

uint64_t mix(uint64_t hash, const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * kFnvPrime;
    return hash;
}

template <typename T>
uint64_t mixValue(uint64_t hash, const T& value) {
    return mix(hash, &value, sizeof value);
}
}  // namespace

uint64_t hashPlayState() {
    // The play state is laid out without hidden padding, so its bytes are its
    // value.
    const PlayState& play = game;
    uint64_t hash = mix(kFnvOffset, &play, sizeof play);
    hash = mixValue(hash, game.scene);
    hash = mixValue(hash, game.stageNumber);
    hash = mixValue(hash, game.score);
    hash = mixValue(hash, game.stageSelectMode);
    hash = mixValue(hash, game.highestStage);
    hash = mixValue(hash, game.randomState);
    hash = mixValue(hash, game.settings.noTimeLimit);
    hash = mix(hash, game.prevButtons, sizeof game.prevButtons);
    hash = mix(hash, game.prevDirection, sizeof game.prevDirection);
    return hash;
}
