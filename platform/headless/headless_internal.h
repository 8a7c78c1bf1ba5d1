// headless_internal.h — what the headless platform's files share.
#pragma once

#include <string>

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

bool HeadlessCreateGl(int width, int height, HeadlessGl* gl);
bool HeadlessMakeGlCurrent(const HeadlessGl* gl);  // null: no context current
void HeadlessDestroyGl(HeadlessGl* gl);
bool HeadlessGlIsCurrent();
void HeadlessSwapCurrentGl();

// Records one platform call and tells whether the test made that step fail.
bool HeadlessStepFails(HeadlessStep step, const std::string& call);
void HeadlessRecordCall(const std::string& call);
