// headless_messages.cpp — the message queue without a display: messages and
// idle passes come from the test's script; what the program posts to itself
// (a close request from the system's close command, the quit) comes first.
#include <string>

#include "platform/headless/headless_internal.h"

void HeadlessQueueMessage(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    HeadlessSession& session = HeadlessSessionState();
    session.script.push_back(ScriptItem{0, WindowMessage{session.window, message, wParam, lParam}});
}

void HeadlessQueueIdle(int passes)
{
    if (passes > 0)
        HeadlessSessionState().script.push_back(ScriptItem{passes, WindowMessage{}});
}

void HeadlessQueueKeyDown(uint8_t key) { HeadlessQueueMessage(WM_KEYDOWN, key, 1); }
void HeadlessQueueKeyUp(uint8_t key) { HeadlessQueueMessage(WM_KEYUP, key, 1); }

bool PlatformPeekMessage(WindowMessage* record)
{
    HeadlessSession& session = HeadlessSessionState();
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
    HeadlessSessionState().posted.push_back(WindowMessage{nullptr, WM_QUIT, static_cast<uintptr_t>(exitCode), 0});
}

intptr_t PlatformDefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t)
{
    HeadlessRecordCall("DefaultWindowProc " + std::to_string(message));
    // The system turns its close command into a close request.
    if (message == WM_SYSCOMMAND && wParam == SC_CLOSE)
        HeadlessSessionState().posted.push_back(WindowMessage{window, WM_CLOSE, 0, 0});
    return 0;
}
