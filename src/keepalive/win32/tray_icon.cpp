// The tray icon: ImageList1 drawn from the frame pictures, and the three Shell_NotifyIconA calls.
#include "keepalive/win32/tray_icon.h"

#include <shellapi.h>

#include <cstring>

#include "platform/win32/desktop.h"

namespace zv {

namespace {

// One frame as a 24-bit colour bitmap and a monochrome mask (set bits are transparent).
void AddFrame(HIMAGELIST list, const IconPicture& picture) {
    std::uint32_t* pixels = nullptr;
    UniqueBitmap colour(CreateDib32(kIconSize, kIconSize, &pixels));
    if (!colour || !pixels) return;
    // Rows of a monochrome bitmap are padded to 16 bits: two bytes per 16-pixel row.
    BYTE mask[kIconSize * 2] = {};
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            bool drawn = picture.Drawn(x, y);
            pixels[y * kIconSize + x] = drawn ? picture.At(x, y) : 0;
            if (!drawn) mask[y * 2 + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    GdiFlush();
    UniqueBitmap monochrome(CreateBitmap(kIconSize, kIconSize, 1, 1, mask));
    ImageList_Add(list, colour.get(), monochrome.get());
}

}  // namespace

TrayIcon::TrayIcon(NotifyIconCall call) : call_(std::move(call)) {
    if (!call_) {
        call_ = [](DWORD message, NotifyIconData88& data) {
            return Shell_NotifyIconA(message, reinterpret_cast<NOTIFYICONDATAA*>(&data));
        };
    }
    imageList1_.reset(ImageList_Create(kIconSize, kIconSize, ILC_COLOR24 | ILC_MASK, kTrayFrames, 0));
    for (int frame = 1; frame <= kTrayFrames; ++frame) AddFrame(imageList1_.get(), TrayFramePicture(frame));
}

HICON TrayIcon::FrameIcon(int frame) {
    if (frame < 1 || frame > kTrayFrames) return nullptr;
    // Each icon is made when its frame is first shown: all sixteen at once held up the window's start.
    UniqueIcon& icon = icons_[frame - 1];
    if (!icon) icon.reset(ImageList_GetIcon(imageList1_.get(), frame - 1, ILD_NORMAL));
    return icon.get();
}

TrayIcon::~TrayIcon() {
    if (added_) Remove();
}

void TrayIcon::Send(DWORD message, UINT flags, int frame, const std::string& tip) {
    NotifyIconData88 data{};
    // 88 bytes in the 32-bit program; the same first form, with wider handles, in a 64-bit build.
    data.cbSize = sizeof data;
    data.hWnd = owner_;
    data.uID = kTrayIconId;
    data.uFlags = flags;
    // The shell copies the picture; the icon stays ours.
    if (flags & NIF_ICON) data.hIcon = FrameIcon(frame);
    if (flags & NIF_MESSAGE) data.uCallbackMessage = kTrayCallbackMessage;
    if (flags & NIF_TIP) {
        std::size_t n = tip.size() < kTrayTipSize - 1 ? tip.size() : kTrayTipSize - 1;
        std::memcpy(data.szTip, tip.data(), n);
    }
    call_(message, data);
}

void TrayIcon::Add(HWND owner, int frame, const std::string& tip) {
    owner_ = owner;
    tip_ = tip;
    frame_ = frame;
    Send(NIM_ADD, kTrayAddFlags, frame, tip);
    added_ = true;
}

void TrayIcon::AddAgain() {
    if (added_) Send(NIM_ADD, kTrayAddFlags, frame_, tip_);
}

void TrayIcon::Change(int frame) {
    if (!added_) return;
    frame_ = frame;
    Send(NIM_MODIFY, kTrayChangeFlags, frame, std::string());
}

void TrayIcon::Remove() {
    if (!owner_) return;
    Send(NIM_DELETE, 0, 0, std::string());
    added_ = false;
}

}  // namespace zv
