// SDL scancodes (key positions) to the keyboard codes CheckKey takes: PC
// set-1 scan codes, with 0x80 added for the keys of the extended set.
#pragma once

#include <SDL.h>

namespace media::input {

struct KeyMapping {
    SDL_Scancode scancode;
    unsigned char code;
};

// Every key position the game knows. The game's key list follows the
// Japanese 106-key legends, so the position that carries "^", "@", "[",
// "]", ":" on that keyboard reports those codes on every layout; the keys
// only Japanese keyboards have come through SDL's international scancodes.
extern const KeyMapping kKeyMappings[];
extern const int kKeyMappingCount;

// The keyboard code of a scancode, 0 for a key the game does not know.
int KeyCodeOf(SDL_Scancode scancode);

}  // namespace media::input
