// The window base: finding the object, counted dispatch, deletion after the last dispatch, posted
// closing, subclassed controls and failure reports.
#include "platform/win32/window_base.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <exception>

namespace zv {
namespace {

const char kObjectProperty[] = "Zarvelo.WindowObject";

// Messages whose answer a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool DialogReturnsDirectly(UINT msg) {
    switch (msg) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

std::string WindowCaption(HWND hwnd) {
    char text[256] = {0};
    if (hwnd) GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

void DebugLine(const std::string& where, UINT msg, const char* what) {
    char number[16];
    std::snprintf(number, sizeof number, "0x%04X", msg);
    const std::string line = "Window \"" + where + "\", message " + number + ": " + what + "\n";
    OutputDebugStringA(line.c_str());
}

}  // namespace

std::string FailureText(const std::string& what) {
    return "An unexpected error interrupted what this window was doing:\r\n\r\n" + what +
           "\r\n\r\nThe action may not have been completed. The window can be used again.";
}

void ReportWindowFailure(HWND owner, const std::string& caption, const char* what) {
    DebugLine(caption, 0, what);
    MessageBoxA(owner, FailureText(what).c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
}

WindowBase::~WindowBase() {
    // Deleted under one of its own handlers, the object would be used again when the handler returns.
    assert(depth_ == 0 && "a window object deleted during a dispatch of its own");
    UnhookOwnWindow();
    while (!attached_.empty()) Detach(attached_.back().hwnd);
    if (hwnd_) RemovePropA(hwnd_, kObjectProperty);
}

WindowBase* WindowBase::FromWindow(HWND hwnd) {
    return hwnd ? static_cast<WindowBase*>(GetPropA(hwnd, kObjectProperty)) : nullptr;
}

void WindowBase::Close() const {
    if (hwnd_) PostMessageA(hwnd_, WM_CLOSE, 0, 0);
}

HWND WindowBase::GiveToWindow(std::unique_ptr<WindowBase> object) {
    if (!object || !object->hwnd_) return nullptr;
    object->ownedByWindow_ = true;
    return object.release()->hwnd_;
}

void WindowBase::Join(HWND hwnd, WNDPROC previous) {
    SetPropA(hwnd, kObjectProperty, this);
    if (!hwnd_ && !previous) {
        hwnd_ = hwnd;
    } else {
        attached_.push_back(Attached{hwnd, previous});
    }
}

void WindowBase::Detach(HWND hwnd) {
    RemovePropA(hwnd, kObjectProperty);
    if (hwnd == hwnd_) {
        hwnd_ = nullptr;
        destroyed_ = true;
        return;
    }
    auto it = std::find_if(attached_.begin(), attached_.end(), [hwnd](const Attached& a) { return a.hwnd == hwnd; });
    if (it == attached_.end()) return;
    // Only while ours is still the control's procedure: one installed over it keeps the chain.
    if (it->previous && reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) == &SubclassProc) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->previous));
    }
    attached_.erase(it);
}

bool WindowBase::HookOwnWindow(MessageFilter filter) {
    if (!hwnd_ || ownPrevious_ || !filter) return false;
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd_, GWLP_WNDPROC));
    if (!previous) return false;
    ownFilter_ = std::move(filter);
    ownPrevious_ = previous;
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OwnHookProc));
    return true;
}

void WindowBase::UnhookOwnWindow() {
    if (!ownPrevious_) return;
    if (hwnd_ && reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd_, GWLP_WNDPROC)) == &OwnHookProc) {
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ownPrevious_));
    }
    ownPrevious_ = nullptr;
    ownFilter_ = nullptr;
}

void WindowBase::AttachWindow(HWND hwnd) {
    if (hwnd && FromWindow(hwnd) != this) Join(hwnd, nullptr);
}

bool WindowBase::Subclass(HWND control) {
    if (!control || FromWindow(control)) return false;
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC));
    if (!previous) return false;
    Join(control, previous);
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc));
    return true;
}

WNDPROC WindowBase::PreviousProc(HWND hwnd) const {
    for (const Attached& a : attached_) {
        if (a.hwnd == hwnd) return a.previous;
    }
    return nullptr;
}

LRESULT WindowBase::CallPrevious(HWND control, UINT msg, WPARAM wp, LPARAM lp) const {
    WNDPROC previous = PreviousProc(control);
    return previous ? CallWindowProcA(previous, control, msg, wp, lp) : DefWindowProcA(control, msg, wp, lp);
}

LRESULT CALLBACK WindowBase::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        // A window of a class of ours made by a dialog template carries no object here; it is
        // attached afterwards.
        if (auto* object = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams)) {
            object->Join(hwnd, nullptr);
        }
    }
    WindowBase* object = FromWindow(hwnd);
    const Result result = object ? object->Dispatch(hwnd, msg, wp, lp) : std::nullopt;
    return result ? *result : DefWindowProcA(hwnd, msg, wp, lp);
}

INT_PTR CALLBACK WindowBase::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG && lp) reinterpret_cast<WindowBase*>(lp)->Join(hwnd, nullptr);
    WindowBase* object = FromWindow(hwnd);
    if (!object) return FALSE;
    const Result result = object->Dispatch(hwnd, msg, wp, lp);
    if (!result) return FALSE;
    if (DialogReturnsDirectly(msg)) return static_cast<INT_PTR>(*result);
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, *result);
    return TRUE;
}

LRESULT CALLBACK WindowBase::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WindowBase* object = FromWindow(hwnd);
    // Taken first: WM_NCDESTROY puts it back and forgets it.
    WNDPROC previous = object ? object->PreviousProc(hwnd) : nullptr;
    const Result result = object ? object->Dispatch(hwnd, msg, wp, lp) : std::nullopt;
    if (result) return *result;
    return previous ? CallWindowProcA(previous, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK WindowBase::OwnHookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WindowBase* object = FromWindow(hwnd);
    WNDPROC previous = object ? object->ownPrevious_ : nullptr;
    if (!previous) return DefWindowProcA(hwnd, msg, wp, lp);
    // The filter is copied: it may unhook the window (shut-down runs inside the dialog's handlers).
    const MessageFilter filter = object->ownFilter_;
    object->Enter();
    Result result;
    try {
        result = filter(msg, wp, lp);
    } catch (const std::exception& e) {
        object->Failed(msg, e.what());
        result = 0;
    } catch (...) {
        object->Failed(msg, "unknown exception");
        result = 0;
    }
    if (msg == WM_NCDESTROY) {
        object->ownPrevious_ = nullptr;
        object->ownFilter_ = nullptr;
    }
    // What the filter leaves goes on after its count has ended: the dialog's handlers count their own,
    // and a WM_CLOSE there must not look as if it came under a handler.
    const bool handled = result.has_value();
    object->Leave();
    return handled ? *result : CallWindowProcA(previous, hwnd, msg, wp, lp);
}

WindowBase::Result WindowBase::Dispatch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE && hwnd == hwnd_ && depth_ > 0) {
        // A handler of this window is still on the stack (its message box, a modal window it
        // opened): closing now would pull the window and the object from under it.
        closePending_ = true;
        return 0;
    }
    Enter();
    Result result;
    try {
        result = OnMessage(hwnd, msg, wp, lp);
    } catch (const std::exception& e) {
        Failed(msg, e.what());
        result = 0;
    } catch (...) {
        Failed(msg, "unknown exception");
        result = 0;
    }
    if (msg == WM_NCDESTROY) {
        Detach(hwnd);
        // The default processing of the window's last message always runs.
        result = std::nullopt;
    }
    Leave();
    return result;
}

void WindowBase::Guarded(const std::function<void()>& work) {
    Enter();
    try {
        work();
    } catch (const std::exception& e) {
        Failed(0, e.what());
    } catch (...) {
        Failed(0, "unknown exception");
    }
    Leave();
}

void WindowBase::Leave() {
    if (--depth_ > 0) return;
    if (destroyed_) {
        if (ownedByWindow_) delete this;
        return;
    }
    if (closePending_ && hwnd_) {
        closePending_ = false;
        PostMessageA(hwnd_, WM_CLOSE, 0, 0);
    }
}

void WindowBase::Failed(UINT msg, const char* what) {
    const std::string caption = WindowCaption(hwnd_);
    DebugLine(caption, msg, what);
    // A failure while the report of an earlier one is open (a repaint behind the box) is only logged.
    if (reportingFailure_) return;
    reportingFailure_ = true;
    if (hwnd_) {
        try {
            RestoreAfterFailure();
        } catch (const std::exception& e) {
            DebugLine(caption, msg, e.what());
        } catch (...) {
            DebugLine(caption, msg, "unknown exception while restoring the window");
        }
    }
    try {
        ShowFailure(FailureText(what));
    } catch (...) {
        DebugLine(caption, msg, "the failure could not be shown");
    }
    reportingFailure_ = false;
}

void WindowBase::ShowFailure(const std::string& text) {
    const std::string caption = WindowCaption(hwnd_);
    MessageBoxA(hwnd_, text.c_str(), caption.empty() ? "Error" : caption.c_str(), MB_OK | MB_ICONSTOP);
}

}  // namespace zv
