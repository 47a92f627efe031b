// The progress run after Optimize (OptimizeProgress stepped by Timer1) and what its end shows.
#pragma once

#include <string>

namespace zv {

// The display after the work is done: 5 per tick, 100 on the twentieth tick, over on the
// twenty-first. A second start while a run goes on is refused.
class OptimizeProgressRun {
public:
    bool Running() const { return running_; }
    // OptimizeProgress as the window holds it: 0 at rest.
    int Counter() const { return counter_; }
    // The settings the run's Optimize could not change.
    unsigned long FailedChanges() const { return failedChanges_; }

    // False (and nothing changes) while a run is going on.
    bool Start(unsigned long failedChanges);

    struct Tick {
        int barValue;   // ProgressBar1's value after the tick
        bool finished;  // the run ended on this tick
    };
    Tick OnTick();

private:
    bool running_ = false;
    int counter_ = 0;
    unsigned long failedChanges_ = 0;
};

// What the end of an Optimize progress run shows: the restart notice when every change took
// effect, otherwise a message saying how many did not.
struct RunEndNotice {
    bool restartNotice = true;
    std::string message;  // empty with the restart notice
};
RunEndNotice EndOfOptimizeRun(unsigned long failedChanges);
std::string FailedChangesMessage(unsigned long failedChanges);

}  // namespace zv
