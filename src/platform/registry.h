// The registry calls the helpers make, as an interface: advapi32 on Windows, in memory for tests.
#pragma once

#include <cstdint>
#include <string>

namespace zv {

// A registry key handle; the predefined roots keep their Windows values.
using RegKey = std::uintptr_t;

inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002u;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Return codes as advapi32 gives them.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorPathNotFound = 3;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorBadPathname = 161;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;
inline constexpr long kErrorBadKey = 1010;
inline constexpr long kErrorCantOpen = 1011;
inline constexpr long kErrorCantRead = 1012;
inline constexpr long kErrorKeyDeleted = 1018;

// The key or value is not there. NT answers ERROR_FILE_NOT_FOUND. The 9x registry documents that
// code too, with ERROR_CANTOPEN and ERROR_CANTREAD as its aliases, ERROR_KEY_DELETED for a key removed
// while open, and ERROR_BADKEY for a key name that cannot exist or a handle that is no key: none of
// them leaves a value behind that the right to change it would reach.
inline bool IsNotThere(long code) {
    switch (code) {
        case kErrorFileNotFound:
        case kErrorPathNotFound:
        case kErrorBadKey:
        case kErrorCantOpen:
        case kErrorCantRead:
        case kErrorKeyDeleted: return true;
        default: return false;
    }
}

// Text crosses this interface as bytes of the system's ANSI code page.
class Registry {
public:
    virtual ~Registry() = default;

    virtual long OpenKey(RegKey root, const std::string& path, RegKey* result) = 0;
    virtual long CreateKey(RegKey root, const std::string& path, RegKey* result) = 0;
    // data may be null (size query); *size is the buffer size in and the data size out.
    virtual long QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) = 0;
    // Text data (REG_SZ and kin) must be followed by a NUL beyond size, as a C string is.
    virtual long SetValue(RegKey key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) = 0;
    virtual long DeleteValue(RegKey key, const std::string& name) = 0;
    virtual long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) = 0;
    virtual long CloseKey(RegKey key) = 0;
    // Writes the key's changes to disk before returning (RegFlushKey); a registry that is never cut off
    // from its disk has nothing to do.
    virtual long FlushKey(RegKey key) {
        (void)key;
        return kErrorSuccess;
    }

    // Writes and deletions that did not take effect. The helpers stay silent towards their callers,
    // but an action can ask afterwards how many of its changes failed (deleting something absent
    // is not a failure).
    unsigned long FailedChanges() const { return failedChanges_; }
    void ResetFailedChanges() { failedChanges_ = 0; }
    void CountFailedChange() { ++failedChanges_; }

private:
    unsigned long failedChanges_ = 0;
};

}  // namespace zv
