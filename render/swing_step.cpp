// swing_step.cpp — the to-and-fro spin of the planet and the funnel: up by
// 5 degrees a frame to 400, then down to 20, then up again.
#include "render/scenes.h"

void StepSwing(float* angle, int32_t* reversing)
{
    constexpr float kStep = 5.0f;
    constexpr float kHighTurn = 400.0f;
    constexpr float kLowTurn = 20.0f;

    // Four tests, each seeing the one before: the step that reaches 400
    // turns and steps back at once, so 400 itself is never drawn. The angle
    // only holds multiples of 5, all exact in float, so == is safe.
    if (*angle < kHighTurn && *reversing == 0) {
        *angle += kStep;
    }
    if (*angle == kHighTurn && *reversing == 0) {
        *reversing = 1;
    }
    if (*angle > kLowTurn && *reversing == 1) {
        *angle -= kStep;
    }
    if (*angle == kLowTurn && *reversing == 1) {
        *reversing = 0;
    }
}
