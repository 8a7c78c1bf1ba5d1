// open_display.cpp — start-up: window class, full-screen mode, window, pixel
// format and GL context, in that order, then the renderer. Each failure shows
// one "ERROR" box; from the window on, the display is torn down before it.
#include "display/display.h"
#include "render/render.h"
#include "state/app_state.h"
#include "state/window_request.h"

namespace {

constexpr const char* kStartupCaption = "ERROR";

void ReportStartupFailure(const char* text, MessageBoxIcon icon)
{
    PlatformMessageBox(nullptr, text, kStartupCaption, icon);
}

constexpr const char* kRefusedModeText = "Your video card does not support FULLSCREEN operation!";

// From the window on, the user gets the desktop back before reading the box.
bool FailAfterWindowCreation(const char* text)
{
    CloseDisplay();
    ReportStartupFailure(text, MessageBoxIcon::Exclamation);
    return false;
}

// A display may accept the mode when asked and still refuse to switch when
// the window is shown. That is the refused mode all the same, and the user
// sees it as such: everything given back, the cursor too, then its box.
bool FailRefusedSwitch()
{
    CloseDisplay();
    PlatformShowCursor(true);
    ReportStartupFailure(kRefusedModeText, MessageBoxIcon::Hand);
    return false;
}

// Fills the request in from the colour bits on, over its members of process start.
void RequestPixelFormat(int bits)
{
    PixelFormatDescriptor format = InitialPixelFormat();
    format.cColorBits = static_cast<uint8_t>(bits & 0xFF);
    format.cDepthBits = kDepthBufferBits;
    format.iLayerType = PFD_MAIN_PLANE;
    AppState.pixelFormat = format;
}

}  // namespace

bool OpenDisplay(const char* title, int width, int height, int bits)
{
    AppState.instance = PlatformModuleHandle();
    if (!PlatformRegisterWindowClass(AppState.instance)) {
        ReportStartupFailure("Failed to register the window class!", MessageBoxIcon::Exclamation);
        return false;
    }
    if (!PlatformChangeDisplayMode(width, height, bits)) {
        ReportStartupFailure(kRefusedModeText, MessageBoxIcon::Hand);
        return false;
    }
    PlatformShowCursor(false);

    AppState.window = PlatformCreateWindow(AppState.instance, title, width, height);
    if (AppState.window == nullptr)
        return FailAfterWindowCreation("Window creation ERROR!");
    RequestPixelFormat(bits);
    AppState.deviceContext = PlatformGetDeviceContext(AppState.window);
    if (AppState.deviceContext == nullptr)
        return FailAfterWindowCreation("Cannot create a GL DC!");
    const int formatIndex = PlatformChoosePixelFormat(AppState.deviceContext, &AppState.pixelFormat);
    if (formatIndex == 0)
        return FailAfterWindowCreation("Cannot find a suitable PixelFormat!");
    if (!PlatformSetPixelFormat(AppState.deviceContext, formatIndex, &AppState.pixelFormat))
        return FailAfterWindowCreation("Cannot set the pixel format!");
    AppState.renderContext = PlatformCreateRenderContext(AppState.deviceContext);
    if (AppState.renderContext == nullptr)
        return FailAfterWindowCreation("Cannot create a GL RC!");
    if (!PlatformMakeCurrent(AppState.deviceContext, AppState.renderContext))
        return FailAfterWindowCreation("Cannot activate the GL RC!");

    PlatformShowWindow(AppState.window);
    PlatformSetForegroundWindow(AppState.window);
    PlatformSetFocus(AppState.window);
    if (!PlatformConfirmDisplayMode())
        return FailRefusedSwitch();
    ResizeView(width, height);
    if (!SetupRenderer())
        return FailAfterWindowCreation("Initialization FAILED!");
    return true;
}
