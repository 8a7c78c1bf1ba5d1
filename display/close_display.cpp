// close_display.cpp — teardown: the desktop mode first, then the context,
// device context, window and class. Every release is tried once; a failure
// shows its own "SHUTDOWN ERROR" box and the next release still runs.
#include "display/display.h"
#include "render/render.h"
#include "state/app_state.h"

namespace {

void ReportShutdownFailure(const char* text)
{
    PlatformMessageBox(nullptr, text, "SHUTDOWN ERROR", MessageBoxIcon::Asterisk);
}

}  // namespace

void CloseDisplay()
{
    PlatformRestoreDisplayMode();
    if (AppState.renderContext != nullptr) {
        if (!PlatformMakeCurrent(nullptr, nullptr))
            ReportShutdownFailure("Release of DC and RC FAILED!");
        if (!PlatformDeleteRenderContext(AppState.renderContext))
            ReportShutdownFailure("Release of RC FAILED!");
        AppState.renderContext = nullptr;
    }
    if (AppState.deviceContext != nullptr) {
        if (!PlatformReleaseDeviceContext(AppState.window, AppState.deviceContext))
            ReportShutdownFailure("Release of DC FAILED!");
        AppState.deviceContext = nullptr;
    }
    if (AppState.window != nullptr) {
        if (!PlatformDestroyWindow(AppState.window))
            ReportShutdownFailure("Could NOT release the window!");
        AppState.window = nullptr;
    }
    if (!PlatformUnregisterWindowClass(AppState.instance))
        ReportShutdownFailure("Could NOT unregister class!");
    // The lists went with the context; this only matters if one is still current.
    FreeGlyphLists();
}
