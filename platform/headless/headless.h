// headless.h — the test-and-tools side of the headless platform.
//
// The headless platform answers every call of platform.h without a display:
// GL runs offscreen on Mesa through EGL (an 800 x 600 pbuffer with depth),
// messages come from a script, and message boxes, sound cues and the platform
// calls themselves are recorded in order. Any one step can be made to fail.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

// The platform steps that can be made to fail (one at a time).
enum class HeadlessStep {
    None,
    RegisterWindowClass,
    ChangeDisplayMode,
    ConfirmDisplayMode,     // the display refuses the switch once the window is shown
    CreateWindow,
    GetDeviceContext,
    ChoosePixelFormat,
    SetPixelFormat,
    CreateRenderContext,
    MakeCurrent,            // making a context current (not the release)
    ReleaseCurrent,         // PlatformMakeCurrent(null, null)
    DeleteRenderContext,
    ReleaseDeviceContext,
    DestroyWindow,
    UnregisterWindowClass,
    OpenFileView,
    NewQuadric,
};

struct HeadlessBox {
    WindowHandle owner;
    std::string text;
    std::string caption;
    MessageBoxIcon icon;
};

// Back to a fresh process: no window, no context, empty script and records,
// no failing step, desktop mode in force, full screen chosen.
void HeadlessReset();

// Script: messages are retrieved one per PeekMessage in the order queued;
// QueueIdle(n) makes the next n PeekMessage calls find nothing (n idle
// passes). What the program posts to itself comes before the script's next
// message, and its quit, as on the real platforms, only once nothing else
// waits: in place of the next idle pass, or when the script has run out. A
// script that runs out answers WM_QUIT with code -1, so a test that forgot
// its ending fails instead of hanging.
void HeadlessQueueMessage(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
void HeadlessQueueIdle(int passes);
void HeadlessQueueKeyDown(uint8_t key);
void HeadlessQueueKeyUp(uint8_t key);

void HeadlessFailStep(HeadlessStep step);

// Records, in order.
const std::vector<std::string>& HeadlessCalls();   // e.g. "ChangeDisplayMode 800x600x16"
const std::vector<HeadlessBox>& HeadlessBoxes();
const std::vector<std::string>& HeadlessCues();    // paths passed to PlatformPlaySound
int HeadlessSwapCount();
// Forgets the recorded calls, boxes and cues (long runs keep memory flat).
void HeadlessClearRecords();
bool HeadlessDisplayModeChanged();                  // the full-screen mode is in force
bool HeadlessCursorVisible();

// Runs just before every buffer swap, with the frame still in the back buffer.
void HeadlessSetSwapHook(std::function<void()> hook);

// Size of the offscreen surface that a new render context draws into
// (800 x 600 unless set; a test may ask for 1024 x 768).
void HeadlessSetSurfaceSize(int width, int height);

// A current GL context without the program's display steps, for tests and
// tools that draw directly; Close releases it.
bool HeadlessOpenContext(int width, int height);
void HeadlessCloseContext();
