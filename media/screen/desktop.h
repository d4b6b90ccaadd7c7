// What the window's desktop does for it, asked of the window system itself.
#pragma once

#include <SDL.h>

namespace media::screen {

// True when a window manager runs on the window's X display that can make a
// window full screen (it announces itself by _NET_SUPPORTING_WM_CHECK). On
// any other video driver (Wayland, offscreen) the desktop is trusted: true.
bool DesktopMakesFullScreen(SDL_Window* window);

}  // namespace media::screen
