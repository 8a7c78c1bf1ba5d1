// sdl_x11_connection.cpp — what happens on an X error, and when the X
// connection is lost (the server went away, or a user ran xkill on the
// window).
//
// Xlib's default handler of an X error ends the process, whatever the error:
// SDL's own requests can fail where a window manager is not as SDL expects
// (one that never maps the window, whose focus SDL then sets by itself, an
// error), and the program would end without a word. An error is reported on
// standard error instead and the program goes on, as toolkits do.
//
// Xlib's own handler calls exit(), whose exit hook would have SDL wait
// forever for an answer on the dead connection: the process would hang with
// the display mode changed. It ends at once instead, with the status Xlib
// gives it, and the mode watcher gives the desktop its mode back. Kept apart
// from the other files: Xlib's macros clash with the program's names.
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>

namespace {

int ReportXError(Display* display, XErrorEvent* error)
{
    char text[128] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "marivelt: an X request (%d.%d) failed: %s\n", error->request_code, error->minor_code, text);
    return 0;
}

int EndWithTheXServer(Display*)
{
    static const char kLost[] = "marivelt: the connection to the X server was lost\n";
    [[maybe_unused]] ssize_t written = write(STDERR_FILENO, kLost, sizeof kLost - 1);
    _exit(1);
}

}  // namespace

void SdlHandleXErrors()
{
    XSetErrorHandler(ReportXError);
    XSetIOErrorHandler(EndWithTheXServer);
}
