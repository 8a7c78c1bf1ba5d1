// command_line.cpp — the option table, its parser, and the answers that end
// the process before any display is touched.
#include "app/command_line.h"

#include <cstring>

namespace {

constexpr const char* kProgramName = "marivelt";
constexpr int kExitUsage = 2;        // a wrong command line, as shells and getopt programs use
constexpr int kExitWriteFailed = 1;

struct CommandLineOption {
    const char* name;
    CommandLineAction action;
    const char* help;
};

constexpr CommandLineOption kOptions[] = {
    {"--window", CommandLineAction::RunWindowed, "play in an ordinary 800 x 600 window; the display keeps its mode"},
    {"--help", CommandLineAction::ShowHelp, "show this help and exit"},
    {"--version", CommandLineAction::ShowVersion, "show the version and exit"},
};

constexpr const char* kDescription =
    "Water, fire, earth and wind as animated OpenGL scenes. Without options the\n"
    "display switches to 800 x 600 for the demo and back when it ends.\n";

constexpr const char* kKeys =
    "Keys:\n"
    "  ESC         quit\n"
    "  SPACE       next scene\n"
    "  C / V       zoom out / in\n"
    "  W / S       turn about the X axis\n"
    "  E / D       turn about the Y axis\n"
    "  R / F       turn about the Z axis\n"
    "  arrows      move the scene around\n"
    "  J           show or hide the key help\n"
    "  K           show or hide the scene titles\n"
    "\n"
    "Mouse, and fingers on a touch screen, as the keys they stand for:\n"
    "  drag        turn: sideways as E / D, up and down as W / S\n"
    "  right-drag  move the scene with the hand, as the arrows (two fingers)\n"
    "  wheel       zoom: turned away in as V, towards you out as C (pinch)\n"
    "  click       next scene, as SPACE (a tap)\n";

const CommandLineOption* FindOption(const char* argument)
{
    for (const CommandLineOption& option : kOptions)
        if (std::strcmp(option.name, argument) == 0)
            return &option;
    return nullptr;
}

void PrintUsage(std::FILE* out)
{
    std::fprintf(out, "Usage: %s [--window]\n%s\nOptions:\n", kProgramName, kDescription);
    for (const CommandLineOption& option : kOptions)
        std::fprintf(out, "  %-11s %s\n", option.name, option.help);
    std::fprintf(out, "\n%s", kKeys);
}

void PrintRefusal(const char* argument, std::FILE* err)
{
    // "-" alone is an operand by convention, not an option.
    const bool looksLikeOption = argument[0] == '-' && argument[1] != '\0';
    std::fprintf(err, "%s: %s '%s'; try '%s --help'\n", kProgramName,
                 looksLikeOption ? "unknown option" : "unexpected argument", argument, kProgramName);
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const argv[])
{
    CommandLine commandLine{CommandLineAction::RunFullScreen, nullptr};
    for (int index = 1; index < argc; ++index) {
        const CommandLineOption* option = FindOption(argv[index]);
        if (option == nullptr)
            return CommandLine{CommandLineAction::Refuse, argv[index]};
        if (option->action != CommandLineAction::RunWindowed)
            return CommandLine{option->action, nullptr};
        commandLine.action = CommandLineAction::RunWindowed;
    }
    return commandLine;
}

int AnswerCommandLine(const CommandLine& commandLine, std::FILE* out, std::FILE* err)
{
    switch (commandLine.action) {
    case CommandLineAction::ShowHelp:
        PrintUsage(out);
        break;
    case CommandLineAction::ShowVersion:
        std::fprintf(out, "%s %s\n", kProgramName, MARIVELT_VERSION);
        break;
    case CommandLineAction::Refuse:
        PrintRefusal(commandLine.refused, err);
        return kExitUsage;
    case CommandLineAction::RunFullScreen:
    case CommandLineAction::RunWindowed:
        break;
    }
    // Help piped into a closed or full stream must not pass for success.
    if (std::fflush(out) != 0 || std::ferror(out) != 0) {
        std::fprintf(err, "%s: cannot write to standard output\n", kProgramName);
        return kExitWriteFailed;
    }
    return 0;
}
