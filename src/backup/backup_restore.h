// Taking a backup of every catalogue value of the running family, and restoring one, over the
// registry and the bytes of a backup file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "backup/backup_file.h"
#include "platform/opsysinfo.h"
#include "platform/registry.h"

namespace zv {

// How the main location of one entry stands now: a REG_DWORD is a number, a REG_SZ a text (even
// empty), SLOWNET's REG_BINARY its first byte; anything else, or nothing, is absent.
SavedValue ReadStoredValue(Registry& reg, const CatalogueEntry& entry, const AdapterTarget& target = {});

// The MSTCP key's DefaultMSS, which the Adapter.MSS writer sets for every adapter.
const RegLocation& SharedDefaultMssLocation();

// Every value the file of this format holds, read from the registry (9x: the eleven slots).
BackupImage ReadBackupImage(Registry& reg, BackupFormat format);

// Puts the image back: each value is written as the type it was saved as, at the main location
// and every mirror; each absent value has its deletion set removed. Slots first, in order, then
// the shared DefaultMSS when the file holds it, then the global values.
void ApplyBackupImage(Registry& reg, const BackupImage& image);

struct BackupResult {
    std::vector<std::uint8_t> bytes;  // the whole file, to be written at once
    std::string message;              // why nothing can be written
    bool ok() const { return message.empty(); }
};

// The backup of the running family as the bytes of a marked file, saying which computer it was taken
// on (when known). Only reads the registry.
BackupResult TakeBackup(Registry& reg, WindowsFamily family, const std::string& computer = {});

// The same for a name typed by the user: refused first when it cannot name a backup file.
BackupResult TakeBackupNamed(Registry& reg, WindowsFamily family, const std::string& name);

// The computer a backup file for the running family says it was taken on; empty when it does not say
// or cannot be read (the restore then refuses it for what it is).
std::string BackupComputer(WindowsFamily family, std::span<const std::uint8_t> bytes);

struct RestoreResult {
    std::string message;             // why nothing was changed
    unsigned long failedChanges = 0;  // writes and deletions the registry refused (no rights, ...)
    bool ok() const { return message.empty(); }
};

// Reads and checks the whole file first; only a file that fits the running family in every record
// changes the registry. A refused file leaves the registry exactly as it was.
RestoreResult RestoreBackup(Registry& reg, WindowsFamily family, std::span<const std::uint8_t> bytes);

// The same for a name typed by the user and the file's contents (nothing when there is no such
// file): the name, the file's existence and then the file are checked before anything is changed.
RestoreResult RestoreBackupNamed(Registry& reg, WindowsFamily family, const std::string& name,
                                 const std::optional<std::vector<std::uint8_t>>& contents);

}  // namespace zv
