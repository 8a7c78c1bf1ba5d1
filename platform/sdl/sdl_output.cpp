// sdl_output.cpp — how the program's picture reaches the screen: one named
// kind of output, chosen from what is known of the display, and everything
// that follows from it.
//
// A display that changes modes (an X server driving a monitor) switches to
// 800 x 600. A compositor never changes its output's mode for a client: it
// would only stretch an 800 x 600 mode to the output's shape. There the
// window takes the output at its own size and the picture is fitted into it
// at 4:3 (sdl_letterbox.cpp), full screen on the desktop, or, through
// Xwayland under most window managers, full screen in the output's own
// mode. A windowed run is an ordinary window, fitted the same way.
#include "platform/sdl/sdl_internal.h"

namespace {

// Xwayland's window managers, by the name they announce. mutter (GNOME
// Shell's) leaves a window full screen in a mode undrawn until the pointer
// moves on it, so there the window is full screen on the desktop. weston's
// now and then drops a window full screen on the desktop as it maps it,
// leaving it 800 x 600 in the middle of the screen, so there, and with any
// window manager not known to want otherwise, the window is full screen in
// the output's own mode. KWin shows either.
bool WantsFullScreenOnTheDesktop(const std::string& windowManager)
{
    return windowManager == "Mutter" || windowManager == "GNOME Shell";
}

}  // namespace

SdlOutputKind SdlPlanOutput(const SdlDisplayFacts& facts)
{
    if (facts.windowed)
        return SdlOutputKind::Window;
    if (facts.videoDriver == "wayland")
        return SdlOutputKind::CompositorDesktop;
    if (facts.videoDriver != "x11")
        return SdlOutputKind::ModeSwitch;
    if (!facts.xwayland)
        return SdlOutputKind::WatchedModeSwitch;
    return WantsFullScreenOnTheDesktop(facts.windowManager) ? SdlOutputKind::CompositorDesktop
                                                            : SdlOutputKind::CompositorMode;
}

SdlOutputTraits SdlTraitsOf(SdlOutputKind kind)
{
    switch (kind) {
    //                                 full screen                    framed highDpi fits  output watch  aside
    case SdlOutputKind::ModeSwitch:
        return SdlOutputTraits{SDL_WINDOW_FULLSCREEN, false, false, false, false, false, false};
    case SdlOutputKind::WatchedModeSwitch:
        return SdlOutputTraits{SDL_WINDOW_FULLSCREEN, false, false, false, false, true, false};
    case SdlOutputKind::CompositorDesktop:
        return SdlOutputTraits{SDL_WINDOW_FULLSCREEN_DESKTOP, false, true, true, true, false, true};
    case SdlOutputKind::CompositorMode:
        return SdlOutputTraits{SDL_WINDOW_FULLSCREEN, false, true, true, true, false, true};
    case SdlOutputKind::Window:
        return SdlOutputTraits{0, true, true, true, false, false, false};
    case SdlOutputKind::None:
        break;
    }
    return SdlOutputTraits{};
}
