// The front-end scenes' part of GameGlobals: their frame counters, cursors
// and fades.
#pragma once

#include <cstdint>

struct FrontEndState {
    int32_t placeholder;  // the front-end scenes' fields come with the scenes
};
