// gesture_keys.h — the mouse's and the fingers' gestures as the keys they
// stand for.
//
// The program reads held keys only, each acting once per pass of its loop.
// So a gesture is played to it as key presses, a pass at a time: a drag that
// turns the scene by twelve degrees holds D (or E) for twelve passes, the
// turning as fast as the drag up to the keys' own pace. The program above
// the platform stays as it is: the platform feeds the pointer's news in here
// and, before each pass, hands on the key messages that make the held keys
// what the next pass should see.
//
//   drag (left button, one finger)    sideways E / D, up and down W / S
//   drag (right button, two fingers)  the arrows: the scene follows
//   wheel, pinch                      C / V: spread or wheel away zooms in
//   click or tap without a drag       SPACE, once
//
// Coordinates are in the picture's own units, 800 across, whatever its size
// on the screen, so a gesture does the same on every screen.
#pragma once

#include <cstdint>

#include "platform/common/message_queue.h"
#include "platform/platform.h"

constexpr float kPictureUnitsAcross = 800;  // picture units from the picture's left edge to its right

enum class GestureButton {
    Turn,  // the left button, or a finger
    Move,  // the right button
};

enum GestureAxis { kTurnAboutY, kTurnAboutX, kMoveSideways, kMoveUpDown, kZoom, kGestureAxes };

struct GesturePointer {
    int id;
    float x, y;  // picture units
};

struct GestureKeys {
    GesturePointer pointers[2] = {};  // the fingers (or the mouse) down, at most two followed
    int pointerCount = 0;
    bool moveButton = false;  // the drag moves the scene instead of turning it
    bool dragging = false;    // gone past the slop, or two fingers: no tap
    bool twoFingers = false;  // a second finger came: the one left after it does nothing
    float travel = 0;         // picture units moved since the press
    float pending[kGestureAxes] = {};  // picture units, not yet a whole step
    int steps[kGestureAxes] = {};      // whole steps still to play, signed
    uint8_t held[kGestureAxes] = {};   // the key held for each axis now, 0 for none
    int taps = 0;             // SPACE presses still to play
    bool spaceDown = false;   // SPACE held by a tap now
    bool spaceRan = false;    // the pass just run saw it held: it goes up for one
    bool userHolds[256] = {};  // keys the user holds on the keyboard, never let go for them
};

void GesturePress(GestureKeys* gesture, int pointer, GestureButton button, float x, float y);
void GestureMotion(GestureKeys* gesture, int pointer, float x, float y);
void GestureRelease(GestureKeys* gesture, int pointer);
// Wheel notches: > 0 turned away from the user (zooms in).
void GestureWheel(GestureKeys* gesture, float notches);
// The pointers are gone (focus lost, the window hidden): nothing left to play.
void GestureCancel(GestureKeys* gesture);
// A key the user pressed or let go of on the keyboard.
void GestureUserKey(GestureKeys* gesture, uint8_t key, bool down);

// The next key message that brings the held keys to what the next pass
// should see, for `window`; false when they are there.
bool GestureNextMessage(GestureKeys* gesture, WindowHandle window, WindowMessage* message);
// A pass of the loop ran with the keys as they are held.
void GesturePassRan(GestureKeys* gesture);

// A platform's message pump, once the news is in the queue: the oldest
// message waiting, or with none, the next key the gesture plays. False when
// there is neither: the program runs a pass with the keys as they are.
bool TakeMessageOrGestureKey(MessageQueue* queue, GestureKeys* gesture, WindowHandle window, WindowMessage* record);
