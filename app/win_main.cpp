// win_main.cpp — the life of the process: open the display, run the frame
// loop until ESC or a close request, close the display, say goodbye.
#include "app/win_main.h"

#include "app/key_actions.h"
#include "display/display.h"
#include "render/render.h"
#include "state/app_state.h"
#include "state/window_request.h"

namespace {

constexpr const char* kFarewellCaption = "Thank You!";
constexpr const char* kFarewellText =
    "Thank you for trying Marivelt, the four elements in motion.\n"
    "Made for the Elements demo contest.";

// An idle pass: draw, present unless ESC is held, then apply the held keys.
// Returns true when the loop should stop.
bool RunIdlePass()
{
    bool stop = false;
    if (AppState.active && !RenderFrame())
        stop = true;
    else if (AppState.keys[VK_ESCAPE])
        stop = true;  // the frame just drawn is never presented
    else
        PlatformSwapBuffers(AppState.deviceContext);
    ApplyHeldKeys();
    return stop;
}

}  // namespace

int WinMain()
{
    bool stop = false;
    WindowMessage lastMessage{};
    if (!OpenDisplay(kWindowTitle, kDisplayWidth, kDisplayHeight, kDisplayBits))
        return 0;
    // Opens in the background while the first frames are drawn: the first
    // cue then starts as promptly as the rest.
    PlatformOpenSound(kCueFiles, kCueCount);

    // Messages come first: one per pass, and a frame only when none is waiting.
    while (!stop) {
        if (PlatformPeekMessage(&lastMessage)) {
            if (lastMessage.message == WM_QUIT)
                stop = true;
            else
                DisplayWindowProc(lastMessage.window, lastMessage.message, lastMessage.wParam, lastMessage.lParam);
            continue;
        }
        stop = RunIdlePass();
    }

    // The desktop first, whatever the sound server does; then a cue still
    // playing fades out, and the farewell box is silent.
    CloseDisplay();
    PlatformCloseSound();
    PlatformShowCursor(true);
    PlatformMessageBox(nullptr, kFarewellText, kFarewellCaption, MessageBoxIcon::Exclamation);
    // The quit code after WM_QUIT; after ESC, what its key message carried (27).
    return static_cast<int32_t>(lastMessage.wParam);
}
