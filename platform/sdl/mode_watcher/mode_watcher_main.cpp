// mode_watcher_main.cpp — marivelt-mode-watcher, the process that gives the
// desktop its display mode back when the program could not.
//
// The program starts it just before it changes the mode, with one end of a
// socket as file descriptor 3, and goes on once it hears that the desktop's
// configuration is saved. From then on the watcher only waits, for the
// program's word or its end: the process itself is followed, not only the
// socket, which a child the program forked (SDL shows its X11 boxes from
// one) would hold open after the program was killed. Unless the program
// said it gave the mode back, the watcher compares and restores, says so
// when the program died of a signal, and ends. It never outlives the
// program by more than that, nor the X server at all.
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/sdl/mode_watcher/mode_watch.h"
#include "platform/sdl/mode_watcher/randr_configuration.h"

namespace {

constexpr size_t kNewsLimit = 64;  // bytes: the program sends a few at most

// With the X server gone there is no display left to restore.
int EndWithTheServer(Display*)
{
    _exit(0);
}

// The program's stat file, opened while the program still runs: after its
// end it tells for a moment what signal ended it.
int OpenProgramStat()
{
    std::string path = "/proc/" + std::to_string(getppid()) + "/stat";
    return open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

int SignalFromStat(int statFile)
{
    if (statFile < 0)
        return 0;
    char text[1024];
    ssize_t length = pread(statFile, text, sizeof text - 1, 0);
    if (length <= 0)
        return 0;
    return ProcStatSignal(std::string(text, static_cast<size_t>(length)));
}

// Takes what X sent (this connection asks for no events, but every client
// gets some) so that the connection does not stay readable.
void DrainEvents(Display* display)
{
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
    }
}

// Takes what the program sent; false once the socket has closed.
bool TakeNews(std::string* heard, int flags)
{
    char bytes[16];
    ssize_t count = recv(kModeWatchChannel, bytes, sizeof bytes, flags);
    if (count <= 0)
        return false;
    if (heard->size() < kNewsLimit)
        heard->append(bytes, static_cast<size_t>(count));
    return true;
}

// Waits for the program's end (its socket closed, or the process gone; -1
// when it cannot be followed) or its word that the mode is back. Returns
// what it said, in order.
std::string AwaitProgramEnd(Display* display, int program)
{
    std::string heard;
    pollfd watched[3] = {{kModeWatchChannel, POLLIN, 0}, {ConnectionNumber(display), POLLIN, 0}, {program, POLLIN, 0}};
    while (true) {
        if (poll(watched, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            return heard;
        }
        if (watched[1].revents != 0)
            DrainEvents(display);
        if (watched[0].revents != 0 && !TakeNews(&heard, 0))
            return heard;
        if (ReadModeWatchNews(heard.data(), heard.size()).restored)
            return heard;
        if (watched[2].revents != 0) {
            // Gone: what it said just before still counts.
            while (TakeNews(&heard, MSG_DONTWAIT)) {
            }
            return heard;
        }
    }
}

}  // namespace

int main()
{
    // The program may be gone when the watcher writes to it.
    signal(SIGPIPE, SIG_IGN);
    int statFile = OpenProgramStat();
    // Opened while the program waits for the watcher's word, so it is alive.
    // (Asked of the kernel directly: Debian 12's C library declares the call
    // without C linkage.)
    int program = static_cast<int>(syscall(SYS_pidfd_open, getppid(), 0));
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 1;
    XSetIOErrorHandler(EndWithTheServer);
    RandrConfiguration saved{};
    if (!SaveRandrConfiguration(display, &saved) || write(kModeWatchChannel, &kModeWatchReady, 1) != 1) {
        XCloseDisplay(display);
        return 1;
    }

    std::string heard = AwaitProgramEnd(display, program);
    ModeWatchNews news = ReadModeWatchNews(heard.data(), heard.size());
    if (news.signal == 0)
        news.signal = SignalFromStat(statFile);
    int status = 0;
    if (ModeWatchMustRestore(news, RandrConfigurationChanged(display, saved))) {
        if (RestoreRandrConfiguration(display, saved)) {
            std::string note = ModeWatchEndNote(news.signal);
            if (!note.empty())
                std::fprintf(stderr, "%s\n", note.c_str());
        } else {
            std::fprintf(stderr, "marivelt: the display mode could not be restored\n");
            status = 1;
        }
    }
    XCloseDisplay(display);
    return status;
}
