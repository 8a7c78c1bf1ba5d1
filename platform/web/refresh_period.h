// refresh_period.h — how often the page's display refreshes, which no page
// is told: estimated from the times of its animation frames.
//
// A frame the page was too busy for (or a browser that skipped one) only
// ever lengthens an interval, never shortens it, so the shortest of the
// recent intervals is the refresh period; it follows a display that changes
// its rate within as many frames as are kept.
#pragma once

constexpr int kRefreshIntervalsKept = 32;

struct RefreshPeriod {
    bool seen = false;  // a frame has come
    double lastAt = 0;  // the latest frame, seconds
    double intervals[kRefreshIntervalsKept] = {};  // seconds, 0 where none yet
    int next = 0;       // where the next interval goes
};

// Notes an animation frame at `at` seconds; returns the period as now
// estimated, seconds (1/60 s until two frames have come).
double NoteAnimationFrame(RefreshPeriod* period, double at);
