// One base for every window of both programs: finds the window's object, counts the dispatches on the
// stack, deletes an object its window owns only after WM_NCDESTROY with no dispatch left, closes by
// posting, and reports what a handler throws instead of letting it vanish.
//
// How an object is found: one window property, set from WM_NCCREATE (a window class whose procedure
// is WindowProc, created with the object as lpCreateParams), from WM_INITDIALOG (a dialog whose
// procedure is DialogProc, created with the object as lParam), or by AttachWindow for a window of
// ours that a dialog template made. The first window an object gets is its own window; further ones
// (a page that is a child dialog of it, a control it subclasses) forward their messages to the same
// object and count as its dispatches.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zv {

class WindowBase {
public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    // An owner may let its object go while windows are still attached: they are detached (and
    // controls get their own procedure back), so that their messages no longer reach it.
    virtual ~WindowBase();

    // The object behind a window: its own window, a page forwarding to it, or a subclassed control.
    static WindowBase* FromWindow(HWND hwnd);

    // The object's own window; null before it exists and from WM_NCDESTROY on.
    HWND Window() const { return hwnd_; }

    // Posts WM_CLOSE. A window never closes under one of its own handlers: a WM_CLOSE that arrives
    // while one is still running (its message box, a modal window it opened) is carried out when the
    // last of them has returned.
    void Close() const;

    // The procedure of a window class of ours, and of a dialog of ours. The object goes to
    // CreateWindowEx's lpParam or CreateDialogParam's lParam as CreationParam(object), which makes it a
    // WindowBase pointer first.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LPARAM CreationParam(WindowBase* object) { return reinterpret_cast<LPARAM>(object); }

    // A new object handed to its window, once the window exists: from here on the window deletes it.
    // When the window could not be made or is already gone, the object is deleted now and null
    // is returned.
    static HWND GiveToWindow(std::unique_ptr<WindowBase> object);

    // Puts a procedure over the object's own window (a dialog's, which the dialog manager calls):
    // each message goes first to `filter`, and what it leaves to the procedure the window had. Both
    // run as one dispatch of the object, so a modal loop the filter runs is counted like any other.
    using MessageFilter = std::function<std::optional<LRESULT>(UINT msg, WPARAM wp, LPARAM lp)>;
    bool HookOwnWindow(MessageFilter filter);
    // Puts the window's own procedure back, while ours is still the one installed.
    void UnhookOwnWindow();
    // The procedure the own window had before HookOwnWindow; null when it is not hooked.
    WNDPROC OwnPreviousProc() const { return ownPrevious_; }

protected:
    // The answer to one message; nullopt when the handler leaves it to the default (DefWindowProc, a
    // dialog's FALSE, a subclassed control's own procedure). A dialog's answer is put where the dialog
    // manager looks for it.
    using Result = std::optional<LRESULT>;

    WindowBase() = default;

    // Every message of every window attached to the object; `hwnd` tells which.
    virtual Result OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) = 0;

    // A handler threw: put the window back into a state in which it can be used (runs stopped,
    // buttons enabled, no hourglass). Called before the user is told.
    virtual void RestoreAfterFailure() = 0;
    // Tells the user what went wrong; by default in a message box over the window.
    virtual void ShowFailure(const std::string& text);

    // Runs work that does not come through a window procedure (start-up run by the creator) under
    // the same rules: counted as a dispatch, failures reported.
    void Guarded(const std::function<void()>& work);

    // A window of ours made by someone else (a control of a class of ours in a dialog template).
    void AttachWindow(HWND hwnd);
    // Replaces a control's window procedure: its messages come to OnMessage with its handle, and
    // what OnMessage leaves goes on to the procedure it had, which this object keeps.
    bool Subclass(HWND control);
    // The procedure a subclassed control had, called with one message (a handler that adds to it).
    LRESULT CallPrevious(HWND control, UINT msg, WPARAM wp, LPARAM lp) const;

    // The object's own window, as Window(); for derived classes to read, never to set.
    HWND hwnd_ = nullptr;

private:
    struct Attached {
        HWND hwnd;
        WNDPROC previous;  // null for a page
    };

    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK OwnHookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void Join(HWND hwnd, WNDPROC previous);
    void Detach(HWND hwnd);
    WNDPROC PreviousProc(HWND hwnd) const;
    // One message through OnMessage, counted; may delete the object when it is the last dispatch.
    Result Dispatch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void Enter() { ++depth_; }
    // The end of a dispatch; the last one deletes the object when its window is gone and owned it,
    // or posts a WM_CLOSE that had to wait. Nothing of the object may be touched after it.
    void Leave();
    void Failed(UINT msg, const char* what);

    std::vector<Attached> attached_;
    MessageFilter ownFilter_;
    WNDPROC ownPrevious_ = nullptr;
    int depth_ = 0;
    bool ownedByWindow_ = false;
    bool destroyed_ = false;
    bool closePending_ = false;
    bool reportingFailure_ = false;
};

// The text a failure is reported with.
std::string FailureText(const std::string& what);

// For window procedures that are not a WindowBase (a procedure installed over another object's
// window): writes the debugger line and shows the message box. `what` comes from the exception.
void ReportWindowFailure(HWND owner, const std::string& caption, const char* what);

}  // namespace zv
