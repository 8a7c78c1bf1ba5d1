// headless_internal.h — what the headless platform's files share: the
// handles' contents, the one record of a session, and the EGL calls.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/common/message_queue.h"
#include "platform/headless/headless.h"

// One offscreen GL surface and its context (EGL objects, kept opaque here).
struct HeadlessGl {
    void* context = nullptr;
    void* surface = nullptr;
};

// The EGL display and its one config, opened on first use and kept for the
// life of the process (headless_gl.cpp); part of the platform's record.
struct HeadlessEgl {
    void* display = nullptr;  // EGLDisplay; null until opened
    void* config = nullptr;   // EGLConfig
};
HeadlessEgl& HeadlessEglState();

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
    std::deque<ScriptItem> script;  // the system's events, as the test wrote them
    MessageQueue queue;             // what the program posted to itself, quit last
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
HeadlessSession& HeadlessSessionState();

bool HeadlessCreateGl(int width, int height, HeadlessGl* gl);
bool HeadlessMakeGlCurrent(const HeadlessGl* gl);  // null: no context current
void HeadlessDestroyGl(HeadlessGl* gl);
bool HeadlessGlIsCurrent();
void HeadlessSwapCurrentGl();

// Records one platform call and tells whether the test made that step fail.
bool HeadlessStepFails(HeadlessStep step, const std::string& call);
void HeadlessRecordCall(const std::string& call);
