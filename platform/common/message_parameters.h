// message_parameters.h — the parameters of the activation and size messages,
// packed as the classic messages pack them, for every platform that makes
// them (platform.h says what each carries; the program reads them with
// LowWord and HighWord).
#pragma once

#include "platform/platform.h"

constexpr uintptr_t kActivateInactive = 0;  // LOWORD of WM_ACTIVATE
constexpr uintptr_t kActivateActive = 1;
constexpr uintptr_t kSizeRestored = 0;      // wParam of WM_SIZE
constexpr uintptr_t kSizeMinimized = 1;

// wParam of WM_ACTIVATE: the minimised flag << 16 | the state.
inline uintptr_t ActivateParameter(uintptr_t state, bool minimized)
{
    return (static_cast<uintptr_t>(minimized ? 1 : 0) << 16) | state;
}

// lParam of WM_SIZE: height << 16 | width.
inline intptr_t SizeParameter(int width, int height)
{
    return static_cast<intptr_t>((static_cast<uint32_t>(height & 0xFFFF) << 16) | static_cast<uint32_t>(width & 0xFFFF));
}
