// Driving zarvelo.exe from the tests.
#include "support/zarvelo_app.h"

#include <commctrl.h>

#include <cstring>

#include "app/win32/resource.h"

namespace zvtest {
namespace {

struct FindClass {
    DWORD pid;
    std::string className;
    std::string caption;
    HWND found;
};

BOOL CALLBACK FindClassProc(HWND hwnd, LPARAM lp) {
    auto* f = reinterpret_cast<FindClass*>(lp);
    if (!IsWindowVisible(hwnd)) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != f->pid) return TRUE;
    char cls[64] = {0};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (f->className != cls) return TRUE;
    if (!f->caption.empty() && WindowText(hwnd) != f->caption) return TRUE;
    f->found = hwnd;
    return FALSE;
}

}  // namespace

LRESULT SendTo(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_NORMAL, timeoutMs, &result)) return 0;
    return static_cast<LRESULT>(result);
}

HWND FindTopWindowOfClass(DWORD processId, const std::string& className, const std::string& caption) {
    FindClass f{processId, className, caption, nullptr};
    EnumWindows(FindClassProc, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

HWND WaitForMessageBox(DWORD processId, const std::string& caption, DWORD timeoutMs) {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindTopWindowOfClass(processId, "#32770", caption)) != nullptr; }, timeoutMs);
    return box;
}

std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

ZarveloApp::ZarveloApp(const std::string& wineVersion) {
    SetWineVersion("zarvelo.exe", wineVersion);
    process_ = Process("\"" + ProgramDir() + "\\zarvelo.exe\"");
    if (!process_.Started()) return;
    WaitFor([&] { return (form1_ = FindTopWindowOfClass(process_.Id(), "ZarveloForm1", "Zarvelo")) != nullptr; },
            30000);
    if (form1_) Sync();
}

std::vector<std::string> ListBoxItems(HWND list) {
    std::vector<std::string> items;
    const int count = static_cast<int>(SendTo(list, LB_GETCOUNT));
    for (int i = 0; i < count; ++i) {
        wchar_t wide[300] = {0};
        DWORD_PTR r = 0;
        SendMessageTimeoutW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide), SMTO_NORMAL, 10000,
                            &r);
        char narrow[600] = {0};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
        items.emplace_back(narrow);
    }
    return items;
}

ZarveloApp::~ZarveloApp() {
    if (process_.Started() && !process_.WaitExit(0)) Close(10000);
}

HWND ZarveloApp::Control(int id) const { return form1_ ? FindChildById(form1_, id) : nullptr; }
HWND ZarveloApp::Page(int index) const { return Control(IDC_Frame1_0 + index); }
bool ZarveloApp::Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
bool ZarveloApp::Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
std::string ZarveloApp::Text(int id) const { return WindowText(Control(id)); }

int ZarveloApp::VisiblePage() const {
    int visible = -1;
    for (int i = 0; i < 7; ++i) {
        if (!IsWindowVisible(Page(i))) continue;
        if (visible != -1) return -1;
        visible = i;
    }
    return visible;
}

void ZarveloApp::Select(int comboId, int index) {
    HWND combo = Control(comboId);
    SendTo(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendTo(GetParent(combo), WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

int ZarveloApp::Selection(int comboId) const { return static_cast<int>(SendTo(Control(comboId), CB_GETCURSEL)); }

int ZarveloApp::ItemCount(int comboId) const { return static_cast<int>(SendTo(Control(comboId), CB_GETCOUNT)); }

std::string ZarveloApp::ItemText(int comboId, int index) const {
    wchar_t wide[256] = {0};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(Control(comboId), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide),
                             SMTO_NORMAL, 10000, &length)) {
        return {};
    }
    char narrow[512] = {0};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

void ZarveloApp::Click(int buttonId) { SendTo(Control(buttonId), BM_CLICK); }

void ZarveloApp::Command(int id) { SendTo(form1_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

int ZarveloApp::StatusPanels() const {
    return static_cast<int>(SendTo(Control(IDC_StatusBar1), SB_GETPARTS, 0, 0));
}

std::string ZarveloApp::StatusText() const { return WindowText(Control(IDC_StatusBar1)); }

RECT ZarveloApp::ToolbarButtonRect(int index) {
    RECT r{};
    RemoteBuffer buffer(form1_, sizeof r);
    if (buffer.Valid() && SendTo(Control(IDC_Toolbar1), TB_GETITEMRECT, static_cast<WPARAM>(index), buffer.Address())) {
        const std::vector<char> bytes = buffer.Read();
        if (bytes.size() >= sizeof r) std::memcpy(&r, bytes.data(), sizeof r);
    }
    return r;
}

void ZarveloApp::MouseMove(HWND hwnd, int x, int y) {
    SendTo(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

bool ZarveloApp::WaitForRunEnd(DWORD timeoutMs) const {
    return WaitFor([&] { return Enabled(IDC_Command1) && StatusPanels() == 1; }, timeoutMs);
}

void ZarveloApp::Sync() const {
    // A sent message is handled once the program is back in its message loop.
    SendTo(form1_, WM_NULL);
}

RECT ZarveloApp::WindowRect() const {
    RECT r{};
    GetWindowRect(form1_, &r);
    return r;
}

void ZarveloApp::MoveTo(int left, int top) {
    SetWindowPos(form1_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sync();
}

void ZarveloApp::Shot(const std::string& name) {
    SetWindowPos(form1_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Sync();
    // Painting happens when the program is idle.
    Settle(process_.Handle(), 2000);
    SaveScreenshot(form1_, name);
}

bool ZarveloApp::Close(DWORD timeoutMs) {
    if (!form1_) return process_.WaitExit(0);
    PostMessageA(form1_, WM_CLOSE, 0, 0);
    const bool ended = process_.WaitExit(timeoutMs);
    form1_ = nullptr;
    return ended;
}

}  // namespace zvtest
