// sdl_message_box.cpp — modal message boxes, or standard error without them.
//
// SDL can show a box even when its video subsystem is down (the farewell box
// comes after the window class is gone), talking to the display directly.
// With no display at all the same words go to standard error, so a failure
// is never silent.
#include <cstdio>

#include "platform/sdl/sdl_internal.h"

namespace {

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
    SDL_Window* parent = owner != nullptr ? owner->sdl : nullptr;
    if (SDL_ShowSimpleMessageBox(BoxFlags(icon), caption, text, parent) != 0)
        std::fprintf(stderr, "%s: %s\n", caption, text);
}
