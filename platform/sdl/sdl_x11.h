// sdl_x11.h — what the X11 files offer the rest of the platform, without
// Xlib's names, which clash with the program's.
#pragma once

#include <SDL2/SDL.h>

#include <chrono>
#include <string>

// What the X server says of itself (sdl_x11_server.cpp).
struct SdlXServerFacts {
    bool answers = false;       // an X server on DISPLAY answered
    bool xwayland = false;      // it runs on a Wayland compositor
    std::string windowManager;  // the window manager's own name, empty when none announces itself
};

// Asks the X server on DISPLAY, waiting for it at most about a second.
SdlXServerFacts SdlAskXServer();

// Whether the X server on DISPLAY answers a connection before the deadline
// (sdl_display_answers.cpp).
bool SdlXServerAnswers(std::chrono::steady_clock::time_point deadline);

// Shows, hides or destroys an SDL window (sdl_x11_window.cpp). On X11, SDL
// then waits for the server's word that the window is mapped or unmapped,
// which a window manager that never maps it never sends: after about a
// second the word is given to the window from here, and SDL goes on.
void SdlShowWindowWithin(SDL_Window* window);
void SdlHideWindowWithin(SDL_Window* window);
void SdlDestroyWindowWithin(SDL_Window* window);

// Where no window manager runs, SDL gives the window the X focus itself,
// and a box shown then gets no key, nor does one after the window is gone,
// when the focus comes back to nobody. Where the window has the focus, it
// is lent to the pointer, as X has it with no window manager: the keys go
// to the window under it. True when it was lent (a window manager, if
// there is one, moves it on anyway).
bool SdlLendFocusToPointer(SDL_Window* window);

// Whether the window is on the screen; always, where it is no X window. The
// X focus can go only to a window that is: asking for it for one a window
// manager left unmapped is an X error, which ends the program.
bool SdlWindowViewable(SDL_Window* window);
