// The tray icon of frmGetIp: ImageList1 with the sixteen animation frames and the "down" picture, and
// adding, changing and removing the icon, its tooltip and balloons, with the NOTIFYICONDATA record in
// the form the system's shell reads.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <string>

#include "keepalive/line_alert.h"
#include "keepalive/tray.h"
#include "platform/win32/handles.h"

namespace zv {

// The icon record in its longest form. The shell reads as much of it as cbSize says: the first 88
// bytes (a 64-character tip) before Shell32 5.0, the balloon's fields from 5.0, the GUID from 6.0.
struct NotifyIconRecord {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    CHAR szInfo[256];
    UINT uTimeout;
    CHAR szInfoTitle[64];
    DWORD dwInfoFlags;
    GUID guidItem;
};
static_assert(sizeof(void*) != 4 || offsetof(NotifyIconRecord, dwState) == 152, "the tip is where the shell reads it");
static_assert(sizeof(void*) != 4 || sizeof(NotifyIconRecord) == 504, "the longest form is 504 bytes");

// What the system's shell can do: balloons or not, and the record's size.
ShellVersion SystemShellVersion();
bool SystemHasBalloonTips();

// Shell_NotifyIconA, or a stand-in that records the calls.
using NotifyIconCall = std::function<BOOL(DWORD message, NotifyIconRecord& data)>;

class TrayIcon {
public:
    // `shell`: the shell the record is made for; `balloons`: whether to show any.
    explicit TrayIcon(NotifyIconCall call = {}, ShellVersion shell = SystemShellVersion(),
                      bool balloons = SystemHasBalloonTips());
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    // An icon still in the tray goes with its owner.
    ~TrayIcon();

    // NIM_ADD: message, icon and tip; the callback message 513.
    void Add(HWND owner, int frame, const std::string& tip);
    // NIM_MODIFY: the icon only.
    void Change(int frame);
    // NIM_MODIFY: the tip only, when it differs from the one shown.
    void SetTip(const std::string& tip);
    // NIM_MODIFY with a balloon, where the shell has them; a warning or an information icon in it.
    void ShowBalloon(const std::string& text, bool warning);
    bool Balloons() const { return balloons_; }
    // NIM_DELETE: the same window and identifier.
    void Remove();
    bool Added() const { return added_; }
    // NIM_ADD once more, with the picture last shown: a new taskbar starts without our icon.
    void AddAgain();
    int ShownFrame() const { return frame_; }

    HIMAGELIST ImageList1() const { return imageList1_.get(); }
    // Image `frame` (1 to 16, or the down picture) of ImageList1 as an icon; null outside that range.
    HICON FrameIcon(int frame);

private:
    void Send(DWORD message, UINT flags, int frame, const std::string& tip, const std::string& info = {},
              bool warning = false);

    NotifyIconCall call_;
    ShellVersion shell_;
    bool balloons_;
    UniqueImageList imageList1_;
    // The frames as icons, each made once: the animation shows one every 100 ms.
    std::array<UniqueIcon, kTrayPictures> icons_;
    HWND owner_ = nullptr;
    std::string tip_;
    int frame_ = 0;
    bool added_ = false;
};

}  // namespace zv
