// frmAbout, the about window: product picture, the systems it runs on, and the maker's addresses as links.
#include "app/win32/frm_about.h"

#include <algorithm>
#include <array>

#include "app/version_record.h"
#include "app/win32/resource.h"
#include "platform/win32/desktop.h"
#include "platform/win32/handles.h"

namespace zv {
namespace {

const char kAboutProperty[] = "Zarvelo.frmAbout";
const char kLinkProcProperty[] = "Zarvelo.LinkProc";

// The system's hand pointer (IDC_HAND), known from Windows 98 and 2000 on.
constexpr WORD kSystemHandCursor = 32649;

struct CloseCursor {
    void operator()(HCURSOR h) const { DestroyCursor(h); }
};
using UniqueCursor = UniqueHandle<HCURSOR, CloseCursor>;

// The hand, top-left in a 32 x 32 pointer: '#' black, 'o' white, anything else lets the screen through.
// The hot spot is the tip of the finger.
constexpr int kHandHotX = 5;
constexpr int kHandHotY = 0;
constexpr std::array<const char*, 19> kHandPicture = {
    ".....##.........",
    "....#oo#........",
    "....#oo#........",
    "....#oo#........",
    "....#oo#........",
    "....#oo###......",
    "....#oo#oo###...",
    "....#oo#oo#oo##.",
    ".##.#oo#oo#oo#o#",
    "#oo##oooooooooo#",
    "#ooo#oooooooooo#",
    ".#oooooooooooooo#",
    "..#ooooooooooooo#",
    "..#oooooooooooo#.",
    "...#ooooooooooo#.",
    "...#oooooooooo#..",
    "....#ooooooooo#..",
    "....#ooooooooo#..",
    "....###########..",
};

struct Link {
    int id;
    AboutLink link;
};
constexpr Link kLinks[] = {{IDC_frmAbout_Label12, AboutLink::WebSite},
                           {IDC_frmAbout_Label13, AboutLink::SupportMail},
                           {IDC_frmAbout_Label14, AboutLink::SalesMail}};

const Link* LinkOf(int id) {
    for (const Link& l : kLinks)
        if (l.id == id) return &l;
    return nullptr;
}

// "Version 1.0.0" from the running program's version record; empty when it has none.
std::string ProgramVersionText() {
    HMODULE program = GetModuleHandleA(nullptr);
    // Read straight from the resource: GetFileVersionInfoA would need version.dll for this one line.
    constexpr WORD kVersionRecord = 1;  // VS_VERSION_INFO
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(kVersionRecord), RT_VERSION);
    HGLOBAL loaded = found ? LoadResource(program, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    const auto version = FileVersionOf(static_cast<const unsigned char*>(bytes), SizeofResource(program, found));
    return version ? VersionText(*version) : std::string();
}

class FrmAbout {
public:
    FrmAbout(const AboutServices& services, bool modal) : services_(services), modal_(modal) {}

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK LinkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    INT_PTR Proc(UINT msg, WPARAM wp, LPARAM lp);
    void Form_Load();
    void Label_Click(const Link& link);
    void Command1_Click();

    AboutServices services_;
    bool modal_;
    HWND hwnd_ = nullptr;
    UniqueIcon picture_;
    UniqueFont boldFont_;
};

void FrmAbout::Form_Load() {
    // Picture1: the program's speed dial at its largest.
    const int size = MulDiv(48, GetScreenDpi().x, 96);
    picture_.reset(static_cast<HICON>(LoadImageA(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE)),
                                                 MAKEINTRESOURCEA(IDI_Zarvelo), IMAGE_ICON, size, size, 0)));
    SendDlgItemMessageA(hwnd_, IDC_frmAbout_Picture1, STM_SETICON, reinterpret_cast<WPARAM>(picture_.get()), 0);

    // "Zarvelo for" in the bold face of the dialog font.
    LOGFONTA lf{};
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
    if (dialogFont && GetObjectA(dialogFont, sizeof lf, &lf)) {
        lf.lfWeight = FW_BOLD;
        boldFont_.reset(CreateFontIndirectA(&lf));
        SendDlgItemMessageA(hwnd_, IDC_frmAbout_Label1, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), FALSE);
    }
    SetDlgItemTextA(hwnd_, IDC_frmAbout_lblVersion, ProgramVersionText().c_str());

    for (const Link& l : kLinks) {
        HWND label = GetDlgItem(hwnd_, l.id);
        const std::string text = AboutLinkText(l.link);
        SetWindowTextA(label, text.c_str());
        // The label is as wide as its text, so the hand shows only over the address.
        RECT r{};
        GetWindowRect(label, &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        WindowDc dc(label);
        SelectedObject font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
        SIZE extent{};
        TEXTMETRICA metrics{};
        if (GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent) &&
            GetTextMetricsA(dc.get(), &metrics)) {
            RECT client{};
            GetClientRect(hwnd_, &client);
            // One character to spare: the static's own drawing may take a little more than the measure.
            const int width = std::min<int>(extent.cx + metrics.tmAveCharWidth, client.right - r.left);
            SetWindowPos(label, nullptr, 0, 0, width, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        SetPropA(label, kLinkProcProperty,
                 reinterpret_cast<HANDLE>(SetWindowLongPtrA(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkProc))));
    }
    SetFocus(GetDlgItem(hwnd_, IDC_frmAbout_Command1));
}

void FrmAbout::Label_Click(const Link& link) {
    if (!services_.starter) return;
    const LaunchOutcome outcome = FollowAboutLink(link.link, *services_.starter, hwnd_);
    if (!outcome.message.empty() && services_.messageBox) {
        services_.messageBox(hwnd_, outcome.message, std::string(kLauncherMessageTitle), MB_OK | MB_ICONEXCLAMATION);
    }
}

void FrmAbout::Command1_Click() {
    if (modal_) {
        EndDialog(hwnd_, IDOK);
    } else {
        DestroyWindow(hwnd_);
    }
}

INT_PTR FrmAbout::Proc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        const int code = HIWORD(wp);
        // OK, Enter and Esc close the window.
        if (id == IDC_frmAbout_Command1 || id == IDOK || id == IDCANCEL) {
            Command1_Click();
            return TRUE;
        }
        if (const Link* link = LinkOf(id)) {
            if (code == STN_CLICKED) Label_Click(*link);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CTLCOLORSTATIC: {
        // The links in the system highlight colour.
        if (!LinkOf(GetDlgCtrlID(reinterpret_cast<HWND>(lp)))) return FALSE;
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
        if (LinkOf(GetDlgCtrlID(reinterpret_cast<HWND>(wp))) && LOWORD(lp) == HTCLIENT) {
            SetCursor(LinkCursor());
            SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        Command1_Click();
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK FrmAbout::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* form = static_cast<FrmAbout*>(GetPropA(hwnd, kAboutProperty));
    try {
        if (msg == WM_INITDIALOG) {
            form = reinterpret_cast<FrmAbout*>(lp);
            form->hwnd_ = hwnd;
            SetPropA(hwnd, kAboutProperty, form);
            form->Form_Load();
            return FALSE;  // the focus is on OK
        }
        if (!form) return FALSE;
        if (msg == WM_NCDESTROY) {
            RemovePropA(hwnd, kAboutProperty);
            delete form;
            return FALSE;
        }
        return form->Proc(msg, wp, lp);
    } catch (...) {
        // Nothing may leave a window procedure.
        return FALSE;
    }
}

// The link labels take the focus from Tab, show it with a dotted frame, and follow the link on Space.
LRESULT CALLBACK FrmAbout::LinkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kLinkProcProperty));
    auto callOriginal = [&] { return original ? CallWindowProcA(original, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp); };
    switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, TRUE);
        break;
    case WM_PAINT: {
        const LRESULT result = callOriginal();
        if (GetFocus() == hwnd) {
            RECT r{};
            GetClientRect(hwnd, &r);
            WindowDc dc(hwnd);
            DrawFocusRect(dc.get(), &r);
        }
        return result;
    }
    case WM_KEYDOWN:
        if (wp == VK_SPACE) {
            SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), STN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd));
            return 0;
        }
        break;
    case WM_NCDESTROY: {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropA(hwnd, kLinkProcProperty);
        break;
    }
    default:
        break;
    }
    return callOriginal();
}

}  // namespace

HCURSOR OwnHandCursor() {
    static const UniqueCursor cursor = [] {
        // Monochrome pointer planes, 32 x 32, one bit a pixel, leftmost pixel in the high bit.
        std::array<BYTE, 32 * 4> andPlane;
        std::array<BYTE, 32 * 4> xorPlane{};
        andPlane.fill(0xFF);
        for (std::size_t y = 0; y < kHandPicture.size(); ++y) {
            const std::string row = kHandPicture[y];
            for (std::size_t x = 0; x < row.size() && x < 32; ++x) {
                const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
                const std::size_t at = y * 4 + x / 8;
                if (row[x] == '#' || row[x] == 'o') andPlane[at] = static_cast<BYTE>(andPlane[at] & ~bit);
                if (row[x] == 'o') xorPlane[at] = static_cast<BYTE>(xorPlane[at] | bit);
            }
        }
        return UniqueCursor(CreateCursor(GetModuleHandleA(nullptr), kHandHotX, kHandHotY, 32, 32, andPlane.data(),
                                         xorPlane.data()));
    }();
    return cursor.get();
}

HCURSOR LinkCursor() {
    if (HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(kSystemHandCursor))) return hand;
    return OwnHandCursor();
}

void ShowAboutWindow(HINSTANCE instance, HWND owner, const AboutServices& services) {
    auto form = std::make_unique<FrmAbout>(services, true);
    // From WM_INITDIALOG on the window owns the object and deletes it with itself.
    const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_frmAbout), owner, FrmAbout::DialogProc,
                                           reinterpret_cast<LPARAM>(form.get()));
    if (result != -1) form.release();
}

HWND CreateAboutWindow(HINSTANCE instance, HWND owner, const AboutServices& services) {
    auto form = std::make_unique<FrmAbout>(services, false);
    HWND hwnd = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_frmAbout), owner, FrmAbout::DialogProc,
                                   reinterpret_cast<LPARAM>(form.get()));
    if (hwnd) form.release();
    return hwnd;
}

}  // namespace zv
