// window_proc.cpp — the window procedure: keys into AppState.keys, minimising
// into AppState.active, size changes into the projection, close into quit.
#include "display/display.h"
#include "render/render.h"
#include "state/app_state.h"

intptr_t DisplayWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        AppState.active = HighWord(wParam) == 0;  // the minimised flag
        return 0;
    case WM_SYSCOMMAND:
        // Keep the screen saver and monitor power-saving from starting.
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER)
            return 0;
        break;
    case WM_CLOSE:
        PlatformPostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        // Codes from 256 up have no entry in the table.
        if (wParam < kKeyCount)
            AppState.keys[wParam] = message == WM_KEYDOWN;
        return 0;
    case WM_SYSKEYUP:
        // A key let go while ALT is held comes as a system key; it must not
        // stay held. The system still gets it for its own ALT handling.
        if (wParam < kKeyCount)
            AppState.keys[wParam] = false;
        break;
    case WM_SIZE:
        ResizeView(LowWord(static_cast<uintptr_t>(lParam)), HighWord(static_cast<uintptr_t>(lParam)));
        return 0;
    default:
        break;
    }
    return PlatformDefaultWindowProc(window, message, wParam, lParam);
}
