// mode_watch.h — what the program and its display-mode watcher say to each
// other, and what the watcher makes of it when the program is gone.
//
// On X11 a mode that a process changed stays changed when the process dies
// without giving it back (a crash, SIGKILL, a lost connection). So the
// program starts a watcher just before it changes the mode: a process of its
// own with its own X connection, which saves the RandR configuration, says it
// is ready, and then waits on a socket. The socket closes whatever way the
// program ends; if by then the program has not given the mode back itself,
// the watcher does. Nothing here touches X: the decision is plain data.
#pragma once

#include <cstddef>
#include <string>

// The watcher's end of the socket, handed over by the program.
constexpr int kModeWatchChannel = 3;

// Watcher to program: the configuration is saved, the mode may change now.
constexpr char kModeWatchReady = 'K';
// Program to watcher: the mode is given back, nothing is left to watch.
constexpr char kModeWatchRestored = 'R';
// Program to watcher: followed by one byte, the fatal signal it is dying of.
constexpr char kModeWatchSignal = 'S';

// What the program told its watcher before its end.
struct ModeWatchNews {
    bool restored;  // the program gave the mode back itself
    int signal;     // the signal it died of, 0 when none was reported
};

// Reads the bytes the program sent, in order; unknown bytes are skipped.
ModeWatchNews ReadModeWatchNews(const char* bytes, size_t count);

// Whether the watcher gives the saved configuration back: only when the
// program did not and the desktop is not as it was.
bool ModeWatchMustRestore(const ModeWatchNews& news, bool configurationChanged);

// The signal a process died of, from its /proc/PID/stat text (the exit code
// field, a wait status); 0 when it did not die of one or the text does not
// say. A process killed outright cannot tell what killed it; until it is
// reaped, its stat still can.
int ProcStatSignal(const std::string& statText);

// The one line the watcher writes after restoring for a program that died
// of a signal, e.g. "marivelt: ended by signal 11 (Segmentation fault); the
// display mode was restored"; empty when no signal is known.
std::string ModeWatchEndNote(int signal);
