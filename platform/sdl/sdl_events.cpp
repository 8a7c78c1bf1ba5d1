// sdl_events.cpp — the message queue: SDL events as the program's messages.
//
// One SDL event can become two messages (a minimised window is both
// deactivated and sized to zero), so a small queue holds what is translated
// but not yet taken (platform/common/message_queue.h: the quit message
// last). Events the program has no message for (the pointer's, text,
// display changes) are dropped, so they never overwrite the last message the
// program retrieved; the pointer's gestures come as the keys they stand for
// (sdl_gestures.cpp), played before the pass they are for.
#include "platform/common/message_parameters.h"
#include "platform/sdl/sdl_internal.h"

namespace {

constexpr uintptr_t kSystemCommandMask = 0xFFF0;  // the low four bits are the system's own

bool ProgramWindowMinimized()
{
    PlatformWindow* window = SdlState.window;
    return window != nullptr && (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MINIMIZED) != 0;
}

int TranslateKey(const SDL_KeyboardEvent& key, WindowMessage out[2])
{
    uint8_t virtualKey = SdlVirtualKey(key.keysym.sym, key.keysym.scancode);
    if (virtualKey == 0)
        return 0;
    // ALT with a key is a system key; with CTRL too it is AltGr typing a
    // character, which is an ordinary key.
    bool systemKey = (key.keysym.mod & KMOD_ALT) != 0 && (key.keysym.mod & KMOD_CTRL) == 0;
    uint32_t message = key.type == SDL_KEYDOWN ? (systemKey ? WM_SYSKEYDOWN : WM_KEYDOWN)
                                               : (systemKey ? WM_SYSKEYUP : WM_KEYUP);
    out[0] = WindowMessage{SdlState.window, message, virtualKey, 0};
    return 1;
}

int TranslateWindowEvent(const SDL_WindowEvent& event, WindowMessage out[2])
{
    WindowHandle window = SdlState.window;
    switch (event.event) {
    case SDL_WINDOWEVENT_MINIMIZED:
        out[0] = WindowMessage{window, WM_ACTIVATE, ActivateParameter(kActivateInactive, true), 0};
        out[1] = WindowMessage{window, WM_SIZE, kSizeMinimized, SizeParameter(0, 0)};
        return 2;
    case SDL_WINDOWEVENT_RESTORED: {
        int width = 0, height = 0;
        if (window != nullptr)
            SDL_GetWindowSize(window->sdl, &width, &height);
        out[0] = WindowMessage{window, WM_ACTIVATE, ActivateParameter(kActivateActive, false), 0};
        out[1] = WindowMessage{window, WM_SIZE, kSizeRestored, SizeParameter(width, height)};
        return 2;
    }
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        out[0] = WindowMessage{window, WM_ACTIVATE, ActivateParameter(kActivateActive, ProgramWindowMinimized()), 0};
        return 1;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        out[0] = WindowMessage{window, WM_ACTIVATE, ActivateParameter(kActivateInactive, ProgramWindowMinimized()), 0};
        return 1;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        out[0] = WindowMessage{window, WM_SIZE, kSizeRestored, SizeParameter(event.data1, event.data2)};
        return 1;
    case SDL_WINDOWEVENT_CLOSE:
        out[0] = WindowMessage{window, WM_CLOSE, 0, 0};
        return 1;
    default:
        return 0;
    }
}

}  // namespace

int SdlTranslateEvent(const SDL_Event& event, WindowMessage out[2])
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return TranslateKey(event.key, out);
    case SDL_WINDOWEVENT:
        return TranslateWindowEvent(event.window, out);
    case SDL_QUIT:
        // SIGINT or SIGTERM: asked to end, like a close request.
        out[0] = WindowMessage{SdlState.window, WM_CLOSE, 0, 0};
        return 1;
    default:
        return 0;
    }
}

namespace {

// The messages an event brings, each size the window's picture's.
void PostEvent(const SDL_Event& event)
{
    WindowMessage translated[2];
    const int count = SdlTranslateEvent(event, translated);
    for (int index = 0; index < count; ++index) {
        WindowMessage& message = translated[index];
        if (message.message == WM_SIZE && message.wParam == kSizeRestored && SdlState.window != nullptr)
            SdlPictureSizeMessage(SdlState.window, &message, &message);
        PostToQueue(&SdlState.queue, message);
    }
}

}  // namespace

bool PlatformPeekMessage(WindowMessage* record)
{
    PlatformWindow* window = SdlState.window;
    WindowMessage message{};
    if (window != nullptr && SdlPictureSizeMessage(window, nullptr, &message))
        PostToQueue(&SdlState.queue, message);
    while (!QueueHasMessages(SdlState.queue)) {
        SDL_Event event;
        if (SDL_PollEvent(&event) == 0)
            break;
        SdlFollowGestures(event);
        PostEvent(event);
    }
    return TakeMessageOrGestureKey(&SdlState.queue, &SdlState.gestures, window, record);
}

void PlatformPostQuitMessage(int exitCode)
{
    PostQuitToQueue(&SdlState.queue, exitCode);
}

intptr_t PlatformDefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t)
{
    if (message == WM_SYSCOMMAND && (wParam & kSystemCommandMask) == SC_CLOSE)
        PostToQueue(&SdlState.queue, WindowMessage{window, WM_CLOSE, 0, 0});
    return 0;
}
