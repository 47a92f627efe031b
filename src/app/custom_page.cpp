// Tabs of the Custom Optimization page and the end of an Apply run.
#include "app/custom_page.h"

namespace zv {

std::array<bool, kCustomTabs> CustomFrameVisibility(int index) {
    std::array<bool, kCustomTabs> visible{};
    for (int i = 0; i < kCustomTabs; ++i) visible[static_cast<std::size_t>(i)] = (i == index);
    return visible;
}

int AdjacentCustomTab(int current, bool backwards) {
    if (current < 0 || current >= kCustomTabs) return 0;
    return (current + (backwards ? kCustomTabs - 1 : 1)) % kCustomTabs;
}

std::string EndOfApplyRunMessage(unsigned long failedChanges) {
    return failedChanges == 0 ? std::string() : FailedChangesMessage(failedChanges);
}

}  // namespace zv
