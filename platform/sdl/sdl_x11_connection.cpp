// sdl_x11_connection.cpp — what happens when the X connection is lost (the
// server went away, or a user ran xkill on the window).
//
// Xlib's own handler calls exit(), whose exit hook would have SDL wait
// forever for an answer on the dead connection: the process would hang with
// the display mode changed. It ends at once instead, with the status Xlib
// gives it, and the mode watcher gives the desktop its mode back. Kept apart
// from the other files: Xlib's macros clash with the program's names.
#include <X11/Xlib.h>
#include <unistd.h>

namespace {

int EndWithTheXServer(Display*)
{
    static const char kLost[] = "marivelt: the connection to the X server was lost\n";
    [[maybe_unused]] ssize_t written = write(STDERR_FILENO, kLost, sizeof kLost - 1);
    _exit(1);
}

}  // namespace

void SdlEndAtLostXConnection()
{
    XSetIOErrorHandler(EndWithTheXServer);
}
