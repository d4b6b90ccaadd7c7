#include "bench/common/crowded_stage.h"

#include "game/play/effects.h"
#include "game/state/globals.h"
#include "tests/play/stage_builder.h"

#include <cstdint>


void buildCrowdedStage() {
    stage_builder::StageBuilder stage;
    for (int c = 0; c < 20; ++c) stage.block(c, 13, 1);
    for (int r = 0; r < 14; ++r) stage.block(0, r, 1).block(19, r, 1);
    for (int c = 2; c < 18; c += 2) stage.block(c, 9, 2).block(c + 1, 5, 3);
    stage.block(9, 12, 100);
    int placed = 0;
    for (int c = 1; c < 40 && placed < 100; ++c) {
        for (int r = 2; r < 13 && placed < 100; ++r) {
            if (stage.blockCode(c, r) != 0) continue;
            int kind = 11 + placed % 39;  // kinds 11..49
            if (kind == 35) kind = 36;
            stage.actor(c, r, kind);
            ++placed;
        }
    }
    stage.load();
}

// A mix of long-lived effects (remnants, spell pieces, emitters) and busy
// short ones (sparks, debris, shots, impacts).
void fillEffects() {
    static constexpr int kKinds[] = {26, 36, 41, 50, 55, 56, 57, 58, 49, 11, 32, 61, 62, 20, 25, 14, 15};
    constexpr int kKindCount = static_cast<int>(sizeof kKinds / sizeof kKinds[0]);
    uint32_t seed = 7;
    for (int i = 0; i < kEffectSlots; ++i) {
        seed = seed * 1664525u + 1013904223u;
        spawnEffect(40 + static_cast<int>((seed >> 12) % 560), 40 + static_cast<int>((seed >> 20) % 400),
                    kKinds[i % kKindCount], static_cast<int>(seed >> 31));
    }
}
