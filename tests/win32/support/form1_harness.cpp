// Form1 in the test's own process.
#include "support/form1_harness.h"

#include <commctrl.h>

#include <stdexcept>

#include "app/win32/resource.h"
#include "unit/family_query.h"

namespace zvtest {

namespace {
void ThrowIf(bool armed) {
    if (armed) throw std::runtime_error(kRegistryThrew);
}
}  // namespace

long ThrowingRegistry::CreateKey(zv::RegKey root, const std::string& path, zv::RegKey* result) {
    ThrowIf(throwOnChange);
    return MemoryRegistry::CreateKey(root, path, result);
}

long ThrowingRegistry::SetValue(zv::RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                                std::uint32_t size) {
    ThrowIf(throwOnChange);
    return MemoryRegistry::SetValue(key, name, type, data, size);
}

long ThrowingRegistry::DeleteValue(zv::RegKey key, const std::string& name) {
    ThrowIf(throwOnChange);
    return MemoryRegistry::DeleteValue(key, name);
}

Form1Harness::Form1Harness(zv::WindowsFamily family) : family_(family) {}

Form1Harness::~Form1Harness() {
    // Windows the test opened without modality (a Backup window from the first-run prompt) go too.
    windows.CloseAllBut(hwnd_);
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    Pump();
}

bool Form1Harness::Create() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    zv::InitZarveloControls();
    if (!zv::Form1::RegisterWindowClass(instance)) return false;
    zv::Form1Services services;
    services.registry = &registry;
    services.versionQuery = FamilyQuery(family_);
    services.programDir = "C:\\Program Files\\Zarvelo";
    services.restartComputer = [this] { ++restarts; };
    services.showHelp = [this](HWND owner, const std::string& file, const zv::HelpRequest& request) {
        helps.push_back({owner, file, request});
    };
    services.messageBox = [this, token = servicesToken_](HWND owner, const std::string& text, const std::string& caption,
                                                         UINT type) {
        const RecordedMessage message{owner, text, caption, type};
        messages.push_back(message);
        return answer ? answer(message) : messageBoxAnswer;
    };
    services.windows = &windows;
    services.starter = starter;
    services.safetyFolder = &safetyBackups;
    services.review = [this](HWND, const zv::ChangeSet& changes, const zv::WriteRun& run) {
        return review ? review(changes, run) : true;
    };
    hwnd_ = zv::Form1::Create(instance, services, SW_SHOWNOACTIVATE);
    return hwnd_ != nullptr;
}

HWND Form1Harness::Control(int id) const {
    zv::Form1* form = Form();
    return form ? form->Control(id) : nullptr;
}

std::string Form1Harness::Text(int id) const {
    char text[512] = {0};
    GetWindowTextA(Control(id), text, sizeof text);
    return text;
}

int Form1Harness::VisiblePage() const {
    int visible = -1;
    for (int i = 0; i < 7; ++i) {
        if (!IsWindowVisible(Form()->Frame1(i))) continue;
        if (visible != -1) return -1;
        visible = i;
    }
    return visible;
}

void Form1Harness::Click(int id) { SendMessageA(Control(id), BM_CLICK, 0, 0); }

void Form1Harness::Command(int id) { SendMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void Form1Harness::Select(int comboId, int index) {
    HWND combo = Control(comboId);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void Form1Harness::Tick() { SendMessageA(hwnd_, WM_TIMER, IDT_Timer1, 0); }

void Form1Harness::Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // Timer ticks are the test's to give.
        if (msg.message == WM_TIMER) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::vector<std::string> Form1Harness::MenuItems(int position) const {
    std::vector<std::string> items;
    HMENU menu = GetSubMenu(GetMenu(hwnd_), position);
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_TYPE | MIIM_STATE;
        char caption[128] = {0};
        info.dwTypeData = caption;
        info.cch = sizeof caption;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            items.emplace_back("-");
        } else {
            items.emplace_back(std::string(caption) + ((info.fState & MFS_GRAYED) ? " (grayed)" : "") +
                               ((info.fState & MFS_CHECKED) ? " (checked)" : ""));
        }
    }
    return items;
}

int Form1Harness::StatusPanels() const {
    return static_cast<int>(SendMessageA(Control(IDC_StatusBar1), SB_GETPARTS, 0, 0));
}

std::string Form1Harness::StatusText() const { return Text(IDC_StatusBar1); }

}  // namespace zvtest
