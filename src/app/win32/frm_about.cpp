// frmAbout, the about window: product picture, the systems it runs on, and the maker's addresses as links.
#include "app/win32/frm_about.h"

#include <algorithm>
#include <array>

#include "app/version_record.h"
#include "app/win32/resource.h"
#include "platform/win32/desktop.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_base.h"

namespace zv {
namespace {

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

class FrmAbout : public WindowBase {
public:
    FrmAbout(const AboutServices& services, bool modal) : services_(services), modal_(modal) {}

private:
    Result OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    // The link labels, subclassed.
    Result LinkMessage(HWND link, UINT msg, WPARAM wp, LPARAM lp);
    void RestoreAfterFailure() override;
    void ShowFailure(const std::string& text) override;
    void Form_Load();
    void Label_Click(const Link& link);
    void Command1_Click();

    AboutServices services_;
    bool modal_;
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
        Subclass(label);
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

WindowBase::Result FrmAbout::OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd != hwnd_) return LinkMessage(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_INITDIALOG:
        Form_Load();
        return FALSE;  // the focus is on OK
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        const int code = HIWORD(wp);
        // OK, Enter and Esc close the window.
        if (id == IDC_frmAbout_Command1 || id == IDOK || id == IDCANCEL) {
            Command1_Click();
            return 0;
        }
        if (const Link* link = LinkOf(id)) {
            if (code == STN_CLICKED) Label_Click(*link);
            return 0;
        }
        return std::nullopt;
    }
    case WM_CTLCOLORSTATIC: {
        // The links in the system highlight colour.
        if (!LinkOf(GetDlgCtrlID(reinterpret_cast<HWND>(lp)))) return std::nullopt;
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
        if (LinkOf(GetDlgCtrlID(reinterpret_cast<HWND>(wp))) && LOWORD(lp) == HTCLIENT) {
            SetCursor(LinkCursor());
            return TRUE;
        }
        return std::nullopt;
    case WM_CLOSE:
        Command1_Click();
        return 0;
    default:
        return std::nullopt;
    }
}

// The link labels take the focus from Tab, show it with a dotted frame, and follow the link on Space.
WindowBase::Result FrmAbout::LinkMessage(HWND link, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(link, nullptr, TRUE);
        break;
    case WM_PAINT: {
        const LRESULT result = CallPrevious(link, msg, wp, lp);
        if (GetFocus() == link) {
            RECT r{};
            GetClientRect(link, &r);
            WindowDc dc(link);
            DrawFocusRect(dc.get(), &r);
        }
        return result;
    }
    case WM_KEYDOWN:
        if (wp == VK_SPACE) {
            SendMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED), reinterpret_cast<LPARAM>(link));
            return 0;
        }
        break;
    default:
        break;
    }
    return std::nullopt;
}

// Nothing a handler does here is left half-done: a link either opened or was reported.
void FrmAbout::RestoreAfterFailure() {}

void FrmAbout::ShowFailure(const std::string& text) {
    if (!services_.messageBox) return WindowBase::ShowFailure(text);
    char caption[128] = {0};
    GetWindowTextA(hwnd_, caption, sizeof caption);
    services_.messageBox(hwnd_, text, caption, MB_OK | MB_ICONSTOP);
}

}  // namespace

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
    // Modal: the window is gone when DialogBoxParam returns, and the object is this call's.
    FrmAbout form(services, true);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_frmAbout), owner, WindowBase::DialogProc,
                    WindowBase::CreationParam(&form));
}

HWND CreateAboutWindow(HINSTANCE instance, HWND owner, const AboutServices& services) {
    auto form = std::make_unique<FrmAbout>(services, false);
    CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_frmAbout), owner, WindowBase::DialogProc,
                       WindowBase::CreationParam(form.get()));
    return WindowBase::GiveToWindow(std::move(form));
}

}  // namespace zv
