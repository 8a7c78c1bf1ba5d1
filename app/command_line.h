// command_line.h — the program's options, answered before the demo starts:
// help and version are printed, a wrong argument is refused, and only a run
// of the demo (full screen, or in a window) goes on to WinMain.
#pragma once

#include <cstdio>

enum class CommandLineAction {
    RunFullScreen,  // no arguments: the demo as it always was
    RunWindowed,    // --window
    ShowHelp,
    ShowVersion,
    Refuse,         // an unknown option or a stray argument
};

struct CommandLine {
    CommandLineAction action;
    const char* refused;  // the argument refused, else null
};

// Reads the arguments left to right: the first of --help, --version or a
// wrong argument decides at once; otherwise the demo runs.
CommandLine ParseCommandLine(int argc, const char* const argv[]);

// Prints what a command line that does not run the demo asks for and returns
// the exit code: 0 after help or version, 1 when standard output cannot be
// written, 2 after a refused argument.
int AnswerCommandLine(const CommandLine& commandLine, std::FILE* out, std::FILE* err);
