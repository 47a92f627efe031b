// The Apply progress run.
#include "app/apply_progress.h"

namespace zv {

bool ApplyProgressRun::Start(unsigned long failedChanges) {
    if (running_) return false;
    running_ = true;
    counter_ = 0;
    failedChanges_ = failedChanges;
    return true;
}

ApplyProgressRun::Tick ApplyProgressRun::OnTick() {
    if (!running_) return {counter_, false};
    counter_ += 5;
    if (counter_ <= 100) return {counter_, false};
    running_ = false;
    counter_ = 0;
    return {counter_, true};
}

}  // namespace zv
