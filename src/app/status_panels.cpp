// Status-bar panel list and layout.
#include "app/status_panels.h"

#include <algorithm>
#include <stdexcept>

namespace zv {

StatusPanels::StatusPanels() {
    StatusPanel first;
    first.autoSize = PanelAutoSize::Spring;
    panels_.push_back(first);
}

StatusPanel& StatusPanels::Panel(int number) {
    if (number < 1 || static_cast<std::size_t>(number) > panels_.size()) throw std::out_of_range("status panel");
    return panels_[static_cast<std::size_t>(number - 1)];
}

const StatusPanel& StatusPanels::Panel(int number) const {
    return const_cast<StatusPanels*>(this)->Panel(number);
}

void StatusPanels::Add(int number) {
    if (number < 1 || static_cast<std::size_t>(number) > panels_.size() + 1) throw std::out_of_range("status panel");
    panels_.insert(panels_.begin() + (number - 1), StatusPanel{});
}

void StatusPanels::Remove(int number) {
    if (number < 1 || static_cast<std::size_t>(number) > panels_.size()) throw std::out_of_range("status panel");
    panels_.erase(panels_.begin() + (number - 1));
}

void StatusPanels::AddProgressPanel(int barWidthTwips) {
    Add(2);
    Panel(2).widthTwips = barWidthTwips - 1;
}

void StatusPanels::DropProgressPanels() {
    if (panels_.size() >= 1) Remove(1);
    if (panels_.size() >= 2) Remove(2);
    if (panels_.empty()) panels_.push_back(StatusPanel{});
    Panel(1).autoSize = PanelAutoSize::Spring;
    Panel(1).bevel = PanelBevel::Inset;
}

std::vector<int> StatusPanels::RightEdges(int barWidthPixels, int twipsPerPixel) const {
    if (twipsPerPixel <= 0) twipsPerPixel = 15;
    barWidthPixels = std::max(barWidthPixels, 0);
    int fixed = 0;
    int springs = 0;
    for (const auto& p : panels_) {
        if (p.autoSize == PanelAutoSize::Spring) {
            ++springs;
        } else {
            fixed += std::max(p.widthTwips, 0) / twipsPerPixel;
        }
    }
    const int spare = std::max(barWidthPixels - fixed, 0);
    std::vector<int> edges;
    int right = 0;
    int springIndex = 0;
    for (const auto& p : panels_) {
        int width;
        if (p.autoSize == PanelAutoSize::Spring) {
            // The first springs take the odd pixels.
            width = spare / springs + (springIndex < spare % springs ? 1 : 0);
            ++springIndex;
        } else {
            width = std::max(p.widthTwips, 0) / twipsPerPixel;
        }
        right = std::min(right + width, barWidthPixels);
        edges.push_back(right);
    }
    return edges;
}

}  // namespace zv
