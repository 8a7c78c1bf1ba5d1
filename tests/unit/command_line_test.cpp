// The command line: what each argument list asks for, and what the answers
// print and return, without any display being touched.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

struct ParseCase {
    std::vector<const char*> arguments;  // after the program name
    CommandLineAction action;
    const char* refused;
};

const ParseCase kParseCases[] = {
    {{}, CommandLineAction::RunFullScreen, nullptr},
    {{"--window"}, CommandLineAction::RunWindowed, nullptr},
    {{"--window", "--window"}, CommandLineAction::RunWindowed, nullptr},
    {{"--help"}, CommandLineAction::ShowHelp, nullptr},
    {{"--version"}, CommandLineAction::ShowVersion, nullptr},
    {{"--window", "--help"}, CommandLineAction::ShowHelp, nullptr},
    {{"--version", "--bogus"}, CommandLineAction::ShowVersion, nullptr},  // the first decides
    {{"--bogus", "--help"}, CommandLineAction::Refuse, "--bogus"},
    {{"scene"}, CommandLineAction::Refuse, "scene"},
    {{"--window", "-w"}, CommandLineAction::Refuse, "-w"},
    {{"-"}, CommandLineAction::Refuse, "-"},
    {{"--windowed"}, CommandLineAction::Refuse, "--windowed"},  // no prefixes
    {{"--win"}, CommandLineAction::Refuse, "--win"},
    {{"--window=1"}, CommandLineAction::Refuse, "--window=1"},
    {{"--HELP"}, CommandLineAction::Refuse, "--HELP"},
    {{""}, CommandLineAction::Refuse, ""},
};

std::string Describe(const std::vector<const char*>& arguments)
{
    std::string text = "marivelt";
    for (const char* argument : arguments)
        text += std::string(" '") + argument + "'";
    return text;
}

TEST(CommandLineTest, EachArgumentListAsksForItsAction)
{
    for (const ParseCase& test : kParseCases) {
        SCOPED_TRACE(Describe(test.arguments));
        std::vector<const char*> argv{"/usr/lib/games/marivelt/marivelt"};
        argv.insert(argv.end(), test.arguments.begin(), test.arguments.end());
        argv.push_back(nullptr);
        const CommandLine commandLine = ParseCommandLine(static_cast<int>(argv.size() - 1), argv.data());
        EXPECT_EQ(commandLine.action, test.action);
        if (test.refused == nullptr)
            EXPECT_EQ(commandLine.refused, nullptr);
        else
            EXPECT_STREQ(commandLine.refused, test.refused);
    }
}

// What an answer printed on each stream, and the exit code it returned.
struct Answer {
    std::string out;
    std::string err;
    int exitCode;
};

std::string ReadBack(std::FILE* file)
{
    std::string text;
    std::rewind(file);
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
        text += static_cast<char>(c);
    std::fclose(file);
    return text;
}

Answer AnswerOf(CommandLine commandLine)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    EXPECT_NE(out, nullptr);
    EXPECT_NE(err, nullptr);
    const int exitCode = AnswerCommandLine(commandLine, out, err);
    return Answer{ReadBack(out), ReadBack(err), exitCode};
}

TEST(CommandLineTest, HelpNamesEveryOptionKeyAndGestureOnStandardOutput)
{
    const Answer answer = AnswerOf({CommandLineAction::ShowHelp, nullptr});
    EXPECT_EQ(answer.exitCode, 0);
    EXPECT_EQ(answer.err, "");
    EXPECT_EQ(answer.out.rfind("Usage: marivelt [--window]\n", 0), 0u);
    for (const char* word : {"--window", "--help", "--version", "ESC", "SPACE", "C / V", "W / S", "E / D", "R / F",
                             "arrows", "J ", "K ", "drag ", "right-drag ", "wheel ", "click "}) {
        EXPECT_NE(answer.out.find(std::string("\n  ") + word), std::string::npos) << word;
    }
    std::istringstream lines(answer.out);
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(line.size(), 80u) << line;  // a terminal's width
}

TEST(CommandLineTest, VersionIsOneLineOnStandardOutput)
{
    const Answer answer = AnswerOf({CommandLineAction::ShowVersion, nullptr});
    EXPECT_EQ(answer.exitCode, 0);
    EXPECT_EQ(answer.err, "");
    // "marivelt 1.x.y" and a line feed, nothing more.
    unsigned minor = 0, patch = 0;
    int length = 0;
    ASSERT_EQ(std::sscanf(answer.out.c_str(), "marivelt 1.%u.%u\n%n", &minor, &patch, &length), 2) << answer.out;
    EXPECT_EQ(static_cast<size_t>(length), answer.out.size()) << answer.out;
    EXPECT_EQ(answer.out.back(), '\n');
}

TEST(CommandLineTest, AWrongArgumentIsNamedInOneLineOnStandardErrorWithExitCodeTwo)
{
    const struct {
        const char* argument;
        const char* line;
    } cases[] = {
        {"--bogus", "marivelt: unknown option '--bogus'; try 'marivelt --help'\n"},
        {"-w", "marivelt: unknown option '-w'; try 'marivelt --help'\n"},
        {"scene", "marivelt: unexpected argument 'scene'; try 'marivelt --help'\n"},
        {"-", "marivelt: unexpected argument '-'; try 'marivelt --help'\n"},
        {"", "marivelt: unexpected argument ''; try 'marivelt --help'\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.argument);
        const Answer answer = AnswerOf({CommandLineAction::Refuse, test.argument});
        EXPECT_EQ(answer.exitCode, 2);
        EXPECT_EQ(answer.out, "");
        EXPECT_EQ(answer.err, test.line);
    }
}

TEST(CommandLineTest, HelpThatCannotBeWrittenFailsWithExitCodeOne)
{
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    EXPECT_EQ(AnswerCommandLine({CommandLineAction::ShowHelp, nullptr}, full, err), 1);
    std::fclose(full);
    EXPECT_EQ(ReadBack(err), "marivelt: cannot write to standard output\n");
}

}  // namespace
