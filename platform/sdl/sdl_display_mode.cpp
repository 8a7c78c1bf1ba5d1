// sdl_display_mode.cpp — the temporary full-screen mode.
//
// SDL changes a display's mode only as the mode of a full-screen window, and
// the program asks for the mode before it makes its window. So the change
// checks that the display has such a mode and records it; the window takes it
// when it is made (sdl_window.cpp) and SDL switches when the window is shown.
// A display can still refuse then, so the program asks afterwards whether the
// mode is in force. The desktop mode comes back when the window leaves full
// screen, when it is destroyed, and at the latest when SDL shuts down; on X11
// a watcher (sdl_mode_watch.cpp) gives it back should the process die first.
// A windowed run records no mode, and its window is an ordinary one.
#include <cstdlib>
#include <vector>

#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/sdl_x11.h"

namespace {

// The program runs on the first display, the one whose origin is (0, 0).
constexpr int kDisplayIndex = 0;

// True once the display runs the desktop's mode again (or never left it).
bool LeaveFullScreen()
{
    PlatformWindow* window = SdlState.window;
    if (window != nullptr && (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_FULLSCREEN) != 0 &&
        SDL_SetWindowFullscreen(window->sdl, 0) != 0) {
        SdlReportFailure("SDL_SetWindowFullscreen");
        return false;
    }
    SDL_DisplayMode current{}, desktop{};
    return SDL_GetCurrentDisplayMode(kDisplayIndex, &current) == 0 &&
           SDL_GetDesktopDisplayMode(kDisplayIndex, &desktop) == 0 && current.w == desktop.w && current.h == desktop.h;
}

// What is known of the display now that its driver runs; the X server is
// asked only under SDL's x11 driver.
SdlDisplayFacts DisplayFacts()
{
    SdlDisplayFacts facts;
    const char* driver = SDL_GetCurrentVideoDriver();
    facts.videoDriver = driver != nullptr ? driver : "";
    facts.windowed = SdlState.windowed;
    if (facts.videoDriver == "x11" && !facts.windowed) {
        const SdlXServerFacts server = SdlAskXServer();
        facts.xwayland = server.xwayland;
        facts.windowManager = server.windowManager;
    }
    return facts;
}

}  // namespace

int SdlChooseDisplayMode(const SDL_DisplayMode* modes, int count, int width, int height, int bits)
{
    int chosen = -1;
    int chosenDistance = 0;
    for (int index = 0; index < count; ++index) {
        if (modes[index].w != width || modes[index].h != height)
            continue;
        int distance = std::abs(static_cast<int>(SDL_BITSPERPIXEL(modes[index].format)) - bits);
        if (chosen < 0 || distance < chosenDistance) {
            chosen = index;
            chosenDistance = distance;
        }
    }
    return chosen;
}

SdlOutputTraits SdlOutput()
{
    return SdlTraitsOf(SdlState.output);
}

void PlatformSetWindowed(bool windowed)
{
    SdlState.windowed = windowed;
}

bool PlatformChangeDisplayMode(int width, int height, int bits)
{
    if (!SdlState.classRegistered)
        return false;
    // A windowed run leaves the desktop's mode alone: nothing to record, so
    // the window is made without full screen.
    const SdlOutputKind output = SdlPlanOutput(DisplayFacts());
    if (output == SdlOutputKind::Window) {
        SdlState.output = output;
        return true;
    }
    int count = SDL_GetNumDisplayModes(kDisplayIndex);
    if (count < 0) {
        SdlReportFailure("SDL_GetNumDisplayModes");
        return false;
    }
    std::vector<SDL_DisplayMode> modes(static_cast<size_t>(count));
    for (int index = 0; index < count; ++index) {
        if (SDL_GetDisplayMode(kDisplayIndex, index, &modes[static_cast<size_t>(index)]) != 0) {
            SdlReportFailure("SDL_GetDisplayMode");
            return false;
        }
    }
    int chosen = SdlChooseDisplayMode(modes.data(), count, width, height, bits);
    if (chosen < 0)
        return false;
    // A compositor only emulates the mode, stretching the window to its
    // output's shape. There the window takes the output's own mode instead,
    // the picture fitted into it (sdl_letterbox.cpp).
    SDL_DisplayMode mode = modes[static_cast<size_t>(chosen)];
    const SdlOutputTraits traits = SdlTraitsOf(output);
    if (traits.recordsOutputMode && SDL_GetDesktopDisplayMode(kDisplayIndex, &mode) != 0) {
        SdlReportFailure("SDL_GetDesktopDisplayMode");
        return false;
    }
    SdlState.requestedMode = mode;
    SdlState.output = output;
    if (traits.watchesMode)
        SdlStartModeWatch();
    return true;
}

bool PlatformConfirmDisplayMode()
{
    const Uint32 fullScreen = SdlOutput().fullScreen;
    if (fullScreen == 0)
        return true;
    if (SdlState.window == nullptr)
        return false;
    // The window must be full screen in its own mode: a compositor that
    // refuses full screen makes SDL drop the flag.
    SDL_Window* sdl = SdlState.window->sdl;
    SDL_DisplayMode windowMode{}, current{};
    if ((SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN_DESKTOP) != fullScreen ||
        SDL_GetWindowDisplayMode(sdl, &windowMode) != 0 || windowMode.w != SdlState.requestedMode.w ||
        windowMode.h != SdlState.requestedMode.h)
        return false;
    // The display must run the mode; SDL records it only once the server
    // has accepted the switch.
    return SDL_GetCurrentDisplayMode(kDisplayIndex, &current) == 0 && current.w == SdlState.requestedMode.w &&
           current.h == SdlState.requestedMode.h;
}

void PlatformRestoreDisplayMode()
{
    SdlState.output = SdlOutputKind::None;
    SdlEndModeWatch(LeaveFullScreen());
}
