// swap_log.cpp — a library the end-to-end tests preload into the program:
// every buffer swap appends its time (steady clock, microseconds) as one
// line to the file MARIVELT_SWAP_LOG names, so a test counts the swaps of
// a second as the display saw them.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

struct SDL_Window;

extern "C" void SDL_GL_SwapWindow(SDL_Window* window)
{
    using Swap = void (*)(SDL_Window*);
    static const Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    static const int log = [] {
        const char* path = std::getenv("MARIVELT_SWAP_LOG");
        return path != nullptr ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
    }();
    real(window);
    if (log < 0)
        return;
    char line[32];
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                         std::chrono::steady_clock::now().time_since_epoch()).count();
    const int length = std::snprintf(line, sizeof line, "%lld\n", static_cast<long long>(now));
    [[maybe_unused]] ssize_t written = write(log, line, static_cast<size_t>(length));
}
