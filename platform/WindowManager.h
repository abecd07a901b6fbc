// Asks the desktop whether a window manager looks after the game's window. Kept apart so the
// window system's own headers, with their many macros, reach one source file only.
#pragma once

#include <string>

struct SDL_Window;

namespace pondlark {

// True on an X display that no window manager (one that announces itself the standard way)
// runs on: nobody there acts on a full-screen request. False on every other desktop, and when
// the question cannot be asked.
bool WithoutWindowManager(SDL_Window* window);

// The X resources the desktop set on the display (RESOURCE_MANAGER, where Xft.dpi says the
// desktop's scale); empty off X11 and where none are set.
std::string DesktopResources(SDL_Window* window);

// Moves a window that was never shown to (x, y) on X11 without waiting for the window manager
// to act on it: the request reaches the manager before the window's own request to be shown,
// so the window appears there. False off X11 (the caller moves it the usual way).
bool MoveUnshownWindow(SDL_Window* window, int x, int y);

} // namespace pondlark
