// The backup folder on disk: its entries, a backup read whole, a backup written whole and put in
// place by a rename, and the deletion of saved files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "backup/saved_file_commands.h"

namespace zv {

// Where this computer keeps its backups and safety backups: "backup" beside the program when the
// program folder is on this computer's own disk; when it is on the network (or a CD), "Zarvelo\backup"
// in the Windows folder. Many computers may run one program from a shared folder, and each must keep
// its own way back, on a disk the network check can read before the network works.
std::string BackupDirectory(const std::string& programDir);

// The names of the files in the folder, in directory order; none when the folder is missing.
std::vector<std::string> FolderFiles(const std::string& dir);

// Creates the folder, and the folder it lies in, when they are missing. False when it neither exists
// nor could be made.
bool EnsureFolder(const std::string& dir);

bool FileExists(const std::string& path);

// A backup file's bytes, at most one byte more than any backup has (the reader refuses more).
// Nothing when there is no such file; `error` says why an existing file could not be read.
std::optional<std::vector<std::uint8_t>> ReadBackupBytes(const std::string& path, std::string* error);

// Writes the bytes to `temporaryName` in the folder and renames that over `name`, so that the
// file of that name is never half written. Empty on success, else a message saying what happened.
std::string WriteWholeFile(const std::string& dir, const std::string& name, const std::string& temporaryName,
                           const std::vector<std::uint8_t>& bytes, ReplaceMethod method);

// Deletes one file. A file that is already gone counts as deleted.
bool DeleteSavedFile(const std::string& path);

// The folder seam of the OK sequences over the functions above.
class Win32BackupFolder final : public BackupFolderFiles {
public:
    explicit Win32BackupFolder(std::string dir) : dir_(std::move(dir)) {}
    std::string Folder() const override { return dir_; }
    bool EnsureFolder() override { return zv::EnsureFolder(dir_); }
    bool Exists(const std::string& file) override { return FileExists(dir_ + "\\" + file); }
    std::optional<std::vector<std::uint8_t>> Read(const std::string& file, std::string* error) override {
        return ReadBackupBytes(dir_ + "\\" + file, error);
    }
    std::string WriteWhole(const std::string& file, const std::string& temporaryName,
                           const std::vector<std::uint8_t>& bytes, ReplaceMethod method) override {
        return WriteWholeFile(dir_, file, temporaryName, bytes, method);
    }

private:
    std::string dir_;
};

}  // namespace zv
