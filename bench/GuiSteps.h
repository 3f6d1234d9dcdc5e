#pragma once

#include <span>

namespace kw::bench {

class TGuiSession;

// A goal beside a figure: under a time, or under a multiple of another step's figure.
struct TGoal {
    double UnderMs = 0;          // 0: no time goal
    const char* Floor = nullptr; // the step whose figure this one is compared with
    double TimesFloor = 0;
};

// One row of the window's table: what a user does, timed, after a set-up that is not, and a check that the
// action did its job, so that a figure of something that did not happen is never printed (a check that
// throws fails the scale).
struct TGuiStep {
    const char* Name;
    const char* Timed; // what the figure covers, for the notes under the tables
    void (*Prepare)(TGuiSession&);
    void (*Act)(TGuiSession&);
    void (*Check)(TGuiSession&);
    TGoal Goal;
};

// In the order they run; a step may build on what the one before left (the window, the last edit).
std::span<const TGuiStep> GuiSteps();

} // namespace kw::bench
