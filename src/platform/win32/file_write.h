// Writing a file whole, for both programs: the command line's log and export, Pulsiva's outage log and
// settings files, and the backups' temporary files.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace zv {

enum class FileWriteMode {
    kReplace,  // made anew, in place of a file of that name
    kAppend,   // added at the end, the file made when missing
};

struct FileWriteResult {
    enum class Step { kNone, kOpen, kEnd, kWrite };
    Step failedAt = Step::kNone;
    DWORD error = 0;     // the system's error code of the failure
    std::string failed;  // what went wrong, a whole sentence; empty on success
    bool ok() const { return failed.empty(); }
};

// Writes every byte, or says why not. Others may read the file meanwhile but none may write it, so two
// writers take turns rather than mix their lines. `flush`: on the disk before this returns.
FileWriteResult WriteFileBytes(const std::string& path, const void* data, std::size_t size, FileWriteMode mode,
                               bool flush = false);
inline FileWriteResult WriteFileText(const std::string& path, const std::string& text, FileWriteMode mode) {
    return WriteFileBytes(path, text.data(), text.size(), mode);
}

}  // namespace zv
