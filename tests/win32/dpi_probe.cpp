// Opens every window of both programs in this process, at the DPI Wine gives it, and prints each text that
// does not fit its control: "does not fit: window|dpi|text|overflow". With --shots it takes their pictures too.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/cut_off_window.h"
#include "app/win32/frm_about.h"
#include "app/win32/network_check_window.h"
#include "app/win32/resource.h"
#include "app/win32/review_window.h"
#include "app/win32/saved_files_windows.h"
#include "keepalive/win32/frm_get_ip.h"
#include "keepalive/win32/frm_menu.h"
#include "platform/program_keys.h"
#include "platform/registry_helpers.h"
#include "platform/win32/desktop.h"
#include "support/form1_harness.h"
#include "support/wintest.h"
#include "writerun/network_check.h"
#include "writerun/write_run.h"

namespace {

const int kDpi = zv::GetScreenDpi().y;

RECT Measure(HWND control, HFONT font, const std::string& text, int width, UINT flags) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    RECT need{0, 0, width, 0};
    DrawTextA(dc, text.c_str(), -1, &need, flags | DT_CALCRECT | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return need;
}

// Prints the text when it needs more room than `room` gives; a text in one line of a wrapping control
// that holds one line says by how much it is too wide.
void Check(const std::string& window, HWND control, HFONT font, std::string text, RECT room, UINT flags) {
    const int w = room.right - room.left, h = room.bottom - room.top;
    const RECT need = Measure(control, font, text, w, flags);
    if (need.right <= w && need.bottom <= h) return;
    const RECT line = Measure(control, font, text, w, (flags & ~DT_WORDBREAK) | DT_SINGLELINE);
    std::string over = need.right > w || line.bottom * 2 > h ? std::to_string(line.right - w) + " px wide"
                                                             : std::to_string(need.bottom - h) + " px high";
    text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
    std::printf("does not fit: %s|%d|%s|%s\n", window.c_str(), kDpi, text.c_str(), over.c_str());
}

void CheckControl(const std::string& window, HWND control, const std::string& text) {
    char cls[32] = {};
    GetClassNameA(control, cls, sizeof cls);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    RECT room{};
    GetClientRect(control, &room);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (text.empty()) return;
    TEXTMETRICA tm{};
    HDC dc = GetDC(control);
    SelectObject(dc, font);
    GetTextMetricsA(dc, &tm);
    ReleaseDC(control, dc);
    if (!lstrcmpiA(cls, "Static")) {
        const LONG type = style & SS_TYPEMASK;
        // Pictures, and texts cut with an ellipsis on purpose, are not measured.
        if ((type > SS_RIGHT && type != SS_LEFTNOWORDWRAP) || (style & SS_ELLIPSISMASK)) return;
        Check(window, control, font, text, room,
              (type == SS_LEFTNOWORDWRAP ? 0 : DT_WORDBREAK) | (style & SS_NOPREFIX ? DT_NOPREFIX : 0));
    } else if (!lstrcmpiA(cls, "Button")) {
        const LONG type = style & BS_TYPEMASK;
        const UINT flags = style & BS_MULTILINE ? DT_WORDBREAK : DT_SINGLELINE;
        if (type == BS_GROUPBOX) {
            // The caption sits in the frame's top line, a character in from either corner.
            const RECT caption{tm.tmAveCharWidth, 0, room.right - tm.tmAveCharWidth, tm.tmHeight};
            Check(window, control, font, text, caption, flags);
        } else if (type <= BS_DEFPUSHBUTTON) {
            InflateRect(&room, -3, -3);  // the button's frame and the focus rectangle inside it
            Check(window, control, font, text, room, flags);
        } else if (type != BS_OWNERDRAW) {
            room.left += GetSystemMetrics(SM_CXMENUCHECK) + tm.tmAveCharWidth / 2;  // the box and its gap
            Check(window, control, font, text, room, flags);
        }
    }
}

// Every control of the window, without child dialogs, which are windows of their own in the table.
void CheckWindow(const std::string& window, HWND parent) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[8] = {};
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0) continue;
        CheckControl(window, c, zvtest::WindowText(c));
        CheckWindow(window, c);
    }
}

// A pop-up menu as shown: every item's text in the menu font, beside the check mark and submenu columns.
void CheckMenu(const std::string& window, HWND popup) {
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
    RECT room{};
    GetClientRect(popup, &room);
    room.right -= 2 * GetSystemMetrics(SM_CXMENUCHECK);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        if (GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION)) {
            Check(window, popup, font, text, room, DT_SINGLELINE);
        }
    }
    DeleteObject(font);
}

void Pump(DWORD ms) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(20)) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

// Checks the window, takes its picture when asked and hides it for the next one.
void Inspect(const std::string& name, HWND root, bool shots) {
    char cls[8] = {};
    GetClassNameA(root, cls, sizeof cls);
    const bool menu = lstrcmpA(cls, "#32768") == 0;
    HWND shown = GetAncestor(root, GA_ROOT);
    if (!root) {
        std::printf("does not fit: %s|%d|(the window did not open)|\n", name.c_str(), kDpi);
        return;
    }
    SetWindowPos(shown, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    menu ? CheckMenu(name, root) : CheckWindow(name, root);
    if (shots) {
        RedrawWindow(shown, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump(200);  // windows of the other threads paint too
        zvtest::SaveScreenshot(shown, "dpi" + std::to_string(kDpi) + "-" + name);
    }
    if (menu) {
        PostMessageA(shown, WM_KEYDOWN, VK_ESCAPE, 0);
        zvtest::WaitFor([&] { return !IsWindowVisible(shown); }, 2000);
    } else {
        ShowWindowAsync(shown, SW_HIDE);
    }
}

// A modal window runs on a thread of its own and stays open until the probe ends.
HWND OpenModal(const char* caption, std::function<void()> open, const char* cls = nullptr) {
    std::thread(std::move(open)).detach();
    HWND found = nullptr;
    zvtest::WaitFor([&] {
        found = FindWindowA(cls, caption);
        return found && IsWindowVisible(found);
    }, 10000);
    return found;
}

struct QuietNetwork : zv::PingNetwork {
    bool StartSockets() override { return true; }
    std::string ResolveHost(const std::string&) override { return "127.0.0.1"; }
    std::int32_t SendEcho(const std::string&, const std::string&, zv::EchoReply&) override { return 0; }
    void StopSockets() override {}
};

void TrayMenu(int submenu) {
    zv::FrmMenu form(GetModuleHandleA(nullptr), {});
    form.Load();
    HMENU menu = form.Options();
    if (submenu >= 0) menu = GetSubMenu(menu, submenu);
    TrackPopupMenu(menu, 0, 300, 200, 0, form.hwnd(), nullptr);
}

// The network check's texts after the first: no answer, nothing sent, undone, refused.
std::vector<std::string> LaterCheckScreens(const zv::PendingCheck& pending) {
    using namespace zv;
    NetworkCheck noAnswer(pending), notSent(pending), undone(pending), refused(pending);
    noAnswer.EchoResult(std::nullopt, pending.retryWindowMs, pending.retryWindowMs);
    notSent.EchoNotSent("The echo could not be sent.", pending.retryWindowMs, pending.retryWindowMs);
    WriteRunOutcome undo;
    undo.status = WriteRunStatus::Written;
    undone.UndoFinished(undo);
    undo.changes.rows.resize(40);
    undo.failedChanges = 12;
    refused.UndoFinished(undo);
    return {noAnswer.Screen().text, notSent.Screen().text, undone.Screen().text, refused.Screen().text};
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zv;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    zvtest::Form1Harness h(WindowsFamily::Win98);
    WriteRegString(h.registry, kHkeyLocalMachine, kZarveloKey, "LoadedMain", "Yes");
    WriteLastSafetyBackup(h.registry, "Before Optimize 2026-12-08 15.00.00.zsb");
    if (!h.Create() || !h.Form()) {
        std::printf("does not fit: form1|%d|(the window did not open)|\n", kDpi);
        return 1;
    }
    Form1& form = *h.Form();
    auto saved = [&](SavedFilesWindow which) {
        return OpenSavedFilesWindow(which, instance, nullptr, form.Services(), false);
    };
    HWND tabs = h.Control(IDC_TabStrip1);
    // Form1 is shown again before its pages change: hidden, it takes no clicks and keeps the last page.
    auto page = [&](int index) {
        ShowWindow(h.Form1(), SW_SHOWNOACTIVATE);
        form.ShowPage(index);
        return form.Frame1(index);
    };
    auto tab = [&](int index) {
        page(kPageCustom);
        SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
        form.ShowCustomTab(index);
        return form.frmCustom(index);
    };
    auto summary = [&] {  // with the restart notice and its network check
        page(kPageAutomatic);
        h.Command(IDM_mnuAuto);
        h.Click(IDC_Command7);
        h.Click(IDC_Command10);
        h.Click(IDC_Command1);
        for (int tick = 0; tick < 21; ++tick) h.Tick();
        SetWindowTextA(h.Control(IDC_txtCheckHost), "www.example.com");
        return form.Frame1(kPageSummary);
    };
    FrmGetIp::Options pulsivaOptions;
    pulsivaOptions.quitOnDestroy = false;
    pulsivaOptions.help = [](HWND, const std::string&, const std::string&) {};
    pulsivaOptions.outageLog.file = zvtest::TestDir() + "\\dpi-probe-outages.csv";
    QuietNetwork network;
    FrmGetIp pulsiva(instance, network, pulsivaOptions);
    MemoryRegistry checkRegistry;
    PendingCheck pending;
    pending.host = "www.example.com";
    pending.safetyBackup = "Before Optimize 2026-12-08 15.00.00.zsb";
    StorePendingCheck(checkRegistry, pending, "zarvelo.exe");
    WriteRun review;
    review.detail = "LAN, Automatic Configuration #3";
    MemoryRegistry cutOffRegistry;
    RecordRun(cutOffRegistry, "Before Optimize 2026-12-08 15.00.00.zsb");
    Form1Services cutOffServices = form.Services();
    cutOffServices.registry = &cutOffRegistry;

    // Each window: its name in the report, and what opens it and gives it (a page or tab: Form1 shows it).
    // A modal window opens on a thread of its own (OpenModal); a pop-up menu is measured as a menu.
    const std::pair<const char*, std::function<HWND()>> cases[] = {
        {"form1-adapter-page", [&] { return page(kPageAutomatic); }},
        {"form1-custom-page", [&] { return page(kPageCustom); }},
        {"form1-custom-general", [&] { return tab(0); }},
        {"form1-custom-tcpip", [&] { return tab(1); }},
        {"form1-custom-nwlink", [&] { return tab(2); }},
        {"form1-custom-netbeui", [&] { return tab(3); }},
        {"form1-launcher-page", [&] { return page(kPageLauncher); }},
        {"form1-configuration-page", [&] { return page(kPageConfiguration); }},
        {"form1-summary-page", summary},
        {"backup", [&] { return saved(SavedFilesWindow::Backup); }},
        {"restore", [&] { return saved(SavedFilesWindow::Restore); }},
        {"about", [&] { return CreateAboutWindow(instance, nullptr, {}); }},
        {"review-changes", [&] {
             return OpenModal("Review Changes", [&] { ShowReviewWindow(instance, nullptr, ChangeSet{}, review); });
         }},
        {"network-check", [&] {
             return OpenModal("Checking the network", [&] { RunPendingCheckStart(instance, checkRegistry, false); });
         }},
        {"cut-off-run", [&] {
             return OpenModal("Zarvelo", [&] { AskAboutCutOffRun(instance, cutOffServices, nullptr); }, "#32770");
         }},
        {"pulsiva", [&] { return pulsiva.Create(); }},
        {"pulsiva-tray-menu", [] { return OpenModal(nullptr, [] { TrayMenu(-1); }, "#32768"); }},
        {"pulsiva-interval-menu", [] { return OpenModal(nullptr, [] { TrayMenu(2); }, "#32768"); }},
    };
    for (const auto& [name, open] : cases) Inspect(name, open(), argc > 1 && std::string(argv[1]) == "--shots");
    // Texts that other states put into controls of the windows above.
    for (const std::string& text : {CheckOfferText(""), std::string(kCheckNotArmedText)}) {
        CheckControl("form1-summary-page", h.Control(IDC_chkCheckNetwork), text);
    }
    HWND checkText = GetDlgItem(FindWindowA(nullptr, "Checking the network"), IDC_Check_Text);
    for (const std::string& text : LaterCheckScreens(pending)) CheckControl("network-check", checkText, text);
    std::printf("windows checked: %d\n", static_cast<int>(std::size(cases)));
    std::fflush(stdout);
    ExitProcess(0);  // the modal windows' threads end with the process
}
