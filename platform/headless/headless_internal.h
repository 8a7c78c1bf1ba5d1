// headless_internal.h — what the headless platform's files share.
#pragma once

#include <string>

#include "platform/headless/headless.h"

// One offscreen GL surface and its context (EGL objects, kept opaque here).
struct HeadlessGl {
    void* context = nullptr;
    void* surface = nullptr;
};

bool HeadlessCreateGl(int width, int height, HeadlessGl* gl);
bool HeadlessMakeGlCurrent(const HeadlessGl* gl);  // null: no context current
void HeadlessDestroyGl(HeadlessGl* gl);
bool HeadlessGlIsCurrent();
void HeadlessSwapCurrentGl();

// Records one platform call and tells whether the test made that step fail.
bool HeadlessStepFails(HeadlessStep step, const std::string& call);
void HeadlessRecordCall(const std::string& call);
