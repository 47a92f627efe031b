// GetVersionExA behind the version-query seam.
#include <windows.h>

#include "platform/opsysinfo.h"

namespace zv {

VersionQuery SystemVersionQuery() {
    return [](OsVersionRecord& rec) {
        return GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&rec)) != 0;
    };
}

}  // namespace zv
