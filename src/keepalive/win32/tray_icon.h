// The tray icon of frmGetIp: ImageList1 with the sixteen animation frames, and adding, changing and
// removing the icon with the 88-byte NOTIFYICONDATA record.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <string>

#include "keepalive/tray.h"
#include "platform/win32/handles.h"

namespace zv {

// The icon record in its first form, as every Windows from 95 and NT 4 on reads it.
struct NotifyIconData88 {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[kTrayTipSize];
};
static_assert(sizeof(void*) != 4 || sizeof(NotifyIconData88) == kNotifyIconDataSize,
              "the first form of the icon record is 88 bytes");

// Shell_NotifyIconA, or a stand-in that records the calls.
using NotifyIconCall = std::function<BOOL(DWORD message, NotifyIconData88& data)>;

class TrayIcon {
public:
    explicit TrayIcon(NotifyIconCall call = {});
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    // An icon still in the tray goes with its owner.
    ~TrayIcon();

    // NIM_ADD: message, icon and tip; the callback message 513.
    void Add(HWND owner, int frame, const std::string& tip);
    // NIM_MODIFY: the icon only.
    void Change(int frame);
    // NIM_DELETE: the same window and identifier.
    void Remove();
    bool Added() const { return added_; }
    // NIM_ADD once more, with the picture last shown: a new taskbar starts without our icon.
    void AddAgain();
    int ShownFrame() const { return frame_; }

    HIMAGELIST ImageList1() const { return imageList1_.get(); }
    // Image `frame` (1 to 16) of ImageList1 as an icon; null outside that range.
    HICON FrameIcon(int frame);

private:
    void Send(DWORD message, UINT flags, int frame, const std::string& tip);

    NotifyIconCall call_;
    UniqueImageList imageList1_;
    // The frames as icons, each made once: the animation shows one every 100 ms.
    std::array<UniqueIcon, kTrayFrames> icons_;
    HWND owner_ = nullptr;
    std::string tip_;
    int frame_ = 0;
    bool added_ = false;
};

}  // namespace zv
