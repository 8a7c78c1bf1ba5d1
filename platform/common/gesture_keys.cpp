// gesture_keys.cpp — gestures turned into steps, and steps into key presses.
#include "platform/common/gesture_keys.h"

#include <algorithm>
#include <cmath>

namespace {

// Picture units (800 across) a step takes. A degree per 3 units turns the
// scene by 270 degrees across the picture; an arrow's step, 0.1 world
// units, spans 12 units at the starting distance, so a moved scene follows
// the finger.
constexpr float kUnitsPerStep[kGestureAxes] = {3, 3, 12, 12, 12};
constexpr float kWheelUnitsPerNotch = 24;  // two zoom steps
// Steps waiting on an axis: a quarter of a second of the keys' pace, so the
// scene stops soon after the hand does however fast it went.
constexpr int kMostSteps = 15;
// A press that travels less is a click or a tap; on a phone's picture some
// 8 CSS pixels, about the size a finger wobbles.
constexpr float kTapSlop = 16;
constexpr int kMostTaps = 4;

// The keys of each axis for a positive and a negative step. Right and down
// are positive: dragging right turns the scene the way D does and down the
// way S does, a moved scene goes the way of the hand (the left arrow shifts
// it right, the up arrow down), and V zooms in.
constexpr uint8_t kPositiveKey[kGestureAxes] = {'D', 'S', VK_LEFT, VK_UP, 'V'};
constexpr uint8_t kNegativeKey[kGestureAxes] = {'E', 'W', VK_RIGHT, VK_DOWN, 'C'};

// Whole steps out of the units gathered on an axis, the rest kept.
void TakeSteps(GestureKeys* gesture, int axis)
{
    const float whole = std::trunc(gesture->pending[axis] / kUnitsPerStep[axis]);
    gesture->pending[axis] -= whole * kUnitsPerStep[axis];
    gesture->steps[axis] = std::clamp(gesture->steps[axis] + static_cast<int>(whole), -kMostSteps, kMostSteps);
}

void Add(GestureKeys* gesture, int axis, float units)
{
    gesture->pending[axis] += units;
    if (gesture->dragging)
        TakeSteps(gesture, axis);
}

float Spread(const GestureKeys& gesture)
{
    return std::hypot(gesture.pointers[0].x - gesture.pointers[1].x, gesture.pointers[0].y - gesture.pointers[1].y);
}

GesturePointer* Find(GestureKeys* gesture, int pointer)
{
    for (int index = 0; index < gesture->pointerCount; ++index)
        if (gesture->pointers[index].id == pointer)
            return &gesture->pointers[index];
    return nullptr;
}

// What a drag gathered before it was one is a click's wobble, not a turn.
void ForgetPending(GestureKeys* gesture)
{
    for (float& units : gesture->pending)
        units = 0;
}

}  // namespace

void GesturePress(GestureKeys* gesture, int pointer, GestureButton button, float x, float y)
{
    if (Find(gesture, pointer) != nullptr || gesture->pointerCount == 2)
        return;
    if (gesture->pointerCount == 0) {
        gesture->moveButton = button == GestureButton::Move;
        gesture->dragging = false;
        gesture->twoFingers = false;
        gesture->travel = 0;
        ForgetPending(gesture);
    } else {
        gesture->dragging = gesture->twoFingers = true;  // a move or a pinch, never a tap
    }
    gesture->pointers[gesture->pointerCount++] = GesturePointer{pointer, x, y};
}

void GestureMotion(GestureKeys* gesture, int pointer, float x, float y)
{
    GesturePointer* moved = Find(gesture, pointer);
    if (moved == nullptr)
        return;
    const float dx = x - moved->x, dy = y - moved->y;
    if (gesture->pointerCount == 1) {
        moved->x = x;
        moved->y = y;
        if (gesture->twoFingers)
            return;
        gesture->travel += std::hypot(dx, dy);
        if (!gesture->dragging && gesture->travel >= kTapSlop) {
            gesture->dragging = true;
            for (int axis = 0; axis < kGestureAxes; ++axis)
                TakeSteps(gesture, axis);
        }
        Add(gesture, gesture->moveButton ? kMoveSideways : kTurnAboutY, dx);
        Add(gesture, gesture->moveButton ? kMoveUpDown : kTurnAboutX, dy);
        return;
    }
    // Two fingers: their middle moves the scene, their spread zooms.
    const float spreadBefore = Spread(*gesture);
    moved->x = x;
    moved->y = y;
    Add(gesture, kMoveSideways, dx / 2);
    Add(gesture, kMoveUpDown, dy / 2);
    Add(gesture, kZoom, Spread(*gesture) - spreadBefore);
}

void GestureRelease(GestureKeys* gesture, int pointer)
{
    GesturePointer* released = Find(gesture, pointer);
    if (released == nullptr)
        return;
    *released = gesture->pointers[--gesture->pointerCount];
    if (gesture->pointerCount > 0)
        return;
    if (!gesture->dragging && !gesture->moveButton)
        gesture->taps = std::min(gesture->taps + 1, kMostTaps);
    if (!gesture->dragging)
        ForgetPending(gesture);
}

void GestureWheel(GestureKeys* gesture, float notches)
{
    gesture->pending[kZoom] += notches * kWheelUnitsPerNotch;
    TakeSteps(gesture, kZoom);
}

void GestureCancel(GestureKeys* gesture)
{
    gesture->pointerCount = 0;
    gesture->dragging = false;
    gesture->taps = 0;
    ForgetPending(gesture);
    for (int& steps : gesture->steps)
        steps = 0;
}

void GestureUserKey(GestureKeys* gesture, uint8_t key, bool down)
{
    gesture->userHolds[key] = down;
}

bool GestureNextMessage(GestureKeys* gesture, WindowHandle window, WindowMessage* message)
{
    for (int axis = 0; axis < kGestureAxes; ++axis) {
        const int steps = gesture->steps[axis];
        const uint8_t wanted = steps > 0 ? kPositiveKey[axis] : steps < 0 ? kNegativeKey[axis] : 0;
        uint8_t& held = gesture->held[axis];
        if (held == wanted)
            continue;
        const uint8_t key = held != 0 ? held : wanted;
        const bool down = held == 0;
        held = down ? wanted : 0;
        // A key the user holds stays down for the user.
        if (!down && gesture->userHolds[key])
            continue;
        *message = WindowMessage{window, down ? WM_KEYDOWN : WM_KEYUP, key, 0};
        return true;
    }
    // SPACE acts once per press: down for a pass, up for the next.
    const bool spaceWanted = gesture->taps > 0 && !gesture->spaceRan;
    if (spaceWanted == gesture->spaceDown)
        return false;
    gesture->spaceDown = spaceWanted;
    if (!spaceWanted && gesture->userHolds[VK_SPACE])
        return false;
    *message = WindowMessage{window, spaceWanted ? WM_KEYDOWN : WM_KEYUP, VK_SPACE, 0};
    return true;
}

void GesturePassRan(GestureKeys* gesture)
{
    for (int axis = 0; axis < kGestureAxes; ++axis) {
        if (gesture->held[axis] == kPositiveKey[axis])
            --gesture->steps[axis];
        else if (gesture->held[axis] == kNegativeKey[axis])
            ++gesture->steps[axis];
    }
    if (gesture->spaceDown) {
        --gesture->taps;
        gesture->spaceRan = true;
    } else {
        gesture->spaceRan = false;
    }
}

bool TakeMessageOrGestureKey(MessageQueue* queue, GestureKeys* gesture, WindowHandle window, WindowMessage* record)
{
    WindowMessage played{};
    if (!QueueHasMessages(*queue) && GestureNextMessage(gesture, window, &played))
        PostToQueue(queue, played);
    if (TakeFromQueue(queue, record))
        return true;
    GesturePassRan(gesture);
    return false;
}
