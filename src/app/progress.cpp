// The Optimize progress run and its end.
#include "app/progress.h"

namespace zv {

bool OptimizeProgressRun::Start(unsigned long failedChanges) {
    if (running_) return false;
    running_ = true;
    counter_ = 0;
    failedChanges_ = failedChanges;
    return true;
}

OptimizeProgressRun::Tick OptimizeProgressRun::OnTick() {
    if (!running_) return {counter_, false};
    counter_ += 5;
    bool finished = false;
    if (counter_ > 100) {
        running_ = false;
        counter_ = 0;
        finished = true;
    }
    return {counter_, finished};
}

std::string FailedChangesMessage(unsigned long failedChanges) {
    std::string count = std::to_string(failedChanges);
    std::string what = failedChanges == 1 ? " setting could not be changed." : " settings could not be changed.";
    return count + what +
           "\r\n\r\nZarvelo must run as an administrator to change the network settings. "
           "Start it again as an administrator and repeat the optimization.";
}

RunEndNotice EndOfOptimizeRun(unsigned long failedChanges) {
    if (failedChanges == 0) return {};
    return {false, FailedChangesMessage(failedChanges)};
}

}  // namespace zv
