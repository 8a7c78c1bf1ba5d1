// headless_session.cpp — the headless platform's one record and the test's
// side of it: a fresh session per reset, the records read back, the step
// made to fail, and a context for drawing without the program's display.
#include <utility>

#include "platform/headless/headless_internal.h"

namespace {

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

}  // namespace

HeadlessEgl& HeadlessEglState()
{
    return Platform().egl;
}

HeadlessSession& HeadlessSessionState()
{
    return Platform().session;
}

void HeadlessRecordCall(const std::string& call)
{
    HeadlessSessionState().calls.push_back(call);
}

bool HeadlessStepFails(HeadlessStep step, const std::string& call)
{
    HeadlessRecordCall(call);
    return HeadlessSessionState().failingStep == step;
}

void HeadlessReset()
{
    HeadlessCloseContext();
    HeadlessMakeGlCurrent(nullptr);
    // Then what else the session holds, before a fresh one replaces it.
    HeadlessSession& session = HeadlessSessionState();
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
    HeadlessSession& session = HeadlessSessionState();
    session.calls.clear();
    session.boxes.clear();
    session.cues.clear();
}

void HeadlessFailStep(HeadlessStep step) { HeadlessSessionState().failingStep = step; }
const std::vector<std::string>& HeadlessCalls() { return HeadlessSessionState().calls; }
const std::vector<HeadlessBox>& HeadlessBoxes() { return HeadlessSessionState().boxes; }
const std::vector<std::string>& HeadlessCues() { return HeadlessSessionState().cues; }
int HeadlessSwapCount() { return HeadlessSessionState().swapCount; }
bool HeadlessDisplayModeChanged() { return HeadlessSessionState().modeChanged; }
bool HeadlessCursorVisible() { return HeadlessSessionState().cursorVisible; }
void HeadlessSetSwapHook(std::function<void()> hook) { HeadlessSessionState().swapHook = std::move(hook); }

void HeadlessSetSurfaceSize(int width, int height)
{
    HeadlessSessionState().surfaceWidth = width;
    HeadlessSessionState().surfaceHeight = height;
}

bool HeadlessOpenContext(int width, int height)
{
    HeadlessCloseContext();
    HeadlessGl& gl = HeadlessSessionState().directGl;
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
    HeadlessGl& gl = HeadlessSessionState().directGl;
    if (gl.context == nullptr)
        return;
    HeadlessMakeGlCurrent(nullptr);
    HeadlessDestroyGl(&gl);
}
