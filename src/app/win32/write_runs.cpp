// Write runs from a window over the program's services.
#include "app/win32/write_runs.h"

#include "backup/win32/backup_folder.h"
#include "platform/win32/desktop.h"
#include "writerun/win32/safety_disk_folder.h"

namespace zv {
namespace {

// The services' folder, or the one on disk (kept in `disk`).
SafetyFolder& FolderOf(const Form1Services& services, std::unique_ptr<SafetyFolder>* disk) {
    if (services.safetyFolder) return *services.safetyFolder;
    *disk = DiskSafetyFolder(BackupDirectory(services.programDir), ReplaceMethodFor(COpSysInfo(services.versionQuery)));
    return **disk;
}

template <typename Work>
WriteRunOutcome WithContext(const Form1Services& services, HWND owner, WindowsFamily family, Work work) {
    std::unique_ptr<SafetyFolder> disk;
    WriteRunContext context{*services.registry, FolderOf(services, &disk), family, LocalNow(), {},
                            ComputerName(), {}};
    if (services.review) {
        context.review = [&services, owner](const ChangeSet& changes, const WriteRun& run) {
            return services.review(owner, changes, run);
        };
    }
    return work(context);
}

}  // namespace

WriteRunOutcome RunFromWindow(const Form1Services& services, HWND owner, WindowsFamily family, const WriteRun& run) {
    return WithContext(services, owner, family, [&run](WriteRunContext& context) { return RunWrite(context, run); });
}

WriteRunOutcome UndoFromWindow(const Form1Services& services, HWND owner, WindowsFamily family) {
    return WithContext(services, owner, family, [](WriteRunContext& context) { return RunUndo(context); });
}

SavedFileOk RestoreFromWindow(const Form1Services& services, HWND owner, WindowsFamily family, const std::string& text,
                              BackupFolderFiles& folder, const AskYesNo& askElsewhere) {
    SavedFileOk ok;
    WithContext(services, owner, family, [&](WriteRunContext& context) {
        context.restoreElsewhere = askElsewhere;
        ok = RestoreOkRun(context, text, folder);
        return WriteRunOutcome();
    });
    return ok;
}

WriteRunOutcome PutBackFromWindow(const Form1Services& services, HWND owner) {
    return WithContext(services, owner, FamilyOf(COpSysInfo(services.versionQuery)),
                       [](WriteRunContext& context) { return PutBackCutOffRun(context); });
}

void KeepCutOffRunFromWindow(const Form1Services& services) {
    std::unique_ptr<SafetyFolder> disk;
    KeepCutOffRun(*services.registry, FolderOf(services, &disk));
}

bool UndoAvailable(const Form1Services& services) {
    std::unique_ptr<SafetyFolder> disk;
    return CanUndo(*services.registry, FolderOf(services, &disk));
}

UINT OutcomeIcon(const WriteRunOutcome& outcome) {
    switch (outcome.status) {
    case WriteRunStatus::BackupFailed: return MB_ICONSTOP;
    case WriteRunStatus::NothingToChange: return MB_ICONINFORMATION;
    default: return MB_ICONEXCLAMATION;
    }
}

}  // namespace zv
