// stuck_manager.cpp — a window manager for one end-to-end test that never
// maps the demo's window, as a window manager stuck or busy for good would
// not: it maps every other window, its boxes among them, and gives each the
// focus. It writes "managing" to the log file it is given once it manages
// the screen, and "refused NAME" for each map it does not grant.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

namespace {

// A window gone before it is mapped, or focused before it is viewable, is
// no reason to stop managing.
int IgnoreXError(Display*, XErrorEvent*)
{
    return 0;
}

bool IsTheDemo(Display* display, Window window)
{
    XClassHint hint{};
    if (XGetClassHint(display, window, &hint) == 0)
        return false;
    const bool demo = hint.res_class != nullptr && std::strcmp(hint.res_class, "marivelt") == 0;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return demo;
}

}  // namespace

int main(int argc, char** argv)
{
    Display* display = XOpenDisplay(nullptr);
    FILE* log = argc == 2 ? std::fopen(argv[1], "w") : nullptr;
    if (display == nullptr || log == nullptr)
        return 1;
    XSetErrorHandler(IgnoreXError);
    XSelectInput(display, DefaultRootWindow(display), SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(display, False);
    std::fprintf(log, "managing\n");
    std::fflush(log);
    while (true) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapRequest) {
            const Window window = event.xmaprequest.window;
            if (IsTheDemo(display, window)) {
                std::fprintf(log, "refused the demo's window\n");
                std::fflush(log);
                continue;
            }
            XMapRaised(display, window);
            XSync(display, False);
            XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
        } else if (event.type == ConfigureRequest) {
            const XConfigureRequestEvent& asked = event.xconfigurerequest;
            XWindowChanges changes{asked.x, asked.y, asked.width, asked.height, asked.border_width, asked.above,
                                   asked.detail};
            XConfigureWindow(display, asked.window, static_cast<unsigned int>(asked.value_mask), &changes);
        }
        XFlush(display);
    }
}
