// One file writer under every file the programs write.
#include "platform/win32/file_write.h"

#include "platform/win32/handles.h"

namespace zv {

FileWriteResult WriteFileBytes(const std::string& path, const void* data, std::size_t size, FileWriteMode mode,
                               bool flush) {
    FileWriteResult out;
    const auto fail = [&out](FileWriteResult::Step step, DWORD error, std::string sentence) {
        out.failedAt = step;
        out.error = error;
        out.failed = std::move(sentence);
        return out;
    };
    const bool append = mode == FileWriteMode::kAppend;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return fail(FileWriteResult::Step::kOpen, error,
                    "It could not be opened (error " + std::to_string(error) + ").");
    }
    UniqueKernelHandle file(h);
    if (append && SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR) {
        return fail(FileWriteResult::Step::kEnd, GetLastError(), "Its end could not be found.");
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) || written != size ||
        (flush && !FlushFileBuffers(file.get()))) {
        return fail(FileWriteResult::Step::kWrite, GetLastError(), "It could not be written (is the disk full?).");
    }
    return out;
}

}  // namespace zv
