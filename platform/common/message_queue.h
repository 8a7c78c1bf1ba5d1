// message_queue.h — the messages a platform has for the program but the
// program has not taken yet, and the quit message it posted to itself.
//
// Every platform keeps the rule the program was made for: one message per
// take, oldest first, and the quit message only once nothing else waits, so
// whatever reached the window before the quit is still handled.
#pragma once

#include <deque>

#include "platform/platform.h"

struct MessageQueue {
    std::deque<WindowMessage> waiting;
    bool quitPosted = false;
    int quitCode = 0;  // the quit message's exit code
};

void PostToQueue(MessageQueue* queue, const WindowMessage& message);
void PostQuitToQueue(MessageQueue* queue, int exitCode);
// Whether anything but the quit message waits.
bool QueueHasMessages(const MessageQueue& queue);
// The oldest waiting message, else the quit message once; false when neither.
bool TakeFromQueue(MessageQueue* queue, WindowMessage* record);
