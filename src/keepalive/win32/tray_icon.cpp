// The tray icon: ImageList1 drawn from the frame pictures, and the three Shell_NotifyIconA calls.
#include "keepalive/win32/tray_icon.h"

#include <shellapi.h>

#include <cstring>

#include "platform/opsysinfo.h"
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

void CopyText(char* to, std::size_t room, const std::string& text) {
    const std::size_t n = text.size() < room - 1 ? text.size() : room - 1;
    std::memcpy(to, text.data(), n);
    to[n] = '\0';
}

// The DLLVERSIONINFO record of DllGetVersion, which shell32 exports from 4.71 on.
struct DllVersionInfo {
    DWORD cbSize, dwMajorVersion, dwMinorVersion, dwBuildNumber, dwPlatformID;
};
using DllGetVersionCall = HRESULT(CALLBACK*)(DllVersionInfo*);

}  // namespace

ShellVersion SystemShellVersion() {
    ShellVersion version;  // 4.0: the shell of Windows 95 and NT 4, which has no DllGetVersion
    HMODULE shell32 = GetModuleHandleA("shell32.dll");
    if (!shell32) return version;
    auto call = reinterpret_cast<DllGetVersionCall>(reinterpret_cast<void*>(GetProcAddress(shell32, "DllGetVersion")));
    DllVersionInfo info{sizeof info, 0, 0, 0, 0};
    if (call && call(&info) == S_OK) version = {info.dwMajorVersion, info.dwMinorVersion};
    return version;
}

bool SystemHasBalloonTips() {
    const COpSysInfo os(SystemVersionQuery());
    // Only Me among the 9x family, and 2000 on among the NT family, carry a balloon shell.
    const bool family = os.IsWinXP() || os.IsWin2K() || (!os.IsWinNT() && os.IsWinME());
    return BalloonTipsAvailable(SystemShellVersion(), family);
}

TrayIcon::TrayIcon(NotifyIconCall call, ShellVersion shell, bool balloons)
    : call_(std::move(call)), shell_(shell), balloons_(balloons) {
    if (!call_) {
        call_ = [](DWORD message, NotifyIconRecord& data) {
            return Shell_NotifyIconA(message, reinterpret_cast<NOTIFYICONDATAA*>(&data));
        };
    }
    imageList1_.reset(ImageList_Create(kIconSize, kIconSize, ILC_COLOR24 | ILC_MASK, kTrayPictures, 0));
    for (int frame = 1; frame <= kTrayFrames; ++frame) AddFrame(imageList1_.get(), TrayFramePicture(frame));
    AddFrame(imageList1_.get(), TrayDownPicture());
}

HICON TrayIcon::FrameIcon(int frame) {
    if (frame < 1 || frame > kTrayPictures) return nullptr;
    // Each icon is made when its frame is first shown: all sixteen at once held up the window's start.
    UniqueIcon& icon = icons_[frame - 1];
    if (!icon) icon.reset(ImageList_GetIcon(imageList1_.get(), frame - 1, ILD_NORMAL));
    return icon.get();
}

TrayIcon::~TrayIcon() {
    if (added_) Remove();
}

void TrayIcon::Send(DWORD message, UINT flags, int frame, const std::string& tip, const std::string& info,
                    bool warning) {
    NotifyIconRecord data{};
    data.cbSize = NotifyIconRecordSize(shell_);
    data.hWnd = owner_;
    data.uID = kTrayIconId;
    data.uFlags = flags;
    // The shell copies the picture; the icon stays ours.
    if (flags & NIF_ICON) data.hIcon = FrameIcon(frame);
    if (flags & NIF_MESSAGE) data.uCallbackMessage = kTrayCallbackMessage;
    if (flags & NIF_TIP) CopyText(data.szTip, TrayTipRoom(shell_), tip);
    if (flags & kTrayInfoFlag) {
        CopyText(data.szInfo, sizeof data.szInfo, info);
        CopyText(data.szInfoTitle, sizeof data.szInfoTitle, "Pulsiva");
        data.uTimeout = kBalloonMs;
        data.dwInfoFlags = warning ? kBalloonWarning : kBalloonInfo;
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

void TrayIcon::SetTip(const std::string& tip) {
    if (!added_ || tip == tip_) return;
    tip_ = tip;
    Send(NIM_MODIFY, NIF_TIP, 0, tip);
}

void TrayIcon::ShowBalloon(const std::string& text, bool warning) {
    if (added_ && balloons_) Send(NIM_MODIFY, kTrayInfoFlag, 0, std::string(), text, warning);
}

void TrayIcon::Remove() {
    if (!owner_) return;
    Send(NIM_DELETE, 0, 0, std::string());
    added_ = false;
}

}  // namespace zv
