// The swap pacer's schedule: one refresh period between presentations,
// catching up after a short delay and starting afresh after a long one.
#include <gtest/gtest.h>

#include "platform/sdl/sdl_internal.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr Clock::duration kPeriod = milliseconds(16);
const Clock::time_point kDeadline = Clock::time_point{} + std::chrono::hours(1);

TEST(SdlSwapDeadline, AnOnTimeSwapIsFollowedOnePeriodLater)
{
    EXPECT_EQ(SdlNextSwapDeadline(kDeadline, kDeadline + milliseconds(1), kPeriod), kDeadline + kPeriod);
}

TEST(SdlSwapDeadline, ASwapLateByLessThanAPeriodKeepsTheRhythm)
{
    // The next frame comes sooner, so the average rate stays the refresh rate.
    EXPECT_EQ(SdlNextSwapDeadline(kDeadline, kDeadline + milliseconds(10), kPeriod), kDeadline + kPeriod);
}

TEST(SdlSwapDeadline, ASwapLateByMoreThanAPeriodStartsAfresh)
{
    // No burst of unpaced frames to make up for a slow one.
    Clock::time_point finished = kDeadline + milliseconds(50);
    EXPECT_EQ(SdlNextSwapDeadline(kDeadline, finished, kPeriod), finished + kPeriod);
}

TEST(SdlSwapDeadline, ADriverThatSyncsOrVblankModeZeroTurnsPacingOff)
{
    SdlSwapPacer pacer{};
    unsetenv("vblank_mode");
    SdlStartSwapPacer(&pacer, true);
    EXPECT_FALSE(pacer.enabled);
    SdlStartSwapPacer(&pacer, false);
    EXPECT_TRUE(pacer.enabled);
    setenv("vblank_mode", "0", 1);
    SdlStartSwapPacer(&pacer, false);
    EXPECT_FALSE(pacer.enabled);
    unsetenv("vblank_mode");
}

}  // namespace
