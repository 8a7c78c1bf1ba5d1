// main.cpp — the process entry: the command line is answered first, and only
// a run of the demo goes on to WinMain. A windowed run is the platform's
// concern alone; the display steps and their order stay the same.
#include "app/command_line.h"
#include "app/win_main.h"
#include "platform/platform.h"

int main(int argc, char* argv[])
{
    const CommandLine commandLine = ParseCommandLine(argc, argv);
    if (commandLine.action != CommandLineAction::RunFullScreen &&
        commandLine.action != CommandLineAction::RunWindowed)
        return AnswerCommandLine(commandLine, stdout, stderr);
    PlatformSetWindowed(commandLine.action == CommandLineAction::RunWindowed);
    return WinMain();
}
