// The Backup window ("Zarvelo Backup") and the Restore window ("Zarvelo Restore"): a name, the
// saved files of the backup folder, OK / Cancel / Delete / Help, and the timed progress display
// in the status bar after which the window closes itself.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "app/progress.h"
#include "app/win32/form1.h"
#include "app/win32/status_bar_progress.h"
#include "platform/opsysinfo.h"
#include "platform/win32/window_base.h"
#include "tuning/adapters.h"

namespace zv {

enum class SavedFilesWindow { Backup, Restore };

struct SavedFileOk;

// Opens the Backup or Restore window. Modal: owned by `owner`, returns nullptr once it has
// closed. Without modality: no owner (closing the main window leaves it open), registered with
// services.windows, and the window is returned; the window owns its object.
HWND OpenSavedFilesWindow(SavedFilesWindow which, HINSTANCE instance, HWND owner, const Form1Services& services,
                          bool modal);

// What both windows share; Backup and Restore differ in opening and in OK.
class SavedFilesForm : public WindowBase {
protected:
    // Control ids of one window: the Backup ids, or the Restore ids, which lie 100 above them.
    struct Ids {
        int dialog;
        int first;  // IDC_Backup_Command1 or IDC_Restore_Command1
        const char* helpTopic;
        UINT timerInterval;
        int Of(int backupId) const;
    };

    SavedFilesForm(Ids ids, HINSTANCE instance, Form1Services services);

    virtual void Form_Load() = 0;
    virtual void Command1_Click() = 0;
    // What List1 shows of the folder's entries: the user's backups.
    virtual std::vector<std::string> Listed(const std::vector<std::string>& entries) const;

    HWND Control(int backupId) const { return GetDlgItem(hwnd_, ids_.Of(backupId)); }
    std::string Text1() const;
    void SetText1(const std::string& text);
    std::string Directory() const;
    // List1 := the saved files of the backup folder; returns them.
    std::vector<std::string> FillList1();
    // After the work is done: Command1 disabled, the progress display, Timer1 started.
    void StartProgress();
    int Message(const std::string& text, UINT type);
    // What OK leaves to the window: the list, the message, the focus, the progress display.
    void ShowOk(const SavedFileOk& ok);

    Form1Services services_;
    std::unique_ptr<COpSysInfo> os_;

private:
    friend HWND OpenSavedFilesWindow(SavedFilesWindow, HINSTANCE, HWND, const Form1Services&, bool);

    Result OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    // After a failed handler: no run, no hourglass, OK enabled.
    void RestoreAfterFailure() override;
    void ShowFailure(const std::string& text) override;
    bool OnCommand(int id, int code);
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void List1_Click();
    void Timer1_Timer();
    void ProgressInStatusBar(bool show);
    void Form_Unload();
    void CloseWindow();

    Ids ids_;
    HINSTANCE instance_;
    // Kept: while it sits in the status bar, GetDlgItem on the window does not find it.
    HWND progressBar1_ = nullptr;
    StatusBarProgress statusProgress_;
    bool modal_ = true;
    bool busy_ = false;
    bool unloaded_ = false;
    OptimizeProgressRun progress_;
};

}  // namespace zv
