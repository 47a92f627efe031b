// The progress run after Apply: ApplyProgress stepped by Timer2, and the refusal of a second Apply meanwhile.
#pragma once

namespace zv {

// A display only: every change is made before the run starts. 5 per tick, 100 on the twentieth tick,
// over on the twenty-first, which leaves the bar at 0.
class ApplyProgressRun {
public:
    bool Running() const { return running_; }
    // ApplyProgress as the window holds it: 0 at rest.
    int Counter() const { return counter_; }
    // The settings the run's Apply could not change.
    unsigned long FailedChanges() const { return failedChanges_; }

    // False, and nothing changes, while a run is going on: an Apply then is ignored.
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

}  // namespace zv
