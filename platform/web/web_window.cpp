// web_window.cpp — the window system on a page: the canvas is the window,
// its WebGL context (through the legacy GL emulation) the rendering context.
// A page cannot change the display's mode; full screen comes from the
// browser on the first key or click (web_library.js), so the mode change
// always succeeds and changes nothing.
#include "platform/web/gl_compat/gl_compat.h"
#include "platform/web/web_internal.h"

WebState Web;

namespace {

char moduleToken;

}  // namespace

InstanceHandle PlatformModuleHandle()
{
    return reinterpret_cast<InstanceHandle>(&moduleToken);
}

bool PlatformRegisterWindowClass(InstanceHandle)
{
    if (Web.classRegistered)
        return false;
    Web.classRegistered = true;
    if (!Web.listening) {
        marivelt_listen(kNewsKey, kNewsFocus, kNewsShown, kNewsStage, kNewsPointerDown, kNewsPointerMove,
                        kNewsPointerUp, kNewsPointerCancel, kNewsWheel);
        Web.listening = true;
    }
    return true;
}

bool PlatformUnregisterWindowClass(InstanceHandle)
{
    if (!Web.classRegistered || Web.window != nullptr)
        return false;
    Web.classRegistered = false;
    return true;
}

// The page is a window already; full screen is the browser's, on the first gesture.
void PlatformSetWindowed(bool) {}
bool PlatformChangeDisplayMode(int, int, int) { return true; }
void PlatformRestoreDisplayMode() {}
bool PlatformConfirmDisplayMode() { return true; }
void PlatformShowCursor(bool show) { marivelt_show_cursor(show ? 1 : 0); }

WindowHandle PlatformCreateWindow(InstanceHandle, const char* title, int width, int height)
{
    if (!Web.classRegistered || Web.window != nullptr || !marivelt_open_canvas(title, width, height))
        return nullptr;
    Web.window = new PlatformWindow{width, height, width, height};
    return Web.window;
}

bool PlatformDestroyWindow(WindowHandle window)
{
    if (window == nullptr || window != Web.window)
        return false;
    marivelt_close_canvas();
    delete Web.window;
    Web.window = nullptr;
    return true;
}

void PlatformShowWindow(WindowHandle) {}
void PlatformSetForegroundWindow(WindowHandle) {}
void PlatformSetFocus(WindowHandle) {}
WindowHandle PlatformGetFocus() { return Web.window; }

DeviceContextHandle PlatformGetDeviceContext(WindowHandle window)
{
    if (window == nullptr || window != Web.window)
        return nullptr;
    return new PlatformDeviceContext{window, false};
}

bool PlatformReleaseDeviceContext(WindowHandle window, DeviceContextHandle deviceContext)
{
    if (deviceContext == nullptr || deviceContext->window != window)
        return false;
    delete deviceContext;
    return true;
}

// One format: what the context is made with (RGB, double buffered, depth).
int PlatformChoosePixelFormat(DeviceContextHandle deviceContext, const PixelFormatDescriptor* request)
{
    constexpr uint32_t kOffered = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    if (deviceContext == nullptr || request->iPixelType != PFD_TYPE_RGBA || (request->dwFlags & ~kOffered) != 0 ||
        request->cDepthBits > kDepthBufferBits)
        return 0;
    return 1;
}

bool PlatformSetPixelFormat(DeviceContextHandle deviceContext, int index, const PixelFormatDescriptor*)
{
    if (deviceContext == nullptr || index != 1 || deviceContext->formatSet)
        return false;
    deviceContext->formatSet = true;
    return true;
}

RenderContextHandle PlatformCreateRenderContext(DeviceContextHandle deviceContext)
{
    if (deviceContext == nullptr || !deviceContext->formatSet || Web.context != nullptr || !marivelt_create_context())
        return nullptr;
    Web.context = new PlatformRenderContext{false};
    return Web.context;
}

bool PlatformMakeCurrent(DeviceContextHandle deviceContext, RenderContextHandle renderContext)
{
    if (renderContext == nullptr) {
        if (Web.context != nullptr)
            Web.context->current = false;
        return true;
    }
    if (deviceContext == nullptr || renderContext != Web.context)
        return false;
    renderContext->current = true;
    return true;
}

bool PlatformDeleteRenderContext(RenderContextHandle renderContext)
{
    if (renderContext == nullptr || renderContext != Web.context)
        return false;
    // The lists and the rest lived in the context, as they do on the desktop.
    CompatGlForgetContext();
    delete Web.context;
    Web.context = nullptr;
    return true;
}

bool PlatformHasCurrentContext()
{
    return Web.context != nullptr && Web.context->current;
}

GLUquadric* PlatformNewQuadric()
{
    return CompatGluNewQuadric();
}
