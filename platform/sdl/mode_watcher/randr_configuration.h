// randr_configuration.h — the desktop's RandR configuration, saved and given
// back: the screen's size and every CRTC's mode, position, rotation and
// outputs, which together are each output's mode, position and rotation.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <vector>

struct RandrCrtcSetting {
    RRCrtc crtc;
    RRMode mode;  // None when the CRTC is off
    int x, y;     // pixels, on the screen
    Rotation rotation;
    std::vector<RROutput> outputs;
};

struct RandrConfiguration {
    int width, height;      // the screen, pixels
    int widthMm, heightMm;  // the screen, millimetres
    std::vector<RandrCrtcSetting> crtcs;
};

// False when the server has no RandR 1.2 or does not answer.
bool SaveRandrConfiguration(Display* display, RandrConfiguration* saved);

// Whether the screen is no longer as saved; true when that cannot be read.
bool RandrConfigurationChanged(Display* display, const RandrConfiguration& saved);

// Gives the saved configuration back; false when the server refused a step.
bool RestoreRandrConfiguration(Display* display, const RandrConfiguration& saved);
