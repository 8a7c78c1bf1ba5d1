// sdl_message_box.cpp — modal message boxes, or standard error without them.
//
// SDL can show a box even when its video subsystem is down (the farewell box
// comes after the window class is gone), talking to the display directly;
// on Wayland it runs zenity for it. With no display at all the same words go
// to standard error, so a failure is never silent. That is decided here,
// before SDL is asked: a zenity that cannot reach a display fails in a way
// SDL takes for a box that was closed.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

// The compositor's socket, found as every Wayland client finds it.
bool WaylandCompositorAnswers()
{
    if (std::getenv("WAYLAND_SOCKET") != nullptr)
        return true;  // a connection handed down by the compositor itself
    const char* name = std::getenv("WAYLAND_DISPLAY");
    std::string path = name != nullptr ? name : "wayland-0";
    if (path.front() != '/') {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (runtime == nullptr)
            return false;
        path = std::string(runtime) + "/" + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    path.copy(address.sun_path, path.size());
    int channel = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (channel < 0)
        return false;
    bool answers = connect(channel, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(channel);
    return answers;
}

}  // namespace

void PlatformMessageBox(WindowHandle owner, const char* text, const char* caption, MessageBoxIcon icon)
{
    SDL_Window* parent = owner != nullptr ? owner->sdl : nullptr;
    const bool displayAnswers = WaylandCompositorAnswers() || SdlXServerAnswers();
    if (!displayAnswers || SDL_ShowSimpleMessageBox(BoxFlags(icon), caption, text, parent) != 0)
        std::fprintf(stderr, "%s: %s\n", caption, text);
}
