// sdl_gestures.cpp — the mouse and the fingers, followed for the gestures
// they make (platform/common/gesture_keys.h), which the message pump plays
// to the program as the keys they stand for.
//
// Positions are taken in the picture's units, 800 across, so that a drag
// does the same on a window, a mode switch and a letterboxed output. SDL
// also makes mouse events of touches; those are left out, the fingers being
// followed as fingers.
#include "platform/sdl/sdl_internal.h"

namespace {

// Picture units per window coordinate: the picture is the drawable, or the
// fitted 4:3 part of it, and the drawable may have more pixels than the
// window has coordinates (a scaled output).
float UnitsPerPoint(const PlatformWindow& window)
{
    int width = 0, height = 0, drawableWidth = 0, drawableHeight = 0;
    SDL_GetWindowSize(window.sdl, &width, &height);
    SDL_GL_GetDrawableSize(window.sdl, &drawableWidth, &drawableHeight);
    const int pictureWidth =
        window.fitsPicture && window.letterbox.picture.width > 0 ? window.letterbox.picture.width : drawableWidth;
    if (width <= 0 || drawableWidth <= 0 || pictureWidth <= 0)
        return 1;
    return kPictureUnitsAcross * drawableWidth / (static_cast<float>(pictureWidth) * width);
}

// A finger's own number, apart from the mouse's 0.
int FingerPointer(SDL_FingerID finger)
{
    return static_cast<int>(finger & 0x3FFFFFFF) + 1;
}

constexpr int kMousePointer = 0;

}  // namespace

void SdlFollowGestures(const SDL_Event& event)
{
    GestureKeys* gestures = &SdlState.gestures;
    const PlatformWindow* window = SdlState.window;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const uint8_t key = SdlVirtualKey(event.key.keysym.sym, event.key.keysym.scancode);
        if (key != 0)
            GestureUserKey(gestures, key, event.type == SDL_KEYDOWN);
        return;
    }
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST || event.window.event == SDL_WINDOWEVENT_MINIMIZED)
            GestureCancel(gestures);
        return;
    default:
        break;
    }
    if (window == nullptr)
        return;
    const float scale = UnitsPerPoint(*window);
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.which == SDL_TOUCH_MOUSEID)
            return;
        if (event.button.button == SDL_BUTTON_LEFT || event.button.button == SDL_BUTTON_RIGHT)
            GesturePress(gestures, kMousePointer,
                         event.button.button == SDL_BUTTON_LEFT ? GestureButton::Turn : GestureButton::Move,
                         event.button.x * scale, event.button.y * scale);
        return;
    case SDL_MOUSEMOTION:
        if (event.motion.which != SDL_TOUCH_MOUSEID)
            GestureMotion(gestures, kMousePointer, event.motion.x * scale, event.motion.y * scale);
        return;
    case SDL_MOUSEBUTTONUP:
        if (event.button.which != SDL_TOUCH_MOUSEID &&
            (event.button.button == SDL_BUTTON_LEFT || event.button.button == SDL_BUTTON_RIGHT))
            GestureRelease(gestures, kMousePointer);
        return;
    case SDL_MOUSEWHEEL: {
        if (event.wheel.which == SDL_TOUCH_MOUSEID)
            return;
        const float notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.preciseY : event.wheel.preciseY;
        GestureWheel(gestures, notches);
        return;
    }
    default:
        break;
    }
    // Fingers come in the window's fractions.
    int width = 0, height = 0;
    SDL_GetWindowSize(window->sdl, &width, &height);
    const float x = event.tfinger.x * width * scale, y = event.tfinger.y * height * scale;
    switch (event.type) {
    case SDL_FINGERDOWN:
        GesturePress(gestures, FingerPointer(event.tfinger.fingerId), GestureButton::Turn, x, y);
        return;
    case SDL_FINGERMOTION:
        GestureMotion(gestures, FingerPointer(event.tfinger.fingerId), x, y);
        return;
    case SDL_FINGERUP:
        GestureRelease(gestures, FingerPointer(event.tfinger.fingerId));
        return;
    default:
        return;
    }
}
