// zarvelo.exe driven from a test: started under a chosen Windows family, its Form1, pages and
// controls found by id, driven with window messages, and read back across the process boundary.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/remote.h"
#include "support/wintest.h"

namespace zvtest {

// SendMessageTimeout that gives up when the program hangs; 0 on time-out.
LRESULT SendTo(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0, DWORD timeoutMs = 60000);

// The first visible top-level window of the process with that window class.
HWND FindTopWindowOfClass(DWORD processId, const std::string& className, const std::string& caption = "");
// A message box ("#32770") of the process with that caption, waited for; null when none comes.
HWND WaitForMessageBox(DWORD processId, const std::string& caption, DWORD timeoutMs = 20000);
// The text of a message box (its static text 0xFFFF).
std::string MessageBoxText(HWND box);
// Every item of a list box of the program (through the wide message, which Wine converts across processes).
std::vector<std::string> ListBoxItems(HWND list);

class ZarveloApp {
public:
    // Starts zarvelo.exe with Wine reporting that version (win95, win98, winme, nt40, win2k, winxp)
    // and waits for Form1.
    explicit ZarveloApp(const std::string& wineVersion);
    ZarveloApp(const ZarveloApp&) = delete;
    ZarveloApp& operator=(const ZarveloApp&) = delete;
    ~ZarveloApp();

    bool Started() const { return form1_ != nullptr; }
    HWND Form1() const { return form1_; }
    DWORD ProcessId() const { return process_.Id(); }
    Process& Program() { return process_; }

    HWND Control(int id) const;
    HWND Page(int index) const;  // Frame1 member
    bool Visible(int id) const;
    bool Enabled(int id) const;
    std::string Text(int id) const;
    // The index of the Frame1 member in view, -1 when none or several are.
    int VisiblePage() const;

    // CB_SETCURSEL and the CBN_SELCHANGE its parent would get from a user's choice.
    void Select(int comboId, int index);
    int Selection(int comboId) const;
    // An item's text (through the wide message, which Wine converts across processes).
    std::string ItemText(int comboId, int index) const;
    int ItemCount(int comboId) const;
    void Click(int buttonId);
    // A menu item or toolbar button command, as Form1 receives it.
    void Command(int id);

    // Status bar: number of panels, and the first panel's text (StatusBarText reads any panel).
    int StatusPanels() const;
    std::string StatusText() const;
    // Toolbar button rectangle (0-based index) in the toolbar's coordinates.
    RECT ToolbarButtonRect(int index);
    // Moves the pointer (as WM_MOUSEMOVE) over a window of the program.
    void MouseMove(HWND hwnd, int x, int y);

    // Waits for the progress run after Optimize to end: Command1 enabled and one status panel.
    bool WaitForRunEnd(DWORD timeoutMs = 30000) const;
    // Lets the program handle everything it has been sent or posted.
    void Sync() const;

    RECT WindowRect() const;
    void MoveTo(int left, int top);
    void Shot(const std::string& name);
    // WM_CLOSE to Form1 and wait for the program to end.
    bool Close(DWORD timeoutMs = 20000);

private:
    Process process_;
    HWND form1_ = nullptr;
};

}  // namespace zvtest
