// Toolbar1's buttons and the hover text of status panel 1.
#include <gtest/gtest.h>

#include "app/toolbar.h"

namespace zv {
namespace {

// Ten 23 x 22 buttons from x = 0, separators 8 wide, as a flat toolbar lays them out.
std::vector<ButtonBox> Layout() {
    std::vector<ButtonBox> boxes;
    int x = 0;
    for (const auto& b : ToolbarButtons()) {
        const int w = b.separator ? 8 : 23;
        boxes.push_back({x, 2, w, 22});
        x += w;
    }
    return boxes;
}

std::vector<std::string> Hovers() {
    std::vector<std::string> h;
    for (const auto& b : ToolbarButtons()) h.emplace_back(b.hover);
    return h;
}

TEST(ToolbarButtons, SeparatorsAreFourSevenAndNine) {
    for (int i = 0; i < kToolbarButtons; ++i) {
        const bool separator = i + 1 == 4 || i + 1 == 7 || i + 1 == 9;
        const auto& b = ToolbarButtons()[static_cast<std::size_t>(i)];
        EXPECT_EQ(b.separator, separator) << "button " << i + 1;
        if (separator) {
            EXPECT_STREQ(b.hover, "") << "button " << i + 1;
            EXPECT_EQ(b.action, ToolbarAction::None) << "button " << i + 1;
        }
    }
}

TEST(ToolbarButtons, QuoteTheKeepAliveProgramByName) {
    EXPECT_STREQ(ToolbarButtons()[2].tooltip, "Run \"Pulsiva\"");
    EXPECT_STREQ(ToolbarButtons()[2].hover, "Click to run \"Pulsiva\"");
}

TEST(HoverHitTest, ContainsStrictlyInsideOnly) {
    const std::vector<ButtonBox> boxes = {{10, 2, 20, 20}};
    const struct {
        int x, y;
        bool hit;
    } cases[] = {{20, 12, true}, {11, 3, true},  {29, 21, true},  {10, 12, false}, {30, 12, false},
                 {20, 2, false}, {20, 22, false}, {9, 12, false}, {31, 12, false}, {20, 23, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(HitToolbarButton(boxes, c.x, c.y).has_value(), c.hit) << "(" << c.x << ", " << c.y << ")";
    }
}

TEST(HoverHitTest, TheFirstOfOverlappingButtonsWins) {
    const std::vector<ButtonBox> boxes = {{0, 0, 30, 20}, {10, 0, 30, 20}};
    EXPECT_EQ(HitToolbarButton(boxes, 20, 10), std::optional<std::size_t>(0));
    EXPECT_EQ(HitToolbarButton(boxes, 35, 10), std::optional<std::size_t>(1));
}

TEST(HoverText, FollowsThePointerFromBackupToRestoreAndClearsOffTheButtons) {
    const auto boxes = Layout();
    const auto hovers = Hovers();
    const ButtonBox& backup = boxes[4];
    const ButtonBox& restore = boxes[5];
    std::string panel;

    auto text = ToolbarHoverText(boxes, hovers, panel, backup.left + 5, backup.top + 5);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "Click to take a backup of your settings");
    panel = *text;

    EXPECT_FALSE(ToolbarHoverText(boxes, hovers, panel, backup.left + 6, backup.top + 5))
        << "the same text is not set again";

    text = ToolbarHoverText(boxes, hovers, panel, restore.left + 5, restore.top + 5);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "Restore your settings from a backup file");
    panel = *text;

    text = ToolbarHoverText(boxes, hovers, panel, 500, 10);
    ASSERT_TRUE(text) << "beyond the last button";
    EXPECT_EQ(*text, "");
}

TEST(HoverText, ASeparatorEmptiesThePanel) {
    const auto boxes = Layout();
    const auto hovers = Hovers();
    const ButtonBox& separator = boxes[3];
    auto text = ToolbarHoverText(boxes, hovers, "Click to run \"Pulsiva\"", separator.left + 3, 10);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "");
    EXPECT_FALSE(ToolbarHoverText(boxes, hovers, "", separator.left + 3, 10));
}

TEST(HoverText, TheEdgeBetweenTwoButtonsHitsNeither) {
    const auto boxes = Layout();
    const auto hovers = Hovers();
    const int edge = boxes[1].left;  // button 1's right edge is button 2's left edge
    auto text = ToolbarHoverText(boxes, hovers, "Fine tune your settings by hand", edge, 10);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "");
}

}  // namespace
}  // namespace zv
