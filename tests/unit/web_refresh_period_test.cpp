// The page's estimate of its display's refresh period from its animation
// frames' times, whatever frames were missed.
#include <gtest/gtest.h>

#include <vector>

#include "platform/web/refresh_period.h"

namespace {

struct PeriodRow {
    std::vector<double> frames;  // refreshes with an animation frame, 1/144 s apart
    int slowFrames;              // then as many 2.4 refreshes apart (60 Hz)
    double period;               // seconds, worked out by hand
};

class RefreshPeriodTest : public testing::TestWithParam<PeriodRow> {};

TEST_P(RefreshPeriodTest, IsTheShortestOfTheLast32Intervals)
{
    RefreshPeriod period;
    std::vector<double> frames = GetParam().frames;
    for (int slow = 1; slow <= GetParam().slowFrames; ++slow)
        frames.push_back(frames.back() + 2.4);
    double estimate = 0;
    for (double frame : frames)
        estimate = NoteAnimationFrame(&period, 5000.0 + frame / 144);  // a page long open
    EXPECT_NEAR(estimate, GetParam().period, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Frames, RefreshPeriodTest,
                         testing::Values(PeriodRow{{1}, 0, 1.0 / 60},                      // none yet
                                         PeriodRow{{1, 2, 4, 5, 7, 8, 10}, 0, 1.0 / 144},  // every 3rd missed
                                         PeriodRow{{1, 2, 3, 600, 602}, 0, 1.0 / 144},     // a hidden page
                                         PeriodRow{{1, 1, 1, 3.4, 5.8}, 0, 2.4 / 144},     // a coarse clock
                                         PeriodRow{{1, 2, 3}, 31, 1.0 / 144},              // 60 Hz from now on
                                         PeriodRow{{1, 2, 3}, 32, 1.0 / 60}));

}  // namespace
