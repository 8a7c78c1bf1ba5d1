// headless_platform.cpp — the window system without a display: every call is
// recorded, any one step can be made to fail, messages come from a script.
#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/headless/headless_internal.h"
#include "platform/posix/file_view.h"

struct PlatformWindow {
    int width;
    int height;
};
struct PlatformDeviceContext {
    PlatformWindow* window;
};
struct PlatformRenderContext {
    HeadlessGl gl;
};

namespace {

struct ScriptItem {
    int idlePasses;          // > 0: this many PeekMessage calls find nothing
    WindowMessage message;   // otherwise: the message retrieved
};

// What one test or tool run sets up and records, from one HeadlessReset to
// the next: a reset starts a fresh one.
struct HeadlessSession {
    std::vector<std::string> calls;
    std::vector<HeadlessBox> boxes;
    std::vector<std::string> cues;
    std::deque<ScriptItem> script;
    std::deque<WindowMessage> posted;  // messages the program posted to itself
    HeadlessStep failingStep = HeadlessStep::None;
    std::function<void()> swapHook;
    int swapCount = 0;
    int surfaceWidth = 800;
    int surfaceHeight = 600;
    bool windowed = false;  // PlatformSetWindowed
    bool modeChanged = false;
    bool cursorVisible = true;
    PlatformWindow* window = nullptr;
    PlatformDeviceContext* deviceContext = nullptr;
    PlatformWindow* focus = nullptr;
    HeadlessGl directGl;  // HeadlessOpenContext's context
    std::vector<PlatformRenderContext*> renderContexts;  // alive, including ones a failed delete left
};

// The headless platform's one record.
struct HeadlessState {
    HeadlessEgl egl;  // outlives every session
    HeadlessSession session;
};

HeadlessState& Platform()
{
    static HeadlessState state;
    return state;
}

HeadlessSession& Session()
{
    return Platform().session;
}

PlatformInstance* ModuleToken()
{
    static char token;
    return reinterpret_cast<PlatformInstance*>(&token);
}

}  // namespace

HeadlessEgl& HeadlessEglState()
{
    return Platform().egl;
}

void HeadlessRecordCall(const std::string& call)
{
    Session().calls.push_back(call);
}

bool HeadlessStepFails(HeadlessStep step, const std::string& call)
{
    HeadlessRecordCall(call);
    return Session().failingStep == step;
}

// ---- control -------------------------------------------------------------------

void HeadlessReset()
{
    HeadlessCloseContext();
    HeadlessMakeGlCurrent(nullptr);
    // Then what else the session holds, before a fresh one replaces it.
    HeadlessSession& session = Session();
    for (PlatformRenderContext* context : session.renderContexts) {
        HeadlessDestroyGl(&context->gl);
        delete context;
    }
    delete session.deviceContext;
    delete session.window;
    session = HeadlessSession{};
}

void HeadlessClearRecords()
{
    // Keep the vectors' storage: the soak run clears them over and over.
    HeadlessSession& session = Session();
    session.calls.clear();
    session.boxes.clear();
    session.cues.clear();
}

void HeadlessQueueMessage(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    Session().script.push_back(ScriptItem{0, WindowMessage{Session().window, message, wParam, lParam}});
}

void HeadlessQueueIdle(int passes)
{
    if (passes > 0)
        Session().script.push_back(ScriptItem{passes, WindowMessage{}});
}

void HeadlessQueueKeyDown(uint8_t key) { HeadlessQueueMessage(WM_KEYDOWN, key, 1); }
void HeadlessQueueKeyUp(uint8_t key) { HeadlessQueueMessage(WM_KEYUP, key, 1); }
void HeadlessFailStep(HeadlessStep step) { Session().failingStep = step; }
const std::vector<std::string>& HeadlessCalls() { return Session().calls; }
const std::vector<HeadlessBox>& HeadlessBoxes() { return Session().boxes; }
const std::vector<std::string>& HeadlessCues() { return Session().cues; }
int HeadlessSwapCount() { return Session().swapCount; }
bool HeadlessDisplayModeChanged() { return Session().modeChanged; }
bool HeadlessCursorVisible() { return Session().cursorVisible; }
void HeadlessSetSwapHook(std::function<void()> hook) { Session().swapHook = std::move(hook); }

void HeadlessSetSurfaceSize(int width, int height)
{
    Session().surfaceWidth = width;
    Session().surfaceHeight = height;
}

bool HeadlessOpenContext(int width, int height)
{
    HeadlessCloseContext();
    HeadlessGl& gl = Session().directGl;
    if (!HeadlessCreateGl(width, height, &gl))
        return false;
    if (!HeadlessMakeGlCurrent(&gl)) {
        HeadlessDestroyGl(&gl);
        return false;
    }
    return true;
}

void HeadlessCloseContext()
{
    HeadlessGl& gl = Session().directGl;
    if (gl.context == nullptr)
        return;
    HeadlessMakeGlCurrent(nullptr);
    HeadlessDestroyGl(&gl);
}

// ---- process and window system ---------------------------------------------------

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
    Session().windowed = windowed;
}

bool PlatformChangeDisplayMode(int width, int height, int bits)
{
    std::string call = "ChangeDisplayMode " + std::to_string(width) + "x" + std::to_string(height) + "x" +
                       std::to_string(bits);
    if (HeadlessStepFails(HeadlessStep::ChangeDisplayMode, call))
        return false;
    Session().modeChanged = !Session().windowed;
    return true;
}

void PlatformRestoreDisplayMode()
{
    HeadlessRecordCall("RestoreDisplayMode");
    Session().modeChanged = false;
}

bool PlatformConfirmDisplayMode()
{
    return !HeadlessStepFails(HeadlessStep::ConfirmDisplayMode, "ConfirmDisplayMode");
}

void PlatformShowCursor(bool show)
{
    HeadlessRecordCall(show ? "ShowCursor 1" : "ShowCursor 0");
    Session().cursorVisible = show || Session().windowed;
}

WindowHandle PlatformCreateWindow(InstanceHandle, const char* title, int width, int height)
{
    std::string call = std::string("CreateWindow ") + title + " " + std::to_string(width) + "x" +
                       std::to_string(height);
    if (HeadlessStepFails(HeadlessStep::CreateWindow, call))
        return nullptr;
    Session().window = new PlatformWindow{width, height};
    return Session().window;
}

bool PlatformDestroyWindow(WindowHandle window)
{
    if (HeadlessStepFails(HeadlessStep::DestroyWindow, "DestroyWindow"))
        return false;
    HeadlessSession& session = Session();
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
    Session().focus = window;
}

WindowHandle PlatformGetFocus()
{
    return Session().focus;
}

DeviceContextHandle PlatformGetDeviceContext(WindowHandle window)
{
    if (HeadlessStepFails(HeadlessStep::GetDeviceContext, "GetDeviceContext"))
        return nullptr;
    Session().deviceContext = new PlatformDeviceContext{window};
    return Session().deviceContext;
}

bool PlatformReleaseDeviceContext(WindowHandle, DeviceContextHandle deviceContext)
{
    if (HeadlessStepFails(HeadlessStep::ReleaseDeviceContext, "ReleaseDeviceContext"))
        return false;
    if (deviceContext == Session().deviceContext) {
        delete Session().deviceContext;
        Session().deviceContext = nullptr;
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
    auto* context = new PlatformRenderContext{};
    if (!HeadlessCreateGl(Session().surfaceWidth, Session().surfaceHeight, &context->gl)) {
        delete context;
        return nullptr;
    }
    Session().renderContexts.push_back(context);
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
    std::vector<PlatformRenderContext*>& alive = Session().renderContexts;
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
    HeadlessSession& session = Session();
    if (session.swapHook)
        session.swapHook();
    HeadlessSwapCurrentGl();
    ++session.swapCount;
    return true;
}

// ---- message queue ------------------------------------------------------------------

bool PlatformPeekMessage(WindowMessage* record)
{
    HeadlessSession& session = Session();
    if (!session.posted.empty()) {
        *record = session.posted.front();
        session.posted.pop_front();
        return true;
    }
    if (session.script.empty()) {
        *record = WindowMessage{nullptr, WM_QUIT, static_cast<uintptr_t>(-1), 0};
        return true;
    }
    ScriptItem& item = session.script.front();
    if (item.idlePasses > 0) {
        if (--item.idlePasses == 0)
            session.script.pop_front();
        return false;
    }
    *record = item.message;
    record->window = session.window;
    session.script.pop_front();
    return true;
}

void PlatformPostQuitMessage(int exitCode)
{
    HeadlessRecordCall("PostQuitMessage " + std::to_string(exitCode));
    Session().posted.push_back(WindowMessage{nullptr, WM_QUIT, static_cast<uintptr_t>(exitCode), 0});
}

intptr_t PlatformDefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t)
{
    HeadlessRecordCall("DefaultWindowProc " + std::to_string(message));
    // The system turns its close command into a close request.
    if (message == WM_SYSCOMMAND && wParam == SC_CLOSE)
        Session().posted.push_back(WindowMessage{window, WM_CLOSE, 0, 0});
    return 0;
}

// ---- user feedback and files ----------------------------------------------------------

void PlatformMessageBox(WindowHandle owner, const char* text, const char* caption, MessageBoxIcon icon)
{
    HeadlessRecordCall(std::string("MessageBox ") + caption);
    Session().boxes.push_back(HeadlessBox{owner, text, caption, icon});
}

void PlatformOpenSound(const char* const* cuePaths, size_t count)
{
    std::string call = "OpenSound";
    for (size_t i = 0; i < count; ++i)
        call += std::string(" ") + cuePaths[i];
    HeadlessRecordCall(call);
}

void PlatformCloseSound()
{
    HeadlessRecordCall("CloseSound");
}

void PlatformPlaySound(const char* path)
{
    Session().cues.emplace_back(path);
}

bool PlatformOpenFileView(const char* path, FileView* view)
{
    if (HeadlessStepFails(HeadlessStep::OpenFileView, std::string("OpenFileView ") + path)) {
        *view = FileView{nullptr, 0, -1};
        return false;
    }
    return PosixOpenFileView(path, view);
}

void PlatformCloseFileView(FileView* view)
{
    PosixCloseFileView(view);
}
