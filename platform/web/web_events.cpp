// web_events.cpp — the message queue: the page's news (keys, focus,
// visibility, the room for the picture, pointers and the wheel), queued by
// web_library.js in the page's terms and taken here, turned into the
// program's messages and into gestures played as keys; the quit message
// comes when nothing else waits.
#include "platform/common/message_parameters.h"
#include "platform/common/picture_fit.h"
#include "platform/web/web_internal.h"

namespace {

void Post(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    PostToQueue(&Web.queue, WindowMessage{Web.window, message, wParam, lParam});
}

float Units(double widths)
{
    return static_cast<float>(widths) * kPictureUnitsAcross;
}

void TakeKey(bool down, uint8_t key, bool system)
{
    GestureUserKey(&Web.gesture, key, down);
    Post(down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP), key, 0);
}

void TakeShown(bool shown)
{
    if (!shown) {
        GestureCancel(&Web.gesture);
        Post(WM_ACTIVATE, ActivateParameter(kActivateInactive, true), 0);
        Post(WM_SIZE, kSizeMinimized, 0);
        return;
    }
    Post(WM_ACTIVATE, ActivateParameter(kActivateActive, false), 0);
    if (Web.window != nullptr)
        Post(WM_SIZE, kSizeRestored, SizeParameter(Web.window->shownWidth, Web.window->shownHeight));
}

// The canvas in the room the stage gives it: the largest 4:3 rectangle
// while the stage fills the screen or the viewport, else its own size. The
// program draws at that size, as on a desktop whose compositor scales.
void FitCanvas(bool fills, int roomWidth, int roomHeight)
{
    PlatformWindow* window = Web.window;
    if (window == nullptr)
        return;
    const PictureRect picture = fills ? FitPicture(roomWidth, roomHeight) : PictureRect{0, 0, window->width, window->height};
    if (picture.width == 0)
        return;
    // Its size on the page changes with the room even where its pixels stay.
    marivelt_size_canvas(picture.width, picture.height, fills ? 1 : 0);
    if (picture.width == window->shownWidth && picture.height == window->shownHeight)
        return;
    window->shownWidth = picture.width;
    window->shownHeight = picture.height;
    Post(WM_SIZE, kSizeRestored, SizeParameter(picture.width, picture.height));
}

void TakeNews(int kind, const double news[4])
{
    const int pointer = static_cast<int>(news[0]);
    switch (kind) {
    case kNewsKey:
        TakeKey(news[0] != 0, static_cast<uint8_t>(news[1]), news[2] != 0);
        break;
    case kNewsFocus:
        if (news[0] == 0)
            GestureCancel(&Web.gesture);
        Post(WM_ACTIVATE, ActivateParameter(news[0] != 0 ? kActivateActive : kActivateInactive, false), 0);
        break;
    case kNewsShown:
        TakeShown(news[0] != 0);
        break;
    case kNewsStage:
        FitCanvas(news[0] != 0, static_cast<int>(news[1]), static_cast<int>(news[2]));
        break;
    case kNewsPointerDown:
        GesturePress(&Web.gesture, pointer, news[1] != 0 ? GestureButton::Move : GestureButton::Turn, Units(news[2]),
                     Units(news[3]));
        break;
    case kNewsPointerMove:
        GestureMotion(&Web.gesture, pointer, Units(news[1]), Units(news[2]));
        break;
    case kNewsPointerUp:
        GestureRelease(&Web.gesture, pointer);
        break;
    case kNewsPointerCancel:
        GestureCancel(&Web.gesture);
        break;
    case kNewsWheel:
        GestureWheel(&Web.gesture, static_cast<float>(news[0]));
        break;
    default:
        break;
    }
}

}  // namespace

bool PlatformPeekMessage(WindowMessage* record)
{
    double news[4];
    for (int kind = marivelt_take_news(news); kind != kNewsNone; kind = marivelt_take_news(news))
        TakeNews(kind, news);
    return TakeMessageOrGestureKey(&Web.queue, &Web.gesture, Web.window, record);
}

void PlatformPostQuitMessage(int exitCode)
{
    PostQuitToQueue(&Web.queue, exitCode);
}

intptr_t PlatformDefaultWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t)
{
    return 0;
}
