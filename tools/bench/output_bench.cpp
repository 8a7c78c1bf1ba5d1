// output_bench — what a frame costs on the real SDL platform at an output of
// 1920 x 1080, where the picture is drawn at 1440 x 1080 off screen and
// copied in between black bars, beside the program's own 800 x 600. Each
// scene's frames are timed in three parts: the program's drawing, the
// platform's final copy and the buffer swap, each ended by glFinish so the
// rasterising is counted where it happens. A windowed run sized to each
// output stands in for full screen: the same framebuffer, copy and swap.
//
//   output_bench [--frames N]      (tools/bench/output_bench.sh starts Xvfb)
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "display/display.h"
#include "platform/sdl/sdl_internal.h"
#include "render/render.h"
#include "state/app_state.h"
#include "state/window_request.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kSceneNames[kSceneCount] = {"WATER", "FIRE", "EARTH", "WIND"};
constexpr int kWarmUpFrames = 10;  // the GL driver compiles its state on first use

struct Output {
    int width, height;  // the window's drawable, pixels
};

double Milliseconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Sizes the window and hands the program the size messages that follow,
// until the picture has the size it should have there.
bool ResizeOutput(const Output& output)
{
    SDL_SetWindowSize(AppState.window->sdl, output.width, output.height);
    const PictureRect expected = FitPicture(output.width, output.height);
    const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < giveUp) {
        WindowMessage message;
        while (PlatformPeekMessage(&message))
            DisplayWindowProc(message.window, message.message, message.wParam, message.lParam);
        const PictureRect& picture = AppState.window->letterbox.picture;
        if (picture.width == expected.width && picture.height == expected.height)
            return true;
        SDL_Delay(10);
    }
    return false;
}

void TimeScene(const char* name, int frames)
{
    std::vector<double> draw, copy, swap;
    for (int frame = 0; frame < kWarmUpFrames + frames; ++frame) {
        const Clock::time_point start = Clock::now();
        RenderFrame();
        glFinish();
        const Clock::time_point drawn = Clock::now();
        SdlPresentPicture(AppState.window);
        glFinish();
        const Clock::time_point copied = Clock::now();
        SDL_GL_SwapWindow(AppState.window->sdl);
        SdlResumePicture(AppState.window);
        glFinish();
        if (frame < kWarmUpFrames)
            continue;
        draw.push_back(Milliseconds(start, drawn));
        copy.push_back(Milliseconds(drawn, copied));
        swap.push_back(Milliseconds(copied, Clock::now()));
    }
    const double total = Median(draw) + Median(copy) + Median(swap);
    std::printf("  %-6s draw %7.2f ms   copy %6.2f ms   swap %6.2f ms   frame %7.2f ms\n", name, Median(draw),
                Median(copy), Median(swap), total);
}

}  // namespace

int main(int argc, char** argv)
{
    int frames = 200;
    if (argc == 3 && std::strcmp(argv[1], "--frames") == 0)
        frames = std::atoi(argv[2]);
    if ((argc != 1 && argc != 3) || frames < 1) {
        std::fprintf(stderr, "usage: output_bench [--frames N]\n");
        return 2;
    }
    PlatformSetWindowed(true);
    if (!OpenDisplay(kWindowTitle, kDisplayWidth, kDisplayHeight, kDisplayBits))
        return 1;
    PlatformShowWindow(AppState.window);
    std::printf("%s, %s; medians of %d frames\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)), frames);
    for (const Output& output : {Output{800, 600}, Output{1920, 1080}}) {
        if (!ResizeOutput(output)) {
            std::fprintf(stderr, "output_bench: the window never became %d x %d\n", output.width, output.height);
            CloseDisplay();
            return 1;
        }
        const PictureRect& picture = AppState.window->letterbox.picture;
        std::printf("output %d x %d: picture %d x %d at %d,%d, %s\n", output.width, output.height, picture.width,
                    picture.height, picture.x, picture.y,
                    AppState.window->letterbox.framebuffer != 0 ? "drawn off screen and copied" : "drawn in place");
        for (int scene = 0; scene < kSceneCount; ++scene) {
            AppState.sceneIndex = scene;
            TimeScene(kSceneNames[scene], frames);
        }
    }
    CloseDisplay();
    return 0;
}
