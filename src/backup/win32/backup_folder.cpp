// The backup folder on disk, through kernel32.
#include "backup/win32/backup_folder.h"

#include <windows.h>

#include "backup/backup_file.h"
#include "platform/win32/desktop.h"
#include "platform/win32/file_write.h"
#include "platform/win32/handles.h"

namespace zv {
namespace {

// A handle from CreateFile, which reports failure as INVALID_HANDLE_VALUE.
UniqueKernelHandle OpenFile(const std::string& path, DWORD access, DWORD creation) {
    HANDLE h = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    return UniqueKernelHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

struct CloseFind {
    void operator()(HANDLE h) const { FindClose(h); }
};

}  // namespace

std::string BackupDirectory(const std::string& programDir) {
    if (!IsNetworkOrCdFolder(programDir)) return programDir + "\\backup";
    char windows[MAX_PATH] = {0};
    const UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
    std::string dir(windows, n > 0 && n < MAX_PATH ? n : 0);
    if (dir.empty()) return programDir + "\\backup";
    if (dir.back() != '\\') dir += '\\';
    return dir + "Zarvelo\\backup";
}

std::vector<std::string> FolderFiles(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    HANDLE first = FindFirstFileA((dir + "\\*.*").c_str(), &data);
    if (first == INVALID_HANDLE_VALUE) return names;
    UniqueHandle<HANDLE, CloseFind> find(first);
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(data.cFileName);
    } while (FindNextFileA(find.get(), &data));
    return names;
}

bool EnsureFolder(const std::string& dir) {
    const DWORD attributes = GetFileAttributesA(dir.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (CreateDirectoryA(dir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
    // The Windows folder's "Zarvelo" may be missing too.
    const auto slash = dir.find_last_of('\\');
    if (slash == std::string::npos || slash < 3 || !EnsureFolder(dir.substr(0, slash))) return false;
    return CreateDirectoryA(dir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::vector<std::uint8_t>> ReadBackupBytes(const std::string& path, std::string* error) {
    if (!FileExists(path)) return std::nullopt;
    UniqueKernelHandle file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!file) {
        if (error) *error = "The backup file could not be opened. Nothing has been changed.";
        return std::vector<std::uint8_t>{};
    }
    std::vector<std::uint8_t> bytes(kMaxBackupFileSize + 1);
    std::size_t total = 0;
    while (total < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + total, static_cast<DWORD>(bytes.size() - total), &got, nullptr)) {
            if (error) *error = "The backup file could not be read. Nothing has been changed.";
            return std::vector<std::uint8_t>{};
        }
        if (got == 0) break;
        total += got;
    }
    bytes.resize(total);
    return bytes;
}

std::string WriteWholeFile(const std::string& dir, const std::string& name, const std::string& temporaryName,
                           const std::vector<std::uint8_t>& bytes, ReplaceMethod method) {
    const std::string finalPath = dir + "\\" + name;
    const std::string temporaryPath = dir + "\\" + temporaryName;
    const FileWriteResult written =
        WriteFileBytes(temporaryPath, bytes.data(), bytes.size(), FileWriteMode::kReplace, /*flush=*/true);
    if (written.failedAt == FileWriteResult::Step::kOpen) {
        return "The backup file could not be created in the backup folder. No backup has been written.";
    }
    if (!written.ok()) {
        DeleteFileA(temporaryPath.c_str());
        return "The backup file could not be written (is the disk full?). No backup has been written.";
    }
    // The 9x family has MoveFileEx only as a stub that fails; it is looked up so that nothing depends on
    // how a system exports it.
    using MoveFileExFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    auto moveFileEx = ProcAddress<MoveFileExFn>(GetModuleHandleA("kernel32.dll"), "MoveFileExA");
    if (method == ReplaceMethod::kMoveFileEx && moveFileEx) {
        if (moveFileEx(temporaryPath.c_str(), finalPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return {};
        }
        DeleteFileA(temporaryPath.c_str());
        return "The backup could not replace the file \"" + name + "\". The old file is unchanged.";
    }
    // Windows 95, 98 and Me: the old file goes first; the new one stays under its temporary name
    // until the rename has succeeded.
    if (FileExists(finalPath) && !DeleteFileA(finalPath.c_str())) {
        DeleteFileA(temporaryPath.c_str());
        return "The backup could not replace the file \"" + name + "\". The old file is unchanged.";
    }
    if (!MoveFileA(temporaryPath.c_str(), finalPath.c_str())) {
        return "The backup could not be renamed to \"" + name + "\". It has been kept as \"" + temporaryName +
               "\" in the backup folder.";
    }
    return {};
}

bool DeleteSavedFile(const std::string& path) {
    if (DeleteFileA(path.c_str())) return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace zv
