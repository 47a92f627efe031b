// The Backup and Restore windows: opening, the saved-files list, Delete, Help, Cancel and the
// progress display they share; the backup's and the restore's OK.
#include "app/win32/saved_files_windows.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "app/help.h"
#include "app/win32/resource.h"
#include "app/win32/top_windows.h"
#include "app/win32/write_runs.h"
#include "backup/backup_names.h"
#include "backup/saved_file_commands.h"
#include "backup/win32/backup_folder.h"
#include "platform/win32/desktop.h"
#include "writerun/safety_names.h"

namespace zv {
namespace {

std::string ControlText(HWND control) {
    const int length = GetWindowTextLengthA(control);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

std::string ListItemText(HWND list, int index) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// Today in the user's short date format (12.7.2026, 7/12/2026 ...).
std::string TodaysShortDate() {
    char date[80] = {0};
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, sizeof date)) return "backup";
    return date;
}

// Form `Backup`: saves every catalogue value of the running family.
class Backup final : public SavedFilesForm {
public:
    Backup(HINSTANCE instance, Form1Services services)
        : SavedFilesForm(Ids{IDD_Backup, IDC_Backup_Command1, kBackupTopic, 150}, instance, std::move(services)) {}

private:
    void Form_Load() override {
        os_ = std::make_unique<COpSysInfo>(services_.versionQuery);
        SetText1(ProposeBackupName(TodaysShortDate(), FolderFiles(Directory())));
        FillList1();
    }

    void Command1_Click() override {
        Win32BackupFolder folder(Directory());
        const AskYesNo ask = [this](const std::string& question) {
            return Message(question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
        };
        ShowOk(BackupOk(*services_.registry, *os_, Text1(), folder, ask, ComputerName()));
    }
};

// Form `Restore`: puts the values of a saved file back, after checking the whole file.
class Restore final : public SavedFilesForm {
public:
    Restore(HINSTANCE instance, Form1Services services)
        : SavedFilesForm(Ids{IDD_Restore, IDC_Restore_Command1, kRestoreTopic, 100}, instance, std::move(services)) {}

private:
    void Form_Load() override {
        const std::vector<std::string> saved = FillList1();
        // The first one listed, not the newest.
        SetText1(saved.empty() ? std::string() : saved.front());
    }

    // The user's backups, then the safety backups taken before each write run, newest first, under
    // their file names.
    std::vector<std::string> Listed(const std::vector<std::string>& entries) const override {
        std::vector<std::string> listed = SavedFileList(entries);
        for (const std::string& safety : SafetyBackupList(entries)) listed.push_back(safety);
        return listed;
    }

    void Command1_Click() override {
        os_ = std::make_unique<COpSysInfo>(services_.versionQuery);
        Win32BackupFolder folder(Directory());
        const AskYesNo askElsewhere = [this](const std::string& question) {
            return Message(question, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
        };
        ShowOk(RestoreFromWindow(services_, hwnd_, FamilyOf(*os_), Text1(), folder, askElsewhere));
    }
};

}  // namespace

std::vector<std::string> SavedFilesForm::Listed(const std::vector<std::string>& entries) const {
    return SavedFileList(entries);
}

int SavedFilesForm::Ids::Of(int backupId) const { return first + (backupId - IDC_Backup_Command1); }

SavedFilesForm::SavedFilesForm(Ids ids, HINSTANCE instance, Form1Services services)
    : services_(std::move(services)), ids_(ids), instance_(instance) {}

HWND OpenSavedFilesWindow(SavedFilesWindow which, HINSTANCE instance, HWND owner, const Form1Services& services,
                          bool modal) {
    if (!services.registry) return nullptr;
    std::unique_ptr<SavedFilesForm> form;
    if (which == SavedFilesWindow::Backup) {
        form = std::make_unique<Backup>(instance, services);
    } else {
        form = std::make_unique<Restore>(instance, services);
    }
    form->modal_ = modal;
    const LPCSTR dialog = MAKEINTRESOURCEA(form->ids_.dialog);
    if (modal) {
        // The object is this call's: DialogBoxParam returns after the window is gone.
        DialogBoxParamA(instance, dialog, owner, WindowBase::DialogProc, WindowBase::CreationParam(form.get()));
        return nullptr;
    }
    CreateDialogParamA(instance, dialog, nullptr, WindowBase::DialogProc, WindowBase::CreationParam(form.get()));
    HWND hwnd = WindowBase::GiveToWindow(std::move(form));
    if (!hwnd) return nullptr;
    if (services.windows) services.windows->Add(hwnd);
    ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

WindowBase::Result SavedFilesForm::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        HICON icon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_Zarvelo));
        SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        HWND statusBar = Control(IDC_Backup_StatusBar1);
        SendMessageA(statusBar, WM_SIZE, 0, 0);
        progressBar1_ = Control(IDC_Backup_ProgressBar1);
        statusProgress_.Attach(hwnd_, statusBar, progressBar1_);
        ShowWindow(progressBar1_, SW_HIDE);
        SendMessageA(progressBar1_, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        Form_Load();
        return TRUE;  // the focus goes to Text1, the first control
    }
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp), HIWORD(wp))) return 0;
        return std::nullopt;
    case WM_TIMER:
        if (wp == static_cast<WPARAM>(IDT_Backup_Timer1)) {
            Timer1_Timer();
            return 0;
        }
        return std::nullopt;
    case WM_SETCURSOR:
        if (busy_ && LOWORD(lp) == HTCLIENT) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        return std::nullopt;
    case WM_CLOSE:
        CloseWindow();
        return 0;
    case WM_DESTROY:
        Form_Unload();
        if (!modal_ && services_.windows) services_.windows->Remove(hwnd_);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

void SavedFilesForm::RestoreAfterFailure() {
    KillTimer(hwnd_, IDT_Backup_Timer1);
    progress_ = OptimizeProgressRun();
    busy_ = false;
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    ProgressInStatusBar(false);
    EnableWindow(Control(IDC_Backup_Command1), TRUE);
}

void SavedFilesForm::ShowFailure(const std::string& text) { Message(text, MB_OK | MB_ICONSTOP); }

bool SavedFilesForm::OnCommand(int id, int code) {
    if (id == IDOK) {
        // Enter.
        if (IsWindowEnabled(Control(IDC_Backup_Command1))) Command1_Click();
        return true;
    }
    if (id == IDCANCEL) {
        // Escape.
        Command2_Click();
        return true;
    }
    if (id == ids_.Of(IDC_Backup_List1)) {
        if (code == LBN_SELCHANGE) List1_Click();
        return code == LBN_SELCHANGE;
    }
    if (code != BN_CLICKED) return false;
    if (id == ids_.Of(IDC_Backup_Command1)) {
        if (!progress_.Running()) Command1_Click();
    } else if (id == ids_.Of(IDC_Backup_Command2)) {
        Command2_Click();
    } else if (id == ids_.Of(IDC_Backup_Command3)) {
        Command3_Click();
    } else if (id == ids_.Of(IDC_Backup_Command4)) {
        Command4_Click();
    } else {
        return false;
    }
    return true;
}

std::string SavedFilesForm::Text1() const { return ControlText(Control(IDC_Backup_Text1)); }

void SavedFilesForm::SetText1(const std::string& text) { SetWindowTextA(Control(IDC_Backup_Text1), text.c_str()); }

std::string SavedFilesForm::Directory() const { return BackupDirectory(services_.programDir); }

std::vector<std::string> SavedFilesForm::FillList1() {
    HWND list = Control(IDC_Backup_List1);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const std::vector<std::string> saved = Listed(FolderFiles(Directory()));
    for (const std::string& entry : saved) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    return saved;
}

int SavedFilesForm::Message(const std::string& text, UINT type) {
    if (!services_.messageBox) return (type & MB_YESNO) ? IDNO : IDOK;
    return services_.messageBox(hwnd_, text, ControlText(hwnd_), type);
}

void SavedFilesForm::ShowOk(const SavedFileOk& ok) {
    if (ok.relist) FillList1();
    if (!ok.message.empty()) Message(ok.message, MB_OK | MB_ICONEXCLAMATION);
    if (ok.focusName) SetFocus(Control(IDC_Backup_Text1));
    if (ok.done) StartProgress();
}

void SavedFilesForm::Command2_Click() { CloseWindow(); }

void SavedFilesForm::Command3_Click() {
    HWND list = Control(IDC_Backup_List1);
    const LRESULT count = SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    std::vector<std::string> notDeleted;
    if (count > 0) {
        std::vector<int> items(static_cast<std::size_t>(count));
        const LRESULT got = SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(items.data()));
        items.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        std::vector<std::string> entries;
        for (int index : items) entries.push_back(ListItemText(list, index));
        // The way back of the last change is deleted only when the user says so.
        const std::vector<std::string> needed = StillNeededSafetyBackups(*services_.registry, entries);
        const bool keepNeeded = !needed.empty() && Message(DeleteNeededQuestion(needed),
                                                           MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES;
        for (const std::string& entry : entries) {
            if (keepNeeded && std::find(needed.begin(), needed.end(), entry) != needed.end()) continue;
            // A safety backup is listed under its file name. A file that has gone meanwhile is simply
            // no longer listed.
            const std::string file = IsSafetyBackupName(entry) ? entry : entry + kBackupExtension;
            if (!DeleteSavedFile(Directory() + "\\" + file)) notDeleted.push_back(entry);
        }
    }
    FillList1();
    if (!notDeleted.empty()) {
        std::string names;
        for (const std::string& n : notDeleted) names += "\r\n" + n;
        Message("These saved files could not be deleted:" + names, MB_OK | MB_ICONEXCLAMATION);
    }
}

void SavedFilesForm::Command4_Click() {
    if (services_.showHelp) {
        services_.showHelp(hwnd_, HelpFilePath(services_.programDir), HelpRequest{HelpView::Topic, ids_.helpTopic});
    }
}

void SavedFilesForm::List1_Click() {
    HWND list = Control(IDC_Backup_List1);
    const LRESULT clicked = SendMessageA(list, LB_GETCARETINDEX, 0, 0);
    if (clicked == LB_ERR || clicked < 0) return;
    SetText1(ListItemText(list, static_cast<int>(clicked)));
}

void SavedFilesForm::StartProgress() {
    // The window went while a question was open: there is nothing left to show the run in.
    if (!hwnd_) return;
    HWND command1 = Control(IDC_Backup_Command1);
    // A disabled button cannot keep the focus.
    if (GetFocus() == command1) SetFocus(Control(IDC_Backup_Command2));
    EnableWindow(command1, FALSE);
    ProgressInStatusBar(true);
    progress_.Start(0);
    SetTimer(hwnd_, IDT_Backup_Timer1, ids_.timerInterval, nullptr);
}

void SavedFilesForm::Timer1_Timer() {
    if (!progress_.Running()) {
        // A tick already queued when the run ended.
        KillTimer(hwnd_, IDT_Backup_Timer1);
        return;
    }
    busy_ = true;
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    const OptimizeProgressRun::Tick tick = progress_.OnTick();
    if (!tick.finished) {
        SendMessageA(progressBar1_, PBM_SETPOS, static_cast<WPARAM>(tick.barValue), 0);
        return;
    }
    KillTimer(hwnd_, IDT_Backup_Timer1);
    busy_ = false;
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    EnableWindow(Control(IDC_Backup_Command1), TRUE);
    CloseWindow();
}

void SavedFilesForm::ProgressInStatusBar(bool show) {
    // Over the first panel.
    if (show) {
        statusProgress_.Show(0);
    } else {
        statusProgress_.Hide();
    }
}

void SavedFilesForm::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    KillTimer(hwnd_, IDT_Backup_Timer1);
    busy_ = false;
    // Closing always takes the bar out of the status bar.
    ProgressInStatusBar(false);
}

void SavedFilesForm::CloseWindow() {
    Form_Unload();
    if (modal_) {
        EndDialog(hwnd_, 0);
    } else {
        DestroyWindow(hwnd_);
    }
}

}  // namespace zv
