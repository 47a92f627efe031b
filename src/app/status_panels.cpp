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

namespace {
// Whole pixels of a width in twips: at 168 DPI a pixel is 8.57 twips, so the division is by 1440
// after the multiplication, never by a whole number of twips per pixel.
int PanelPixels(int widthTwips, int dpi) {
    return static_cast<int>(static_cast<long long>(std::max(widthTwips, 0)) * dpi / 1440);
}
}  // namespace

std::vector<int> StatusPanels::RightEdges(int barWidthPixels, int dpi) const {
    if (dpi <= 0) dpi = 96;
    barWidthPixels = std::max(barWidthPixels, 0);
    int fixed = 0;
    int springs = 0;
    for (const auto& p : panels_) {
        if (p.autoSize == PanelAutoSize::Spring) {
            ++springs;
        } else {
            fixed += PanelPixels(p.widthTwips, dpi);
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
            width = PanelPixels(p.widthTwips, dpi);
        }
        right = std::min(right + width, barWidthPixels);
        edges.push_back(right);
    }
    return edges;
}

}  // namespace zv
