// sdl_x11_server.cpp — what the X server says of itself: whether it answers
// at all, and whether it is Xwayland rather than a server driving a monitor.
//
// On Xwayland a mode switch is only emulated: the compositor scales the
// window to its output, stretching an 800 x 600 picture to whatever shape
// the output has. The server says what it is: Xwayland advertises its own
// extension, and older ones at least name their outputs after it. SDL's own
// connection is out of reach before a window exists, so a short one of our
// own asks. Kept apart from the other files: Xlib's macros clash with the
// program's names.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstring>

namespace {

bool OutputsNamedXwayland(Display* display)
{
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (resources == nullptr)
        return false;
    bool named = false;
    for (int index = 0; index < resources->noutput && !named; ++index) {
        XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[index]);
        if (output == nullptr)
            continue;
        named = std::strncmp(output->name, "XWAYLAND", 8) == 0;
        XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
    return named;
}

}  // namespace

bool SdlXServerAnswers()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    XCloseDisplay(display);
    return true;
}

bool SdlServerIsXwayland()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    int opcode = 0, firstEvent = 0, firstError = 0, major = 0, minor = 0;
    bool xwayland = XQueryExtension(display, "XWAYLAND", &opcode, &firstEvent, &firstError) != 0 ||
                    (XRRQueryVersion(display, &major, &minor) != 0 && OutputsNamedXwayland(display));
    XCloseDisplay(display);
    return xwayland;
}
