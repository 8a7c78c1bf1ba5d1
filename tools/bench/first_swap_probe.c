/* first_swap_probe.c — preloaded into a program to time its start-up: when
 * its first buffer swap has returned (the first frame is on screen) it writes
 * the milliseconds since MARIVELT_PROBE_START_NS (CLOCK_REALTIME, set just
 * before the program was started) to MARIVELT_PROBE_OUT and ends the process. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

void SDL_GL_SwapWindow(void* window)
{
    void (*realSwap)(void*) = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    realSwap(window);
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const char* start = getenv("MARIVELT_PROBE_START_NS");
    const char* out = getenv("MARIVELT_PROBE_OUT");
    if (start != NULL && out != NULL) {
        double elapsed = ((double)now.tv_sec * 1e9 + (double)now.tv_nsec - strtod(start, NULL)) / 1e6;
        FILE* file = fopen(out, "a");
        if (file != NULL) {
            fprintf(file, "%.2f\n", elapsed);
            fclose(file);
        }
    }
    _exit(0);
}
