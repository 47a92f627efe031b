// Form1 created in the test's own process over an in-memory registry, with the help viewer,
// restart and message boxes recorded instead of shown: for what cannot be read across processes
// (menus, fonts, notifications) and for registries that refuse changes.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/help.h"
#include "app/launcher.h"
#include "app/win32/form1.h"
#include "app/win32/top_windows.h"
#include "platform/memory_registry.h"
#include "platform/opsysinfo.h"

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

class Form1Harness {
public:
    explicit Form1Harness(zv::WindowsFamily family);
    Form1Harness(const Form1Harness&) = delete;
    Form1Harness& operator=(const Form1Harness&) = delete;
    ~Form1Harness();

    // Seed `registry` before this; false when the window could not be made.
    bool Create();

    zv::MemoryRegistry registry;
    zv::TopWindows windows{false};
    std::vector<RecordedHelp> helps;
    std::vector<RecordedMessage> messages;
    int restarts = 0;
    int messageBoxAnswer = IDNO;
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

    // The File menu as shown: captions in order, "-" for a separator, "(grayed)" after a disabled item.
    std::vector<std::string> MenuItems(int position) const;
    int StatusPanels() const;
    std::string StatusText() const;

private:
    zv::WindowsFamily family_;
    HWND hwnd_ = nullptr;
};

}  // namespace zvtest
