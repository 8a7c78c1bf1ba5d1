// refresh_period.cpp — the shortest recent interval between animation frames.
#include "platform/web/refresh_period.h"

namespace {

constexpr double kAssumedPeriod = 1.0 / 60;  // seconds, the commonest display's

}  // namespace

double NoteAnimationFrame(RefreshPeriod* period, double at)
{
    // Two frames at one time (a coarse clock) tell nothing of the period.
    if (period->seen && at > period->lastAt) {
        period->intervals[period->next] = at - period->lastAt;
        period->next = (period->next + 1) % kRefreshIntervalsKept;
    }
    period->seen = true;
    period->lastAt = at;
    double shortest = 0;
    for (double interval : period->intervals)
        if (interval > 0 && (shortest == 0 || interval < shortest))
            shortest = interval;
    return shortest > 0 ? shortest : kAssumedPeriod;
}
