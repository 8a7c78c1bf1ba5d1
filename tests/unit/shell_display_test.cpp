// The display: every start-up failure with its one box, the teardown order
// and its own boxes, and the window procedure's bookkeeping.
#include "app/win_main.h"
#include "display/display.h"
#include "shell_test_support.h"

namespace {

using DisplayTest = ShellTest;

struct StartupFailure {
    HeadlessStep step;
    const char* text;
    MessageBoxIcon icon;
    bool tornDownFirst;
};

const StartupFailure kStartupFailures[] = {
    {HeadlessStep::RegisterWindowClass, "Failed to register the window class!", MessageBoxIcon::Exclamation, false},
    {HeadlessStep::ChangeDisplayMode, "Your video card does not support FULLSCREEN operation!", MessageBoxIcon::Hand,
     false},
    {HeadlessStep::CreateWindow, "Window creation ERROR!", MessageBoxIcon::Exclamation, true},
    {HeadlessStep::GetDeviceContext, "Cannot create a GL DC!", MessageBoxIcon::Exclamation, true},
    {HeadlessStep::ChoosePixelFormat, "Cannot find a suitable PixelFormat!", MessageBoxIcon::Exclamation, true},
    {HeadlessStep::SetPixelFormat, "Cannot set the pixel format!", MessageBoxIcon::Exclamation, true},
    {HeadlessStep::CreateRenderContext, "Cannot create a GL RC!", MessageBoxIcon::Exclamation, true},
    {HeadlessStep::MakeCurrent, "Cannot activate the GL RC!", MessageBoxIcon::Exclamation, true},
    {HeadlessStep::NewQuadric, "Initialization FAILED!", MessageBoxIcon::Exclamation, true},
};

TEST_F(DisplayTest, EachStartupFailureShowsOneBoxAndEndsWithExitCodeZero)
{
    for (const StartupFailure& failure : kStartupFailures) {
        SCOPED_TRACE(failure.text);
        SetUp();
        HeadlessFailStep(failure.step);
        HeadlessQueueIdle(1);
        EXPECT_EQ(WinMain(), 0);
        ASSERT_EQ(HeadlessBoxes().size(), 1u);
        const HeadlessBox& box = HeadlessBoxes()[0];
        EXPECT_EQ(box.text, failure.text);
        EXPECT_EQ(box.caption, "ERROR");
        EXPECT_EQ(box.icon, failure.icon);
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(HeadlessSwapCount(), 0);
        EXPECT_FALSE(HeadlessDisplayModeChanged());
        EXPECT_FALSE(Called("OpenSound"));
        if (failure.tornDownFirst) {
            // Desktop back and window gone before the box; the cursor stays hidden.
            EXPECT_LT(CallIndex("RestoreDisplayMode"), CallIndex("MessageBox"));
            EXPECT_LT(CallIndex("UnregisterWindowClass"), CallIndex("MessageBox"));
            EXPECT_FALSE(HeadlessCursorVisible());
        } else {
            EXPECT_FALSE(Called("RestoreDisplayMode"));
            EXPECT_FALSE(Called("UnregisterWindowClass"));
            EXPECT_FALSE(Called("CreateWindow"));
            EXPECT_TRUE(HeadlessCursorVisible());
        }
    }
}

TEST_F(DisplayTest, ASwitchRefusedOnceTheWindowIsShownIsTheRefusedModeWithEverythingGivenBack)
{
    HeadlessFailStep(HeadlessStep::ConfirmDisplayMode);
    HeadlessQueueIdle(1);
    EXPECT_EQ(WinMain(), 0);
    ASSERT_EQ(HeadlessBoxes().size(), 1u);
    EXPECT_EQ(HeadlessBoxes()[0].text, "Your video card does not support FULLSCREEN operation!");
    EXPECT_EQ(HeadlessBoxes()[0].caption, "ERROR");
    EXPECT_EQ(HeadlessBoxes()[0].icon, MessageBoxIcon::Hand);
    EXPECT_EQ(HeadlessSwapCount(), 0);
    EXPECT_LT(CallIndex("ShowWindow"), CallIndex("ConfirmDisplayMode"));
    const char* order[] = {"ConfirmDisplayMode", "RestoreDisplayMode", "DeleteRenderContext", "DestroyWindow",
                           "UnregisterWindowClass", "ShowCursor 1", "MessageBox"};
    for (size_t i = 1; i < std::size(order); ++i)
        EXPECT_LT(CallIndex(order[i - 1]), CallIndex(order[i])) << order[i];
    EXPECT_FALSE(HeadlessDisplayModeChanged());
    EXPECT_TRUE(HeadlessCursorVisible());
    EXPECT_FALSE(Called("OpenFileView")) << "no texture is read for a refused display";
}

TEST_F(DisplayTest, TeardownAfterAFailedDeviceContextSkipsWhatWasNeverMade)
{
    HeadlessFailStep(HeadlessStep::GetDeviceContext);
    EXPECT_FALSE(OpenDisplay("Marivelt", 800, 600, 16));
    EXPECT_FALSE(Called("MakeCurrent none"));
    EXPECT_FALSE(Called("DeleteRenderContext"));
    EXPECT_FALSE(Called("ReleaseDeviceContext"));
    EXPECT_LT(CallIndex("DestroyWindow"), CallIndex("UnregisterWindowClass"));
    EXPECT_EQ(AppState.window, nullptr);
}

TEST_F(DisplayTest, TeardownAfterAFailedActivationDeletesTheContextBeforeTheDeviceContext)
{
    HeadlessFailStep(HeadlessStep::MakeCurrent);
    EXPECT_FALSE(OpenDisplay("Marivelt", 800, 600, 16));
    EXPECT_LT(CallIndex("MakeCurrent none"), CallIndex("DeleteRenderContext"));
    EXPECT_LT(CallIndex("DeleteRenderContext"), CallIndex("ReleaseDeviceContext"));
    ASSERT_EQ(HeadlessBoxes().size(), 1u);
    EXPECT_EQ(HeadlessBoxes()[0].text, "Cannot activate the GL RC!");
}

TEST_F(DisplayTest, StartupAsksForTheFullScreenModeAndADoubleBufferedFormat)
{
    ASSERT_TRUE(OpenDisplay("Marivelt", 800, 600, 16));
    EXPECT_TRUE(HeadlessDisplayModeChanged());
    EXPECT_FALSE(HeadlessCursorVisible());
    EXPECT_TRUE(Called("ChangeDisplayMode 800x600x16"));
    EXPECT_TRUE(Called("CreateWindow Marivelt 800x600"));
    EXPECT_TRUE(Called("ChoosePixelFormat flags=37 color=16 depth=16"));
    const char* order[] = {"ModuleHandle", "RegisterWindowClass", "ChangeDisplayMode", "ShowCursor 0",
                           "CreateWindow", "GetDeviceContext", "ChoosePixelFormat", "SetPixelFormat",
                           "CreateRenderContext", "MakeCurrent", "ShowWindow", "SetForegroundWindow", "SetFocus"};
    for (size_t i = 1; i < std::size(order); ++i)
        EXPECT_LT(CallIndex(order[i - 1]), CallIndex(order[i])) << order[i];
    EXPECT_EQ(PlatformGetFocus(), AppState.window);
    CloseDisplay();
    EXPECT_TRUE(HeadlessBoxes().empty());
}

// The textures went with the context; no glyph lists were built.
TEST_F(DisplayTest, NoQuadricEndsTheStartupWithTheContextReleased)
{
    HeadlessFailStep(HeadlessStep::NewQuadric);
    EXPECT_FALSE(OpenDisplay("Marivelt", 800, 600, 16));
    EXPECT_EQ(AppState.quadric, nullptr);
    EXPECT_EQ(AppState.glyphBase, 0u);
    EXPECT_LT(CallIndex("NewQuadric"), CallIndex("DeleteRenderContext"));
    EXPECT_LT(CallIndex("DeleteRenderContext"), CallIndex("MessageBox"));
    EXPECT_FALSE(PlatformHasCurrentContext());
}

TEST_F(DisplayTest, AWindowedRunMakesTheSameCallsButKeepsTheDesktopModeAndTheCursor)
{
    HeadlessQueueIdle(2);
    QueueEscape();
    ASSERT_EQ(WinMain(), 27);
    const std::vector<std::string> fullScreenCalls = HeadlessCalls();

    SetUp();
    PlatformSetWindowed(true);
    int framesInMode = 0;
    int framesWithoutCursor = 0;
    HeadlessSetSwapHook([&] {
        framesInMode += HeadlessDisplayModeChanged() ? 1 : 0;
        framesWithoutCursor += HeadlessCursorVisible() ? 0 : 1;
    });
    HeadlessQueueIdle(2);
    QueueEscape();
    EXPECT_EQ(WinMain(), 27);
    std::vector<std::string> windowedCalls = HeadlessCalls();
    ASSERT_FALSE(windowedCalls.empty());
    EXPECT_EQ(windowedCalls.front(), "SetWindowed 1");
    windowedCalls.erase(windowedCalls.begin());
    EXPECT_EQ(windowedCalls, fullScreenCalls);
    EXPECT_EQ(HeadlessSwapCount(), 2);
    EXPECT_EQ(framesInMode, 0);
    EXPECT_EQ(framesWithoutCursor, 0);
    ASSERT_EQ(HeadlessBoxes().size(), 1u);
    EXPECT_EQ(HeadlessBoxes()[0].caption, "Thank You!");
}

struct ShutdownFailure {
    HeadlessStep step;
    const char* text;
    const char* nextRelease;  // still runs after the failure
};

TEST_F(DisplayTest, EachFailedReleaseShowsItsOwnBoxAndTheNextReleaseStillRuns)
{
    const ShutdownFailure failures[] = {
        {HeadlessStep::ReleaseCurrent, "Release of DC and RC FAILED!", "DeleteRenderContext"},
        {HeadlessStep::DeleteRenderContext, "Release of RC FAILED!", "ReleaseDeviceContext"},
        {HeadlessStep::ReleaseDeviceContext, "Release of DC FAILED!", "DestroyWindow"},
        {HeadlessStep::DestroyWindow, "Could NOT release the window!", "UnregisterWindowClass"},
        {HeadlessStep::UnregisterWindowClass, "Could NOT unregister class!", "ShowCursor 1"},
    };
    for (const ShutdownFailure& failure : failures) {
        SCOPED_TRACE(failure.text);
        SetUp();
        QueueEscape();
        HeadlessFailStep(failure.step);
        EXPECT_EQ(WinMain(), 27);
        ASSERT_EQ(HeadlessBoxes().size(), 2u);
        EXPECT_EQ(HeadlessBoxes()[0].text, failure.text);
        EXPECT_EQ(HeadlessBoxes()[0].caption, "SHUTDOWN ERROR");
        EXPECT_EQ(HeadlessBoxes()[0].icon, MessageBoxIcon::Asterisk);
        EXPECT_EQ(HeadlessBoxes()[0].owner, nullptr);
        EXPECT_EQ(HeadlessBoxes()[1].caption, "Thank You!");
        EXPECT_LT(CallIndex("MessageBox SHUTDOWN ERROR"), CallIndex(failure.nextRelease));
    }
}

TEST_F(DisplayTest, NormalExitReleasesInOrderWithoutAShutdownBox)
{
    QueueEscape();
    WinMain();
    const char* order[] = {"RestoreDisplayMode", "MakeCurrent none", "DeleteRenderContext",
                           "ReleaseDeviceContext", "DestroyWindow", "UnregisterWindowClass"};
    for (size_t i = 1; i < std::size(order); ++i)
        EXPECT_LT(CallIndex(order[i - 1]), CallIndex(order[i])) << order[i];
    for (const HeadlessBox& box : HeadlessBoxes())
        EXPECT_NE(box.caption, "SHUTDOWN ERROR");
    EXPECT_FALSE(PlatformHasCurrentContext());
}

// The sound opens once the window is shown, in time for the first frame,
// naming every cue the run plays (each is then read before its first play),
// and closes after the display, whose mode no sound server may hold up, and
// before the farewell box.
TEST_F(DisplayTest, SoundOpensBeforeTheFirstFrameAndClosesAfterTheDisplay)
{
    bool openAtFirstFrame = false;
    HeadlessSetSwapHook([&] {
        if (HeadlessSwapCount() == 0)
            openAtFirstFrame = Called("OpenSound");
    });
    for (int press = 0; press < 3; ++press) {  // to WIND, which has a cue of its own
        HoldKey(VK_SPACE, 1);
        HeadlessQueueIdle(1);  // SPACE up: the next press counts
    }
    HoldKey('J', 1);
    HoldKey(VK_LEFT, 1);
    QueueEscape();
    EXPECT_EQ(WinMain(), 27);

    EXPECT_TRUE(openAtFirstFrame);
    EXPECT_LT(CallIndex("ShowWindow"), CallIndex("OpenSound"));
    EXPECT_LT(CallIndex("UnregisterWindowClass"), CallIndex("CloseSound"));
    EXPECT_LT(CallIndex("CloseSound"), CallIndex("MessageBox"));
    const std::string opened = HeadlessCalls()[static_cast<size_t>(CallIndex("OpenSound"))] + " ";
    std::vector<std::string> played = HeadlessCues();
    std::sort(played.begin(), played.end());
    played.erase(std::unique(played.begin(), played.end()), played.end());
    EXPECT_EQ(played.size(), 4u);
    for (const std::string& cue : played)
        EXPECT_NE(opened.find(" " + cue + " "), std::string::npos) << cue;
}

TEST_F(DisplayTest, KeyTableFollowsKeyDownAndUpOnly)
{
    DisplayWindowProc(nullptr, WM_KEYDOWN, 'W', 0);
    DisplayWindowProc(nullptr, WM_KEYDOWN, 'W', 0);  // auto-repeat
    EXPECT_TRUE(AppState.keys['W']);
    DisplayWindowProc(nullptr, WM_KEYUP, 'W', 0);
    EXPECT_FALSE(AppState.keys['W']);

    // With ALT held the system keeps the key: the table stays as it was.
    DisplayWindowProc(nullptr, WM_SYSKEYDOWN, 'W', 0);
    EXPECT_FALSE(AppState.keys['W']);
    EXPECT_TRUE(Called("DefaultWindowProc 260"));

    // Codes past the table write nothing.
    const AppStateRecord before = AppState;
    DisplayWindowProc(nullptr, WM_KEYDOWN, 256, 0);
    DisplayWindowProc(nullptr, WM_KEYDOWN, 0x10000 + 'W', 0);
    EXPECT_EQ(0, std::memcmp(&before, &AppState, sizeof AppState));
}

TEST_F(DisplayTest, ActiveFollowsTheMinimisedFlagOnly)
{
    DisplayWindowProc(nullptr, WM_ACTIVATE, (1u << 16) | 1u, 0);
    EXPECT_FALSE(AppState.active);
    DisplayWindowProc(nullptr, WM_ACTIVATE, 1u, 0);
    EXPECT_TRUE(AppState.active);
    DisplayWindowProc(nullptr, WM_ACTIVATE, 0u, 0);  // another window in front, not minimised
    EXPECT_TRUE(AppState.active);
}

TEST_F(DisplayTest, ScreenSaverAndMonitorPowerCommandsAreSwallowed)
{
    EXPECT_EQ(DisplayWindowProc(nullptr, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(DisplayWindowProc(nullptr, WM_SYSCOMMAND, SC_MONITORPOWER, 0), 0);
    EXPECT_FALSE(Called("DefaultWindowProc"));
    // The whole parameter is compared: other low bits are another command.
    DisplayWindowProc(nullptr, WM_SYSCOMMAND, SC_SCREENSAVE | 1u, 0);
    EXPECT_TRUE(Called("DefaultWindowProc 274"));
}

}  // namespace
