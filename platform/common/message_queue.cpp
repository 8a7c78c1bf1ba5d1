// message_queue.cpp — one message per take, the quit message last.
#include "platform/common/message_queue.h"

void PostToQueue(MessageQueue* queue, const WindowMessage& message)
{
    queue->waiting.push_back(message);
}

void PostQuitToQueue(MessageQueue* queue, int exitCode)
{
    queue->quitPosted = true;
    queue->quitCode = exitCode;
}

bool QueueHasMessages(const MessageQueue& queue)
{
    return !queue.waiting.empty();
}

bool TakeFromQueue(MessageQueue* queue, WindowMessage* record)
{
    if (!queue->waiting.empty()) {
        *record = queue->waiting.front();
        queue->waiting.pop_front();
        return true;
    }
    if (!queue->quitPosted)
        return false;
    queue->quitPosted = false;
    *record = WindowMessage{nullptr, WM_QUIT, static_cast<uintptr_t>(static_cast<intptr_t>(queue->quitCode)), 0};
    return true;
}
