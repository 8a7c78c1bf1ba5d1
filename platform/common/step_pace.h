// step_pace.h — the program's speed on any display: 60 steps a second.
//
// The program moves everything by one step per pass of its loop, and every
// pass ends in a buffer swap: the swap keeps the pace. A step is due every
// 1/60 s, the speed the demo was made for; a refresh shows the next step
// when it comes no earlier than a third of a refresh before that step's
// time. So a 120 or 240 Hz display shows each step for 2 or 4 refreshes, a
// 144 Hz one for 3 and 2 in turn (5 steps in 12 refreshes, evenly in time),
// and a display slower than 60 Hz a step on every refresh. A schedule more
// than a step behind (a slow frame, a hidden window) starts afresh from the
// refresh at hand rather than rushing through steps to catch up.
#pragma once

constexpr double kStepsPerSecond = 60.0;

struct StepSchedule {
    bool started = false;
    double nextStepAt = 0;  // when the next step is due, seconds on the caller's steady clock
};

// Whether the refresh at refreshAt (seconds) of a display that refreshes
// every `period` seconds shows the next step; if it does, the step is taken.
bool StepShownAt(StepSchedule* schedule, double refreshAt, double period);

// The refresh that shows the next step (which is taken): the first of
// lastRefreshAt + k * period, k >= 1, that comes no earlier than `earliest`
// and shows one.
double NextStepRefresh(StepSchedule* schedule, double lastRefreshAt, double period, double earliest);
