// sdl_state.cpp — the SDL platform's one record of what it remembers between
// calls.
#include "platform/sdl/sdl_internal.h"

SdlPlatformState SdlState{};
