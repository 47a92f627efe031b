// The Backup and Restore windows' OK, step by step, over the folder and question seams.
#include "backup/saved_file_commands.h"

#include "backup/backup_names.h"
#include "backup/backup_restore.h"

namespace zv {

SavedFileOk BackupOk(Registry& reg, const COpSysInfo& os, const std::string& name, BackupFolderFiles& folder,
                     const AskYesNo& ask, const std::string& computer) {
    SavedFileOk ok;
    if (auto refused = RefuseBackupName(name)) {
        ok.message = *refused;
        ok.focusName = true;
        return ok;
    }
    if (!folder.EnsureFolder()) {
        ok.message = "The backup folder \"" + folder.Folder() + "\" could not be created. No backup has been written.";
        return ok;
    }
    const std::string file = name + kBackupExtension;
    if (folder.Exists(file) && !(ask && ask(OverwriteQuestion(name)))) return ok;
    BackupResult backup = TakeBackup(reg, FamilyOf(os), computer);
    if (!backup.ok()) {
        ok.message = backup.message;
        return ok;
    }
    ok.message = folder.WriteWhole(file, TemporaryBackupName(name), backup.bytes, ReplaceMethodFor(os));
    // A failed write may have left the file under its temporary name or removed the old one.
    ok.relist = !ok.message.empty();
    ok.done = ok.message.empty();
    return ok;
}

std::optional<SavedFileOk> ReadRestoreFile(const std::string& name, BackupFolderFiles& folder,
                                           std::optional<std::vector<std::uint8_t>>* contents) {
    SavedFileOk ok;
    if (auto refused = RefuseBackupName(name)) {
        ok.message = *refused;
        ok.focusName = true;
        return ok;
    }
    std::string unreadable;
    *contents = folder.Read(name + kBackupExtension, &unreadable);
    if (!unreadable.empty()) {
        ok.message = unreadable;
        return ok;
    }
    return std::nullopt;
}

std::string RefusedRestoreMessage(unsigned long failedChanges) {
    return std::to_string(failedChanges) + (failedChanges == 1 ? " setting" : " settings") +
           " could not be restored.\r\n\r\nZarvelo must run as an administrator to change the network "
           "settings. Start it again as an administrator and restore the backup again.";
}

}  // namespace zv
