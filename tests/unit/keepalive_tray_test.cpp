// The tray icon's animation, "Disable Animation", the reading of tray notifications and the frame pictures.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "keepalive/tray.h"

namespace zv {
namespace {

// Records what the animation asks of the icon and of Timer1, in order.
class FakeTray : public TrayIconView {
public:
    std::vector<std::string> calls;
    std::vector<int> frames;
    bool timer = true;
    void ShowFrame(int frame) override {
        frames.push_back(frame);
        calls.push_back("frame " + std::to_string(frame));
    }
    void SetAnimationTimer(bool on) override {
        timer = on;
        calls.push_back(on ? "timer on" : "timer off");
    }
};

TEST(TrayAnimation, FramesRunOneToSixteenAndRoundAgain) {
    FakeTray tray;
    TrayAnimation anim(tray);
    anim.Reset();
    EXPECT_EQ(anim.IconFrame(), 1) << "start-up shows frame 1";
    for (int i = 0; i < 33; ++i) anim.Timer1_Timer();
    std::vector<int> expected;
    for (int i = 0; i < 33; ++i) expected.push_back((i + 1) % 16 + 1);  // 2, 3, ..., 16, 1, 2, ...
    EXPECT_EQ(tray.frames, expected);
    ASSERT_EQ(tray.frames[14], 16);
    EXPECT_EQ(tray.frames[15], 1) << "after 16 comes 1";
    EXPECT_EQ(anim.IconFrame(), tray.frames.back());
}

TEST(TrayAnimation, DisableAnimationShowsTheStillIconAndStopsTheTimer) {
    FakeTray tray;
    TrayAnimation anim(tray);
    anim.Reset();
    for (int i = 0; i < 6; ++i) anim.Timer1_Timer();
    ASSERT_EQ(anim.IconFrame(), 7);
    tray.calls.clear();

    anim.Check1_Click(true);
    EXPECT_EQ(tray.calls, (std::vector<std::string>{"frame 16", "timer off"}));
    EXPECT_EQ(anim.IconFrame(), 1) << "checked: back to the first frame";

    tray.calls.clear();
    anim.Check1_Click(false);
    EXPECT_EQ(tray.calls, (std::vector<std::string>{"timer on"})) << "unchecked: only the timer, no picture";
    anim.Timer1_Timer();
    EXPECT_EQ(tray.frames.back(), 2) << "the animation restarts from frame 2";

    // Checking while the timer is already off still shows the still picture at once.
    tray.timer = false;
    tray.calls.clear();
    anim.Check1_Click(true);
    EXPECT_EQ(tray.calls, (std::vector<std::string>{"frame 16", "timer off"}));
    tray.calls.clear();
    anim.ShowStill();
    EXPECT_EQ(tray.calls, (std::vector<std::string>{"frame 16"}));
}

TEST(TrayMessages, OnlyTheTraysOwnMessageRestoresOrShowsTheMenu) {
    constexpr unsigned kTaskbarCreated = 0xC123;
    struct Case {
        unsigned message;
        long lParam;
        TrayAction action;
        const char* what;
    } cases[] = {
        {513, 515, TrayAction::Restore, "double click on the icon"},
        {513, 516, TrayAction::ShowMenu, "right button down on the icon"},
        {513, 513, TrayAction::PassOn, "single click"},
        {513, 514, TrayAction::PassOn, "left button up"},
        {513, 517, TrayAction::PassOn, "right button up"},
        {513, 512, TrayAction::PassOn, "pointer moves over the icon"},
        {512, 515, TrayAction::PassOn, "mouse move at x = 515 over the window"},
        {516, 516, TrayAction::PassOn, "right button at x = 516 over the window"},
        {515, 515, TrayAction::PassOn, "a double click of the window itself"},
        {0x0111, 516, TrayAction::PassOn, "WM_COMMAND with 516 in lParam"},
        {kTaskbarCreated, 0, TrayAction::AddIconAgain, "the taskbar was created anew"},
        {kTaskbarCreated, 515, TrayAction::AddIconAgain, "TaskbarCreated whatever its lParam"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrayMessageAction(c.message, c.lParam, kTaskbarCreated), c.action)
            << c.what << ": message " << c.message << ", lParam " << c.lParam;
    }
    EXPECT_EQ(TrayMessageAction(0, 0, 0), TrayAction::PassOn) << "no TaskbarCreated registered: message 0 is not it";
}

std::string Describe(const IconPicture& p) {
    std::string s;
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) s += p.Drawn(x, y) ? (p.At(x, y) == 0xFFFFFF ? '#' : 'o') : '.';
        s += '\n';
    }
    return s;
}

// The column of the bright tip of the beat, -1 when it is outside the badge.
int BeatColumn(const IconPicture& p) {
    for (int x = 0; x < kIconSize; ++x)
        for (int y = 0; y < kIconSize; ++y)
            if (p.Drawn(x, y) && p.At(x, y) == 0xFFE040) return x;
    return -1;
}

TEST(TrayPictures, SixteenDistinctFramesWithTheBeatMovingLeft) {
    std::set<std::string> seen;
    for (int frame = 1; frame <= kTrayFrames; ++frame) {
        IconPicture p = TrayFramePicture(frame);
        EXPECT_TRUE(seen.insert(Describe(p)).second) << "frame " << frame << " repeats an earlier one:\n" << Describe(p);
        for (auto [x, y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}})
            EXPECT_FALSE(p.Drawn(x, y)) << "frame " << frame << ": corner " << x << "," << y << " is transparent";
        EXPECT_TRUE(p.Drawn(7, 7) && p.Drawn(0, 7) && p.Drawn(7, 0)) << "frame " << frame << ": the badge";
    }
    EXPECT_EQ(BeatColumn(TrayFramePicture(kStillFrame)), 7) << "the still icon has the beat in the middle";
    EXPECT_EQ(BeatColumn(TrayFramePicture(1)), 6) << "one pixel further left in the next frame";
    EXPECT_EQ(BeatColumn(TrayFramePicture(3)), 4);
    EXPECT_EQ(Describe(TrayFramePicture(17)), Describe(TrayFramePicture(1))) << "sixteen frames are one full turn";
}

}  // namespace
}  // namespace zv
