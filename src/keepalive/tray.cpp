// The tray icon's animation, its pictures and the reading of tray notifications.
#include "keepalive/tray.h"

namespace zv {

void TrayAnimation::Timer1_Timer() {
    if (iconFrame_ > 15) iconFrame_ = 1;
    else ++iconFrame_;
    view_.ShowFrame(iconFrame_);
}

void TrayAnimation::Check1_Click(bool checked) {
    if (checked) {
        view_.ShowFrame(kStillFrame);
        iconFrame_ = 1;
        view_.SetAnimationTimer(false);
    } else {
        view_.SetAnimationTimer(true);
    }
}

TrayAction TrayMessageAction(unsigned message, std::intptr_t lParam, unsigned taskbarCreated) {
    if (taskbarCreated != 0 && message == taskbarCreated) return TrayAction::AddIconAgain;
    // A mouse message of the window itself may carry 515 or 516 in lParam as a position; only the
    // tray's own message is a tray notification.
    if (message != kTrayCallbackMessage) return TrayAction::PassOn;
    if (lParam == kTrayDoubleClick) return TrayAction::Restore;
    if (lParam == kTrayRightButtonDown) return TrayAction::ShowMenu;
    return TrayAction::PassOn;
}

namespace {

constexpr std::uint32_t kBadge = 0x00508C;      // deep blue
constexpr std::uint32_t kBadgeRim = 0x002A4A;
constexpr std::uint32_t kTrace = 0xFFFFFF;
constexpr std::uint32_t kBeat = 0xFFE040;       // the spike's tip
constexpr std::uint32_t kDownBadge = 0xC02020;  // red: the line is down
constexpr std::uint32_t kDownRim = 0x601010;

// The trace's row for each of the sixteen columns of one period: flat, a small bump, the beat, a
// dip, a slow wave, flat again. The beat's tip is at column 7.
constexpr int kWave[kIconSize] = {9, 9, 9, 8, 9, 9, 10, 3, 12, 9, 9, 8, 7, 8, 9, 9};
constexpr int kBeatColumn = 7;

// Inside the badge: a disc of radius 7.5 around the icon's centre.
bool InBadge(int x, int y) {
    double dx = x - 7.5, dy = y - 7.5;
    return dx * dx + dy * dy <= 7.6 * 7.6;
}
bool OnRim(int x, int y) {
    double dx = x - 7.5, dy = y - 7.5;
    return dx * dx + dy * dy > 6.5 * 6.5;
}

}  // namespace

namespace {

// The badge of a frame, or red with a flat trace when the line is down.
IconPicture Badge(int frame, bool down) {
    IconPicture p;
    const int shift = ((frame % kIconSize) + kIconSize) % kIconSize;
    auto set = [&p](int x, int y, std::uint32_t rgb) {
        std::size_t i = static_cast<std::size_t>(y) * kIconSize + x;
        p.colour[i] = rgb;
        p.opaque[i] = true;
    };
    for (int y = 0; y < kIconSize; ++y)
        for (int x = 0; x < kIconSize; ++x)
            if (InBadge(x, y)) set(x, y, OnRim(x, y) ? (down ? kDownRim : kBadgeRim) : (down ? kDownBadge : kBadge));
    if (down) {
        // No pulse: a flat line across the middle.
        for (int x = 2; x < kIconSize - 2; ++x) set(x, 8, kTrace);
        return p;
    }
    // The trace inside the rim: each column reaches halfway to its neighbours' rows, so that
    // steep parts stay one pixel wide.
    auto rowAt = [shift](int x) { return kWave[(x + shift) % kIconSize]; };
    auto halfway = [](int own, int other) { return own + (other - own) / 2; };
    for (int x = 1; x < kIconSize - 1; ++x) {
        const int row = rowAt(x);
        int from = row, to = row;
        for (int other : {halfway(row, rowAt(x - 1)), halfway(row, rowAt(x + 1))}) {
            if (other < from) from = other;
            if (other > to) to = other;
        }
        for (int y = from; y <= to; ++y)
            if (InBadge(x, y) && !OnRim(x, y)) set(x, y, kTrace);
        if ((x + shift) % kIconSize == kBeatColumn && !OnRim(x, row)) set(x, row, kBeat);
    }
    return p;
}

}  // namespace

IconPicture TrayFramePicture(int frame) { return Badge(frame, false); }
IconPicture TrayDownPicture() { return Badge(0, true); }

}  // namespace zv
