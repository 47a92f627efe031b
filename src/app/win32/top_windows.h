// The program's top-level windows: keyboard navigation for each of them in the message loop, closing
// the others from mnuExit, and the end of the program when the last one has gone.
#pragma once

#include <windows.h>

#include <vector>

namespace zv {

// Sent to a top-level window before dialog navigation takes Ctrl+Tab (wParam 1 with Shift); a window
// that switches its tabs on it returns nonzero, and the key goes no further.
inline constexpr UINT kCtrlTabMessage = WM_APP + 16;

class TopWindows {
public:
    // quitWhenLastCloses: post WM_QUIT when the last window is removed (the program); tests that
    // create windows in their own thread pass false.
    explicit TopWindows(bool quitWhenLastCloses) : quit_(quitWhenLastCloses) {}
    TopWindows(const TopWindows&) = delete;
    TopWindows& operator=(const TopWindows&) = delete;

    // A window opened without modality (Form1, a Backup window opened from the first-run prompt),
    // with its keyboard shortcuts, if it has any (the caller keeps the table).
    void Add(HWND hwnd, HACCEL accelerators = nullptr);
    // From the window's WM_DESTROY.
    void Remove(HWND hwnd);
    bool Contains(HWND hwnd) const;
    std::size_t Count() const { return windows_.size(); }

    // Closes every window but that one: each gets WM_CLOSE, as its close box would send, posted.
    void CloseAllBut(HWND keep);

    // The window's keyboard shortcuts, then Tab, arrow keys, Enter, Escape and & access keys for the
    // window the message is meant for; an access key of the window's menu bar is left to the menu.
    bool TranslateDialogMessage(MSG* msg) const;

    // The message loop of the program; returns WM_QUIT's exit code.
    int RunMessageLoop() const;

private:
    bool quit_;
    std::vector<HWND> windows_;
    std::vector<HACCEL> accelerators_;  // one per window
};

}  // namespace zv
