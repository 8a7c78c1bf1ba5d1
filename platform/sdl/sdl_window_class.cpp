// sdl_window_class.cpp — the module handle and the window class, which on SDL
// is the video subsystem: registering starts it, unregistering stops it.
//
// Everything SDL still holds when the process ends (an audio device left
// open, a subsystem left running after a failed start) is let go by one exit
// hook, and a full-screen mode still in force is given back with it; sound
// abandoned to a server that stopped answering is left alone. A lost X
// connection ends the process without that hook (sdl_x11_connection.cpp).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sdl/sdl_internal.h"

namespace {

void ReleaseSdlAtExit()
{
    PlatformCloseSound();
    // SDL's own shutdown would wait for an abandoned sound thread for ever,
    // and take the audio and the events from under it: then only the video
    // goes, which gives the desktop its mode back.
    if (!SdlState.abandonedSound.empty()) {
        if (SdlState.classRegistered)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return;
    }
    SDL_Quit();
}

// With no display to reach (a text console, an ssh session), SDL falls back
// to a driver that draws nowhere; the program would run unseen, or blame
// the video card for a display that is not there. Those drivers count only
// when asked for by name.
bool ShowsOnADisplay()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr)
        return false;
    if (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0)
        return true;
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    return asked != nullptr && std::strstr(asked, driver) != nullptr;
}

}  // namespace

void SdlReportFailure(const char* call)
{
    std::fprintf(stderr, "marivelt: %s failed: %s\n", call, SDL_GetError());
}

bool SdlVideoDriverIs(const char* name)
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, name) == 0;
}

InstanceHandle PlatformModuleHandle()
{
    return &SdlState.instance;
}

bool PlatformRegisterWindowClass(InstanceHandle)
{
    if (SdlState.classRegistered)
        return false;
    if (!SdlState.exitHookSet) {
        SdlState.exitHookSet = std::atexit(ReleaseSdlAtExit) == 0;
        SdlHandleXErrors();
    }
    // The window's close request is the program's only way to learn of a
    // close; SDL's own quit event on the last window would say it twice.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        SdlReportFailure("SDL_InitSubSystem(SDL_INIT_VIDEO)");
        return false;
    }
    if (!ShowsOnADisplay()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        std::fprintf(stderr, "marivelt: no display to show on: neither DISPLAY nor WAYLAND_DISPLAY names one\n");
        return false;
    }
    SdlState.classRegistered = true;
    return true;
}

bool PlatformUnregisterWindowClass(InstanceHandle)
{
    // Like a window class, it cannot go while its window still exists.
    if (!SdlState.classRegistered || SdlState.window != nullptr)
        return false;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SdlState.classRegistered = false;
    return true;
}

void PlatformShowCursor(bool show)
{
    // The cursor is hidden over SDL's own windows only: with the video
    // subsystem gone there is nothing left to show it over.
    if (!SdlState.classRegistered)
        return;
    // Over a window on the desktop the pointer is the user's.
    if (!show && SdlState.windowed)
        return;
    if (SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE) < 0)
        SdlReportFailure("SDL_ShowCursor");
}
