// sdl_swap.cpp — presenting the back buffer, paced like a vsync'd swap.
//
// The program's loop never waits, so without vsync it would spin as fast as
// the machine allows. Where the driver refuses a swap interval (Xvfb, or a
// driver without swap control), the swap waits instead: it presents no
// earlier than one refresh period after the previous one. Mesa's
// vblank_mode=0 turns the driver's wait off, and then this one too.
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/sdl/sdl_internal.h"

namespace {

using Clock = std::chrono::steady_clock;

// When the display does not say its refresh rate.
constexpr int kDefaultRefreshHz = 60;

Clock::duration RefreshPeriod(SDL_Window* window)
{
    SDL_DisplayMode mode{};
    int display = SDL_GetWindowDisplayIndex(window);
    int hertz = kDefaultRefreshHz;
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0)
        hertz = mode.refresh_rate;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / hertz));
}

bool VsyncTurnedOff()
{
    const char* vblankMode = std::getenv("vblank_mode");
    return vblankMode != nullptr && std::strcmp(vblankMode, "0") == 0;
}

}  // namespace

Clock::time_point SdlNextSwapDeadline(Clock::time_point deadline, Clock::time_point finished,
                                      Clock::duration period)
{
    // More than a period late (a slow frame): start afresh rather than rush
    // through frames to catch up.
    if (finished - deadline > period)
        return finished + period;
    return deadline + period;
}

void SdlStartSwapPacer(SdlSwapPacer* pacer, bool driverSyncs)
{
    pacer->enabled = !driverSyncs && !VsyncTurnedOff();
    pacer->deadline = Clock::now();
}

bool PlatformSwapBuffers(DeviceContextHandle deviceContext)
{
    if (deviceContext == nullptr || !deviceContext->formatSet)
        return false;
    SdlSwapPacer& pacer = deviceContext->pacer;
    SDL_Window* sdl = deviceContext->window->sdl;
    if (pacer.enabled)
        std::this_thread::sleep_until(pacer.deadline);
    SdlPresentPicture(deviceContext->window);
    SDL_GL_SwapWindow(sdl);
    SdlResumePicture(deviceContext->window);
    if (pacer.enabled)
        pacer.deadline = SdlNextSwapDeadline(pacer.deadline, Clock::now(), RefreshPeriod(sdl));
    return true;
}
