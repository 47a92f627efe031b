// The backup folder on disk: its entries, a backup read whole, a backup written whole and put in
// place by a rename, and the deletion of saved files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zv {

// The program directory followed by "\backup".
std::string BackupDirectory(const std::string& programDir);

// The names of the files in the folder, in directory order; none when the folder is missing.
std::vector<std::string> FolderFiles(const std::string& dir);

// Creates the folder when it is missing. False when it neither exists nor could be made.
bool EnsureFolder(const std::string& dir);

bool FileExists(const std::string& path);

// A backup file's bytes, at most one byte more than any backup has (the reader refuses more).
// Nothing when there is no such file; `error` says why an existing file could not be read.
std::optional<std::vector<std::uint8_t>> ReadBackupBytes(const std::string& path, std::string* error);

// How the new file replaces an old one of that name: in one step (MoveFileEx, the NT family) or,
// where MoveFileEx does not exist (Windows 95, 98, Me), by deleting the old file and renaming.
enum class ReplaceMethod { kMoveFileEx, kDeleteThenMove };

// Writes the bytes to `temporaryName` in the folder and renames that over `name`, so that the
// file of that name is never half written. Empty on success, else a message saying what happened.
std::string WriteWholeFile(const std::string& dir, const std::string& name, const std::string& temporaryName,
                           const std::vector<std::uint8_t>& bytes, ReplaceMethod method);

// Deletes one file. A file that is already gone counts as deleted.
bool DeleteSavedFile(const std::string& path);

}  // namespace zv
