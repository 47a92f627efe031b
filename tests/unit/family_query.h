// Version queries that answer as each Windows family does, for tests that need a given family.
#pragma once

#include <cstring>

#include "platform/opsysinfo.h"

namespace zvtest {

// The version record each family reports (platform id, major, minor, build).
inline zv::VersionQuery FamilyQuery(zv::WindowsFamily family) {
    struct Numbers {
        std::uint32_t platform, major, minor, build;
    };
    Numbers n{0, 0, 0, 0};
    switch (family) {
    case zv::WindowsFamily::Win95: n = {1, 4, 0, 950}; break;
    case zv::WindowsFamily::Win98: n = {1, 4, 10, 0x040A08AE}; break;
    case zv::WindowsFamily::WinMe: n = {1, 4, 90, 0x045A0BB8}; break;
    case zv::WindowsFamily::WinNT: n = {2, 4, 0, 1381}; break;
    case zv::WindowsFamily::Win2K: n = {2, 5, 0, 2195}; break;
    case zv::WindowsFamily::WinXP: n = {2, 5, 1, 2600}; break;
    case zv::WindowsFamily::Unknown: n = {3, 0, 0, 0}; break;
    }
    return [n](zv::OsVersionRecord& rec) {
        rec.dwMajorVersion = n.major;
        rec.dwMinorVersion = n.minor;
        rec.dwBuildNumber = n.build;
        rec.dwPlatformId = n.platform;
        return true;
    };
}

}  // namespace zvtest
