// headless_messages.cpp — the message queue without a display. The test's
// script stands for the system's events: messages and idle passes, in the
// order written. What the program posts to itself (a close request from the
// system's close command, the quit) waits in the queue every platform keeps
// (platform/common/message_queue.h), so the rule is the real platforms': a
// scripted message is fetched only once nothing posted waits, and the quit
// comes only when nothing else does, at the script's next idle pass or when
// it has run out.
#include <string>

#include "platform/headless/headless_internal.h"

namespace {

// Moves the script on by one: its next message into the queue, or one of
// its idle passes used up. False when the script has run out.
bool FetchScripted(HeadlessSession* session)
{
    if (session->script.empty())
        return false;
    ScriptItem& item = session->script.front();
    if (item.idlePasses > 0) {
        if (--item.idlePasses == 0)
            session->script.pop_front();
        return true;
    }
    WindowMessage message = item.message;
    message.window = session->window;
    session->script.pop_front();
    PostToQueue(&session->queue, message);
    return true;
}

}  // namespace

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
    bool scriptRanOut = !QueueHasMessages(session.queue) && !FetchScripted(&session);
    if (TakeFromQueue(&session.queue, record))
        return true;
    if (!scriptRanOut)
        return false;  // an idle pass
    // A test that forgot its ending fails instead of hanging.
    *record = WindowMessage{nullptr, WM_QUIT, static_cast<uintptr_t>(-1), 0};
    return true;
}

void PlatformPostQuitMessage(int exitCode)
{
    HeadlessRecordCall("PostQuitMessage " + std::to_string(exitCode));
    PostQuitToQueue(&HeadlessSessionState().queue, exitCode);
}

intptr_t PlatformDefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t)
{
    HeadlessRecordCall("DefaultWindowProc " + std::to_string(message));
    // The system turns its close command into a close request.
    if (message == WM_SYSCOMMAND && wParam == SC_CLOSE)
        PostToQueue(&HeadlessSessionState().queue, WindowMessage{window, WM_CLOSE, 0, 0});
    return 0;
}
