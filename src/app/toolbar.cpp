// Toolbar buttons and hover hit-testing.
#include "app/toolbar.h"

namespace zv {

const std::array<ToolbarButton, kToolbarButtons>& ToolbarButtons() {
    static const std::array<ToolbarButton, kToolbarButtons> buttons = {{
        {false, "Automatic Optimization", "Optimize connection settings for your adapter", ToolbarAction::Automatic},
        {false, "Custom Optimization", "Fine tune your settings by hand", ToolbarAction::Custom},
        {false, "Run \"Pulsiva\"", "Click to run \"Pulsiva\"", ToolbarAction::Pulsiva},
        {true, "", "", ToolbarAction::None},
        {false, "Backup Settings", "Click to take a backup of your settings", ToolbarAction::Backup},
        {false, "Restore Settings", "Restore your settings from a backup file", ToolbarAction::Restore},
        {true, "", "", ToolbarAction::None},
        {false, "Launch to System Settings", "Click to run internet related applets in your control panel",
         ToolbarAction::Launcher},
        {true, "", "", ToolbarAction::None},
        {false, "Help", "See Help file for details", ToolbarAction::Contents},
    }};
    return buttons;
}

std::optional<std::size_t> HitToolbarButton(const std::vector<ButtonBox>& boxes, int x, int y) {
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const ButtonBox& b = boxes[i];
        if (b.left < x && x < b.left + b.width && b.top < y && y < b.top + b.height) return i;
    }
    return std::nullopt;
}

std::optional<std::string> ToolbarHoverText(const std::vector<ButtonBox>& boxes,
                                            const std::vector<std::string>& hovers,
                                            const std::string& panelText, int x, int y) {
    const auto hit = HitToolbarButton(boxes, x, y);
    if (!hit) return std::string();
    const std::string hover = *hit < hovers.size() ? hovers[*hit] : std::string();
    // An equal text is not set again: that would only make the panel flicker.
    if (hover == panelText) return std::nullopt;
    return hover;
}

}  // namespace zv
