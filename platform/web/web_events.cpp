// web_events.cpp — the message queue: the page's keys, focus, visibility and
// size changes, queued by web_library.js as the program's messages, taken
// one at a time; the quit message comes when nothing else waits.
#include "platform/web/web_internal.h"

bool PlatformPeekMessage(WindowMessage* record)
{
    int32_t message[3];
    if (!QueueHasMessages(Web.queue) && marivelt_take_message(message))
        PostToQueue(&Web.queue, WindowMessage{Web.window, static_cast<uint32_t>(message[0]),
                                              static_cast<uintptr_t>(message[1]), static_cast<intptr_t>(message[2])});
    return TakeFromQueue(&Web.queue, record);
}

void PlatformPostQuitMessage(int exitCode)
{
    PostQuitToQueue(&Web.queue, exitCode);
}

intptr_t PlatformDefaultWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t)
{
    return 0;
}
