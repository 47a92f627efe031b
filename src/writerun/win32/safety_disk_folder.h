// The backup folder on disk as the safety backups' folder.
#pragma once

#include <memory>
#include <string>

#include "backup/win32/backup_folder.h"
#include "writerun/safety_names.h"

namespace zv {

// `dir` is the backup folder (BackupDirectory); it is created when a safety backup is first written.
// `method` as for the user's backups: kMoveFileEx on the NT family, kDeleteThenMove on 95, 98 and Me.
std::unique_ptr<SafetyFolder> DiskSafetyFolder(const std::string& dir, ReplaceMethod method);

// The local time to the second, as the safety backups' names and the pending check record it.
LocalTime LocalNow();

}  // namespace zv
