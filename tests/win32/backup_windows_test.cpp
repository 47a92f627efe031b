// The Backup and Restore windows end to end: zarvelo.exe under Windows 98, XP and others, its
// backup files read byte by byte, the saved-files list, Delete, the overwrite question, refused
// names and files, and a backup -> optimize -> restore round trip on the real registry.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "app/win32/resource.h"
#include "app/win32/saved_files_windows.h"
#include "app/win32/top_windows.h"
#include "backup/backup_restore.h"
#include "platform/memory_registry.h"
#include "platform/win32/advapi_registry.h"
#include "platform/win32/desktop.h"
#include "support/registry_sandbox.h"
#include "support/zarvelo_app.h"
#include "unit/family_query.h"

namespace {

const HKEY HKLM = HKEY_LOCAL_MACHINE;
using Bytes = std::vector<std::uint8_t>;

std::string Folder() { return zvtest::ProgramDir() + "\\backup"; }
std::string PathOf(const std::string& name) { return Folder() + "\\" + name; }

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::set<std::string> FilesIn(const std::string& dir) {
    std::set<std::string> names;
    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirstFileA((dir + "\\*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

// The backup folder as the test found it: files the test made are removed again, and the folder
// too when it did not exist.
class BackupFolderGuard {
public:
    BackupFolderGuard() : existed_(Exists(Folder())), before_(FilesIn(Folder())) {}
    ~BackupFolderGuard() {
        for (const std::string& name : FilesIn(Folder())) {
            if (!before_.count(name)) DeleteFileA(PathOf(name).c_str());
        }
        if (!existed_) RemoveDirectoryA(Folder().c_str());
    }

private:
    bool existed_;
    std::set<std::string> before_;
};

// Today's short date as the proposal uses it.
std::string DateStem() {
    char date[80] = {0};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, sizeof date);
    std::string s = date;
    std::replace(s.begin(), s.end(), '.', '_');
    std::replace(s.begin(), s.end(), '/', '_');
    return s;
}

// The tagged text at the start of record n, or "<not a tagged text>".
std::string TaggedText(const Bytes& file, int record) {
    const std::size_t at = static_cast<std::size_t>(record - 1) * 128;
    if (file.size() < at + 4 || file[at] != 8 || file[at + 1] != 0) return "<not a tagged text>";
    const std::size_t n = file[at + 2] | (file[at + 3] << 8);
    if (file.size() < at + 4 + n) return "<not a tagged text>";
    return std::string(file.begin() + static_cast<long>(at + 4), file.begin() + static_cast<long>(at + 4 + n));
}

std::int64_t TaggedNumber(const Bytes& file, int record) {
    const std::size_t at = static_cast<std::size_t>(record - 1) * 128;
    if (file.size() < at + 6 || file[at] != 3 || file[at + 1] != 0) return -1000000;
    return static_cast<std::int32_t>(file[at + 2] | (file[at + 3] << 8) | (file[at + 4] << 16) |
                                     (static_cast<std::uint32_t>(file[at + 5]) << 24));
}

std::string Hex(const Bytes& file, std::size_t from, std::size_t count) {
    std::ostringstream out;
    for (std::size_t i = from; i < from + count && i < file.size(); ++i) {
        char b[4];
        std::snprintf(b, sizeof b, "%02X ", file[i]);
        out << b;
    }
    return out.str();
}

// A Backup or Restore window of zarvelo.exe.
struct SavedFilesWin {
    HWND hwnd = nullptr;
    int first = IDC_Backup_Command1;

    HWND Ctl(int backupId) const { return GetDlgItem(hwnd, first + backupId - IDC_Backup_Command1); }
    std::string Text(int backupId) const { return zvtest::WindowText(Ctl(backupId)); }
    void SetText1(const std::string& text) const {
        zvtest::SendTo(Ctl(IDC_Backup_Text1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::vector<std::string> Items() const { return zvtest::ListBoxItems(Ctl(IDC_Backup_List1)); }
    void SelectItem(const std::string& item) const {
        const auto items = Items();
        const auto it = std::find(items.begin(), items.end(), item);
        ASSERT_NE(it, items.end()) << item << " is not listed";
        zvtest::SendTo(Ctl(IDC_Backup_List1), LB_SETSEL, TRUE, it - items.begin());
    }
    // Posted, as a click: the handler may ask a question.
    void Click(int backupId) const {
        const int id = first + backupId - IDC_Backup_Command1;
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Ctl(backupId)));
    }
    bool WaitClosed(DWORD timeoutMs = 30000) const {
        return zvtest::WaitFor([&] { return !IsWindow(hwnd); }, timeoutMs);
    }
    HWND ProgressInStatusBar() const {
        return FindWindowExA(Ctl(IDC_Backup_StatusBar1), nullptr, PROGRESS_CLASSA, nullptr);
    }
};

SavedFilesWin Open(zvtest::ZarveloApp& app, int command, bool restore) {
    PostMessageA(app.Form1(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    SavedFilesWin w;
    w.hwnd = zvtest::WaitForWindow(app.ProcessId(), restore ? "Zarvelo Restore" : "Zarvelo Backup");
    w.first = restore ? IDC_Restore_Command1 : IDC_Backup_Command1;
    if (w.hwnd) zvtest::SendTo(w.hwnd, WM_NULL);
    return w;
}

// A message box of the program with that caption: a dialog with the message box's text, not the
// Backup or Restore window of the same caption and class.
HWND MessageBoxOf(DWORD processId, const std::string& caption, DWORD timeoutMs) {
    struct Find {
        DWORD pid;
        std::string caption;
        HWND found;
    } f{processId, caption, nullptr};
    zvtest::WaitFor(
        [&] {
            EnumWindows(
                static_cast<WNDENUMPROC>([](HWND hwnd, LPARAM lp) WINAPI -> BOOL {
                    auto* f = reinterpret_cast<Find*>(lp);
                    DWORD pid = 0;
                    GetWindowThreadProcessId(hwnd, &pid);
                    char cls[16] = {0};
                    GetClassNameA(hwnd, cls, sizeof cls);
                    if (pid != f->pid || std::string(cls) != "#32770" || !IsWindowVisible(hwnd)) return TRUE;
                    if (zvtest::WindowText(hwnd) != f->caption || !GetDlgItem(hwnd, 0xFFFF)) return TRUE;
                    f->found = hwnd;
                    return FALSE;
                }),
                reinterpret_cast<LPARAM>(&f));
            return f.found != nullptr;
        },
        timeoutMs);
    return f.found;
}

// Answers the message box of that caption; returns its text ("" when none came).
std::string Answer(zvtest::ZarveloApp& app, const std::string& caption, int button) {
    HWND box = MessageBoxOf(app.ProcessId(), caption, 20000);
    if (!box) return "";
    const std::string text = zvtest::MessageBoxText(box);
    PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    zvtest::WaitFor([&] { return !IsWindow(box); });
    return text;
}

// Everything a backup of that family holds, read from the real registry.
zv::BackupImage Snapshot(zv::WindowsFamily family) {
    zv::AdvapiRegistry reg;
    return zv::ReadBackupImage(reg, *zv::BackupFormatFor(family));
}

std::string Describe(const zv::SavedValue& v) {
    switch (v.kind) {
    case zv::SavedValue::Kind::kAbsent: return "absent";
    case zv::SavedValue::Kind::kNumber: return "number " + std::to_string(v.number);
    case zv::SavedValue::Kind::kText: return "text \"" + v.text + "\"";
    case zv::SavedValue::Kind::kByte: return "byte " + std::to_string(v.byte);
    }
    return "?";
}

void ExpectSameImage(const zv::BackupImage& before, const zv::BackupImage& after) {
    ASSERT_EQ(before.adapterValues.size(), after.adapterValues.size());
    for (std::size_t s = 0; s < before.adapterValues.size(); ++s) {
        for (std::size_t k = 0; k < before.adapterValues[s].size(); ++k) {
            EXPECT_EQ(Describe(after.adapterValues[s][k]), Describe(before.adapterValues[s][k]))
                << "slot " << s << " adapter entry " << k;
        }
    }
    ASSERT_EQ(before.globals.size(), after.globals.size());
    for (std::size_t j = 0; j < before.globals.size(); ++j) {
        EXPECT_EQ(Describe(after.globals[j]), Describe(before.globals[j])) << "global entry " << j;
    }
    EXPECT_EQ(before.sharedDefaultMss.has_value(), after.sharedDefaultMss.has_value());
    if (before.sharedDefaultMss && after.sharedDefaultMss) {
        EXPECT_EQ(Describe(*after.sharedDefaultMss), Describe(*before.sharedDefaultMss)) << "DefaultMSS";
    }
}

class BackupWindows : public ::testing::Test {
protected:
    void SetUp() override {
        zvtest::GuardZarveloKeys(sandbox_);
        zvtest::WriteSz(HKLM, zvtest::kZarveloSettingsKey, "LoadedMain", "Yes");
    }
    zvtest::RegistrySandbox sandbox_;
    BackupFolderGuard folder_;
};

TEST_F(BackupWindows, Windows98BackupHoldsTheWholeLayoutAndTheNextNameIsProposed) {
    ASSERT_FALSE(Exists(PathOf(DateStem() + "_1.dat"))) << "a backup of today exists already";
    zvtest::WriteSz(HKLM, zvtest::kClassNet + "0000", "IPMTU", "576");
    zvtest::WriteSz(HKLM, zvtest::kClassNet + "0001", "IPMTU", "1500");
    zvtest::WriteDword(HKLM, zvtest::kMstcpKey, "SackOpts", 0);
    zvtest::ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());

    SavedFilesWin w = Open(app, IDM_mnuBackup, false);
    ASSERT_NE(w.hwnd, nullptr) << "mnuBackup opened no Backup window";
    EXPECT_FALSE(IsWindowEnabled(app.Form1())) << "the Backup window is modal";
    EXPECT_EQ(GetWindow(w.hwnd, GW_OWNER), app.Form1());
    const struct {
        int id;
        const char* text;
    } texts[] = {{IDC_Backup_Label1, "Backup File"}, {IDC_Backup_Label2, "Saved Files"}, {IDC_Backup_Command1, "&OK"},
                 {IDC_Backup_Command2, "&Cancel"},   {IDC_Backup_Command3, "&Delete"},   {IDC_Backup_Command4, "&Help"}};
    for (const auto& t : texts) EXPECT_EQ(w.Text(t.id), t.text) << "control " << t.id;
    EXPECT_TRUE(GetWindowLongA(w.Ctl(IDC_Backup_List1), GWL_STYLE) & LBS_EXTENDEDSEL);
    EXPECT_EQ(w.Text(IDC_Backup_Text1), DateStem() + "_1");
    zvtest::Settle(app.Program().Handle());
    zvtest::SaveScreenshot(w.hwnd, "zarvelo-backup");

    w.Click(IDC_Backup_Command1);
    ASSERT_TRUE(zvtest::WaitFor([&] { HWND p = w.ProgressInStatusBar(); return p && IsWindowVisible(p); }, 20000))
        << "no progress display in the status bar";
    EXPECT_FALSE(IsWindowEnabled(w.Ctl(IDC_Backup_Command1))) << "OK stays enabled during the progress display";
    // Part-way through, for the screenshot.
    zvtest::WaitFor([&] { return !IsWindow(w.hwnd) || zvtest::SendTo(w.ProgressInStatusBar(), PBM_GETPOS) >= 40; });
    if (IsWindow(w.hwnd)) zvtest::SaveScreenshot(w.hwnd, "zarvelo-backup-progress");
    ASSERT_TRUE(w.WaitClosed()) << "the window did not close itself";

    const Bytes file = ReadAll(PathOf(DateStem() + "_1.dat"));
    ASSERT_EQ(file.size(), 144u * 128u) << "143 records and the computer's";
    EXPECT_EQ(Hex(file, 0, 12), "0A 00 00 00 5A 56 42 4B 01 02 02 00 ") << "record 1: 10 and the mark";
    EXPECT_EQ(std::string(file.begin() + 143 * 128, file.begin() + 143 * 128 + 4), "ZVPC");
    EXPECT_EQ(zv::BackupComputer(zv::WindowsFamily::Win98, file), zv::ComputerName());
    EXPECT_EQ(TaggedText(file, 2), "0000");
    EXPECT_EQ(TaggedText(file, 3), "NetTrans\\0000");
    EXPECT_EQ(TaggedText(file, 22), "0010");
    EXPECT_EQ(TaggedText(file, 23), "NetTrans\\0010");
    EXPECT_EQ(TaggedText(file, 24), "576") << "slot 0's Adapter.IPMTU";
    EXPECT_EQ(TaggedText(file, 32), "1500") << "slot 1's Adapter.IPMTU";
    EXPECT_EQ(TaggedText(file, 40), "") << "slot 2's Adapter.IPMTU, absent";
    EXPECT_EQ(TaggedNumber(file, 112 + 17), 0) << "MSTCP.SackOpts kept as the number 0";

    // A second backup on the same day: from toolbar button 5.
    SavedFilesWin again = Open(app, IDC_Toolbar1_Button1 + 4, false);
    ASSERT_NE(again.hwnd, nullptr) << "toolbar button 5 opened no Backup window";
    EXPECT_EQ(again.Text(IDC_Backup_Text1), DateStem() + "_2");
    const auto items = again.Items();
    EXPECT_NE(std::find(items.begin(), items.end(), DateStem() + "_1"), items.end()) << "the first backup is listed";
    again.Click(IDC_Backup_Command2);
    EXPECT_TRUE(again.WaitClosed()) << "Cancel";
    EXPECT_FALSE(Exists(PathOf(DateStem() + "_2.dat")));
    app.Sync();
    EXPECT_TRUE(IsWindowEnabled(app.Form1()));
    EXPECT_TRUE(app.Close());
}

TEST_F(BackupWindows, WindowsXpBackupHoldsRecordsTwoToTen) {
    const DWORD values[9] = {65535, 64, 7200000, 0, 1, 1, 3, 0, 2};
    const char* order[9] = {"TcpWindowSize", "DefaultTTL",  "SessionKeepAlive", "EnablePMTUBHDetect", "EnablePMTUDiscovery",
                            "SackOpts",      "Tcp1323Opts", "TcpUseRFC1122UrgentPointer", "TcpMaxDupAcks"};
    for (int j = 0; j < 9; ++j) zvtest::WriteDword(HKLM, zvtest::kTcpipKey, order[j], values[j]);
    zvtest::DeleteValue(HKLM, zvtest::kTcpipKey, "TcpMaxDupAcks");
    zvtest::ZarveloApp app("winxp");
    ASSERT_TRUE(app.Started());
    SavedFilesWin w = Open(app, IDM_mnuBackup, false);
    ASSERT_NE(w.hwnd, nullptr);
    w.SetText1("xp layout");
    w.Click(IDC_Backup_Command1);
    ASSERT_TRUE(w.WaitClosed());
    const Bytes file = ReadAll(PathOf("xp layout.dat"));
    ASSERT_EQ(file.size(), 11u * 128u) << "10 records and the computer's";
    EXPECT_EQ(Hex(file, 0, 12), "00 00 00 00 5A 56 42 4B 01 01 03 00 ");
    for (int j = 0; j < 8; ++j) EXPECT_EQ(TaggedNumber(file, 2 + j), static_cast<std::int32_t>(values[j])) << order[j];
    EXPECT_EQ(TaggedText(file, 10), "") << "TcpMaxDupAcks absent";
    EXPECT_TRUE(app.Close());
}

TEST_F(BackupWindows, ListShowsDatFilesDeleteRemovesTheSelectedAndRestoreProposesTheFirst) {
    CreateDirectoryA(Folder().c_str(), nullptr);
    for (const char* name : {"notesdat", "x.DAT", "one.dat", "two.dat", "three.dat", "gone.dat"}) {
        WriteAll(PathOf(name), Bytes{1, 2, 3});
    }
    zvtest::ZarveloApp app("winme");
    ASSERT_TRUE(app.Started());
    SavedFilesWin w = Open(app, IDC_Toolbar1_Button1 + 5, true);
    ASSERT_NE(w.hwnd, nullptr) << "toolbar button 6 opened no Restore window";
    EXPECT_EQ(w.Text(IDC_Backup_Label1), "Restore from");
    EXPECT_EQ(w.Text(IDC_Backup_Label2), "Saved Files");
    std::vector<std::string> items = w.Items();
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(w.Text(IDC_Backup_Text1), items.front()) << "the first listed file is proposed";
    const std::set<std::string> listed(items.begin(), items.end());
    for (const char* shown : {"note", "one", "two", "three", "gone"}) EXPECT_TRUE(listed.count(shown)) << shown;
    EXPECT_FALSE(listed.count("x")) << "x.DAT is listed";
    EXPECT_FALSE(listed.count("x.DAT")) << "x.DAT is listed";
    zvtest::Settle(app.Program().Handle());
    zvtest::SaveScreenshot(w.hwnd, "zarvelo-restore");

    // List1 click: Text1 := the entry.
    w.SelectItem("two");
    zvtest::SendTo(w.Ctl(IDC_Backup_List1), LB_SETCARETINDEX, std::find(items.begin(), items.end(), "two") - items.begin());
    PostMessageA(w.hwnd, WM_COMMAND, MAKEWPARAM(IDC_Restore_List1, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(w.Ctl(IDC_Backup_List1)));
    // Posted messages come after sent ones: wait for the outcome.
    EXPECT_TRUE(zvtest::WaitFor([&] { return w.Text(IDC_Backup_Text1) == "two"; })) << w.Text(IDC_Backup_Text1);

    w.SelectItem("one");
    w.SelectItem("three");
    EXPECT_EQ(zvtest::SendTo(w.Ctl(IDC_Backup_List1), LB_GETSELCOUNT), 3);
    w.Click(IDC_Backup_Command3);
    zvtest::WaitFor([&] { return w.Items().size() + 3 == items.size(); });
    for (const char* name : {"one.dat", "two.dat", "three.dat"}) EXPECT_FALSE(Exists(PathOf(name))) << name;
    EXPECT_TRUE(Exists(PathOf("notesdat")));
    items = w.Items();
    for (const char* shown : {"one", "two", "three"}) {
        EXPECT_EQ(std::find(items.begin(), items.end(), shown), items.end()) << shown << " still listed";
    }

    // A listed file that has gone meanwhile: relisted, no message.
    w.SelectItem("gone");
    DeleteFileA(PathOf("gone.dat").c_str());
    const std::size_t shown = w.Items().size();
    w.Click(IDC_Backup_Command3);
    EXPECT_TRUE(zvtest::WaitFor([&] { return w.Items().size() + 1 == shown; })) << "not relisted";
    EXPECT_EQ(MessageBoxOf(app.ProcessId(), "Zarvelo Restore", 1500), nullptr) << "a message came";
    items = w.Items();
    EXPECT_EQ(std::find(items.begin(), items.end(), "gone"), items.end());

    // Escape closes.
    PostMessageA(w.hwnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(w.WaitClosed());
    EXPECT_TRUE(app.Close());
}

TEST_F(BackupWindows, AnExistingBackupIsReplacedOnlyAfterYesAndWhole) {
    // Windows 98 replaces by delete and rename, XP in one step.
    for (const char* version : {"win98", "winxp"}) {
        SCOPED_TRACE(version);
        const Bytes old(30000, 0xEE);
        CreateDirectoryA(Folder().c_str(), nullptr);
        WriteAll(PathOf("kept.dat"), old);
        zvtest::ZarveloApp app(version);
        ASSERT_TRUE(app.Started());
        SavedFilesWin w = Open(app, IDM_mnuBackup, false);
        ASSERT_NE(w.hwnd, nullptr);
        w.SetText1("kept");
        w.Click(IDC_Backup_Command1);
        EXPECT_EQ(Answer(app, "Zarvelo Backup", IDNO), "A backup named \"kept\" exists already. Do you want to replace it?");
        zvtest::SendTo(w.hwnd, WM_NULL);
        EXPECT_TRUE(IsWindow(w.hwnd));
        EXPECT_TRUE(ReadAll(PathOf("kept.dat")) == old) << "No changed the file";
        EXPECT_TRUE(IsWindowEnabled(w.Ctl(IDC_Backup_Command1)));

        w.Click(IDC_Backup_Command1);
        EXPECT_NE(Answer(app, "Zarvelo Backup", IDYES), "") << "no question the second time";
        ASSERT_TRUE(w.WaitClosed());
        const Bytes now = ReadAll(PathOf("kept.dat"));
        EXPECT_EQ(now.size(), std::string(version) == "winxp" ? 1408u : 18432u) << "stale bytes of the old file remain";
        EXPECT_EQ(Hex(now, 4, 4), "5A 56 42 4B ");
        EXPECT_FALSE(Exists(PathOf("kept.tmp"))) << "the temporary file stays";
        EXPECT_TRUE(app.Close());
    }
}

TEST_F(BackupWindows, BadNamesAndBadFilesAreRefusedWithAMessageAndChangeNothing) {
    zvtest::WriteSz(HKLM, zvtest::kMstcpKey, "DefaultTTL", "64");
    zvtest::WriteSz(HKLM, zvtest::kClassNet + "0003", "MaxMTU", "1500");
    // A truncated and a foreign backup in the folder.
    zv::AdvapiRegistry reg;
    zv::BackupResult good = zv::TakeBackup(reg, zv::WindowsFamily::Win98);
    ASSERT_TRUE(good.ok());
    CreateDirectoryA(Folder().c_str(), nullptr);
    WriteAll(PathOf("truncated.dat"), Bytes(good.bytes.begin(), good.bytes.begin() + 5000));
    zv::BackupResult nt = zv::TakeBackup(reg, zv::WindowsFamily::WinXP);
    WriteAll(PathOf("from xp.dat"), nt.bytes);
    WriteAll(PathOf("from lab-99.dat"), zv::TakeBackup(reg, zv::WindowsFamily::Win98, "LAB-99").bytes);
    // What a restore would change.
    zvtest::WriteSz(HKLM, zvtest::kMstcpKey, "DefaultTTL", "128");
    zvtest::DeleteValue(HKLM, zvtest::kClassNet + "0003", "MaxMTU");
    const zv::BackupImage before = Snapshot(zv::WindowsFamily::Win98);

    zvtest::ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());
    SavedFilesWin b = Open(app, IDM_mnuBackup, false);
    ASSERT_NE(b.hwnd, nullptr);
    for (const char* name : {"con", "a/b", "", "..", "LPT1.txt"}) {
        b.SetText1(name);
        b.Click(IDC_Backup_Command1);
        EXPECT_NE(Answer(app, "Zarvelo Backup", IDOK), "") << "no message for \"" << name << "\"";
        EXPECT_TRUE(IsWindowEnabled(b.Ctl(IDC_Backup_Command1))) << name;
    }
    // (GetFileAttributes answers for the device itself, so the folder is listed.)
    EXPECT_EQ(FilesIn(Folder()).count("con.dat"), 0u);
    b.Click(IDC_Backup_Command2);
    ASSERT_TRUE(b.WaitClosed());

    SavedFilesWin r = Open(app, IDM_mnuRestore, true);
    ASSERT_NE(r.hwnd, nullptr) << "mnuRestore opened no Restore window";
    const struct {
        const char* name;
        const char* says;
        int answer = IDOK;
    } cases[] = {{"a:b", "cannot contain"},
                 {"missing", "There is no backup named \"missing\""},
                 {"truncated", "Nothing has been changed."},
                 {"from xp", "Nothing has been changed."},
                 {"from lab-99", "was taken on the computer LAB-99, not on this one", IDNO}};
    for (const auto& c : cases) {
        r.SetText1(c.name);
        r.Click(IDC_Backup_Command1);
        const std::string text = Answer(app, "Zarvelo Restore", c.answer);
        EXPECT_NE(text.find(c.says), std::string::npos) << c.name << ": " << text;
        EXPECT_TRUE(IsWindow(r.hwnd)) << c.name;
    }
    ExpectSameImage(before, Snapshot(zv::WindowsFamily::Win98));
    r.Click(IDC_Backup_Command2);
    EXPECT_TRUE(r.WaitClosed());
    EXPECT_TRUE(app.Close());
}

// Backup, optimize, restore: every main location as it was, on a 9x and an NT family.
TEST_F(BackupWindows, RoundTripBringsEveryValueBack) {
    const struct {
        const char* version;
        zv::WindowsFamily family;
    } families[] = {{"win98", zv::WindowsFamily::Win98}, {"win2k", zv::WindowsFamily::Win2K}};
    for (const auto& f : families) {
        SCOPED_TRACE(f.version);
        // A state with numbers (0 included), texts (empty included) and absent values.
        zvtest::WriteSz(HKLM, zvtest::kClassNet + "0000", "IPMTU", "576");
        zvtest::WriteSz(HKLM, zvtest::kClassNet + "0002", "MaxMTU", "");
        zvtest::WriteDword(HKLM, zvtest::kMstcpKey, "SackOpts", 0);
        zvtest::WriteSz(HKLM, zvtest::kMstcpKey, "DefaultTTL", "32");
        zvtest::WriteSz(HKLM, zvtest::kMstcpKey, "DefaultMSS", "1460");
        zvtest::WriteDword(HKLM, zvtest::kTcpipKey, "SackOpts", 0);
        zvtest::WriteDword(HKLM, zvtest::kTcpipKey, "DefaultTTL", 100);
        zvtest::DeleteValue(HKLM, zvtest::kTcpipKey, "TcpWindowSize");
        const zv::BackupImage before = Snapshot(f.family);

        zvtest::ZarveloApp app(f.version);
        ASSERT_TRUE(app.Started());
        SavedFilesWin b = Open(app, IDM_mnuBackup, false);
        ASSERT_NE(b.hwnd, nullptr);
        b.SetText1("round trip");
        b.Click(IDC_Backup_Command1);
        ASSERT_TRUE(b.WaitClosed());

        app.Click(IDC_Command7);
        app.Click(IDC_Command10);
        app.Click(IDC_Command1);
        ASSERT_TRUE(app.WaitForRunEnd(60000));
        zv::BackupImage optimized = Snapshot(f.family);
        bool changed = false;
        for (std::size_t j = 0; j < before.globals.size(); ++j) changed |= !(optimized.globals[j] == before.globals[j]);
        EXPECT_TRUE(changed) << "the optimization changed nothing";

        SavedFilesWin r = Open(app, IDM_mnuRestore, true);
        ASSERT_NE(r.hwnd, nullptr);
        r.SetText1("round trip");
        r.Click(IDC_Backup_Command1);
        ASSERT_TRUE(zvtest::WaitFor([&] { HWND p = r.ProgressInStatusBar(); return p && IsWindowVisible(p); }, 20000) ||
                    !IsWindow(r.hwnd));
        if (IsWindow(r.hwnd)) zvtest::SaveScreenshot(r.hwnd, std::string("zarvelo-restore-progress-") + f.version);
        ASSERT_TRUE(r.WaitClosed());
        ExpectSameImage(before, Snapshot(f.family));
        EXPECT_TRUE(app.Close());
        DeleteFileA(PathOf("round trip.dat").c_str());
    }
}

TEST_F(BackupWindows, ExitClosesABackupWindowOpenedByTheFirstRunPrompt) {
    zvtest::DeleteValue(HKLM, zvtest::kZarveloSettingsKey, "LoadedMain");
    zvtest::ZarveloApp app("nt40");
    ASSERT_TRUE(app.Started());
    EXPECT_EQ(Answer(app, "Zarvelo", IDYES).substr(0, 14), "This is the fi");
    HWND backup = zvtest::WaitForWindow(app.ProcessId(), "Zarvelo Backup");
    ASSERT_NE(backup, nullptr);
    EXPECT_TRUE(IsWindowEnabled(app.Form1()));
    PostMessageA(app.Form1(), WM_COMMAND, IDM_mnuExit, 0);
    EXPECT_TRUE(app.Program().WaitExit(20000)) << "mnuExit left the program running";
}

// The window in the test's own process, for what cannot be read across processes.
class SavedFilesInProcess : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {0};
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "zvbkwin" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir_.c_str(), nullptr);
        zv::InitZarveloControls();
        services_.registry = &registry_;
        services_.versionQuery = zvtest::FamilyQuery(zv::WindowsFamily::Win98);
        services_.programDir = dir_;
        services_.showHelp = [this](HWND, const std::string& file, const zv::HelpRequest& request) {
            helps_.push_back(file + "|" + request.topic);
        };
        services_.messageBox = [this](HWND, const std::string& text, const std::string&, UINT) {
            messages_.push_back(text);
            return IDOK;
        };
        services_.windows = &windows_;
    }
    void TearDown() override {
        for (const std::string& name : FilesIn(dir_ + "\\backup")) DeleteFileA((dir_ + "\\backup\\" + name).c_str());
        RemoveDirectoryA((dir_ + "\\backup").c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    HWND OpenModeless(zv::SavedFilesWindow which) {
        return zv::OpenSavedFilesWindow(which, GetModuleHandleA(nullptr), nullptr, services_, false);
    }

    std::string dir_;
    zv::MemoryRegistry registry_;
    zv::TopWindows windows_{false};
    zv::Form1Services services_;
    std::vector<std::string> helps_;
    std::vector<std::string> messages_;
};

TEST_F(SavedFilesInProcess, TabOrderFollowsTheLayoutEnterIsOkAndHelpOpensItsTopic) {
    const struct {
        zv::SavedFilesWindow which;
        int first;
        const char* topic;
    } windows[] = {{zv::SavedFilesWindow::Backup, IDC_Backup_Command1, "backup.htm"},
                   {zv::SavedFilesWindow::Restore, IDC_Restore_Command1, "restore.htm"}};
    for (const auto& w : windows) {
        SCOPED_TRACE(w.topic);
        HWND hwnd = OpenModeless(w.which);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_TRUE(windows_.Contains(hwnd)) << "not registered for keyboard navigation";
        auto id = [&](int backupId) { return w.first + backupId - IDC_Backup_Command1; };
        const int order[] = {IDC_Backup_Text1, IDC_Backup_List1, IDC_Backup_Command1,
                             IDC_Backup_Command2, IDC_Backup_Command3, IDC_Backup_Command4};
        HWND at = GetDlgItem(hwnd, id(order[0]));
        for (std::size_t i = 1; i < std::size(order); ++i) {
            at = GetNextDlgTabItem(hwnd, at, FALSE);
            EXPECT_EQ(GetDlgCtrlID(at), id(order[i])) << "tab stop " << i;
        }
        EXPECT_EQ(LOWORD(SendMessageA(hwnd, DM_GETDEFID, 0, 0)), id(IDC_Backup_Command1)) << "Enter is not OK";
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id(IDC_Backup_Command4), BN_CLICKED), 0);
        ASSERT_EQ(helps_.size(), 1u);
        EXPECT_EQ(helps_.back(), dir_ + "\\zarvelo.chm|" + w.topic);
        helps_.clear();
        // Escape closes.
        SendMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_FALSE(windows_.Contains(hwnd));
    }
}

TEST_F(SavedFilesInProcess, ProgressRunsTwentyOneTicksAndClosingTakesTheBarOut) {
    HWND hwnd = OpenModeless(zv::SavedFilesWindow::Backup);
    ASSERT_NE(hwnd, nullptr);
    SetWindowTextA(GetDlgItem(hwnd, IDC_Backup_Text1), "ticks");
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_Backup_Command1, BN_CLICKED), 0);
    ASSERT_TRUE(messages_.empty()) << messages_.front();
    EXPECT_TRUE(Exists(dir_ + "\\backup\\ticks.dat")) << "the backup folder was not created";
    HWND statusBar = GetDlgItem(hwnd, IDC_Backup_StatusBar1);
    HWND bar = FindWindowExA(statusBar, nullptr, PROGRESS_CLASSA, nullptr);
    ASSERT_NE(bar, nullptr) << "the bar is not in the status bar";
    RECT panel{}, barRect{};
    SendMessageA(statusBar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&panel));
    GetClientRect(bar, &barRect);
    EXPECT_EQ(barRect.right, panel.right - panel.left) << "the bar does not cover panel 1";
    for (int tick = 1; tick <= 20; ++tick) {
        SendMessageA(hwnd, WM_TIMER, IDT_Backup_Timer1, 0);
        ASSERT_TRUE(IsWindow(hwnd)) << "closed at tick " << tick;
        EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 5 * tick) << "tick " << tick;
    }
    SendMessageA(hwnd, WM_TIMER, IDT_Backup_Timer1, 0);
    EXPECT_FALSE(IsWindow(hwnd)) << "still open after the 21st tick";

    // Closed during the run: the bar comes out of the status bar first.
    hwnd = OpenModeless(zv::SavedFilesWindow::Backup);
    SetWindowTextA(GetDlgItem(hwnd, IDC_Backup_Text1), "closed early");
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_Backup_Command1, BN_CLICKED), 0);
    statusBar = GetDlgItem(hwnd, IDC_Backup_StatusBar1);
    bar = FindWindowExA(statusBar, nullptr, PROGRESS_CLASSA, nullptr);
    ASSERT_NE(bar, nullptr);
    SendMessageA(hwnd, WM_TIMER, IDT_Backup_Timer1, 0);
    HWND parentAtClose = nullptr;
    // WM_CLOSE takes the bar out before the window goes.
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    parentAtClose = IsWindow(bar) ? GetParent(bar) : nullptr;
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_NE(parentAtClose, statusBar);
}

}  // namespace
