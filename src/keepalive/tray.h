// The tray icon's animation, its sixteen pictures and what the window does with a tray notification.
#pragma once

#include <array>
#include <cstdint>

namespace zv {

// The icon record the program gives the tray: the first, 88-byte form.
inline constexpr unsigned kNotifyIconDataSize = 88;
inline constexpr unsigned kTrayIconId = 1;
// Notifications come back as this message (the number of WM_LBUTTONDOWN), the mouse event in lParam.
inline constexpr unsigned kTrayCallbackMessage = 513;
inline constexpr long kTrayDoubleClick = 515;     // WM_LBUTTONDBLCLK
inline constexpr long kTrayRightButtonDown = 516;  // WM_RBUTTONDOWN
inline constexpr unsigned kTrayAddFlags = 7;      // message, icon and tip
inline constexpr unsigned kTrayChangeFlags = 2;   // icon only
inline constexpr unsigned kTrayInfoFlag = 0x10;    // NIF_INFO: a balloon
inline constexpr unsigned kBalloonInfo = 1;        // NIIF_INFO
inline constexpr unsigned kBalloonWarning = 2;     // NIIF_WARNING
inline constexpr unsigned kBalloonMs = 10000;      // the shortest time the shell shows one

inline constexpr int kTrayFrames = 16;
inline constexpr int kStillFrame = 16;
// The picture shown while the line is down, after the sixteen frames in ImageList1.
inline constexpr int kDownFrame = 17;
inline constexpr int kTrayPictures = 17;

// The tray icon and Timer1 as the animation sees them.
class TrayIconView {
public:
    virtual ~TrayIconView() = default;
    virtual void ShowFrame(int frame) = 0;           // change the icon to image `frame` of ImageList1
    virtual void SetAnimationTimer(bool on) = 0;     // Timer1 enabled or not
};

class TrayAnimation {
public:
    explicit TrayAnimation(TrayIconView& view) : view_(view) {}

    // Start-up: the first frame.
    void Reset() { iconFrame_ = 1; }
    int IconFrame() const { return iconFrame_; }

    // Every 100 ms while Timer1 runs: the next frame, 1 to 16 and round again.
    void Timer1_Timer();
    // "Disable Animation" clicked; `checked` is its new state.
    void Check1_Click(bool checked);
    void ShowStill() { view_.ShowFrame(kStillFrame); }

private:
    TrayIconView& view_;
    std::int16_t iconFrame_ = 1;
};

// What the window does with a message: the tray's double click restores it, its right button shows
// the menu, a new taskbar gets the icon again; everything else goes on to the window's own procedure.
enum class TrayAction { PassOn, Restore, ShowMenu, AddIconAgain };
// `taskbarCreated` is the number of the registered "TaskbarCreated" message (0 when none).
TrayAction TrayMessageAction(unsigned message, std::intptr_t lParam, unsigned taskbarCreated);

// One 16 x 16 icon picture: colours 0xRRGGBB row by row from the top, and which pixels are drawn
// (the others are transparent).
inline constexpr int kIconSize = 16;
struct IconPicture {
    std::array<std::uint32_t, kIconSize * kIconSize> colour{};
    std::array<bool, kIconSize * kIconSize> opaque{};
    std::uint32_t At(int x, int y) const { return colour[static_cast<std::size_t>(y) * kIconSize + x]; }
    bool Drawn(int x, int y) const { return opaque[static_cast<std::size_t>(y) * kIconSize + x]; }
};

// Frame 1 to 16: a round badge with a pulse trace that moves one pixel to the left per frame, so
// sixteen frames make one seamless turn; frame 16 has the beat in the middle and is the still icon.
// kDownFrame's picture: a red badge with a flat trace and no beat.
IconPicture TrayFramePicture(int frame);
IconPicture TrayDownPicture();

}  // namespace zv
