// Safe changes end to end in zarvelo.exe on the real registry: the Review Changes window's rows against
// what the run then wrote, Optimize then Undo (and a safety backup restored from the Restore window)
// giving back every value exactly, and a backup folder that cannot be written stopping the run.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "app/startup.h"
#include "app/win32/resource.h"
#include "platform/change_set.h"
#include "platform/registry_helpers.h"
#include "support/form1_harness.h"
#include "support/registry_sandbox.h"
#include "support/remote.h"
#include "support/wintest.h"
#include "support/zarvelo_app.h"
#include "unit/tuning_support.h"
#include "writerun/write_run.h"

namespace {

using zvtest::kClassNet;
using zvtest::kInternetKey;
using zvtest::kMstcpKey;
using zvtest::kTcpipKey;
using zvtest::ZarveloApp;

const HKEY HKLM = HKEY_LOCAL_MACHINE;
const HKEY HKCU = HKEY_CURRENT_USER;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Every value under the keys the runs write, by "root\key|name" in lower case.
using Snapshot = std::map<std::string, zvtest::RegData>;

void DumpTree(HKEY root, const std::string& rootName, const std::string& path, Snapshot* out) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        BYTE data[4096];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        zvtest::RegData value{true, type, std::vector<BYTE>(data, data + dataSize)};
        (*out)[Lower(rootName + "\\" + path + "|" + name)] = value;
    }
    std::vector<std::string> subkeys;
    char sub[256];
    for (DWORD i = 0; RegEnumKeyA(key, i, sub, sizeof sub) == ERROR_SUCCESS; ++i) subkeys.emplace_back(sub);
    RegCloseKey(key);
    for (const std::string& s : subkeys) DumpTree(root, rootName, path + "\\" + s, out);
}

Snapshot TakeSnapshot() {
    Snapshot s;
    DumpTree(HKLM, "HKEY_LOCAL_MACHINE", "System\\CurrentControlSet\\Services\\Class", &s);
    DumpTree(HKLM, "HKEY_LOCAL_MACHINE", "System\\CurrentControlSet\\Services\\VxD", &s);
    DumpTree(HKLM, "HKEY_LOCAL_MACHINE", kTcpipKey, &s);
    DumpTree(HKLM, "HKEY_LOCAL_MACHINE", kInternetKey, &s);
    DumpTree(HKCU, "HKEY_CURRENT_USER", kInternetKey, &s);
    return s;
}

// The locations whose presence, type or data differ.
std::set<std::string> Differences(const Snapshot& a, const Snapshot& b) {
    std::set<std::string> ids;
    for (const auto& [id, value] : a) {
        auto it = b.find(id);
        if (it == b.end() || it->second.type != value.type || it->second.data != value.data) ids.insert(id);
    }
    for (const auto& entry : b) {
        if (!a.count(entry.first)) ids.insert(entry.first);
    }
    return ids;
}

std::string Shown(const Snapshot& s, const std::string& id, const std::string& absent) {
    auto it = s.find(id);
    if (it == s.end()) return absent;
    return zv::ValueText(zv::RegValue{it->second.type, {it->second.data.begin(), it->second.data.end()}}, absent);
}

// A key of the review, HKLM\... or HKCU\..., with its root written out.
std::string WholeKey(const std::string& key) {
    return (key.rfind("HKCU", 0) == 0 ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE") + key.substr(4);
}

struct Review {
    struct Row {
        std::string key, name, now, after;
        std::string Id() const { return Lower(WholeKey(key) + "|" + (name == "(unnamed)" ? "" : name)); }
    };
    std::vector<Row> rows;
    std::string summary;
};

HWND WaitForReview(const ZarveloApp& app) { return zvtest::WaitForWindow(app.ProcessId(), "Review Changes"); }

// The Review Changes window's rows and counts line, read from the window, which stays open.
Review ReadReview(HWND review) {
    Review r;
    HWND list = GetDlgItem(review, IDC_Review_List1);
    const int count = static_cast<int>(zvtest::SendTo(list, LVM_GETITEMCOUNT));
    for (int i = 0; i < count; ++i) {
        r.rows.push_back({zvtest::ListViewText(list, i, 0), zvtest::ListViewText(list, i, 1),
                          zvtest::ListViewText(list, i, 2), zvtest::ListViewText(list, i, 3)});
    }
    r.summary = zvtest::WindowText(GetDlgItem(review, IDC_Review_Label2));
    return r;
}

// Posted, as a click: the handler opens modal windows.
void PostClick(HWND window, int id) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// "&Export…" in the review, the file named in the save box as file type `type` (from 1): the
// registry file's text, or empty.
std::string ExportFromReview(const ZarveloApp& app, HWND review, const std::string& path, int type) {
    DeleteFileA(path.c_str());
    PostClick(review, IDC_Review_Command3);
    HWND save = zvtest::WaitForWindow(app.ProcessId(), "Save As");
    if (!save) return {};
    HWND name = GetDlgItem(save, 0x47c);  // cmb13, the file name box
    if (!name) name = GetDlgItem(save, 0x480);  // edt1 in the older layout
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_NORMAL, 5000, &ignored);
    HWND types = GetDlgItem(save, 0x470);  // cmb1, the file types
    SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(type - 1), 0);
    // As a choice from the list: Wine's box takes the type on CBN_SELENDOK.
    for (const WORD code : {CBN_SELCHANGE, CBN_SELENDOK}) {
        PostMessageA(save, WM_COMMAND, MAKEWPARAM(0x470, code), reinterpret_cast<LPARAM>(types));
    }
    PostMessageA(save, WM_COMMAND, IDOK, 0);
    zvtest::WaitFor([&] { return !IsWindow(save); });
    // The file is written after the box has gone: wait until the program is back in its loop.
    app.Sync();
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n) text.append(buffer, n);
    CloseHandle(file);
    DeleteFileA(path.c_str());
    return text;
}

// The progress run after Optimize or Apply: started, then over.
bool WaitForRun(const ZarveloApp& app, int button) {
    return zvtest::WaitFor([&] { return app.StatusPanels() == 2; }, 20000) &&
           zvtest::WaitFor([&] { return app.Enabled(button) && app.StatusPanels() == 1; }, 30000);
}

// The window's rows are exactly the values that changed, each as it was and as it is now.
void ExpectReviewMatchesOutcome(const Review& review, const Snapshot& before, const Snapshot& after) {
    ASSERT_FALSE(review.rows.empty());
    std::set<std::string> listed;
    std::size_t deleted = 0;
    for (const Review::Row& row : review.rows) {
        const std::string id = row.Id();
        EXPECT_TRUE(listed.insert(id).second) << "listed twice: " << id;
        EXPECT_EQ(row.now, Shown(before, id, "not set")) << id;
        EXPECT_EQ(row.after, Shown(after, id, "deleted")) << id;
        deleted += row.after == "deleted";
    }
    EXPECT_EQ(listed, Differences(before, after)) << "the rows are not what the run changed";
    // The counts line under the list.
    EXPECT_EQ(review.summary.rfind(std::to_string(review.rows.size() - deleted) + " value", 0), 0u) << review.summary;
}

// The safety backups in the program's backup folder.
std::set<std::string> SafetyBackupFiles() {
    std::set<std::string> names;
    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirstFileA((zvtest::ProgramDir() + "\\backup\\*.zsb").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.insert(data.cFileName);
    while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

// Opens a menu of the main window by its access key, saves a picture of it and closes it (pictures
// to look at: another process's menu items cannot be read).
void ShootMenu(ZarveloApp& app, char key, const std::string& name) {
    PostMessageA(app.Form1(), WM_SYSCOMMAND, SC_KEYMENU, key);
    HWND menu = nullptr;
    zvtest::WaitFor([&] { return (menu = zvtest::FindTopWindowOfClass(app.ProcessId(), "#32768")) != nullptr; }, 5000);
    if (!menu) return;
    zvtest::Settle(app.Program().Handle());
    zvtest::SaveScreenshot(menu, name);
    for (int i = 0; i < 2; ++i) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    zvtest::WaitFor([&] { return !IsWindowVisible(menu); }, 5000);
    app.Sync();
}

class SafeChanges : public ::testing::Test {
protected:
    // The safety backups the test's runs took go again.
    void TearDown() override {
        for (const std::string& name : SafetyBackupFiles()) {
            if (!safetyBackupsBefore_.count(name)) DeleteFileA((zvtest::ProgramDir() + "\\backup\\" + name).c_str());
        }
    }

    void SetUp() override {
        safetyBackupsBefore_ = SafetyBackupFiles();
        zvtest::GuardZarveloKeys(sandbox_);
        zvtest::WriteSz(HKLM, zvtest::kZarveloSettingsKey, "LoadedMain", "Yes");
        zvtest::WriteSz(HKLM, zvtest::kZarveloSettingsKey, "ReviewChanges", "Yes");
        // Values to set, to replace (text, number, bytes) and to delete, on both families.
        zvtest::WriteSz(HKLM, zvtest::kMstcpEnum + "\\0000", "Driver", "NetTrans\\0000");
        zvtest::WriteSz(HKLM, kClassNet + "0000", "DriverDesc", "Realtek RTL8139 PCI Fast Ethernet Adapter");
        zvtest::WriteSz(HKLM, kClassNet + "0000", "IPMTU", "1400");
        zvtest::WriteSz(HKLM, kMstcpKey, "DefaultTTL", "32");
        zvtest::WriteDword(HKLM, kMstcpKey, "Tcp1323Opts", 3);
        zvtest::WriteDword(HKLM, kTcpipKey, "DefaultTTL", 32);
        zvtest::WriteDword(HKLM, kTcpipKey, "Tcp1323Opts", 0);
        HKEY key = nullptr;
        const BYTE bytes[] = {1, 0, 0, 0};
        if (RegCreateKeyA(HKLM, kTcpipKey.c_str(), &key) == ERROR_SUCCESS) {
            RegSetValueExA(key, "SackOpts", 0, REG_BINARY, bytes, sizeof bytes);
            RegCloseKey(key);
        }
        zvtest::WriteDword(HKCU, kInternetKey, "MaxConnectionsPerServer", 4);
    }

    // Page 0 to page 3 with a connection type and option 3, Optimize posted.
    static void StartOptimize(ZarveloApp& app) {
        app.Select(IDC_cmbConnection, 2);
        app.Click(IDC_Command7);
        app.Click(IDC_Option10);
        app.Click(IDC_Command10);
        ASSERT_EQ(app.VisiblePage(), 3);
        PostClick(app.Page(3), IDC_Command1);
    }

    zvtest::RegistrySandbox sandbox_;
    std::set<std::string> safetyBackupsBefore_;
};

class ReviewVersusOutcome : public SafeChanges, public ::testing::WithParamInterface<const char*> {};

TEST_P(ReviewVersusOutcome, OptimizeWritesExactlyTheReviewedRowsAndCancelWritesNothing) {
    ZarveloApp app(GetParam());
    ASSERT_TRUE(app.Started());
    const Snapshot before = TakeSnapshot();
    ShootMenu(app, 's', std::string("zarvelo-menu-settings-review-") + GetParam());

    // Esc cancels: nothing written, Optimize offered again.
    StartOptimize(app);
    HWND review = WaitForReview(app);
    ASSERT_NE(review, nullptr) << "Optimize showed no review";
    EXPECT_FALSE(IsWindowEnabled(app.Form1())) << "the review is modal";
    // Exported, the reviewed changes go to a registry file, and the review stays open.
    const Review listed = ReadReview(review);
    const std::string exported = ExportFromReview(app, review, zvtest::TestDir() + "\\review-export.reg", 1);
    EXPECT_EQ(exported.rfind("REGEDIT4\r\n; Zarvelo ", 0), 0u) << exported;
    EXPECT_NE(exported.find(", registry changes\r\n"), std::string::npos) << exported;
    EXPECT_NE(exported.find("; Connection: Cable/DSL running PPPoE or PPTP\r\n; Option: Automatic Configuration #3"),
              std::string::npos) << exported;
    ASSERT_FALSE(listed.rows.empty());
    EXPECT_NE(exported.find("[" + WholeKey(listed.rows[0].key) + "]"), std::string::npos) << exported;
    // The other file type: every value the run writes.
    const std::string all = ExportFromReview(app, review, zvtest::TestDir() + "\\review-export.reg", 2);
    EXPECT_NE(all.find(", all values the run writes\r\n"), std::string::npos) << all;
    ASSERT_TRUE(IsWindow(review));
    PostMessageA(review, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(zvtest::WaitFor([&] { return !IsWindow(review); }));
    app.Sync();
    EXPECT_TRUE(Differences(before, TakeSnapshot()).empty()) << "an exported, cancelled review wrote";
    EXPECT_TRUE(app.Enabled(IDC_Command1));
    EXPECT_FALSE(app.Visible(IDC_Frame3));

    StartOptimize(app);
    review = WaitForReview(app);
    ASSERT_NE(review, nullptr);
    zvtest::Settle(app.Program().Handle());
    zvtest::SaveScreenshot(review, std::string("zarvelo-review-") + GetParam());
    const Review shown = ReadReview(review);
    PostClick(review, IDC_Review_Command1);
    ASSERT_TRUE(WaitForRun(app, IDC_Command1));
    EXPECT_TRUE(app.Visible(IDC_Frame3)) << "restart notice";
    ExpectReviewMatchesOutcome(shown, before, TakeSnapshot());
    EXPECT_TRUE(app.Close());
}

INSTANTIATE_TEST_SUITE_P(Families, ReviewVersusOutcome, ::testing::Values("win98", "winxp"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

TEST_F(SafeChanges, CustomApplyWithAllEditorsSetWritesExactlyTheReviewedRows) {
    ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());
    app.Command(IDM_mnuManual);
    // The last item of every editor.
    for (int n = 1; n <= 35; ++n) app.Select(IDC_Combo1 + n - 1, app.ItemCount(IDC_Combo1 + n - 1) - 1);
    const Snapshot before = TakeSnapshot();
    PostClick(app.Page(1), IDC_Command4);
    HWND review = WaitForReview(app);
    ASSERT_NE(review, nullptr) << "Apply showed no review";
    const Review shown = ReadReview(review);
    PostClick(review, IDC_Review_Command1);
    ASSERT_TRUE(WaitForRun(app, IDC_Command4));
    ExpectReviewMatchesOutcome(shown, before, TakeSnapshot());
    EXPECT_TRUE(app.Close());
}

// Optimize, Undo: every value as before. Then the Restore window lists both safety backups, and
// restoring the one taken before Undo brings the optimized values back.
class UndoRestores : public SafeChanges, public ::testing::WithParamInterface<const char*> {};

TEST_P(UndoRestores, EveryValueExactlyAndTheSafetyBackupsAreListedForRestore) {
    zvtest::WriteSz(HKLM, zvtest::kZarveloSettingsKey, "ReviewChanges", "No");
    ZarveloApp app(GetParam());
    ASSERT_TRUE(app.Started());
    const Snapshot before = TakeSnapshot();
    StartOptimize(app);
    ASSERT_TRUE(WaitForRun(app, IDC_Command1));
    const Snapshot optimized = TakeSnapshot();
    ASSERT_FALSE(Differences(before, optimized).empty()) << "the optimization changed nothing";
    ShootMenu(app, 'f', std::string("zarvelo-menu-file-") + GetParam());
    ShootMenu(app, 's', std::string("zarvelo-menu-settings-") + GetParam());

    // Undo reviewed: the focused row's whole key under the list, and a list that grows with the window.
    PostMessageA(app.Form1(), WM_COMMAND, MAKEWPARAM(IDM_mnuReview, 0), 0);
    PostMessageA(app.Form1(), WM_COMMAND, MAKEWPARAM(IDM_mnuUndo, 0), 0);
    HWND review = WaitForReview(app);
    ASSERT_NE(review, nullptr) << "Undo showed no review";
    HWND list = GetDlgItem(review, IDC_Review_List1);
    PostMessageA(list, WM_KEYDOWN, VK_END, 0);
    const std::string whole = WholeKey(ReadReview(review).rows.back().key);
    EXPECT_TRUE(zvtest::WaitFor([&] { return zvtest::WindowText(GetDlgItem(review, IDC_Review_Text1)) == whole; }));
    zvtest::Settle(app.Program().Handle());
    zvtest::SaveScreenshot(review, std::string("zarvelo-review-undo-") + GetParam());
    RECT narrow{}, wide{};
    GetWindowRect(list, &narrow);
    GetWindowRect(review, &wide);
    SetWindowPos(review, nullptr, 0, 0, wide.right - wide.left + 300, wide.bottom - wide.top, SWP_NOZORDER);
    zvtest::Settle(app.Program().Handle());
    GetWindowRect(list, &wide);
    EXPECT_EQ(wide.right - wide.left, narrow.right - narrow.left + 300) << "the list does not grow with the window";
    zvtest::SaveScreenshot(review, std::string("zarvelo-review-undo-wide-") + GetParam());
    PostClick(review, IDC_Review_Command1);
    PostMessageA(app.Form1(), WM_COMMAND, MAKEWPARAM(IDM_mnuReview, 0), 0);  // the restore below unreviewed

    HWND box = zvtest::WaitForMessageBox(app.ProcessId(), "Zarvelo");
    ASSERT_NE(box, nullptr) << "Undo told nothing";
    EXPECT_EQ(zvtest::MessageBoxText(box).rfind("The last change has been undone.", 0), 0u) << zvtest::MessageBoxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(zvtest::WaitFor([&] { return !IsWindow(box); }));
    const std::set<std::string> left = Differences(before, TakeSnapshot());
    EXPECT_TRUE(left.empty()) << left.size() << " values differ, first " << *left.begin();

    PostMessageA(app.Form1(), WM_COMMAND, MAKEWPARAM(IDM_mnuRestore, 0), 0);
    HWND restore = zvtest::WaitForWindow(app.ProcessId(), "Zarvelo Restore");
    ASSERT_NE(restore, nullptr);
    const std::vector<std::string> items = zvtest::ListBoxItems(GetDlgItem(restore, IDC_Restore_List1));
    const auto beforeUndo = std::find_if(items.begin(), items.end(), [](const std::string& item) {
        return item.rfind("Before Undo ", 0) == 0 && item.size() > 4 && item.substr(item.size() - 4) == ".zsb";
    });
    ASSERT_NE(beforeUndo, items.end()) << "the safety backup taken before Undo is not listed";
    EXPECT_TRUE(std::any_of(items.begin(), items.end(), [](const std::string& i) { return i.rfind("Before Optimize ", 0) == 0; }));
    zvtest::Settle(app.Program().Handle());
    zvtest::SaveScreenshot(restore, std::string("zarvelo-restore-safety-") + GetParam());
    zvtest::SendTo(GetDlgItem(restore, IDC_Restore_Text1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(beforeUndo->c_str()));
    PostClick(restore, IDC_Restore_Command1);
    ASSERT_TRUE(zvtest::WaitFor([&] { return !IsWindow(restore); }, 30000)) << "the restore did not end";
    EXPECT_TRUE(Differences(optimized, TakeSnapshot()).empty()) << "the safety backup did not bring Optimize's values back";
    EXPECT_TRUE(app.Close());
}

INSTANTIATE_TEST_SUITE_P(Families, UndoRestores, ::testing::Values("win98", "winxp"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// A file where the backup folder should be: the safety backup cannot be written.
TEST_F(SafeChanges, AnUnwritableBackupFolderIsToldAndNothingIsWritten) {
    const std::string folder = zvtest::ProgramDir() + "\\backup";
    const std::string aside = folder + ".aside";
    const bool moved = MoveFileA(folder.c_str(), aside.c_str()) != FALSE;
    HANDLE blocker = CreateFileA(folder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(blocker, INVALID_HANDLE_VALUE);
    CloseHandle(blocker);
    struct PutBack {
        std::string folder, aside;
        bool moved;
        ~PutBack() {
            DeleteFileA(folder.c_str());
            if (moved) MoveFileA(aside.c_str(), folder.c_str());
        }
    } putBack{folder, aside, moved};

    zvtest::WriteSz(HKLM, zvtest::kZarveloSettingsKey, "ReviewChanges", "No");
    ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());
    const Snapshot before = TakeSnapshot();
    StartOptimize(app);
    HWND box = zvtest::WaitForMessageBox(app.ProcessId(), "Zarvelo");
    ASSERT_NE(box, nullptr) << "nothing was told";
    const std::string text = zvtest::MessageBoxText(box);
    EXPECT_EQ(text.rfind("The safety backup could not be written, so nothing has been changed.", 0), 0u) << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(zvtest::WaitFor([&] { return !IsWindow(box); }));
    app.Sync();
    EXPECT_TRUE(Differences(before, TakeSnapshot()).empty()) << "values were written";
    EXPECT_TRUE(app.Enabled(IDC_Command1));
    EXPECT_EQ(app.StatusPanels(), 1) << "a progress run started";
    EXPECT_FALSE(app.Visible(IDC_Frame3)) << "restart notice";
    EXPECT_TRUE(app.Close());
}

// The editor's tooltip text, from the tooltip window Form1 owns.
std::string EditorTip(HWND form1, HWND editor) {
    HWND tip = nullptr;
    while ((tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) && GetWindow(tip, GW_OWNER) != form1) {
    }
    char text[128] = {0};
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = form1;
    tool.uId = reinterpret_cast<UINT_PTR>(editor);
    tool.lpszText = text;
    if (tip) SendMessageA(tip, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    return text;
}

// The menus, Ctrl+Z and the editors' tips, with Form1 in the test's own process (menus cannot be read
// across processes).
TEST(SafeChangesMenus, UndoAndReviewItemsCtrlZAndTheEditorsNowTips) {
    zvtest::Form1Harness h(zv::WindowsFamily::WinXP);
    zv::WriteRegString(h.registry, zv::kHkeyLocalMachine, zv::kZarveloKey, "LoadedMain", "Yes");
    zv::WriteRegDword(h.registry, zv::kHkeyLocalMachine, kTcpipKey, "DefaultTTL", 64);
    ASSERT_TRUE(h.Create());
    auto item = [&](int menu, int position) { return h.MenuItems(menu)[static_cast<std::size_t>(position)]; };
    auto ctrlZ = [&] {  // as the program's message loop meets it
        BYTE keys[256] = {0};
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        MSG msg{h.Form1(), WM_KEYDOWN, 'Z', 0x002C0001, 0, {}};
        const bool taken = h.windows.TranslateDialogMessage(&msg);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        return taken;
    };
    EXPECT_EQ(item(0, 1), "&Undo Last Change\tCtrl+Z (grayed)");
    EXPECT_EQ(item(1, 6), "&Review Changes Before Writing (checked)");
    ctrlZ();
    EXPECT_TRUE(h.messages.empty()) << "Ctrl+Z with nothing to undo did something";

    h.Command(IDM_mnuManual);
    HWND ttl = h.Control(IDC_Combo1 + 10);
    EXPECT_EQ(EditorTip(h.Form1(), ttl), "Now: 64");
    EXPECT_EQ(EditorTip(h.Form1(), h.Control(IDC_Combo1 + 11)), "Now: not set");
    EXPECT_EQ(SendMessageA(ttl, CB_GETCURSEL, 0, 0), CB_ERR) << "an editor starts with a selection";
    std::vector<zv::RunKind> reviewed;
    h.review = [&](const zv::ChangeSet&, const zv::WriteRun& run) { return reviewed.push_back(run.kind), true; };
    h.Select(IDC_Combo1 + 10, 1);
    h.Click(IDC_Command4);
    for (int tick = 0; tick < 21; ++tick) SendMessageA(h.Form1(), WM_TIMER, IDT_Timer2, 0);  // Apply's run
    EXPECT_EQ(EditorTip(h.Form1(), ttl), "Now: 4") << "not told again after Apply";
    EXPECT_EQ(item(0, 1), "&Undo Last Change\tCtrl+Z");

    // The file went meanwhile: opening the menu greys Undo; it comes back with the file.
    const auto file = *h.safetyBackups.files.begin();
    h.safetyBackups.files.clear();
    auto openMenu = [&] { SendMessageA(h.Form1(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(GetMenu(h.Form1()), 0)), 0); };
    openMenu();
    EXPECT_EQ(item(0, 1), "&Undo Last Change\tCtrl+Z (grayed)");
    h.safetyBackups.files.insert(file);
    openMenu();

    EXPECT_TRUE(ctrlZ()) << "Ctrl+Z is not a shortcut";
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text.rfind("The last change has been undone.", 0), 0u) << h.messages[0].text;
    EXPECT_EQ(h.registry.Get(zv::kHkeyLocalMachine, kTcpipKey, "DefaultTTL"), zvtest::Dw(64));
    EXPECT_EQ(reviewed, (std::vector<zv::RunKind>{zv::RunKind::Apply, zv::RunKind::Undo}));

    h.Command(IDM_mnuReview);
    EXPECT_EQ(item(1, 6), "&Review Changes Before Writing");
    EXPECT_EQ(zv::ReadRegString(h.registry, zv::kHkeyLocalMachine, zv::kZarveloKey, "ReviewChanges"), "No");
}

}  // namespace
