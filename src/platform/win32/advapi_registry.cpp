// advapi32 backend of the registry interface.
#include "platform/win32/advapi_registry.h"

#include <windows.h>

namespace zv {

namespace {
HKEY H(RegKey key) { return reinterpret_cast<HKEY>(key); }
}  // namespace

long AdvapiRegistry::OpenKey(RegKey root, const std::string& path, RegKey* result) {
    HKEY out = nullptr;
    long code = RegOpenKeyA(H(root), path.c_str(), &out);
    if (code == ERROR_SUCCESS) *result = reinterpret_cast<RegKey>(out);
    return code;
}

long AdvapiRegistry::CreateKey(RegKey root, const std::string& path, RegKey* result) {
    HKEY out = nullptr;
    long code = RegCreateKeyA(H(root), path.c_str(), &out);
    if (code == ERROR_SUCCESS) *result = reinterpret_cast<RegKey>(out);
    return code;
}

long AdvapiRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                                std::uint32_t* size) {
    DWORD t = 0;
    DWORD s = size ? *size : 0;
    long code = RegQueryValueExA(H(key), name.c_str(), nullptr, &t, data, size ? &s : nullptr);
    if (type) *type = t;
    if (size) *size = s;
    return code;
}

long AdvapiRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                              std::uint32_t size) {
    return RegSetValueExA(H(key), name.c_str(), 0, type, data, size);
}

long AdvapiRegistry::DeleteValue(RegKey key, const std::string& name) {
    return RegDeleteValueA(H(key), name.c_str());
}

long AdvapiRegistry::EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) {
    return RegEnumKeyA(H(key), index, name, nameSize);
}

long AdvapiRegistry::CloseKey(RegKey key) { return RegCloseKey(H(key)); }
long AdvapiRegistry::FlushKey(RegKey key) { return RegFlushKey(H(key)); }

}  // namespace zv
