#include "platform/WindowManager.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace pondlark {

bool WithoutWindowManager(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    Display* display = info.info.x11.display;
    // A running manager names its check window on the root window.
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return true;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                          XA_WINDOW, &type, &format, &count, &after, &data);
    const bool announced =
        status == Success && type == XA_WINDOW && format == 32 && count == 1 && data != nullptr;
    if (data) XFree(data);
    return !announced;
#else
    (void)window;
    return false;
#endif
}

std::string DesktopResources(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return {};
    const char* resources = XResourceManagerString(info.info.x11.display);
    return resources ? resources : "";
#else
    (void)window;
    return {};
#endif
}

bool MoveUnshownWindow(SDL_Window* window, int x, int y) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    XMoveWindow(info.info.x11.display, info.info.x11.window, x, y);
    XFlush(info.info.x11.display);
    return true;
#else
    (void)window, (void)x, (void)y;
    return false;
#endif
}

} // namespace pondlark
