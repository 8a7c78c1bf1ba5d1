// sdl_x11_server.cpp — what the X server says of itself: whether it answers
// at all, whether it is Xwayland rather than a server driving a monitor, and
// which window manager runs on it.
//
// On Xwayland a mode switch is only emulated: the compositor scales the
// window to its output, stretching an 800 x 600 picture to whatever shape
// the output has. The server says what it is: Xwayland advertises its own
// extension, and older ones at least name their outputs after it. SDL's own
// connection is out of reach before a window exists, so a short one of our
// own asks. Kept apart from the other files: Xlib's macros clash with the
// program's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstring>
#include <string>

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

// The window manager's name, as it announces itself on the root window's
// supporting-WM-check window; empty when none does.
std::string WindowManagerName(Display* display)
{
    std::string name;
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom wmName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type, &format, &count,
                           &remaining, &data) != Success)
        return name;
    Window manager = count == 1 && format == 32 ? *reinterpret_cast<Window*>(data) : None;
    XFree(data);
    data = nullptr;
    if (manager == None || XGetWindowProperty(display, manager, wmName, 0, 64, False, utf8, &type, &format, &count,
                                              &remaining, &data) != Success)
        return name;
    if (data != nullptr && format == 8)
        name.assign(reinterpret_cast<const char*>(data), count);
    XFree(data);
    return name;
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

bool SdlServerIsXwayland(bool* keepsFullScreenInAMode)
{
    *keepsFullScreenInAMode = false;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    int opcode = 0, firstEvent = 0, firstError = 0, major = 0, minor = 0;
    bool xwayland = XQueryExtension(display, "XWAYLAND", &opcode, &firstEvent, &firstError) != 0 ||
                    (XRRQueryVersion(display, &major, &minor) != 0 && OutputsNamedXwayland(display));
    // mutter (GNOME Shell's window manager) leaves a window full screen in a
    // mode of the display undrawn until the pointer moves; it takes one full
    // screen on the desktop. Others keep the one in a mode: weston's now and
    // then drops a window full screen on the desktop as it maps it, leaving
    // it 800 x 600 in the middle, and KWin's lets a box it owns go unanswered.
    const std::string manager = WindowManagerName(display);
    *keepsFullScreenInAMode = xwayland && manager != "Mutter" && manager != "GNOME Shell";
    XCloseDisplay(display);
    return xwayland;
}
