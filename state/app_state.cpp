// app_state.cpp — the one AppState instance, set before any code runs.
#include "state/app_state.h"

constinit AppStateRecord AppState = InitialAppState();
