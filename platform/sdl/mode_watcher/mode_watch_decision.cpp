// mode_watch_decision.cpp — the watcher's reading of the program's news and
// its decision, kept apart from X so that it can be tested on its own.
#include <cstring>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "platform/sdl/mode_watcher/mode_watch.h"

namespace {

// In /proc/PID/stat the exit code is field 52; fields 1 and 2 (pid, name in
// parentheses, which may hold spaces) come before the last ')'.
constexpr int kExitCodeField = 52;
constexpr int kFirstFieldAfterName = 3;

}  // namespace

ModeWatchNews ReadModeWatchNews(const char* bytes, size_t count)
{
    ModeWatchNews news{false, 0};
    for (size_t index = 0; index < count; ++index) {
        if (bytes[index] == kModeWatchRestored) {
            news.restored = true;
        } else if (bytes[index] == kModeWatchSignal && index + 1 < count) {
            news.signal = static_cast<unsigned char>(bytes[index + 1]);
            ++index;
        }
    }
    return news;
}

bool ModeWatchMustRestore(const ModeWatchNews& news, bool configurationChanged)
{
    // Once the program has given the mode back, a later change is the user's.
    return !news.restored && configurationChanged;
}

int ProcStatSignal(const std::string& statText)
{
    size_t nameEnd = statText.rfind(')');
    if (nameEnd == std::string::npos)
        return 0;
    std::istringstream fields(statText.substr(nameEnd + 1));
    std::string field;
    for (int number = kFirstFieldAfterName; fields >> field; ++number) {
        if (number != kExitCodeField)
            continue;
        // A wait status fits in 16 bits; anything else is not one.
        if (field.empty() || field.size() > 5 || field.find_first_not_of("0123456789") != std::string::npos)
            return 0;
        int status = std::stoi(field);
        return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
    return 0;
}

std::string ModeWatchEndNote(int signal)
{
    if (signal <= 0)
        return std::string();
    const char* name = strsignal(signal);
    return "marivelt: ended by signal " + std::to_string(signal) + " (" + (name != nullptr ? name : "unknown") +
           "); the display mode was restored";
}
