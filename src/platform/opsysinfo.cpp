// COpSysInfo over a version query: extended record first, basic record when that is refused.
#include "platform/opsysinfo.h"

#include <cstring>

namespace zv {

namespace {
std::int32_t LoWord(std::uint32_t value) { return static_cast<std::int16_t>(value & 0xFFFFu); }
}  // namespace

COpSysInfo::COpSysInfo(const VersionQuery& query) {
    std::memset(&rec_, 0, sizeof rec_);
    rec_.dwOSVersionInfoSize = kVersionRecordExtended;
    if (!query || !query(rec_)) {
        // Systems before NT 4 SP6 do not know the extended record; its fields stay 0.
        std::memset(&rec_, 0, sizeof rec_);
        rec_.dwOSVersionInfoSize = kVersionRecordBasic;
        if (!query || !query(rec_)) {
            std::memset(&rec_, 0, sizeof rec_);
            rec_.dwOSVersionInfoSize = kVersionRecordBasic;
        }
    }
    if (rec_.dwPlatformId == 1) {
        w9xFamily_ = true;
        w98OrLater_ = rec_.dwMinorVersion >= 10;
        me_ = LoWord(rec_.dwBuildNumber) >= 3000;
    } else if (rec_.dwPlatformId == 2) {
        ntFamily_ = true;
        w2kOrLater_ = rec_.dwMajorVersion >= 5;
        xpOrLater_ = rec_.dwMajorVersion >= 5 && rec_.dwMinorVersion >= 1;
    }
}

std::int32_t COpSysInfo::BuildNumber() const { return LoWord(rec_.dwBuildNumber); }

std::string COpSysInfo::CSDVersion() const {
    std::string text(rec_.szCSDVersion, strnlen(rec_.szCSDVersion, sizeof rec_.szCSDVersion));
    auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string COpSysInfo::platform() const {
    if (me_) return "Windows Me";
    if (w98OrLater_) return "Windows 98";
    if (w9xFamily_) return "Windows 95";
    if (xpOrLater_) return "Windows XP";
    if (w2kOrLater_) return "Windows 2000";
    if (ntFamily_) return "Windows NT";
    return std::string();
}

std::string COpSysInfo::Version() const {
    return platform() + " v" + std::to_string(MajorVersion()) + "." + std::to_string(MinorVersion()) + ", Build " +
           std::to_string(BuildNumber());
}

std::string COpSysInfo::ProductTypeName() const {
    switch (rec_.wProductType) {
        case 0: return "Unknown";
        case 1: return "NT Workstation";
        case 2: return "Domain Controller";
        case 3: return "NT Server";
        default: return std::string();
    }
}

WindowsFamily FamilyOf(const COpSysInfo& os) {
    if (os.IsWinXP()) return WindowsFamily::WinXP;
    if (os.IsWin2K()) return WindowsFamily::Win2K;
    if (os.IsWinNT()) return WindowsFamily::WinNT;
    if (os.IsWinME()) return WindowsFamily::WinMe;
    if (os.IsWin98()) return WindowsFamily::Win98;
    if (os.IsWin95()) return WindowsFamily::Win95;
    return WindowsFamily::Unknown;
}

bool IsNtFamily(WindowsFamily family) {
    return family == WindowsFamily::WinNT || family == WindowsFamily::Win2K || family == WindowsFamily::WinXP;
}

}  // namespace zv
