// app_state_reset.h — AppState back to its start values between tests.
#pragma once

#include <GL/glu.h>

#include "state/app_state.h"

// The program keeps its quadric to the end of the process, so a test that
// starts afresh frees the previous run's before forgetting it.
inline void ResetAppState()
{
    if (AppState.quadric != nullptr)
        gluDeleteQuadric(AppState.quadric);
    AppState = InitialAppState();
}
