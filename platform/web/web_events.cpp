// web_events.cpp — the message queue: the page's keys, focus, visibility and
// size changes, queued by web_library.js as the program's messages, taken
// one at a time; the quit message comes when nothing else waits.
#include "platform/web/web_internal.h"

bool PlatformPeekMessage(WindowMessage* record)
{
    int32_t message[3];
    if (marivelt_take_message(message)) {
        *record = WindowMessage{Web.window, static_cast<uint32_t>(message[0]), static_cast<uintptr_t>(message[1]),
                                static_cast<intptr_t>(message[2])};
        return true;
    }
    if (Web.quitPosted) {
        Web.quitPosted = false;
        *record = WindowMessage{nullptr, WM_QUIT, static_cast<uintptr_t>(static_cast<intptr_t>(Web.quitCode)), 0};
        return true;
    }
    return false;
}

void PlatformPostQuitMessage(int exitCode)
{
    Web.quitPosted = true;
    Web.quitCode = exitCode;
}

intptr_t PlatformDefaultWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t)
{
    return 0;
}
