// Form1 created in the test's own process over an in-memory registry, with the help viewer,
// restart and message boxes recorded instead of shown: for what cannot be read across processes
// (menus, fonts, notifications) and for registries that refuse changes.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/help.h"
#include "app/launcher.h"
#include "app/win32/form1.h"
#include "app/win32/top_windows.h"
#include "platform/memory_registry.h"
#include "platform/opsysinfo.h"
#include "unit/backup_support.h"

namespace zvtest {

struct RecordedHelp {
    HWND owner;
    std::string file;
    zv::HelpRequest request;
};

struct RecordedMessage {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// The process seam, recorded: what would have been started or opened, and with which owner.
struct StarterCall {
    enum Kind { Run, ShellOpen } kind;
    HWND owner;  // null for Run
    std::string text;
    zv::ShowMode show;
};

class RecordingStarter : public zv::ProcessStarter {
public:
    std::vector<StarterCall> calls;
    bool succeed = true;  // what every start answers
    bool Run(const std::string& commandLine, zv::ShowMode show) override {
        calls.push_back({StarterCall::Run, nullptr, commandLine, show});
        return succeed;
    }
    bool ShellOpen(zv::OwnerWindow owner, const std::string& file, zv::ShowMode show) override {
        calls.push_back({StarterCall::ShellOpen, static_cast<HWND>(owner), file, show});
        return succeed;
    }
};

// The in-memory registry, which a test can make throw from its next change, as any step of a
// handler might.
class ThrowingRegistry : public zv::MemoryRegistry {
public:
    bool throwOnChange = false;
    long CreateKey(zv::RegKey root, const std::string& path, zv::RegKey* result) override;
    long SetValue(zv::RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    long DeleteValue(zv::RegKey key, const std::string& name) override;
};
inline const char kRegistryThrew[] = "the registry threw on purpose";

class Form1Harness {
public:
    explicit Form1Harness(zv::WindowsFamily family);
    Form1Harness(const Form1Harness&) = delete;
    Form1Harness& operator=(const Form1Harness&) = delete;
    ~Form1Harness();

    // Seed `registry` before this; false when the window could not be made.
    bool Create();

    ThrowingRegistry registry;
    // The safety backups the write runs take.
    MemoryFolder safetyBackups;
    // Answers the Review Changes window in its place (the window itself is tested in zarvelo.exe);
    // null: Write Changes.
    std::function<bool(const zv::ChangeSet&, const zv::WriteRun&)> review;
    zv::TopWindows windows{false};
    std::vector<RecordedHelp> helps;
    std::vector<RecordedMessage> messages;
    int restarts = 0;
    int messageBoxAnswer = IDNO;
    // When set, answers the message boxes instead of messageBoxAnswer; it runs while the box would be
    // open, and may pump messages as a box's loop does.
    std::function<int(const RecordedMessage&)> answer;
    std::shared_ptr<RecordingStarter> starter = std::make_shared<RecordingStarter>();

    HWND Form1() const { return hwnd_; }
    zv::Form1* Form() const { return zv::Form1::FromWindow(hwnd_); }
    HWND Control(int id) const;
    bool Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    std::string Text(int id) const;
    int VisiblePage() const;

    void Click(int id);
    void Command(int id);
    void Select(int comboId, int index);
    // One tick of Timer1, delivered directly (the test thread pumps no timer messages).
    void Tick();
    // Delivers the posted messages waiting for the test's thread (the first-run prompt).
    void Pump();

    // A menu as shown: captions in order, "-" for a separator, "(grayed)" after a disabled item and
    // "(checked)" after a checked one.
    std::vector<std::string> MenuItems(int position) const;
    int StatusPanels() const;
    std::string StatusText() const;
    // How many copies of Form1's services are still alive: one in Form1's object, one in each Backup
    // or Restore object opened from it.
    long ServiceHolders() const { return servicesToken_.use_count() - 1; }

private:
    zv::WindowsFamily family_;
    HWND hwnd_ = nullptr;
    std::shared_ptr<int> servicesToken_ = std::make_shared<int>(0);
};

}  // namespace zvtest
