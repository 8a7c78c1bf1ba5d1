// The display-mode watcher's decision: what it reads from the program, when
// it restores, which signal a /proc stat names, and the line it writes.
#include <gtest/gtest.h>

#include <string>

#include "platform/sdl/mode_watcher/mode_watch.h"

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

}  // namespace
