// Messages for a player without a terminal, in the desktop's own box.
#include "media/media.h"

#include <SDL.h>

#include <unistd.h>

namespace {

int desktopBox(const char* title, const char* text) {
    // SDL needs no running video for a simple box; it finds the desktop's
    // own way to show one (or answers -1 where there is none).
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr) == 0 ? 0 : -1;
}

MessageBoxShower gShower = desktopBox;

}  // namespace

// No API lock: the box waits for the player, and may come while the layer is
// stopped (a failed save after EndMedia, a second copy before InitMedia).
int ShowMessageBox(const char* title, const char* text) {
    if (!title || !text) return -1;
    if (isatty(STDERR_FILENO)) return 1;
    return gShower(title, text);
}

int SetMessageBoxShower(MessageBoxShower shower) {
    gShower = shower ? shower : desktopBox;
    return 0;
}
