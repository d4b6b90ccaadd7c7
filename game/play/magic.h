// The player's magic: block magic, head bumps on blocks, shots, the key
// sequence and the big spell.
#pragma once

#include "game/state/play_state.h"

// The first tick of states 10, 11 and 12: make or break the cell in front.
void castBlockMagic(Player& player);

// A head bump on the cell (column, row): a cracked block breaks with four
// debris pieces, a breakable one cracks, a solid one stays.
void bumpBlock(int column, int row);

// The timed effects of states 16, 30..32 and 43..47, once per update.
void updateMagicStates(Player& player);

// Spell pieces (effect kinds 36..58) switch to their ending when the beam
// state ends.
void startSpellEnding();
