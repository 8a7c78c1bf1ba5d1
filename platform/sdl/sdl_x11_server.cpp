// sdl_x11_server.cpp — what an X server says of itself: whether it is
// Xwayland rather than a server driving a monitor, and which window manager
// runs on it. Facts only; what to make of them is the output plan's
// (sdl_output.cpp).
//
// SDL's own connection is out of reach before a window exists, so a short
// one of our own asks, once the server has been seen to answer. Nothing it
// reads may end the program: a window manager that was killed leaves the
// root window naming its destroyed check window, and reading a property of
// that is an X error, which Xlib's default handler answers with exit(). So
// errors on this connection are caught and turn the answer into "none".
// Kept apart from the other files: Xlib's macros clash with the program's.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <chrono>
#include <cstring>
#include <string>

#include "platform/sdl/sdl_x11.h"

namespace {

constexpr auto kAnswerTime = std::chrono::milliseconds(1000);

// Set by the handler below while this file's connection is asked.
bool xErrorSeen = false;

int NoteXError(Display*, XErrorEvent*)
{
    xErrorSeen = true;
    return 0;
}

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

// One window-valued property of a window; None when it has none, or when
// asking was an X error.
Window WindowProperty(Display* display, Window window, Atom property)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    xErrorSeen = false;
    int status = XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count,
                                    &remaining, &data);
    XSync(display, False);
    Window value = status == Success && !xErrorSeen && data != nullptr && count == 1 && format == 32
                       ? *reinterpret_cast<Window*>(data)
                       : None;
    XFree(data);
    return value;
}

// The window manager's name, as it announces itself: the root window names
// a check window, which must name itself too (else it is a stale id, left
// by a window manager that died, or reused by another client) and carries
// the name. Empty when no window manager announces itself.
std::string WindowManagerName(Display* display)
{
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const Window manager = WindowProperty(display, DefaultRootWindow(display), check);
    if (manager == None || WindowProperty(display, manager, check) != manager)
        return "";
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    xErrorSeen = false;
    int status = XGetWindowProperty(display, manager, XInternAtom(display, "_NET_WM_NAME", False), 0, 64, False,
                                    XInternAtom(display, "UTF8_STRING", False), &type, &format, &count, &remaining,
                                    &data);
    XSync(display, False);
    std::string name;
    if (status == Success && !xErrorSeen && data != nullptr && format == 8)
        name.assign(reinterpret_cast<const char*>(data), count);
    XFree(data);
    return name;
}

}  // namespace

SdlXServerFacts SdlAskXServer()
{
    SdlXServerFacts facts;
    if (!SdlXServerAnswers(std::chrono::steady_clock::now() + kAnswerTime))
        return facts;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return facts;
    facts.answers = true;
    // The handler is the process's: SDL's connection makes no request meanwhile.
    XErrorHandler previous = XSetErrorHandler(NoteXError);
    int opcode = 0, firstEvent = 0, firstError = 0, major = 0, minor = 0;
    facts.xwayland = XQueryExtension(display, "XWAYLAND", &opcode, &firstEvent, &firstError) != 0 ||
                     (XRRQueryVersion(display, &major, &minor) != 0 && OutputsNamedXwayland(display));
    facts.windowManager = WindowManagerName(display);
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return facts;
}
