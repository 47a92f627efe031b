// The progress bar a window moves into one panel of its status bar for a timed run and takes out
// again: one for Form1 and the Backup and Restore windows.
#pragma once

#include <windows.h>

namespace zv {

class StatusBarProgress {
public:
    // The window the bar belongs to when it is out, its status bar and the bar.
    void Attach(HWND home, HWND statusBar, HWND bar);
    HWND Bar() const { return bar_; }
    bool InStatusBar() const { return bar_ && statusBar_ && GetParent(bar_) == statusBar_; }

    // The bar becomes a child of the status bar over that panel (0-based), shown, at 0.
    void Show(int panel);
    // A child of its window again, hidden, at 0.
    void Hide();
    void SetPos(int value);

private:
    HWND home_ = nullptr;
    HWND statusBar_ = nullptr;
    HWND bar_ = nullptr;
};

}  // namespace zv
