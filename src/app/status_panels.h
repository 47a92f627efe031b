// The panels of the main window's status bar: the hover-text panel and the ones a progress run
// adds and removes, with their layout in pixels.
#pragma once

#include <string>
#include <vector>

namespace zv {

enum class PanelAutoSize { None, Spring };
enum class PanelBevel { None, Inset, Raised };

struct StatusPanel {
    std::string text;
    int widthTwips = 1440;  // a panel's width when added
    PanelAutoSize autoSize = PanelAutoSize::None;
    PanelBevel bevel = PanelBevel::Inset;
};

class StatusPanels {
public:
    // At rest: one panel that takes the whole width, with an inset bevel.
    StatusPanels();

    std::size_t Count() const { return panels_.size(); }
    // Panels are numbered from 1, as the status bar's users number them.
    StatusPanel& Panel(int number);
    const StatusPanel& Panel(int number) const;
    // Inserts a default panel so that it gets this number (1 to Count() + 1).
    void Add(int number);
    void Remove(int number);

    // ProgressInStatusBar's first step, done for show and hide alike: a panel at position 2 as
    // wide as the bar less one twip.
    void AddProgressPanel(int barWidthTwips);
    // The end of a progress run: panels 1 and 2 go, the one now first springs with an inset bevel.
    void DropProgressPanels();

    // Right edges of the panels in pixels for a bar of that width at the screen's logical DPI: fixed
    // panels keep their width (whole pixels, cut down), spring panels share what is left, nothing
    // reaches past the bar.
    std::vector<int> RightEdges(int barWidthPixels, int dpi) const;

private:
    std::vector<StatusPanel> panels_;
};

}  // namespace zv
