// The line watch's clock and files on Windows, and the application-data folder looked up at run time.
#include "keepalive/win32/system_line_files.h"

#include "platform/win32/desktop.h"
#include "platform/win32/file_write.h"
#include "platform/win32/handles.h"

namespace zv {

namespace {

CivilTime FromSystemTime(const SYSTEMTIME& t) {
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace

ClockReading SystemClock::Now() {
    SYSTEMTIME local{}, universal{};
    GetLocalTime(&local);
    GetSystemTime(&universal);
    return {FromSystemTime(local), FromSystemTime(universal)};
}

std::int64_t SystemTextFiles::FileSize(const std::string& path) {
    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return -1;
    FindClose(find);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool SystemTextFiles::CreateFolder(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SystemTextFiles::Append(const std::string& path, const std::string& text) {
    // Shared for reading, so that the log can stay open in a viewer while lines are added.
    return WriteFileText(path, text, FileWriteMode::kAppend).ok();
}

std::string AppDataFolder() {
    using GetFolder = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
    constexpr int kCsidlAppData = 0x001A;
    UniqueModule shell(LoadLibraryA("shell32.dll"));
    auto getFolder = shell ? ProcAddress<GetFolder>(shell.get(), "SHGetSpecialFolderPathA") : nullptr;
    char folder[MAX_PATH] = {};
    if (!getFolder || !getFolder(nullptr, folder, kCsidlAppData, FALSE)) return std::string();
    return folder;
}

LogPlace SystemOutageLogPlace() { return ChooseOutageLogPlace(AppDataFolder(), ProgramDirectory()); }

bool WriteWholeFile(const std::string& path, const std::string& text) {
    return WriteFileText(path, text, FileWriteMode::kReplace).ok();
}

}  // namespace zv
