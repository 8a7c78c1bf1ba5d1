// frame_bench — what a frame costs: frames per second of each scene, drawn by
// the program's own start-up and RenderFrame on the headless platform as fast
// as they go, next to the floor of a loop that only clears and swaps.
// Each frame ends with glFinish, so the figure covers the rasterising too.
//
//   frame_bench [--run-dir DIR] [--frames N] [--scene S] [--no-floor]
//
// --scene limits the run to one scene; --no-floor leaves out the empty loop
// (frame_cost.sh runs the scenes alone under callgrind).
#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/render.h"
#include "state/app_state.h"
#include "tools/common/headless_program.h"

namespace {

constexpr const char* kSceneNames[kSceneCount] = {"WATER", "FIRE", "EARTH", "WIND"};
constexpr int kWarmUpFrames = 10;  // the GL driver compiles its state on first use

void DrawSceneFrame()
{
    RenderFrame();
    PlatformSwapBuffers(AppState.deviceContext);
    glFinish();
}

void DrawEmptyFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    PlatformSwapBuffers(AppState.deviceContext);
    glFinish();
}

void WarmUp(void (*drawFrame)())
{
    for (int i = 0; i < kWarmUpFrames; ++i)
        drawFrame();
}

// Seconds for the frames; a function of its own so that a profiler can
// collect it alone, without start-up and warm-up.
__attribute__((noinline)) double TimeFrames(void (*drawFrame)(), int frames)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i)
        drawFrame();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Report(const char* name, int frames, double seconds)
{
    std::printf("%-22s %6d frames  %9.1f frames/s  %8.3f ms/frame\n", name, frames, frames / seconds,
                1000.0 * seconds / frames);
}

}  // namespace

int main(int argc, char** argv)
{
    std::filesystem::path runDir = DEFAULT_RUN_DIR;
    int frames = 500;
    int onlyScene = -1;
    bool floor = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--run-dir") == 0 && i + 1 < argc) {
            runDir = argv[++i];
        } else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            frames = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--scene") == 0 && i + 1 < argc) {
            onlyScene = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--no-floor") == 0) {
            floor = false;
        } else {
            std::fprintf(stderr, "usage: frame_bench [--run-dir DIR] [--frames N] [--scene 0-3] [--no-floor]\n");
            return 2;
        }
    }
    if (frames < 1 || onlyScene >= kSceneCount) {
        std::fprintf(stderr, "frame_bench: frames must be at least 1 and the scene 0 to 3\n");
        return 2;
    }
    if (!EnterRunFolder("frame_bench", runDir) || !StartProgram("frame_bench"))
        return 1;
    std::printf("800 x 600, %s, %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    for (int scene = 0; scene < kSceneCount; ++scene) {
        if (onlyScene >= 0 && scene != onlyScene)
            continue;
        AppState.sceneIndex = scene;
        WarmUp(DrawSceneFrame);
        Report(kSceneNames[scene], frames, TimeFrames(DrawSceneFrame, frames));
    }
    if (floor) {
        WarmUp(DrawEmptyFrame);
        Report("floor (clear + swap)", frames, TimeFrames(DrawEmptyFrame, frames));
    }
    StopProgram();
    return 0;
}
