// A crowded play field for the benchmarks: floor, walls, shelves of
// breakable blocks, the player, 100 actors of every creature and item kind and
// a table full of effects.
#pragma once

void buildCrowdedStage();
void fillEffects();
