// Top-level window list and message loop.
#include "app/win32/top_windows.h"

#include <algorithm>

#include "app/access_key.h"

namespace zv {

namespace {
// Whether a title of the window's menu bar has this access key.
bool MenuBarHasAccessKey(HWND window, WPARAM key) {
    HMENU bar = GetMenu(window);
    if (!bar || key > 0xFF) return false;
    const int count = GetMenuItemCount(bar);
    for (int i = 0; i < count; ++i) {
        char title[64] = {0};
        if (GetMenuStringA(bar, static_cast<UINT>(i), title, sizeof title, MF_BYPOSITION) <= 0) continue;
        if (HasAccessKey(title, static_cast<char>(key))) return true;
    }
    return false;
}
}  // namespace

void TopWindows::Add(HWND hwnd, HACCEL accelerators) {
    if (!hwnd || Contains(hwnd)) return;
    windows_.push_back(hwnd);
    accelerators_.push_back(accelerators);
}

void TopWindows::Remove(HWND hwnd) {
    auto it = std::find(windows_.begin(), windows_.end(), hwnd);
    if (it == windows_.end()) return;
    accelerators_.erase(accelerators_.begin() + (it - windows_.begin()));
    windows_.erase(it);
    if (windows_.empty() && quit_) PostQuitMessage(0);
}

bool TopWindows::Contains(HWND hwnd) const {
    return std::find(windows_.begin(), windows_.end(), hwnd) != windows_.end();
}

void TopWindows::CloseAllBut(HWND keep) {
    // Posted, not sent: a window busy in a handler of its own (a message box of it is open) must not
    // be destroyed inside it. Each closes when the message loop comes to it, in the list's order.
    for (HWND hwnd : windows_) {
        if (hwnd != keep && IsWindow(hwnd)) PostMessageA(hwnd, WM_CLOSE, 0, 0);
    }
}

bool TopWindows::TranslateDialogMessage(MSG* msg) const {
    if (!msg->hwnd) return false;
    // The top-level window the message's window belongs to.
    HWND root = msg->hwnd;
    while ((GetWindowLongA(root, GWL_STYLE) & WS_CHILD) && GetParent(root)) root = GetParent(root);
    const auto it = std::find(windows_.begin(), windows_.end(), root);
    if (it == windows_.end()) return false;
    if (HACCEL keys = accelerators_[static_cast<std::size_t>(it - windows_.begin())]) {
        if (TranslateAcceleratorA(root, keys, msg)) return true;
    }
    // Menu access keys win over a button's: Alt+H opens the Help menu, not a page's "&Help" button
    // (that one has F1). The key goes on to the window, whose default handling opens the menu.
    if (msg->message == WM_SYSCHAR && MenuBarHasAccessKey(root, msg->wParam)) return false;
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000)) {
        const WPARAM backwards = (GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0;
        if (SendMessageA(root, kCtrlTabMessage, backwards, 0)) return true;
    }
    return IsDialogMessageA(root, msg) != FALSE;
}

int TopWindows::RunMessageLoop() const {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (TranslateDialogMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace zv
