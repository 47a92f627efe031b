// The safety backups' folder over the backup folder's file operations.
#include "writerun/win32/safety_disk_folder.h"

#include <windows.h>

namespace zv {
namespace {

class DiskFolder final : public SafetyFolder {
public:
    DiskFolder(std::string dir, ReplaceMethod method) : dir_(std::move(dir)), method_(method) {}

    std::vector<std::string> Entries() override { return FolderFiles(dir_); }

    std::string Write(const std::string& fileName, const std::vector<std::uint8_t>& bytes) override {
        if (!EnsureFolder(dir_)) return "The backup folder \"" + dir_ + "\" could not be created.";
        // Another run of this second got there first: its way back is never written over.
        if (FileExists(Path(fileName))) return "A safety backup named \"" + fileName + "\" is there already.";
        return WriteWholeFile(dir_, fileName, SafetyBackupTemporaryName(fileName), bytes, method_);
    }

    std::optional<std::vector<std::uint8_t>> Read(const std::string& fileName, std::string* error) override {
        return ReadBackupBytes(Path(fileName), error);
    }

    bool Exists(const std::string& fileName) override { return FileExists(Path(fileName)); }
    bool Remove(const std::string& fileName) override { return DeleteSavedFile(Path(fileName)); }

private:
    std::string Path(const std::string& fileName) const { return dir_ + "\\" + fileName; }

    std::string dir_;
    ReplaceMethod method_;
};

}  // namespace

std::unique_ptr<SafetyFolder> DiskSafetyFolder(const std::string& dir, ReplaceMethod method) {
    return std::make_unique<DiskFolder>(dir, method);
}

LocalTime LocalNow() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace zv
