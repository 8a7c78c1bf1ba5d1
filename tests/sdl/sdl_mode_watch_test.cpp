// The display-mode watcher's decision: what it reads from the program, when
// it restores, which signal a /proc stat names, and the line it writes; and
// the program's side: its wait for the watcher, its signal reporters.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "platform/sdl/mode_watcher/mode_watch.h"
#include "platform/sdl/sdl_internal.h"

namespace {

struct NewsCase {
    std::string bytes;
    bool restored;
    int signal;
};

TEST(ModeWatchNews, TheProgramsWordsAreReadInAnyOrderAndATruncatedSignalIsNone)
{
    const NewsCase cases[] = {
        {"", false, 0},
        {"R", true, 0},
        {std::string("S\x0b", 2), false, 11},
        {std::string("S\x06R", 3), true, 6},
        {"S", false, 0},
        {"xRy", true, 0},
    };
    for (const NewsCase& news : cases) {
        SCOPED_TRACE(news.bytes);
        ModeWatchNews read = ReadModeWatchNews(news.bytes.data(), news.bytes.size());
        EXPECT_EQ(read.restored, news.restored);
        EXPECT_EQ(read.signal, news.signal);
    }
}

TEST(ModeWatchDecision, OnlyAChangedDesktopThatTheProgramDidNotRestoreIsRestored)
{
    EXPECT_TRUE(ModeWatchMustRestore({false, 0}, true)) << "killed outright with the mode changed";
    EXPECT_TRUE(ModeWatchMustRestore({false, 11}, true)) << "a crash with the mode changed";
    EXPECT_FALSE(ModeWatchMustRestore({false, 11}, false)) << "a crash before the switch";
    EXPECT_FALSE(ModeWatchMustRestore({true, 0}, false)) << "a normal end";
    EXPECT_FALSE(ModeWatchMustRestore({true, 0}, true)) << "the user changed the mode after the program gave it back";
}

// A stat line as the kernel writes it: pid, (name), then fields 3 to 52,
// all 0 but field 52, the exit code.
std::string StatLine(const std::string& name, const std::string& exitCode)
{
    std::string line = "4242 (" + name + ") Z";
    for (int field = 4; field <= 51; ++field)
        line += " 0";
    return line + " " + exitCode + "\n";
}

TEST(ModeWatchProcStat, TheExitCodeFieldNamesTheSignalEvenBehindAnAwkwardName)
{
    EXPECT_EQ(ProcStatSignal(StatLine("marivelt", "9")), 9) << "SIGKILL";
    EXPECT_EQ(ProcStatSignal(StatLine("mari) velt", "139")), 11) << "SIGSEGV with a core dump: 0x80 | 11";
    EXPECT_EQ(ProcStatSignal(StatLine("marivelt", "256")), 0) << "exit(1) is no signal";
    EXPECT_EQ(ProcStatSignal(StatLine("marivelt", "0")), 0);
    EXPECT_EQ(ProcStatSignal(StatLine("marivelt", "99999999999")), 0) << "no wait status";
    EXPECT_EQ(ProcStatSignal("4242 (marivelt) R 1 2 3"), 0) << "an old kernel's shorter line";
    EXPECT_EQ(ProcStatSignal(""), 0);
}

TEST(ModeWatchEndNote, OneLineNamesTheSignalAndSaysTheModeIsBack)
{
    EXPECT_EQ(ModeWatchEndNote(11), "marivelt: ended by signal 11 (Segmentation fault); the display mode was restored");
    EXPECT_EQ(ModeWatchEndNote(6), "marivelt: ended by signal 6 (Aborted); the display mode was restored");
    EXPECT_EQ(ModeWatchEndNote(9), "marivelt: ended by signal 9 (Killed); the display mode was restored");
    EXPECT_EQ(ModeWatchEndNote(0), "");
}

void IgnoreSignal(int) {}

// A signal that interrupts the wait for the watcher (Ctrl+C, say) does not
// end it: the watcher's word, coming later, still counts.
TEST(ModeWatchStart, ASignalDuringTheWaitDoesNotCutItShort)
{
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    struct sigaction interrupting{}, previous{};
    interrupting.sa_handler = IgnoreSignal;  // no SA_RESTART: the wait sees EINTR
    sigaction(SIGUSR1, &interrupting, &previous);
    pthread_t waiting = pthread_self();
    std::thread watcher([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pthread_kill(waiting, SIGUSR1);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(write(ends[1], &kModeWatchReady, 1), 1);
    });
    EXPECT_TRUE(SdlAwaitModeWatchReady(ends[0]));
    watcher.join();
    sigaction(SIGUSR1, &previous, nullptr);
    close(ends[0]);
    close(ends[1]);
}

// Taking the reporters back leaves alone a handler someone installed since.
TEST(ModeWatchSignals, OnlyTheReportersOwnHandlersAreTakenBack)
{
    signal(SIGHUP, SIG_DFL);
    signal(SIGUSR2, SIG_DFL);
    SdlStartReportingSignals();
    signal(SIGUSR2, IgnoreSignal);
    SdlStopReportingSignals();
    struct sigaction hangup{}, user{};
    sigaction(SIGHUP, nullptr, &hangup);
    sigaction(SIGUSR2, nullptr, &user);
    EXPECT_EQ(hangup.sa_handler, SIG_DFL);
    EXPECT_EQ(user.sa_handler, &IgnoreSignal);
    signal(SIGUSR2, SIG_DFL);
}

}  // namespace
