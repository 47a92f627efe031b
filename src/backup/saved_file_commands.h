// The OK of the Backup and Restore windows over seams for the backup folder and the user's answer:
// what is checked, asked, written or restored, and what the window shows afterwards.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/opsysinfo.h"
#include "platform/registry.h"

namespace zv {

// How a new backup replaces an old file of its name: in one step (MoveFileEx, the NT family) or,
// where MoveFileEx does not exist (Windows 95, 98, Me), by deleting the old file and renaming.
enum class ReplaceMethod { kMoveFileEx, kDeleteThenMove };
// The one choice of it for the running system.
inline ReplaceMethod ReplaceMethodFor(const COpSysInfo& os) {
    return os.IsWinNT() ? ReplaceMethod::kMoveFileEx : ReplaceMethod::kDeleteThenMove;
}

// The backup folder as the two OK sequences use it; files are named within the folder. On Windows
// it is Win32BackupFolder (backup/win32/backup_folder.h).
class BackupFolderFiles {
public:
    virtual ~BackupFolderFiles() = default;
    // The folder's own path, as messages name it.
    virtual std::string Folder() const = 0;
    // Creates the folder when it is missing; false when it neither exists nor could be made.
    virtual bool EnsureFolder() = 0;
    virtual bool Exists(const std::string& file) = 0;
    // A backup file's bytes; nothing when there is no such file; `error` says why one could not be read.
    virtual std::optional<std::vector<std::uint8_t>> Read(const std::string& file, std::string* error) = 0;
    // Writes the bytes under `temporaryName` and renames that over `file`; empty, or what went wrong.
    virtual std::string WriteWhole(const std::string& file, const std::string& temporaryName,
                                   const std::vector<std::uint8_t>& bytes, ReplaceMethod method) = 0;
};

// Asks the user a Yes/No question whose default is No; true for Yes.
using AskYesNo = std::function<bool(const std::string& question)>;

// What the window does after OK, in this order: lists the folder again, shows the message (OK button,
// exclamation icon), puts the focus back on the name, and starts the progress display once the work is done.
struct SavedFileOk {
    bool relist = false;
    std::string message;
    bool focusName = false;
    bool done = false;
};

// Backup: refuse the name, make the folder, ask before replacing a file of that name, take the backup
// of the running family (saying which computer it is from) and write it whole in place of the old file.
SavedFileOk BackupOk(Registry& reg, const COpSysInfo& os, const std::string& name, BackupFolderFiles& folder,
                     const AskYesNo& ask, const std::string& computer = {});

// The Restore window's first steps: what it shows for a refused name or an unreadable file, or nothing
// with the file's bytes in `contents` (none when there is no such file) when the restore may go on.
std::optional<SavedFileOk> ReadRestoreFile(const std::string& name, BackupFolderFiles& folder,
                                           std::optional<std::vector<std::uint8_t>>* contents);

// "N settings could not be restored." and what to do about it.
std::string RefusedRestoreMessage(unsigned long failedChanges);

}  // namespace zv
