// What every platform shares: the quit message last, the 60-steps-a-second
// pace on any display, and gestures played as the keys they stand for.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "platform/common/gesture_keys.h"
#include "platform/common/message_queue.h"
#include "platform/common/picture_fit.h"
#include "platform/common/step_pace.h"

namespace {

TEST(MessageQueue, TheQuitMessageComesOnceEverythingElseIsTaken)
{
    MessageQueue queue;
    PostToQueue(&queue, WindowMessage{nullptr, WM_KEYDOWN, 'J', 0});
    PostQuitToQueue(&queue, 7);
    PostToQueue(&queue, WindowMessage{nullptr, WM_KEYUP, 'J', 0});
    std::vector<uint32_t> taken;
    WindowMessage record{};
    while (TakeFromQueue(&queue, &record))
        taken.push_back(record.message);
    EXPECT_EQ(taken, (std::vector<uint32_t>{WM_KEYDOWN, WM_KEYUP, WM_QUIT}));
    EXPECT_EQ(record.wParam, 7u);
}

// Which refreshes of a display at `hertz` show steps 0 to 7: step k is due
// at k / 60 s and shown on the first refresh j with j / hertz no earlier
// than a third of a refresh before it, j = ceil(k * hertz / 60 - 1/3), and
// never two on one refresh. Worked out by hand.
struct PaceRow {
    int hertz;
    std::vector<int> refreshes;
};

const PaceRow kPaceRows[] = {
    {60, {0, 1, 2, 3, 4, 5, 6, 7}},
    {75, {0, 1, 3, 4, 5, 6, 8, 9}},          // 1.25 k: 4 steps in 5 refreshes
    {120, {0, 2, 4, 6, 8, 10, 12, 14}},
    {144, {0, 3, 5, 7, 10, 12, 15, 17}},     // 2.4 k: 5 steps in 12 refreshes
    {165, {0, 3, 6, 8, 11, 14, 17, 19}},     // 2.75 k
    {240, {0, 4, 8, 12, 16, 20, 24, 28}},
    {50, {0, 1, 2, 3, 4, 5, 6, 7}},          // slower than 60: a step a refresh
    {30, {0, 1, 2, 3, 4, 5, 6, 7}},
};

class StepPace : public testing::TestWithParam<PaceRow> {};

TEST_P(StepPace, EachStepShowsOnItsRefresh)
{
    const PaceRow& row = GetParam();
    const double period = 1.0 / row.hertz, origin = 5000.0;  // a steady clock long running
    StepSchedule asked, scheduled;
    std::vector<int> shown, planned;
    for (int refresh = 0; shown.size() < row.refreshes.size(); ++refresh)
        if (StepShownAt(&asked, origin + refresh * period, period))
            shown.push_back(refresh);
    EXPECT_EQ(shown, row.refreshes) << "asked refresh by refresh";
    // The same steps found from the last refresh on, as a swap that waits for them does.
    double last = origin;
    ASSERT_TRUE(StepShownAt(&scheduled, last, period));
    planned.push_back(0);
    while (planned.size() < row.refreshes.size()) {
        last = NextStepRefresh(&scheduled, last, period, last);
        planned.push_back(static_cast<int>(std::lround((last - origin) / period)));
    }
    EXPECT_EQ(planned, row.refreshes) << "planned from the last refresh";
}

INSTANTIATE_TEST_SUITE_P(Rates, StepPace, testing::ValuesIn(kPaceRows),
                         [](const testing::TestParamInfo<PaceRow>& info) { return std::to_string(info.param.hertz) + "Hz"; });

TEST(StepPaceAfterAStall, AScheduleBehindStartsAfreshInsteadOfRushing)
{
    // 144 Hz: ten refreshes, then none for half a second, then a second of them.
    const double period = 1.0 / 144;
    StepSchedule schedule;
    for (int refresh = 0; refresh < 10; ++refresh)
        StepShownAt(&schedule, refresh * period, period);
    int steps = 0;
    for (int refresh = 82; refresh < 82 + 144; ++refresh)
        steps += StepShownAt(&schedule, refresh * period, period) ? 1 : 0;
    EXPECT_EQ(steps, 60);
    // A swap a second late (a slow frame) presents at the first refresh to come.
    StepSchedule slow;
    ASSERT_TRUE(StepShownAt(&slow, 0.0, period));
    EXPECT_NEAR(NextStepRefresh(&slow, 0.0, period, 1.0 + period / 2), 145 * period, 1e-9);
}

struct FitCase {
    int width, height;        // the drawable, pixels
    PictureRect expected;  // worked out by hand: the largest 4:3 rectangle, centred
};

class PictureFit : public testing::TestWithParam<FitCase> {};

TEST_P(PictureFit, TheLargestFourByThreeRectangleCentred)
{
    const FitCase& fit = GetParam();
    const PictureRect picture = FitPicture(fit.width, fit.height);
    EXPECT_EQ(picture.x, fit.expected.x);
    EXPECT_EQ(picture.y, fit.expected.y);
    EXPECT_EQ(picture.width, fit.expected.width);
    EXPECT_EQ(picture.height, fit.expected.height);
}

INSTANTIATE_TEST_SUITE_P(Drawables, PictureFit,
                         testing::Values(FitCase{800, 600, {0, 0, 800, 600}},          // the program's own
                                           FitCase{1920, 1080, {240, 0, 1440, 1080}},    // 16:9, bars left and right
                                           FitCase{1366, 768, {171, 0, 1024, 768}},      // an odd margin rounds down
                                           FitCase{2560, 1600, {213, 0, 2133, 1600}},    // 16:10, HiDPI
                                           FitCase{1280, 1024, {0, 32, 1280, 960}},      // 5:4, bars above and below
                                           FitCase{600, 800, {0, 175, 600, 450}},        // portrait
                                           FitCase{1170, 2532, {0, 827, 1170, 877}},     // a phone upright
                                           FitCase{0, 0, {0, 0, 0, 0}}));                // minimised

// A gesture played to a stand-in of the program's loop: how many passes saw
// each key held, the keys held when it is over, and SPACE's passes in order.
struct Played {
    std::map<std::string, int> passes;
    std::string heldAfter;
    std::string space;  // one letter a pass while SPACE plays: D down, u up
};

std::string KeyName(int key)
{
    switch (key) {
    case VK_LEFT: return "Left";
    case VK_RIGHT: return "Right";
    case VK_UP: return "Up";
    case VK_DOWN: return "Down";
    case VK_SPACE: return "Space";
    default: return std::string(1, static_cast<char>(key));
    }
}

Played Play(GestureKeys* gesture, bool keys[256])
{
    Played played;
    for (int pass = 0; pass < 100; ++pass) {
        WindowMessage message{};
        while (GestureNextMessage(gesture, nullptr, &message))
            keys[message.wParam] = message.message == WM_KEYDOWN;
        if (gesture->taps > 0 || gesture->spaceDown || gesture->spaceRan)
            played.space += keys[VK_SPACE] ? 'D' : 'u';
        GesturePassRan(gesture);
        for (int key = 0; key < 256; ++key)
            if (keys[key])
                ++played.passes[KeyName(key)];
    }
    for (int key = 0; key < 256; ++key)
        if (keys[key])
            played.heldAfter += KeyName(key);
    return played;
}

struct GestureRow {
    const char* name;
    void (*gesture)(GestureKeys*);
    std::map<std::string, int> passes;  // a step a pass: picture units / units per step
    std::string space;
};

void Drag(GestureKeys* g, GestureButton button, float dx, float dy)
{
    GesturePress(g, 1, button, 400, 300);
    for (int part = 1; part <= 3; ++part)
        GestureMotion(g, 1, 400 + dx * part / 3, 300 + dy * part / 3);
    GestureRelease(g, 1);
}

const GestureRow kGestureRows[] = {
    // Turning: 3 units a degree.
    {"DragRightTurnsAsD", [](GestureKeys* g) { Drag(g, GestureButton::Turn, 30, 0); }, {{"D", 10}}, ""},
    {"DragLeftTurnsAsE", [](GestureKeys* g) { Drag(g, GestureButton::Turn, -30, 0); }, {{"E", 10}}, ""},
    {"DragDownTurnsAsS", [](GestureKeys* g) { Drag(g, GestureButton::Turn, 0, 21); }, {{"S", 7}}, ""},
    {"DragUpTurnsAsW", [](GestureKeys* g) { Drag(g, GestureButton::Turn, 0, -21); }, {{"W", 7}}, ""},
    {"ADiagonalTurnsBothWays", [](GestureKeys* g) { Drag(g, GestureButton::Turn, 18, -24); }, {{"D", 6}, {"W", 8}}, ""},
    // A fling far past the keys' pace stops a quarter of a second after the hand.
    {"AFlingPlaysAtMostFifteenSteps", [](GestureKeys* g) { Drag(g, GestureButton::Turn, 600, 0); }, {{"D", 15}}, ""},
    // Moving: 12 units an arrow's step, the scene going the hand's way.
    {"RightDragRightMovesAsLeftArrow", [](GestureKeys* g) { Drag(g, GestureButton::Move, 120, 0); }, {{"Left", 10}}, ""},
    {"RightDragDownMovesAsUpArrow", [](GestureKeys* g) { Drag(g, GestureButton::Move, 0, 36); }, {{"Up", 3}}, ""},
    // A click: under 16 units of travel, no turn, one SPACE press and its release.
    {"AClickStepsTheSceneOnce", [](GestureKeys* g) { Drag(g, GestureButton::Turn, 6, 9); }, {{"Space", 1}}, "Du"},
    {"TwoClicksStepTwice", [](GestureKeys* g) { Drag(g, GestureButton::Turn, 0, 0); Drag(g, GestureButton::Turn, 0, 0); },
     {{"Space", 2}}, "DuDu"},
    {"ARightClickDoesNothing", [](GestureKeys* g) { Drag(g, GestureButton::Move, 0, 0); }, {}, ""},
    // Zoom: a wheel notch is two steps, a pinch 12 units of spread a step.
    {"TheWheelAwayZoomsInAsV", [](GestureKeys* g) { GestureWheel(g, 1); }, {{"V", 2}}, ""},
    {"TheWheelTowardsZoomsOutAsC", [](GestureKeys* g) { GestureWheel(g, -1.5f); }, {{"C", 3}}, ""},
    {"SpreadingTwoFingersZoomsIn",
     [](GestureKeys* g) {
         GesturePress(g, 1, GestureButton::Turn, 350, 300);
         GesturePress(g, 2, GestureButton::Turn, 450, 300);
         GestureMotion(g, 1, 320, 300);
         GestureMotion(g, 2, 480, 300);  // spread 100 -> 160, the middle still
         GestureRelease(g, 1);
         GestureRelease(g, 2);
     },
     {{"V", 5}}, ""},
    {"PinchingZoomsOut",
     [](GestureKeys* g) {
         GesturePress(g, 1, GestureButton::Turn, 300, 300);
         GesturePress(g, 2, GestureButton::Turn, 500, 300);
         GestureMotion(g, 1, 336, 300);
         GestureMotion(g, 2, 464, 300);  // 200 -> 128
         GestureRelease(g, 2);
         GestureMotion(g, 1, 400, 300);  // the finger left turns nothing
         GestureRelease(g, 1);
     },
     {{"C", 6}}, ""},
    {"TwoFingersDraggedMoveTheScene",
     [](GestureKeys* g) {
         GesturePress(g, 1, GestureButton::Turn, 350, 300);
         GesturePress(g, 2, GestureButton::Turn, 450, 300);
         GestureMotion(g, 1, 398, 276);
         GestureMotion(g, 2, 498, 276);  // the middle 48 right and 24 up
         GestureRelease(g, 1);
         GestureRelease(g, 2);
     },
     {{"Left", 4}, {"Down", 2}}, ""},
};

class GesturePlay : public testing::TestWithParam<GestureRow> {};

TEST_P(GesturePlay, EachStepIsAKeyHeldForAPass)
{
    GestureKeys gesture;
    bool keys[256] = {};
    GetParam().gesture(&gesture);
    Played played = Play(&gesture, keys);
    EXPECT_EQ(played.passes, GetParam().passes);
    EXPECT_EQ(played.heldAfter, "") << "every key let go once played";
    EXPECT_EQ(played.space, GetParam().space);
}

INSTANTIATE_TEST_SUITE_P(Gestures, GesturePlay, testing::ValuesIn(kGestureRows),
                         [](const testing::TestParamInfo<GestureRow>& info) { return info.param.name; });

TEST(GestureKeysAndTheKeyboard, AKeyTheUserHoldsStaysDownAfterTheDrag)
{
    GestureKeys gesture;
    bool keys[256] = {};
    keys['E'] = true;
    GestureUserKey(&gesture, 'E', true);
    Drag(&gesture, GestureButton::Turn, -30, 0);
    EXPECT_EQ(Play(&gesture, keys).heldAfter, "E");
}

TEST(GestureKeysAndTheKeyboard, ACancelledGesturePlaysNoMore)
{
    GestureKeys gesture;
    bool keys[256] = {};
    Drag(&gesture, GestureButton::Turn, 90, 0);
    WindowMessage message{};
    ASSERT_TRUE(GestureNextMessage(&gesture, nullptr, &message));
    keys[message.wParam] = true;
    GesturePassRan(&gesture);
    GestureCancel(&gesture);
    Played played = Play(&gesture, keys);
    EXPECT_EQ(played.passes, (std::map<std::string, int>{}));
    EXPECT_EQ(played.heldAfter, "");
}

}  // namespace
