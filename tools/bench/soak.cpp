// soak — runs the whole program for a long time on the headless platform and
// samples its resident memory, to show that nothing grows frame by frame.
//   soak [--frames N] [--sample-every K] [--run-dir DIR]
// The scripted user steps SPACE every 500 frames, taps J and K now and then
// and holds the arrow keys in turn; ESC ends the run, which must give 27.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "app/win_main.h"
#include "platform/headless/headless.h"
#include "tools/common/headless_program.h"

namespace {

constexpr int kSceneEvery = 500;   // frames between SPACE presses
constexpr int kToggleEvery = 1250;  // frames between J or K taps
constexpr int kArrowSpan = 250;     // frames each arrow key is held
const uint8_t kArrows[] = {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN};

long ResidentKilobytes()
{
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return -1;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
        resident = -1;
    std::fclose(statm);
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// One frame's worth of script: key changes, then one idle pass.
void QueueFrame(int frame)
{
    if (frame % kSceneEvery == 0)
        HeadlessQueueKeyDown(VK_SPACE);
    if (frame % kSceneEvery == 1)
        HeadlessQueueKeyUp(VK_SPACE);
    if (frame % kToggleEvery == 7)
        HeadlessQueueKeyDown(frame / kToggleEvery % 2 ? 'K' : 'J');
    if (frame % kToggleEvery == 8)
        HeadlessQueueKeyUp(frame / kToggleEvery % 2 ? 'K' : 'J');
    if (frame % kArrowSpan == 0) {
        const int arrow = frame / kArrowSpan % 4;
        HeadlessQueueKeyUp(kArrows[(arrow + 3) % 4]);
        HeadlessQueueKeyDown(kArrows[arrow]);
    }
    HeadlessQueueIdle(1);
}

}  // namespace

int main(int argc, char** argv)
{
    int frames = 100000;
    int sampleEvery = 10000;
    std::filesystem::path runDir = DEFAULT_RUN_DIR;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--frames") == 0)
            frames = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--sample-every") == 0)
            sampleEvery = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--run-dir") == 0)
            runDir = argv[i + 1];
    }
    if (frames < 1 || sampleEvery < 1) {
        std::fprintf(stderr, "usage: soak [--frames N] [--sample-every K] [--run-dir DIR]\n");
        return 2;
    }
    if (!EnterRunFolder("soak", runDir))
        return 1;

    HeadlessReset();
    for (int frame = 0; frame < frames; ++frame)
        QueueFrame(frame);
    HeadlessQueueKeyDown(VK_ESCAPE);
    HeadlessQueueIdle(1);

    std::vector<long> samples;
    HeadlessSetSwapHook([&] {
        // The records are the harness's, not the program's: keep them from growing.
        HeadlessClearRecords();
        const int frame = HeadlessSwapCount() + 1;
        if (frame % sampleEvery == 0) {
            samples.push_back(ResidentKilobytes());
            std::printf("frame %7d  resident %8ld KiB\n", frame, samples.back());
            std::fflush(stdout);
        }
    });
    const int exitCode = WinMain();
    HeadlessSetSwapHook(nullptr);

    long growth = 0;
    for (long sample : samples)
        growth = std::max(growth, sample - samples.front());
    std::printf("frames %d, exit code %d, boxes %zu, growth after the first sample %ld KiB\n", frames, exitCode,
                HeadlessBoxes().size(), samples.empty() ? 0L : growth);
    return exitCode == 27 && growth == 0 ? 0 : 1;
}
