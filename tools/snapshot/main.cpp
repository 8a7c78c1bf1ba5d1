// snapshot — PNG pictures of Marivelt's frames, drawn by the program's own
// start-up and RenderFrame on the headless platform.
//
//   snapshot [--run-dir DIR] [--out-dir DIR]      first frame of each scene:
//                                                 water.png fire.png earth.png wind.png
//   snapshot [--run-dir DIR] SCENE FRAMES OUT.png the last of FRAMES frames of SCENE (0-3)
//   snapshot [--run-dir DIR] --grid [--full] OUT.png
//                                                 the four first frames as a 2 x 2 picture,
//                                                 tiles at half size unless --full
//   snapshot [--run-dir DIR] --animate [--pictures N] OUT.webp
//                                                 the four scenes moving, as a looping
//                                                 2 x 2 animation of half-size tiles; only
//                                                 its first N pictures with --pictures
//
// The run folder (default: this build's) holds the Graphics the program loads.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "render/render.h"
#include "state/app_state.h"
#include "tools/common/headless_program.h"
#include "tools/snapshot/frame_picture.h"
#include "tools/snapshot/preview_loop.h"
#include "tools/snapshot/webp_animation.h"

namespace {

constexpr const char* kSceneFiles[kSceneCount] = {"water.png", "fire.png", "earth.png", "wind.png"};

enum class Mode { FirstFrames, OneScene, Grid, Animation };

struct Options {
    Mode mode = Mode::FirstFrames;
    std::filesystem::path runDir = DEFAULT_RUN_DIR;
    std::filesystem::path outDir = ".";
    std::filesystem::path outFile;
    int scene = 0;
    int frames = 1;
    bool fullSizeTiles = false;
    int pictures = kPreviewLoopPictures;
};

int Usage()
{
    std::fprintf(stderr,
                 "usage: snapshot [--run-dir DIR] [--out-dir DIR]\n"
                 "       snapshot [--run-dir DIR] SCENE FRAMES OUT.png   (SCENE 0-3, FRAMES >= 1)\n"
                 "       snapshot [--run-dir DIR] --grid [--full] OUT.png\n"
                 "       snapshot [--run-dir DIR] --animate [--pictures N] OUT.webp   (N 1-%d)\n",
                 kPreviewLoopPictures);
    return 2;
}

bool ParseNumber(const char* text, int low, int high, int* value)
{
    char* end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || number < low || number > high)
        return false;
    *value = static_cast<int>(number);
    return true;
}

bool ParseOptions(int argc, char** argv, Options* options)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--run-dir" || arg == "--out-dir") && i + 1 < argc)
            (arg == "--run-dir" ? options->runDir : options->outDir) = argv[++i];
        else if (arg == "--grid")
            options->mode = Mode::Grid;
        else if (arg == "--full")
            options->fullSizeTiles = true;
        else if (arg == "--animate")
            options->mode = Mode::Animation;
        else if (arg == "--pictures" && i + 1 < argc) {
            if (!ParseNumber(argv[++i], 1, kPreviewLoopPictures, &options->pictures))
                return false;
        } else if (!arg.empty() && arg[0] == '-')
            return false;
        else
            positional.push_back(arg);
    }
    if (options->mode == Mode::Grid || options->mode == Mode::Animation) {
        if (positional.size() != 1)
            return false;
        options->outFile = positional[0];
    } else if (positional.size() == 3) {
        options->mode = Mode::OneScene;
        if (!ParseNumber(positional[0].c_str(), 0, kSceneCount - 1, &options->scene) ||
            !ParseNumber(positional[1].c_str(), 1, 1000000, &options->frames))
            return false;
        options->outFile = positional[2];
    } else if (!positional.empty()) {
        return false;
    }
    // Outputs are named from the caller's folder; the program runs in the run folder.
    options->outDir = std::filesystem::absolute(options->outDir);
    if (!options->outFile.empty())
        options->outFile = std::filesystem::absolute(options->outFile);
    return true;
}

FramePicture RenderScene(int scene, int frames)
{
    AppState.sceneIndex = scene;
    for (int i = 0; i < frames; ++i)
        RenderFrame();
    return CaptureFrame();
}

// Each scene drawn frames more times, its last frame a tile of the 2 x 2 grid.
FramePicture RenderGrid(int frames, bool fullSizeTiles)
{
    std::vector<FramePicture> tiles;
    for (int scene = 0; scene < kSceneCount; ++scene) {
        const FramePicture frame = RenderScene(scene, frames);
        tiles.push_back(fullSizeTiles ? frame : HalveFrame(frame));
    }
    return ComposeGrid(tiles);
}

// The scenes keep separate animation counters, so drawing them in turn shows
// each as if it had been on screen alone from the start.
bool WriteAnimation(const Options& options)
{
    WebpAnimation* animation = OpenWebpAnimation(800, 600);  // four half-size tiles
    if (animation == nullptr)
        return false;
    bool written = true;
    int framesDrawn = 0;
    for (int picture = 0; written && picture < options.pictures; ++picture) {
        const int frame = PreviewPictureFrame(picture);
        const FramePicture grid = RenderGrid(frame + 1 - framesDrawn, false);
        framesDrawn = frame + 1;
        written = AddWebpPicture(animation, grid, PreviewPictureTimeMs(picture));
    }
    const int endMs = PreviewPictureTimeMs(options.pictures);
    written = written && WriteWebpAnimation(animation, endMs, options.outFile.string());
    CloseWebpAnimation(animation);
    return written;
}

bool WriteRequested(const Options& options)
{
    switch (options.mode) {
    case Mode::OneScene:
        return WritePicturePng(RenderScene(options.scene, options.frames), options.outFile.string());
    case Mode::Grid:
        return WritePicturePng(RenderGrid(1, options.fullSizeTiles), options.outFile.string());
    case Mode::Animation:
        return WriteAnimation(options);
    case Mode::FirstFrames:
        for (int scene = 0; scene < kSceneCount; ++scene)
            if (!WritePicturePng(RenderScene(scene, 1), (options.outDir / kSceneFiles[scene]).string()))
                return false;
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options))
        return Usage();
    if (!EnterRunFolder("snapshot", options.runDir) || !StartProgram("snapshot"))
        return 1;
    const bool written = WriteRequested(options);
    StopProgram();
    return written ? 0 : 1;
}
