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

struct HeadlessState {
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

HeadlessState& State()
{
    static HeadlessState state;
    return state;
}

PlatformInstance* ModuleToken()
{
    static char token;
    return reinterpret_cast<PlatformInstance*>(&token);
}

}  // namespace

void HeadlessRecordCall(const std::string& call)
{
    State().calls.push_back(call);
}

bool HeadlessStepFails(HeadlessStep step, const std::string& call)
{
    HeadlessRecordCall(call);
    return State().failingStep == step;
}

// ---- control -------------------------------------------------------------------

void HeadlessReset()
{
    HeadlessState& state = State();
    HeadlessCloseContext();
    HeadlessMakeGlCurrent(nullptr);
    for (PlatformRenderContext* context : state.renderContexts) {
        HeadlessDestroyGl(&context->gl);
        delete context;
    }
    state.renderContexts.clear();
    delete state.deviceContext;
    delete state.window;
    HeadlessSetSwapHook(nullptr);
    HeadlessClearRecords();
    state.script.clear();
    state.posted.clear();
    state.failingStep = HeadlessStep::None;
    state.swapCount = 0;
    state.surfaceWidth = 800;
    state.surfaceHeight = 600;
    state.windowed = false;
    state.modeChanged = false;
    state.cursorVisible = true;
    state.window = nullptr;
    state.deviceContext = nullptr;
    state.focus = nullptr;
}

void HeadlessClearRecords()
{
    // Keep the vectors' storage: fuzzing and soak runs clear them over and over.
    HeadlessState& state = State();
    state.calls.clear();
    state.boxes.clear();
    state.cues.clear();
}

void HeadlessQueueMessage(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    State().script.push_back(ScriptItem{0, WindowMessage{State().window, message, wParam, lParam}});
}

void HeadlessQueueIdle(int passes)
{
    if (passes > 0)
        State().script.push_back(ScriptItem{passes, WindowMessage{}});
}

void HeadlessQueueKeyDown(uint8_t key) { HeadlessQueueMessage(WM_KEYDOWN, key, 1); }
void HeadlessQueueKeyUp(uint8_t key) { HeadlessQueueMessage(WM_KEYUP, key, 1); }
void HeadlessFailStep(HeadlessStep step) { State().failingStep = step; }
const std::vector<std::string>& HeadlessCalls() { return State().calls; }
const std::vector<HeadlessBox>& HeadlessBoxes() { return State().boxes; }
const std::vector<std::string>& HeadlessCues() { return State().cues; }
int HeadlessSwapCount() { return State().swapCount; }
bool HeadlessDisplayModeChanged() { return State().modeChanged; }
bool HeadlessCursorVisible() { return State().cursorVisible; }
void HeadlessSetSwapHook(std::function<void()> hook) { State().swapHook = std::move(hook); }

void HeadlessSetSurfaceSize(int width, int height)
{
    State().surfaceWidth = width;
    State().surfaceHeight = height;
}

bool HeadlessOpenContext(int width, int height)
{
    HeadlessCloseContext();
    HeadlessGl& gl = State().directGl;
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
    HeadlessGl& gl = State().directGl;
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
    State().windowed = windowed;
}

bool PlatformChangeDisplayMode(int width, int height, int bits)
{
    std::string call = "ChangeDisplayMode " + std::to_string(width) + "x" + std::to_string(height) + "x" +
                       std::to_string(bits);
    if (HeadlessStepFails(HeadlessStep::ChangeDisplayMode, call))
        return false;
    State().modeChanged = !State().windowed;
    return true;
}

void PlatformRestoreDisplayMode()
{
    HeadlessRecordCall("RestoreDisplayMode");
    State().modeChanged = false;
}

bool PlatformConfirmDisplayMode()
{
    return !HeadlessStepFails(HeadlessStep::ConfirmDisplayMode, "ConfirmDisplayMode");
}

void PlatformShowCursor(bool show)
{
    HeadlessRecordCall(show ? "ShowCursor 1" : "ShowCursor 0");
    State().cursorVisible = show || State().windowed;
}

WindowHandle PlatformCreateWindow(InstanceHandle, const char* title, int width, int height)
{
    std::string call = std::string("CreateWindow ") + title + " " + std::to_string(width) + "x" +
                       std::to_string(height);
    if (HeadlessStepFails(HeadlessStep::CreateWindow, call))
        return nullptr;
    State().window = new PlatformWindow{width, height};
    return State().window;
}

bool PlatformDestroyWindow(WindowHandle window)
{
    if (HeadlessStepFails(HeadlessStep::DestroyWindow, "DestroyWindow"))
        return false;
    HeadlessState& state = State();
    if (window == state.window) {
        if (state.focus == window)
            state.focus = nullptr;
        delete state.window;
        state.window = nullptr;
    }
    return true;
}

void PlatformShowWindow(WindowHandle) { HeadlessRecordCall("ShowWindow"); }
void PlatformSetForegroundWindow(WindowHandle) { HeadlessRecordCall("SetForegroundWindow"); }

void PlatformSetFocus(WindowHandle window)
{
    HeadlessRecordCall("SetFocus");
    State().focus = window;
}

WindowHandle PlatformGetFocus()
{
    return State().focus;
}

DeviceContextHandle PlatformGetDeviceContext(WindowHandle window)
{
    if (HeadlessStepFails(HeadlessStep::GetDeviceContext, "GetDeviceContext"))
        return nullptr;
    State().deviceContext = new PlatformDeviceContext{window};
    return State().deviceContext;
}

bool PlatformReleaseDeviceContext(WindowHandle, DeviceContextHandle deviceContext)
{
    if (HeadlessStepFails(HeadlessStep::ReleaseDeviceContext, "ReleaseDeviceContext"))
        return false;
    if (deviceContext == State().deviceContext) {
        delete State().deviceContext;
        State().deviceContext = nullptr;
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
    if (!HeadlessCreateGl(State().surfaceWidth, State().surfaceHeight, &context->gl)) {
        delete context;
        return nullptr;
    }
    State().renderContexts.push_back(context);
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
    std::vector<PlatformRenderContext*>& alive = State().renderContexts;
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
    HeadlessState& state = State();
    if (state.swapHook)
        state.swapHook();
    HeadlessSwapCurrentGl();
    ++state.swapCount;
    return true;
}

// ---- message queue ------------------------------------------------------------------

bool PlatformPeekMessage(WindowMessage* record)
{
    HeadlessState& state = State();
    if (!state.posted.empty()) {
        *record = state.posted.front();
        state.posted.pop_front();
        return true;
    }
    if (state.script.empty()) {
        *record = WindowMessage{nullptr, WM_QUIT, static_cast<uintptr_t>(-1), 0};
        return true;
    }
    ScriptItem& item = state.script.front();
    if (item.idlePasses > 0) {
        if (--item.idlePasses == 0)
            state.script.pop_front();
        return false;
    }
    *record = item.message;
    record->window = state.window;
    state.script.pop_front();
    return true;
}

void PlatformPostQuitMessage(int exitCode)
{
    HeadlessRecordCall("PostQuitMessage " + std::to_string(exitCode));
    State().posted.push_back(WindowMessage{nullptr, WM_QUIT, static_cast<uintptr_t>(exitCode), 0});
}

intptr_t PlatformDefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t)
{
    HeadlessRecordCall("DefaultWindowProc " + std::to_string(message));
    // The system turns its close command into a close request.
    if (message == WM_SYSCOMMAND && wParam == SC_CLOSE)
        State().posted.push_back(WindowMessage{window, WM_CLOSE, 0, 0});
    return 0;
}

// ---- user feedback and files ----------------------------------------------------------

void PlatformMessageBox(WindowHandle owner, const char* text, const char* caption, MessageBoxIcon icon)
{
    HeadlessRecordCall(std::string("MessageBox ") + caption);
    State().boxes.push_back(HeadlessBox{owner, text, caption, icon});
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
    State().cues.emplace_back(path);
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
