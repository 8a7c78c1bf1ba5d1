// The frame loop: messages before frames, the key table, the SPACE latch, the
// toggles, the cues, ESC and the ways out.
#include "app/win_main.h"
#include "shell_test_support.h"

namespace {

const std::string kChangeCue = kCueFiles[kCueChangeScene];
const std::string kTornadoCue = kCueFiles[kCueTornado];
const std::string kKeyCue = kCueFiles[kCueKeyPress];
const std::string kMoveCue = kCueFiles[kCueMove];

using LoopTest = ShellTest;

TEST_F(LoopTest, EscapeEndsWithTheFarewellBoxAndExitCode27)
{
    HeadlessQueueIdle(3);
    QueueEscape();
    EXPECT_EQ(WinMain(), 27);
    EXPECT_EQ(HeadlessSwapCount(), 3);  // the ESC pass draws but does not present
    ASSERT_EQ(HeadlessBoxes().size(), 1u);
    const HeadlessBox& box = HeadlessBoxes()[0];
    EXPECT_EQ(box.caption, "Thank You!");
    EXPECT_EQ(box.icon, MessageBoxIcon::Exclamation);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(std::count(box.text.begin(), box.text.end(), '\n'), 1);
    EXPECT_FALSE(HeadlessDisplayModeChanged());
    EXPECT_TRUE(HeadlessCursorVisible());
    EXPECT_LT(CallIndex("UnregisterWindowClass"), CallIndex("ShowCursor 1"));
    EXPECT_LT(CallIndex("ShowCursor 1"), CallIndex("MessageBox Thank You!"));
}

TEST_F(LoopTest, CloseRequestEndsWithExitCodeZeroAndNoFurtherFrame)
{
    HeadlessQueueIdle(2);
    HeadlessQueueMessage(WM_CLOSE);
    HeadlessQueueIdle(5);  // the quit comes in place of the first: nothing else waits
    EXPECT_EQ(WinMain(), 0);
    EXPECT_EQ(HeadlessSwapCount(), 2);
    ASSERT_EQ(HeadlessBoxes().size(), 1u);
    EXPECT_EQ(HeadlessBoxes()[0].caption, "Thank You!");
}

TEST_F(LoopTest, SystemCloseCommandBecomesACloseRequest)
{
    HeadlessQueueMessage(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(WinMain(), 0);
    EXPECT_TRUE(Called("PostQuitMessage 0"));
}

// The quit comes last: what reached the window behind a close request is
// still handled, and the run ends at the next pass with nothing waiting.
struct CloseRow {
    const char* how;
    uint32_t message;
    uintptr_t wParam;
};

TEST_F(LoopTest, MessagesBehindACloseRequestAreHandledBeforeTheQuit)
{
    const CloseRow rows[] = {{"close request", WM_CLOSE, 0}, {"system close command", WM_SYSCOMMAND, SC_CLOSE}};
    for (const CloseRow& row : rows) {
        SCOPED_TRACE(row.how);
        SetUp();
        HeadlessQueueMessage(row.message, row.wParam);
        HeadlessQueueKeyDown('J');
        HeadlessQueueMessage(WM_ACTIVATE, 1u << 16);  // minimised
        HeadlessQueueIdle(3);
        EXPECT_EQ(WinMain(), 0);  // the program's own quit, not the script's end (-1)
        EXPECT_TRUE(AppState.keys['J']);
        EXPECT_FALSE(AppState.active);
        EXPECT_EQ(HeadlessSwapCount(), 0);
        EXPECT_TRUE(HeadlessCues().empty());
    }
}

TEST_F(LoopTest, EveryWaitingMessageIsHandledBeforeTheNextFrame)
{
    // Pressed and released between two idle passes: no effect at all.
    HeadlessQueueIdle(1);
    HeadlessQueueKeyDown(VK_SPACE);
    HeadlessQueueKeyUp(VK_SPACE);
    HeadlessQueueKeyDown(VK_ESCAPE);
    HeadlessQueueKeyUp(VK_ESCAPE);
    HeadlessQueueIdle(2);
    QueueEscape();
    WinMain();
    EXPECT_EQ(AppState.sceneIndex, kSceneWater);
    EXPECT_TRUE(HeadlessCues().empty());
    EXPECT_EQ(HeadlessSwapCount(), 3);
}

TEST_F(LoopTest, SpaceAdvancesOncePerPressWhateverTheRepeats)
{
    HeadlessQueueKeyDown(VK_SPACE);
    HeadlessQueueIdle(4);
    HeadlessQueueKeyDown(VK_SPACE);  // auto-repeat
    HeadlessQueueIdle(4);
    HeadlessQueueKeyUp(VK_SPACE);
    HeadlessQueueIdle(1);
    HoldKey(VK_SPACE, 3);
    QueueEscape();
    WinMain();
    EXPECT_EQ(AppState.sceneIndex, kSceneEarth);
    EXPECT_EQ(HeadlessCues(), (std::vector<std::string>{kChangeCue, kChangeCue}));
}

TEST_F(LoopTest, FourPressesCycleTheScenesAndWindHasItsOwnCue)
{
    std::vector<int> scenes;
    for (int press = 0; press < 4; ++press) {
        HoldKey(VK_SPACE, 1);
        HeadlessQueueIdle(1);
    }
    HeadlessSetSwapHook([&] { scenes.push_back(AppState.sceneIndex); });
    QueueEscape();
    WinMain();
    EXPECT_EQ(AppState.sceneIndex, kSceneWater);
    // Each scene stays on screen for the pass after its press.
    EXPECT_EQ(scenes, (std::vector<int>{kSceneWater, kSceneFire, kSceneFire, kSceneEarth, kSceneEarth, kSceneWind,
                                        kSceneWind, kSceneWater}));
    EXPECT_EQ(HeadlessCues(),
              (std::vector<std::string>{kChangeCue, kChangeCue, kChangeCue, kTornadoCue, kChangeCue}));
}

TEST_F(LoopTest, TogglesFlipOnEveryPassWithoutALatch)
{
    HoldKey('J', 4);
    HoldKey('K', 3);
    QueueEscape();
    WinMain();
    EXPECT_TRUE(AppState.showHelp);     // an even count leaves the panel as it was
    EXPECT_FALSE(AppState.showTitles);  // an odd count flips the titles
    EXPECT_EQ(HeadlessCues(), std::vector<std::string>(7, kKeyCue));
}

struct KeyRow {
    uint8_t key;
    float AppStateRecord::*field;
    float step;
    bool cue;
};

TEST_F(LoopTest, EveryMovementKeyStepsItsFieldOncePerPass)
{
    const KeyRow rows[] = {
        {'C', &AppStateRecord::cameraZ, -0.1f, false}, {'V', &AppStateRecord::cameraZ, 0.1f, false},
        {'W', &AppStateRecord::rotX, -1.0f, false},    {'S', &AppStateRecord::rotX, 1.0f, false},
        {'E', &AppStateRecord::rotY, -1.0f, false},    {'D', &AppStateRecord::rotY, 1.0f, false},
        {'R', &AppStateRecord::rotZ, -1.0f, false},    {'F', &AppStateRecord::rotZ, 1.0f, false},
        {VK_UP, &AppStateRecord::cameraY, -0.1f, true}, {VK_DOWN, &AppStateRecord::cameraY, 0.1f, true},
        {VK_RIGHT, &AppStateRecord::cameraX, -0.1f, true}, {VK_LEFT, &AppStateRecord::cameraX, 0.1f, true},
    };
    constexpr int kPasses = 3;
    for (const KeyRow& row : rows) {
        SCOPED_TRACE(row.key);
        SetUp();
        float expected = AppState.*row.field;
        for (int pass = 0; pass < kPasses; ++pass)
            expected += row.step;  // 32-bit steps, as the loop takes them
        HoldKey(row.key, kPasses);
        QueueEscape();
        WinMain();
        EXPECT_EQ(AppState.*row.field, expected);
        EXPECT_EQ(HeadlessCues().size(), row.cue ? size_t{kPasses} : size_t{0});
        if (row.cue) {
            EXPECT_EQ(HeadlessCues().back(), kMoveCue);
        }
    }
}

TEST_F(LoopTest, OppositeKeysApplyTheDecreaseFirst)
{
    // From 0.05 the two orders of a 32-bit step down and up round apart.
    constexpr int kPasses = 5;
    AppState.cameraY = 0.05f;
    volatile float decreaseFirst = AppState.cameraY;
    volatile float increaseFirst = AppState.cameraY;
    for (int pass = 0; pass < kPasses; ++pass) {
        decreaseFirst = decreaseFirst - 0.1f;
        decreaseFirst = decreaseFirst + 0.1f;
        increaseFirst = increaseFirst + 0.1f;
        increaseFirst = increaseFirst - 0.1f;
    }
    ASSERT_NE(decreaseFirst, increaseFirst);
    HeadlessQueueKeyDown(VK_UP);
    HeadlessQueueKeyDown(VK_DOWN);
    HeadlessQueueIdle(kPasses);
    HeadlessQueueKeyUp(VK_UP);
    HeadlessQueueKeyUp(VK_DOWN);
    QueueEscape();
    WinMain();
    EXPECT_EQ(AppState.cameraY, decreaseFirst);
    EXPECT_EQ(HeadlessCues(), std::vector<std::string>(2 * kPasses, kMoveCue));
}

TEST_F(LoopTest, TheLastCueOfAPassIsTheOneHeard)
{
    HeadlessQueueKeyDown('J');
    HeadlessQueueKeyDown(VK_LEFT);
    HeadlessQueueIdle(2);
    HeadlessQueueKeyUp('J');
    HeadlessQueueKeyUp(VK_LEFT);
    QueueEscape();
    WinMain();
    EXPECT_EQ(HeadlessCues(), (std::vector<std::string>{kKeyCue, kMoveCue, kKeyCue, kMoveCue}));
    EXPECT_TRUE(AppState.showHelp);
    EXPECT_FLOAT_EQ(AppState.cameraX, 0.2f);
}

TEST_F(LoopTest, EscapeWithSpaceHeldStillRunsThatPassesKeys)
{
    HeadlessQueueIdle(1);
    HeadlessQueueKeyDown(VK_SPACE);
    QueueEscape();
    EXPECT_EQ(WinMain(), 27);
    EXPECT_EQ(AppState.sceneIndex, kSceneFire);
    EXPECT_EQ(HeadlessCues(), std::vector<std::string>{kChangeCue});
    EXPECT_EQ(HeadlessSwapCount(), 1);
}

TEST_F(LoopTest, MinimisedWindowSwapsAndTakesKeysButDrawsNothing)
{
    std::vector<bool> activeAtSwap;
    HeadlessSetSwapHook([&] { activeAtSwap.push_back(AppState.active); });
    HeadlessQueueMessage(WM_ACTIVATE, 1u << 16);  // minimised
    HoldKey(VK_SPACE, 3);
    HoldKey('W', 2);
    HeadlessQueueMessage(WM_ACTIVATE, 0);  // deactivated but not minimised
    HeadlessQueueIdle(1);
    QueueEscape();
    EXPECT_EQ(WinMain(), 27);
    EXPECT_EQ(activeAtSwap, (std::vector<bool>{false, false, false, false, false, true}));
    EXPECT_EQ(AppState.sceneIndex, kSceneFire);
    EXPECT_EQ(AppState.rotX, 103.0f);
    // Nothing was drawn while minimised; back in front, FIRE drew two frames
    // (the last one, on the ESC pass, never presented).
    EXPECT_EQ(AppState.waterFrame, 0);
    EXPECT_EQ(AppState.fireFrame, 2);
}

// W let go while ALT is held arrives as a system key: the turning stops.
// W pressed with ALT held is the system's and turns nothing.
TEST_F(LoopTest, AKeyLetGoUnderAltIsNoLongerHeld)
{
    constexpr uint8_t kAlt = 0x12;
    HeadlessQueueKeyDown('W');
    HeadlessQueueIdle(2);
    HeadlessQueueMessage(WM_SYSKEYDOWN, kAlt);
    HeadlessQueueIdle(1);
    HeadlessQueueMessage(WM_SYSKEYUP, 'W');
    HeadlessQueueMessage(WM_KEYUP, kAlt);
    HeadlessQueueIdle(3);
    HeadlessQueueMessage(WM_SYSKEYDOWN, kAlt);
    HeadlessQueueMessage(WM_SYSKEYDOWN, 'W');
    HeadlessQueueIdle(2);
    HeadlessQueueMessage(WM_SYSKEYUP, 'W');
    HeadlessQueueMessage(WM_SYSKEYUP, kAlt);
    QueueEscape();
    EXPECT_EQ(WinMain(), 27);
    EXPECT_EQ(AppState.rotX, 102.0f);
    EXPECT_FALSE(AppState.keys['W']);
    EXPECT_FALSE(AppState.keys[kAlt]);
}

TEST_F(LoopTest, RotationsRunPastAFullTurnUnwrapped)
{
    HoldKey('W', 400);
    QueueEscape();
    WinMain();
    EXPECT_EQ(AppState.rotX, -295.0f);
}

}  // namespace
