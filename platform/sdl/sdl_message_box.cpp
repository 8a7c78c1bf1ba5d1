// sdl_message_box.cpp — modal message boxes, or standard error without them.
//
// SDL can show a box even when its video subsystem is down (the farewell box
// comes after the window class is gone), talking to the display directly;
// on Wayland it runs zenity for it. With no display at all the same words go
// to standard error, so a failure is never silent. That is decided here,
// before SDL is asked: a zenity that cannot reach a display fails in a way
// SDL takes for a box that was closed.
//
// A box shown while the program's window exists must come above it, where
// the user sees it and types to it. Its parent is the window, which keeps a
// dialog above its window under an X window manager (openbox, on a display
// that switched modes, where the mode must stay while the box is up). A
// compositor may still keep a full-screen window above everything (KWin
// does, through Xwayland); there no mode is at stake, so the window steps
// aside, hidden until the box is answered, and comes back as it was.
#include <cstdio>

#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/sdl_x11.h"

namespace {

// How long a display that does not answer may hold up the words.
constexpr int kAnswerMilliseconds = 1000;

Uint32 BoxFlags(MessageBoxIcon icon)
{
    switch (icon) {
    case MessageBoxIcon::Hand:
        return SDL_MESSAGEBOX_ERROR;
    case MessageBoxIcon::Exclamation:
        return SDL_MESSAGEBOX_WARNING;
    case MessageBoxIcon::Asterisk:
    case MessageBoxIcon::None:
        break;
    }
    // SDL has no box without an icon class; information is the mildest.
    return SDL_MESSAGEBOX_INFORMATION;
}

}  // namespace

void PlatformMessageBox(WindowHandle owner, const char* text, const char* caption, MessageBoxIcon icon)
{
    if (!SdlDisplayAnswers(kAnswerMilliseconds)) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        return;
    }
    PlatformWindow* window = owner != nullptr ? owner : SdlState.window;
    const bool aside = window != nullptr && SdlOutput().stepsAsideForBoxes &&
                       (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) != 0;
    if (aside)
        SdlHideWindowWithin(window->sdl);
    const bool lent = window != nullptr && !aside && SdlLendFocusToPointer(window->sdl);
    SDL_Window* parent = window != nullptr && !aside ? window->sdl : nullptr;
    if (SDL_ShowSimpleMessageBox(BoxFlags(icon), caption, text, parent) != 0)
        std::fprintf(stderr, "%s: %s\n", caption, text);
    if (aside) {
        SdlShowWindowWithin(window->sdl);
        PlatformSetForegroundWindow(window);
    }
    if (aside || lent)
        PlatformSetFocus(window);
}
