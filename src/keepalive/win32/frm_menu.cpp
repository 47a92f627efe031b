// frmMenu: a hidden window whose menu bar holds the tray's pop-up menu; its commands go to the program.
#include "keepalive/win32/frm_menu.h"

#include "keepalive/win32/resource.h"

namespace zv {

namespace {
constexpr char kClass[] = "PulsivaFrmMenu";
constexpr char kCaption[] = "Form1";
}  // namespace

FrmMenu::FrmMenu(HINSTANCE instance, Handlers handlers) : instance_(instance), handlers_(std::move(handlers)) {}

FrmMenu::~FrmMenu() { Unload(); }

HWND FrmMenu::Load() {
    if (hwnd_) return hwnd_;
    WNDCLASSA wc{};
    if (!GetClassInfoA(instance_, kClass, &wc)) {
        wc.lpfnWndProc = WindowBase::WindowProc;
        wc.hInstance = instance_;
        wc.lpszClassName = kClass;
        RegisterClassA(&wc);
    }
    // The window owns the menu from here on and destroys it with itself.
    HMENU bar = LoadMenuA(instance_, MAKEINTRESOURCEA(IDR_frmMenu));
    // The object stays the program's: the window does not delete it.
    HWND hwnd = CreateWindowExA(0, kClass, kCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100,
                                nullptr, bar, instance_, reinterpret_cast<void*>(CreationParam(this)));
    if (!hwnd && bar) DestroyMenu(bar);
    return hwnd;
}

void FrmMenu::Unload() {
    if (hwnd_) DestroyWindow(hwnd_);
}

HMENU FrmMenu::Options() const { return hwnd_ ? GetSubMenu(GetMenu(hwnd_), 0) : nullptr; }

void FrmMenu::SetPingItemsEnabled(bool enabled) {
    HMENU options = Options();
    if (!options) return;
    const UINT state = MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(options, kMnuPing, state);
    EnableMenuItem(options, kMnuInterval, state);
}

bool FrmMenu::ItemEnabled(int position) const {
    HMENU options = Options();
    if (!options) return false;
    UINT state = GetMenuState(options, position, MF_BYPOSITION);
    return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void FrmMenu::SetAlertChecked(bool on) {
    if (HMENU options = Options()) CheckMenuItem(options, IDM_mnuAlertOnOutage, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

WindowBase::Result FrmMenu::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) == 0 && lp == 0) {
            OnCommand(LOWORD(wp));
            return 0;
        }
        break;
    case WM_CLOSE:
        // The form is never shown; it goes when the program unloads it.
        return 0;
    }
    return std::nullopt;
}

// The menu's items follow the keep-alive window's state, which that window puts back itself.
void FrmMenu::RestoreAfterFailure() {}

// The form is hidden and its caption is not the program's: the box has no owner.
void FrmMenu::ShowFailure(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), "Pulsiva", MB_OK | MB_ICONSTOP);
}

void FrmMenu::OnCommand(int id) {
    // A command for an item that is greyed (sent by id from outside) is not carried out.
    auto opts = [this](int index) {
        if (ItemEnabled(index) && handlers_.mnuOpts) handlers_.mnuOpts(index);
    };
    switch (id) {
    case IDM_mnuOpts0: opts(kMnuPing); break;
    case IDM_mnuOpts1: opts(kMnuStopPing); break;
    case IDM_mnuOpts4: opts(kMnuRestore); break;
    case IDM_mnuOpts5: opts(kMnuHelp); break;
    case IDM_mnuOutageLog: opts(kMnuOutageLog); break;
    case IDM_mnuSaveActivity: opts(kMnuSaveActivity); break;
    case IDM_mnuAlertOnOutage: opts(kMnuAlertOnOutage); break;
    case IDM_mnuOpts7: opts(kMnuClose); break;
    case IDM_mnuInterval0:
    case IDM_mnuInterval1:
    case IDM_mnuInterval2:
    case IDM_mnuInterval3:
        if (ItemEnabled(kMnuInterval) && handlers_.mnuInterval) handlers_.mnuInterval(id - IDM_mnuInterval0);
        break;
    }
}

}  // namespace zv
