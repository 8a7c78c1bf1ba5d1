/* first_swap_probe.c — preloaded into a program to time it from outside.
 *
 * Start-up: when the first buffer swap has returned (the first frame is on
 * screen) it writes the milliseconds since MARIVELT_PROBE_START_NS
 * (CLOCK_REALTIME, taken just before the program started) to
 * MARIVELT_PROBE_OUT and ends the process.
 *
 * Frame rate: with MARIVELT_PROBE_COUNT_OUT set instead, it lets the program
 * run and appends "swaps nanoseconds" to that file every 30 swaps. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

enum { kCountEvery = 30 };

static double NowNanoseconds(void)
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return (double)now.tv_sec * 1e9 + (double)now.tv_nsec;
}

static void AppendLine(const char* path, const char* line)
{
    FILE* file = fopen(path, "a");
    if (file != NULL) {
        fputs(line, file);
        fclose(file);
    }
}

void SDL_GL_SwapWindow(void* window)
{
    static unsigned long swaps;
    void (*realSwap)(void*) = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    realSwap(window);
    ++swaps;

    const char* countOut = getenv("MARIVELT_PROBE_COUNT_OUT");
    if (countOut != NULL) {
        if (swaps % kCountEvery == 0) {
            char line[64];
            snprintf(line, sizeof line, "%lu %.0f\n", swaps, NowNanoseconds());
            AppendLine(countOut, line);
        }
        return;
    }
    const char* start = getenv("MARIVELT_PROBE_START_NS");
    const char* out = getenv("MARIVELT_PROBE_OUT");
    if (start != NULL && out != NULL) {
        char line[64];
        snprintf(line, sizeof line, "%.2f\n", (NowNanoseconds() - strtod(start, NULL)) / 1e6);
        AppendLine(out, line);
    }
    _exit(0);
}
