// sdl_x11_window.cpp — the program's window on X11: SDL's waits for the
// window manager, bounded, and whether the window is on the screen.
//
// On X11, SDL_ShowWindow waits for the server to say the window is mapped,
// and SDL_HideWindow (SDL_DestroyWindow too) for it to say it is unmapped,
// with no limit. Under a window manager the map is the manager's to grant: one
// that never grants it (stuck, or busy for good) would leave the program
// stopped there, its window never shown. So a watcher thread, on a
// connection of its own, waits a second, and if SDL is still waiting then,
// sends the window the very notice SDL waits for; SDL goes on as if the
// window manager had answered, and a map granted later is taken as usual.
// The watcher's connection is its thread's alone, and it only sends.
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/sdl/sdl_x11.h"

namespace {

constexpr auto kWindowManagerTime = std::chrono::seconds(1);

// The X window of an SDL window on the x11 driver, 0 for any other.
Window XWindowOf(SDL_Window* window)
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0)
        return 0;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return 0;
    return info.info.x11.window;
}

// Runs call(window); gives the window the notice of type `notice`
// (MapNotify, UnmapNotify) should the call still wait for it after a second.
template <typename Call>
void CallWithin(SDL_Window* window, int notice, Call call)
{
    const Window xWindow = XWindowOf(window);
    Display* own = xWindow != 0 ? XOpenDisplay(nullptr) : nullptr;
    if (own == nullptr) {
        call(window);
        return;
    }
    std::mutex lock;
    std::condition_variable returned;
    bool done = false;
    std::thread watcher([&] {
        std::unique_lock<std::mutex> held(lock);
        if (returned.wait_for(held, kWindowManagerTime, [&] { return done; }))
            return;
        XEvent event{};
        event.type = notice;
        event.xmap.event = xWindow;  // the same place in an unmap notice
        event.xmap.window = xWindow;
        XSendEvent(own, xWindow, False, StructureNotifyMask, &event);
        XFlush(own);
    });
    call(window);
    {
        std::lock_guard<std::mutex> held(lock);
        done = true;
    }
    returned.notify_one();
    watcher.join();
    XCloseDisplay(own);
}

}  // namespace

void SdlShowWindowWithin(SDL_Window* window)
{
    CallWithin(window, MapNotify, SDL_ShowWindow);
}

void SdlHideWindowWithin(SDL_Window* window)
{
    CallWithin(window, UnmapNotify, SDL_HideWindow);
}

bool SdlLendFocusToPointer(SDL_Window* window)
{
    const Window xWindow = XWindowOf(window);
    Display* own = xWindow != 0 ? XOpenDisplay(nullptr) : nullptr;
    if (own == nullptr)
        return false;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(own, &focus, &revert);
    const bool lent = focus == xWindow;
    if (lent)
        XSetInputFocus(own, PointerRoot, RevertToPointerRoot, CurrentTime);
    XCloseDisplay(own);
    return lent;
}

// The focus lent first (it would come back to nobody once the window is
// gone), then hidden within the bound, so that no notice is ever sent to a
// window that is gone.
void SdlDestroyWindowWithin(SDL_Window* window)
{
    SdlLendFocusToPointer(window);
    SdlHideWindowWithin(window);
    SDL_DestroyWindow(window);
}

bool SdlWindowViewable(SDL_Window* window)
{
    const Window xWindow = XWindowOf(window);
    if (xWindow == 0)
        return true;  // not X's to say
    Display* own = XOpenDisplay(nullptr);
    if (own == nullptr)
        return false;
    XWindowAttributes attributes{};
    const bool viewable = XGetWindowAttributes(own, xWindow, &attributes) != 0 && attributes.map_state == IsViewable;
    XCloseDisplay(own);
    return viewable;
}
