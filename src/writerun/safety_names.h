// Names of the automatic safety backups in the backup folder ("Before Optimize 2026-12-08 14.05.33.zsb"),
// recognising and reading them, which of them are kept, and the folder they are written to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "writerun/safety_backup.h"

namespace zv {

// Every name the user saves gets ".dat", so no file of theirs ever ends in this.
inline const std::string kSafetyBackupExtension = ".zsb";
inline constexpr std::size_t kSafetyBackupsKept = 10;

struct SafetyBackupName {
    RunKind kind = RunKind::Optimize;
    LocalTime taken;
    int sequence = 1;  // 2, 3, ... for a second run within the same second: " (2)"
    bool operator==(const SafetyBackupName&) const = default;
};

// "Before <kind> YYYY-MM-DD HH.MM.SS.zsb", with " (n)" before the extension when a file of that
// name is already among the folder's entries.
std::string SafetyBackupFileName(RunKind kind, const LocalTime& taken, const std::vector<std::string>& folderEntries);

// Reads a name made by SafetyBackupFileName (the extension in any case); nothing for any other.
std::optional<SafetyBackupName> ParseSafetyBackupName(const std::string& fileName);
inline bool IsSafetyBackupName(const std::string& fileName) { return ParseSafetyBackupName(fileName).has_value(); }

// What a list shows: the name without its extension.
std::string SafetyBackupShownName(const std::string& fileName);

// The safety backups among the folder's entries, newest first.
std::vector<std::string> SafetyBackupList(const std::vector<std::string>& folderEntries);

// The automatic ones beyond the newest `kept`; those in `alsoKeep` (the one Undo would restore, the one
// a pending network check would) never. Nothing else is ever chosen: no file the user saved can carry a
// safety backup's name.
std::vector<std::string> SafetyBackupsToDelete(const std::vector<std::string>& folderEntries,
                                               const std::vector<std::string>& alsoKeep,
                                               std::size_t kept = kSafetyBackupsKept);

// The file a safety backup is written to before it is renamed to its name.
std::string SafetyBackupTemporaryName(const std::string& fileName);

// The backup folder as the write runs and Undo need it.
class SafetyFolder {
public:
    virtual ~SafetyFolder() = default;
    virtual std::vector<std::string> Entries() = 0;
    // Writes the whole file under its name; empty on success, else why it was not written.
    virtual std::string Write(const std::string& fileName, const std::vector<std::uint8_t>& bytes) = 0;
    // The file's bytes (at most one more than a safety backup may have); nothing when it does not
    // exist; `error` says why an existing one could not be read.
    virtual std::optional<std::vector<std::uint8_t>> Read(const std::string& fileName, std::string* error) = 0;
    virtual bool Exists(const std::string& fileName) = 0;
    virtual bool Remove(const std::string& fileName) = 0;
};

}  // namespace zv
