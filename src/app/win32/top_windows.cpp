// Top-level window list and message loop.
#include "app/win32/top_windows.h"

#include <algorithm>

namespace zv {

void TopWindows::Add(HWND hwnd) {
    if (hwnd && !Contains(hwnd)) windows_.push_back(hwnd);
}

void TopWindows::Remove(HWND hwnd) {
    auto it = std::find(windows_.begin(), windows_.end(), hwnd);
    if (it == windows_.end()) return;
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
    if (!Contains(root)) return false;
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
