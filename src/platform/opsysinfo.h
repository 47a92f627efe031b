// COpSysInfo: the Windows version record, the family flags and display texts, read once at creation.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace zv {

// OSVERSIONINFOEXA, byte for byte: 156 bytes in its extended form, 148 in its basic form.
struct OsVersionRecord {
    std::uint32_t dwOSVersionInfoSize;
    std::uint32_t dwMajorVersion;
    std::uint32_t dwMinorVersion;
    std::uint32_t dwBuildNumber;
    std::uint32_t dwPlatformId;
    char szCSDVersion[128];
    std::uint16_t wServicePackMajor;
    std::uint16_t wServicePackMinor;
    std::uint16_t wSuiteMask;
    std::uint8_t wProductType;
    std::uint8_t wReserved;
};
static_assert(sizeof(OsVersionRecord) == 156, "OSVERSIONINFOEXA is 156 bytes");

inline constexpr std::uint32_t kVersionRecordExtended = 156;
inline constexpr std::uint32_t kVersionRecordBasic = 148;

// Fills the record according to its dwOSVersionInfoSize, as GetVersionExA does; false when refused.
using VersionQuery = std::function<bool(OsVersionRecord&)>;

// The version query of the running system (Windows builds only).
VersionQuery SystemVersionQuery();

class COpSysInfo {
public:
    explicit COpSysInfo(const VersionQuery& query);

    std::int32_t BuildNumber() const;
    std::string CSDVersion() const;
    std::uint32_t MajorVersion() const { return rec_.dwMajorVersion; }
    std::uint32_t MinorVersion() const { return rec_.dwMinorVersion; }
    std::uint32_t PlatformID() const { return rec_.dwPlatformId; }
    std::uint32_t ProductType() const { return rec_.wProductType; }
    std::uint16_t ServicePackMajor() const { return rec_.wServicePackMajor; }
    std::uint16_t ServicePackMinor() const { return rec_.wServicePackMinor; }
    std::uint16_t SuiteMask() const { return rec_.wSuiteMask; }
    bool HasAS() const { return rec_.wSuiteMask & 0x0002; }
    bool HasBO() const { return rec_.wSuiteMask & 0x0004; }
    bool HasDC() const { return rec_.wSuiteMask & 0x0080; }
    bool HasSBS() const { return rec_.wSuiteMask & 0x0001; }
    bool HasSBSr() const { return rec_.wSuiteMask & 0x0020; }
    bool HasTS() const { return rec_.wSuiteMask & 0x0010; }
    bool IsWinXP() const { return xpOrLater_; }
    bool IsWin2K() const { return w2kOrLater_; }
    bool IsWinNT() const { return ntFamily_; }
    bool IsWin9x() const { return me_ || w98OrLater_ || w9xFamily_; }
    bool IsWin95() const { return w9xFamily_; }
    bool IsWin98() const { return w98OrLater_; }
    bool IsWinME() const { return me_; }
    std::string platform() const;
    std::string Version() const;
    std::string ProductTypeName() const;

    const OsVersionRecord& Record() const { return rec_; }

private:
    OsVersionRecord rec_{};
    bool ntFamily_ = false;
    bool w2kOrLater_ = false;
    bool xpOrLater_ = false;
    bool w9xFamily_ = false;
    bool w98OrLater_ = false;
    bool me_ = false;
};

// The most specific family whose flag is set, asked in the order XP, 2000, NT, Me, 98, 95.
enum class WindowsFamily { Unknown, Win95, Win98, WinMe, WinNT, Win2K, WinXP };
WindowsFamily FamilyOf(const COpSysInfo& os);
bool IsNtFamily(WindowsFamily family);

}  // namespace zv
