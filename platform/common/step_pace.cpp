// step_pace.cpp — which refreshes show a new step.
#include "platform/common/step_pace.h"

#include <cmath>

namespace {

constexpr double kStep = 1.0 / kStepsPerSecond;  // seconds

}  // namespace

bool StepShownAt(StepSchedule* schedule, double refreshAt, double period)
{
    if (!schedule->started || refreshAt - schedule->nextStepAt > kStep) {
        schedule->started = true;
        schedule->nextStepAt = refreshAt;
    }
    if (refreshAt < schedule->nextStepAt - period / 3)
        return false;
    schedule->nextStepAt += kStep;
    return true;
}

double NextStepRefresh(StepSchedule* schedule, double lastRefreshAt, double period, double earliest)
{
    double refresh = lastRefreshAt + period;
    if (refresh < earliest)
        refresh = lastRefreshAt + std::ceil((earliest - lastRefreshAt) / period) * period;
    while (!StepShownAt(schedule, refresh, period))
        refresh += period;
    return refresh;
}
