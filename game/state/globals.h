// GameGlobals: the one static area that holds every game variable. It is plain
// data, zero at start but for the documented defaults, so a whole game state
// can be copied, compared and hashed.
#pragma once

#include "game/state/front_end_state.h"
#include "game/state/play_state.h"
#include "game/state/shell_state.h"

#include <type_traits>

struct GameGlobals : ShellState, PlayState, FrontEndState {};

static_assert(std::is_trivially_copyable_v<GameGlobals>);

extern GameGlobals game;
