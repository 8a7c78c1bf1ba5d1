// headless_window.cpp — the window system and GL contexts without a display:
// each call is recorded and its step can be made to fail; a render context
// is an offscreen Mesa surface (headless_gl.cpp), the swap runs the test's
// hook first, with the frame still in the back buffer.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/headless/headless_internal.h"

namespace {

PlatformInstance* ModuleToken()
{
    static char token;
    return reinterpret_cast<PlatformInstance*>(&token);
}

}  // namespace

InstanceHandle PlatformModuleHandle()
{
    HeadlessRecordCall("ModuleHandle");
    return ModuleToken();
}

bool PlatformRegisterWindowClass(InstanceHandle)
{
    return !HeadlessStepFails(HeadlessStep::RegisterWindowClass, "RegisterWindowClass");
}

bool PlatformUnregisterWindowClass(InstanceHandle)
{
    return !HeadlessStepFails(HeadlessStep::UnregisterWindowClass, "UnregisterWindowClass");
}

void PlatformSetWindowed(bool windowed)
{
    HeadlessRecordCall(windowed ? "SetWindowed 1" : "SetWindowed 0");
    HeadlessSessionState().windowed = windowed;
}

bool PlatformChangeDisplayMode(int width, int height, int bits)
{
    std::string call = "ChangeDisplayMode " + std::to_string(width) + "x" + std::to_string(height) + "x" +
                       std::to_string(bits);
    if (HeadlessStepFails(HeadlessStep::ChangeDisplayMode, call))
        return false;
    HeadlessSession& session = HeadlessSessionState();
    session.modeChanged = !session.windowed;
    return true;
}

void PlatformRestoreDisplayMode()
{
    HeadlessRecordCall("RestoreDisplayMode");
    HeadlessSessionState().modeChanged = false;
}

bool PlatformConfirmDisplayMode()
{
    return !HeadlessStepFails(HeadlessStep::ConfirmDisplayMode, "ConfirmDisplayMode");
}

void PlatformShowCursor(bool show)
{
    HeadlessRecordCall(show ? "ShowCursor 1" : "ShowCursor 0");
    HeadlessSession& session = HeadlessSessionState();
    session.cursorVisible = show || session.windowed;
}

WindowHandle PlatformCreateWindow(InstanceHandle, const char* title, int width, int height)
{
    std::string call = std::string("CreateWindow ") + title + " " + std::to_string(width) + "x" +
                       std::to_string(height);
    if (HeadlessStepFails(HeadlessStep::CreateWindow, call))
        return nullptr;
    HeadlessSession& session = HeadlessSessionState();
    session.window = new PlatformWindow{width, height};
    return session.window;
}

bool PlatformDestroyWindow(WindowHandle window)
{
    if (HeadlessStepFails(HeadlessStep::DestroyWindow, "DestroyWindow"))
        return false;
    HeadlessSession& session = HeadlessSessionState();
    if (window == session.window) {
        if (session.focus == window)
            session.focus = nullptr;
        delete session.window;
        session.window = nullptr;
    }
    return true;
}

void PlatformShowWindow(WindowHandle) { HeadlessRecordCall("ShowWindow"); }
void PlatformSetForegroundWindow(WindowHandle) { HeadlessRecordCall("SetForegroundWindow"); }

void PlatformSetFocus(WindowHandle window)
{
    HeadlessRecordCall("SetFocus");
    HeadlessSessionState().focus = window;
}

WindowHandle PlatformGetFocus()
{
    return HeadlessSessionState().focus;
}

DeviceContextHandle PlatformGetDeviceContext(WindowHandle window)
{
    if (HeadlessStepFails(HeadlessStep::GetDeviceContext, "GetDeviceContext"))
        return nullptr;
    HeadlessSession& session = HeadlessSessionState();
    session.deviceContext = new PlatformDeviceContext{window};
    return session.deviceContext;
}

bool PlatformReleaseDeviceContext(WindowHandle, DeviceContextHandle deviceContext)
{
    if (HeadlessStepFails(HeadlessStep::ReleaseDeviceContext, "ReleaseDeviceContext"))
        return false;
    HeadlessSession& session = HeadlessSessionState();
    if (deviceContext == session.deviceContext) {
        delete session.deviceContext;
        session.deviceContext = nullptr;
    }
    return true;
}

int PlatformChoosePixelFormat(DeviceContextHandle, const PixelFormatDescriptor* request)
{
    std::string call = "ChoosePixelFormat flags=" + std::to_string(request->dwFlags) +
                       " color=" + std::to_string(request->cColorBits) +
                       " depth=" + std::to_string(request->cDepthBits);
    return HeadlessStepFails(HeadlessStep::ChoosePixelFormat, call) ? 0 : 1;
}

bool PlatformSetPixelFormat(DeviceContextHandle, int index, const PixelFormatDescriptor*)
{
    return !HeadlessStepFails(HeadlessStep::SetPixelFormat, "SetPixelFormat " + std::to_string(index));
}

RenderContextHandle PlatformCreateRenderContext(DeviceContextHandle)
{
    if (HeadlessStepFails(HeadlessStep::CreateRenderContext, "CreateRenderContext"))
        return nullptr;
    HeadlessSession& session = HeadlessSessionState();
    auto* context = new PlatformRenderContext{};
    if (!HeadlessCreateGl(session.surfaceWidth, session.surfaceHeight, &context->gl)) {
        delete context;
        return nullptr;
    }
    session.renderContexts.push_back(context);
    return context;
}

bool PlatformMakeCurrent(DeviceContextHandle, RenderContextHandle renderContext)
{
    if (renderContext == nullptr) {
        if (HeadlessStepFails(HeadlessStep::ReleaseCurrent, "MakeCurrent none"))
            return false;
        return HeadlessMakeGlCurrent(nullptr);
    }
    if (HeadlessStepFails(HeadlessStep::MakeCurrent, "MakeCurrent"))
        return false;
    return HeadlessMakeGlCurrent(&renderContext->gl);
}

bool PlatformDeleteRenderContext(RenderContextHandle renderContext)
{
    if (HeadlessStepFails(HeadlessStep::DeleteRenderContext, "DeleteRenderContext"))
        return false;
    std::vector<PlatformRenderContext*>& alive = HeadlessSessionState().renderContexts;
    alive.erase(std::remove(alive.begin(), alive.end(), renderContext), alive.end());
    HeadlessDestroyGl(&renderContext->gl);
    delete renderContext;
    return true;
}

bool PlatformHasCurrentContext()
{
    return HeadlessGlIsCurrent();
}

bool PlatformSwapBuffers(DeviceContextHandle)
{
    HeadlessSession& session = HeadlessSessionState();
    if (session.swapHook)
        session.swapHook();
    HeadlessSwapCurrentGl();
    ++session.swapCount;
    return true;
}
