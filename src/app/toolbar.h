// Toolbar1's ten buttons (tooltips, hover texts, separators) and the hover text rule of status panel 1.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace zv {

// What a toolbar button does: the same as the menu item it stands for.
enum class ToolbarAction { None, Automatic, Custom, Pulsiva, Backup, Restore, Launcher, Contents };

struct ToolbarButton {
    bool separator;
    const char* tooltip;
    const char* hover;  // kept in the button's Tag, shown in status panel 1
    ToolbarAction action;
};

inline constexpr int kToolbarButtons = 10;
// Buttons 1 to 10 (index 0 is button 1); 4, 7 and 9 are separators.
const std::array<ToolbarButton, kToolbarButtons>& ToolbarButtons();

// A button's rectangle in the toolbar's coordinates.
struct ButtonBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The first button (0-based, in order) whose rectangle strictly contains the point.
std::optional<std::size_t> HitToolbarButton(const std::vector<ButtonBox>& boxes, int x, int y);

// Status panel 1's new text when the pointer moves to (x, y) over the toolbar; nothing when it
// keeps its text. hovers[i] is button i's hover text (empty for separators).
std::optional<std::string> ToolbarHoverText(const std::vector<ButtonBox>& boxes,
                                            const std::vector<std::string>& hovers,
                                            const std::string& panelText, int x, int y);

}  // namespace zv
