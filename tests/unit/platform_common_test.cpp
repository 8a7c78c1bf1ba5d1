// What every platform shares: the quit message last, the 60-steps-a-second
// pace on any display, and gestures played as the keys they stand for.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
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
// each key held ("D10 W8"), SPACE's passes in order while it plays (D down,
// u up), and the keys still held when it is over.
struct Played {
    std::string passes, space, heldAfter;
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
    std::map<std::string, int> passes;
    for (int pass = 0; pass < 100; ++pass) {
        WindowMessage message{};
        while (GestureNextMessage(gesture, nullptr, &message))
            keys[message.wParam] = message.message == WM_KEYDOWN;
        if (gesture->taps > 0 || gesture->spaceDown || gesture->spaceRan)
            played.space += keys[VK_SPACE] ? 'D' : 'u';
        GesturePassRan(gesture);
        for (int key = 0; key < 256; ++key)
            passes[KeyName(key)] += keys[key] ? 1 : 0;
    }
    for (const auto& [key, count] : passes)
        if (count > 0)
            played.passes += (played.passes.empty() ? "" : " ") + key + std::to_string(count);
    for (int key = 0; key < 256; ++key)
        if (keys[key])
            played.heldAfter += KeyName(key);
    return played;
}

// Plays a script of pointer news: "press ID turn|move X Y", "move ID X Y",
// "release ID", "wheel NOTCHES", and "drag turn|move DX DY" (a press at the
// middle, three moves, a release), separated by ";".
void Perform(GestureKeys* g, const std::string& script)
{
    std::istringstream steps(script);
    std::string step;
    while (std::getline(steps, step, ';')) {
        std::istringstream words(step);
        std::string verb, button;
        float a = 0, b = 0;
        int id = 1;
        words >> verb;
        if (verb == "drag" && words >> button >> a >> b) {
            const GestureButton kind = button == "move" ? GestureButton::Move : GestureButton::Turn;
            GesturePress(g, 1, kind, 400, 300);
            for (int part = 1; part <= 3; ++part)
                GestureMotion(g, 1, 400 + a * part / 3, 300 + b * part / 3);
            GestureRelease(g, 1);
        } else if (verb == "press" && words >> id >> button >> a >> b) {
            GesturePress(g, id, button == "move" ? GestureButton::Move : GestureButton::Turn, a, b);
        } else if (verb == "move" && words >> id >> a >> b) {
            GestureMotion(g, id, a, b);
        } else if (verb == "release" && words >> id) {
            GestureRelease(g, id);
        } else if (verb == "wheel" && words >> a) {
            GestureWheel(g, a);
        } else {
            ADD_FAILURE() << "no such step: " << step;
        }
    }
}

struct GestureRow {
    const char* name;
    const char* script;
    const char* passes;  // a step a pass: picture units / units per step, worked out by hand
    const char* space;
};

const GestureRow kGestureRows[] = {
    // Turning: 3 units a degree; at most a quarter of a second of steps waits.
    {"DragRightTurnsAsD", "drag turn 30 0", "D10", ""},
    {"DragLeftTurnsAsE", "drag turn -30 0", "E10", ""},
    {"DragDownTurnsAsS", "drag turn 0 21", "S7", ""},
    {"DragUpTurnsAsW", "drag turn 0 -21", "W7", ""},
    {"ADiagonalTurnsBothWays", "drag turn 18 -24", "D6 W8", ""},
    {"AFlingPlaysAtMostFifteenSteps", "drag turn 600 0", "D15", ""},
    // Moving: 12 units an arrow's step, the scene going the hand's way.
    {"RightDragRightMovesAsLeftArrow", "drag move 120 0", "Left10", ""},
    {"RightDragDownMovesAsUpArrow", "drag move 0 36", "Up3", ""},
    // A click: under 16 units of travel, no turn, one SPACE press and its release.
    {"AClickStepsTheSceneOnce", "drag turn 6 9", "Space1", "Du"},
    {"TwoClicksStepTwice", "drag turn 0 0; drag turn 0 0", "Space2", "DuDu"},
    {"ARightClickDoesNothing", "drag move 0 0", "", ""},
    // Zoom: a wheel notch is two steps, a pinch 12 units of spread a step.
    {"TheWheelAwayZoomsInAsV", "wheel 1", "V2", ""},
    {"TheWheelTowardsZoomsOutAsC", "wheel -1.5", "C3", ""},
    {"SpreadingTwoFingersZoomsIn",  // spread 100 -> 160, the middle still
     "press 1 turn 350 300; press 2 turn 450 300; move 1 320 300; move 2 480 300; release 1; release 2", "V5", ""},
    {"PinchingZoomsOutAndTheFingerLeftTurnsNothing",  // 200 -> 128
     "press 1 turn 300 300; press 2 turn 500 300; move 1 336 300; move 2 464 300; release 2; move 1 400 300; release 1",
     "C6", ""},
    {"TwoFingersDraggedMoveTheScene",  // the middle 48 right and 24 up
     "press 1 turn 350 300; press 2 turn 450 300; move 1 398 276; move 2 498 276; release 1; release 2", "Down2 Left4",
     ""},
};

class GesturePlay : public testing::TestWithParam<GestureRow> {};

TEST_P(GesturePlay, EachStepIsAKeyHeldForAPass)
{
    GestureKeys gesture;
    bool keys[256] = {};
    Perform(&gesture, GetParam().script);
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
    Perform(&gesture, "drag turn -30 0");
    EXPECT_EQ(Play(&gesture, keys).heldAfter, "E");
}

TEST(GestureKeysAndTheKeyboard, ACancelledGesturePlaysNoMore)
{
    GestureKeys gesture;
    bool keys[256] = {};
    Perform(&gesture, "drag turn 90 0");
    WindowMessage message{};
    ASSERT_TRUE(GestureNextMessage(&gesture, nullptr, &message));
    keys[message.wParam] = true;
    GesturePassRan(&gesture);
    GestureCancel(&gesture);
    Played played = Play(&gesture, keys);
    EXPECT_EQ(played.passes, "");
    EXPECT_EQ(played.heldAfter, "");
}

}  // namespace
