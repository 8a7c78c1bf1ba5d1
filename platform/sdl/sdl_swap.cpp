// sdl_swap.cpp — presenting the back buffer at the program's pace: 60 steps
// a second on any display (platform/common/step_pace.h).
//
// The program's loop never waits and moves everything a step per pass, so
// the swap holds it to its pace. Each swap waits for the refresh that shows
// the next step: on a 60 Hz display every refresh, on 120 Hz every other, on
// 144 Hz every second or third, evenly in time. Where the driver itself
// waits for the refresh (vsync), the swap is made half a refresh before the
// one it is meant for, and the driver presents it there; where the driver
// does not (Xvfb, a driver without swap control), the swap waits for that
// refresh's time itself. Mesa's vblank_mode=0 turns both off.
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/sdl/sdl_internal.h"

namespace {

using Clock = std::chrono::steady_clock;

// When the display does not say its refresh rate, or says nonsense.
constexpr int kDefaultRefreshHz = 60;
constexpr int kFastestRefreshHz = 1000;

double RefreshPeriod(SDL_Window* window)
{
    SDL_DisplayMode mode{};
    int display = SDL_GetWindowDisplayIndex(window);
    int hertz = kDefaultRefreshHz;
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0 &&
        mode.refresh_rate <= kFastestRefreshHz)
        hertz = mode.refresh_rate;
    return 1.0 / hertz;
}

bool VsyncTurnedOff()
{
    const char* vblankMode = std::getenv("vblank_mode");
    return vblankMode != nullptr && std::strcmp(vblankMode, "0") == 0;
}

double Seconds(Clock::time_point time)
{
    return std::chrono::duration<double>(time.time_since_epoch()).count();
}

Clock::time_point TimeAt(double seconds)
{
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)));
}

}  // namespace

void SdlStartSwapPacer(SdlSwapPacer* pacer, bool driverSyncs)
{
    pacer->paced = !VsyncTurnedOff();
    pacer->driverSyncs = driverSyncs;
    pacer->schedule = StepSchedule{};
    pacer->lastRefreshAt = Seconds(Clock::now());
}

bool PlatformSwapBuffers(DeviceContextHandle deviceContext)
{
    if (deviceContext == nullptr || !deviceContext->formatSet)
        return false;
    SdlSwapPacer& pacer = deviceContext->pacer;
    SDL_Window* sdl = deviceContext->window->sdl;
    double shownAt = 0;
    if (pacer.paced) {
        const double period = RefreshPeriod(sdl);
        shownAt = NextStepRefresh(&pacer.schedule, pacer.lastRefreshAt, period, Seconds(Clock::now()));
        std::this_thread::sleep_until(TimeAt(pacer.driverSyncs ? shownAt - period / 2 : shownAt));
    }
    SdlPresentPicture(deviceContext->window);
    SDL_GL_SwapWindow(sdl);
    SdlResumePicture(deviceContext->window);
    // A driver that waits returns at the refresh it presented on.
    if (pacer.paced)
        pacer.lastRefreshAt = pacer.driverSyncs ? Seconds(Clock::now()) : shownAt;
    return true;
}
