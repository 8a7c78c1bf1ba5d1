// display.h — the full-screen window, its GL context and its window procedure.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Opens the full-screen display and sets up the renderer; false after a
// failure has been reported in its own box.
bool OpenDisplay(const char* title, int width, int height, int bits);
// Restores the display mode and releases what OpenDisplay acquired, in order.
void CloseDisplay();
intptr_t DisplayWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
