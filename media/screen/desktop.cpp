#include "media/screen/desktop.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace media::screen {
namespace {

int gXErrors = 0;
int countXError(Display*, XErrorEvent*) {
    ++gXErrors;
    return 0;
}

// The window a _NET_SUPPORTING_WM_CHECK property of `owner` names, or None.
Window supportingWindow(Display* display, Window owner, Atom check) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Window named = None;
    if (XGetWindowProperty(display, owner, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                           &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1 && data)
        named = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));
    if (data) XFree(data);
    return named;
}

}  // namespace

bool DesktopMakesFullScreen(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return true;
    Display* display = info.info.x11.display;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    // A window manager that ended may leave the property behind, naming a
    // window that is gone: the named window must name itself too.
    XSync(display, False);
    gXErrors = 0;
    XErrorHandler previous = XSetErrorHandler(countXError);
    const Window named = supportingWindow(display, DefaultRootWindow(display), check);
    const bool running = named != None && supportingWindow(display, named, check) == named;
    XSync(display, False);
    XSetErrorHandler(previous);
    return running && gXErrors == 0;
}

}  // namespace media::screen
