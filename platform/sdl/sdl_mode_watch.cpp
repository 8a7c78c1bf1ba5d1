// sdl_mode_watch.cpp — the program's side of the X11 display-mode watcher
// (mode_watcher/): starting it just before the mode changes, telling it the
// mode is back, and letting it know which signal the program dies of.
//
// The watcher is a program of its own, installed beside marivelt, started
// with posix_spawn rather than a bare fork: by now SDL holds an X connection
// and may run threads, and a forked copy of that could not safely open a
// connection of its own. A watcher that cannot start costs the guarantee,
// not the run: the program says so on standard error and goes on.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "platform/sdl/mode_watcher/mode_watch.h"
#include "platform/sdl/sdl_internal.h"

extern char** environ;

namespace {

constexpr const char* kWatcherName = "marivelt-mode-watcher";
constexpr auto kReadyTimeout = std::chrono::milliseconds(3000);  // for the watcher to save the configuration
constexpr auto kReapTimeout = std::chrono::seconds(1);
constexpr auto kReapStep = std::chrono::milliseconds(5);

// Signals that end the process and that nobody else catches here; SIGINT
// and SIGTERM are SDL's, which turns them into a request to end.
constexpr int kFatalSignals[] = {SIGHUP, SIGQUIT, SIGILL, SIGTRAP, SIGABRT, SIGBUS, SIGFPE, SIGSEGV,
                                 SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, SIGSYS};

void ReportFatalSignal(int signal)
{
    int channel = SdlState.modeWatch.channel;
    if (channel >= 0) {
        const char news[2] = {kModeWatchSignal, static_cast<char>(signal)};
        send(channel, news, sizeof news, MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    // The handler was reset on entry: the signal now ends the process as it
    // would have, with the same wait status.
    raise(signal);
}

std::string WatcherPath()
{
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return kWatcherName;
    std::string path(self, static_cast<size_t>(length));
    return path.substr(0, path.rfind('/') + 1) + kWatcherName;
}

// The watcher gets its end of the socket as descriptor 3 and nothing else
// of the program's; its own session keeps a terminal's hangup or Ctrl+C,
// meant for the program, from ending it as well.
bool SpawnWatcher(int channel, pid_t* watcher)
{
    std::string path = WatcherPath();
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, channel, kModeWatchChannel);
    posix_spawn_file_actions_addclosefrom_np(&actions, kModeWatchChannel + 1);
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    char* arguments[] = {const_cast<char*>(kWatcherName), nullptr};
    int failure = posix_spawn(watcher, path.c_str(), &actions, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0)
        std::fprintf(stderr, "marivelt: cannot start %s: %s\n", path.c_str(), std::strerror(failure));
    return failure == 0;
}

// The watcher ends as soon as it hears the mode is back or the socket
// closes; one that takes longer is left to end on its own.
void ReapWatcher(pid_t watcher)
{
    auto deadline = std::chrono::steady_clock::now() + kReapTimeout;
    while (waitpid(watcher, nullptr, WNOHANG) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(kReapStep);
}

}  // namespace

void SdlStartReportingSignals()
{
    for (int signal : kFatalSignals) {
        struct sigaction current{};
        if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
            continue;
        struct sigaction reporter{};
        reporter.sa_handler = ReportFatalSignal;
        reporter.sa_flags = SA_RESETHAND | SA_NODEFER;
        sigemptyset(&reporter.sa_mask);
        SdlState.modeWatch.reporting[signal] = sigaction(signal, &reporter, nullptr) == 0;
    }
}

// A handler installed since is its owner's to keep.
void SdlStopReportingSignals()
{
    for (int signal : kFatalSignals) {
        struct sigaction current{};
        if (SdlState.modeWatch.reporting[signal] && sigaction(signal, nullptr, &current) == 0 &&
            current.sa_handler == ReportFatalSignal)
            ::signal(signal, SIG_DFL);
        SdlState.modeWatch.reporting[signal] = false;
    }
}

// A signal during the wait (Ctrl+C, which SDL only records) must not cost
// the guarantee: the wait goes on for the time that is left.
bool SdlAwaitModeWatchReady(int channel)
{
    const auto deadline = std::chrono::steady_clock::now() + kReadyTimeout;
    pollfd ready{channel, POLLIN, 0};
    int polled;
    do {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        polled = poll(&ready, 1, static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
    } while (polled < 0 && errno == EINTR);
    if (polled != 1)
        return false;
    char word = 0;
    ssize_t got;
    do {
        got = read(channel, &word, 1);
    } while (got < 0 && errno == EINTR);
    return got == 1 && word == kModeWatchReady;
}

void SdlStartModeWatch()
{
    if (SdlState.modeWatch.channel >= 0 || !SdlVideoDriverIs("x11"))
        return;
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        std::perror("marivelt: socketpair");
        return;
    }
    pid_t watcher = 0;
    bool spawned = SpawnWatcher(ends[1], &watcher);
    close(ends[1]);
    if (!spawned) {
        close(ends[0]);
        return;
    }
    if (!SdlAwaitModeWatchReady(ends[0])) {
        std::fprintf(stderr, "marivelt: the display-mode watcher did not start; a crash would leave the mode changed\n");
        close(ends[0]);
        ReapWatcher(watcher);
        return;
    }
    SdlState.modeWatch.watcher = watcher;
    SdlState.modeWatch.channel = ends[0];
    SdlStartReportingSignals();
}

void SdlEndModeWatch(bool restored)
{
    int channel = SdlState.modeWatch.channel;
    if (channel < 0)
        return;
    SdlStopReportingSignals();
    if (restored)
        send(channel, &kModeWatchRestored, 1, MSG_NOSIGNAL);
    SdlState.modeWatch.channel = -1;
    close(channel);
    ReapWatcher(SdlState.modeWatch.watcher);
    SdlState.modeWatch.watcher = 0;
}
