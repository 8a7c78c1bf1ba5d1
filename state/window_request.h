// window_request.h — what the program asks of the window system: the
// window's title, the full-screen mode, and the pixel format's fixed members.
// The loop and the tools that run the program headless open the display with
// these same values.
#pragma once

#include "platform/platform.h"

constexpr const char* kWindowTitle = "Marivelt";
constexpr int kDisplayWidth = 800;   // pixels
constexpr int kDisplayHeight = 600;  // pixels
constexpr int kDisplayBits = 16;     // bits per pixel, of the mode and of the pixel format

// The pixel-format request as it stands at process start: a double-buffered
// RGBA format for a GL window. OpenDisplay fills it in from the colour bits on.
constexpr PixelFormatDescriptor InitialPixelFormat()
{
    PixelFormatDescriptor format{};
    format.nSize = sizeof(PixelFormatDescriptor);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    return format;
}
