// Shared test helpers for the tuning and optimize tests: expected values and a recording registry.
#pragma once

#include <string>
#include <vector>

#include "platform/memory_registry.h"

namespace zvtest {

inline const std::string kNet = "System\\CurrentControlSet\\Services\\Class\\Net\\";
inline const std::string kClass = "System\\CurrentControlSet\\Services\\Class\\";
inline const std::string kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
inline const std::string kMstcpPar = "System\\CurrentControlSet\\Services\\VxD\\MSTCP\\Parameters";
inline const std::string kNwlink = "System\\CurrentControlSet\\Services\\VxD\\NWLink";
inline const std::string kNetbeui = "System\\CurrentControlSet\\Services\\VxD\\NETBEUI";
inline const std::string kInternet = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline const std::string kTcpip = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";

// A text value as the registry keeps it (with its terminator), a number, bytes.
inline zv::RegValue Sz(const std::string& text) {
    zv::RegValue v{zv::kRegSz, std::vector<std::uint8_t>(text.begin(), text.end())};
    v.data.push_back(0);
    return v;
}
inline zv::RegValue Dw(std::uint32_t n) {
    return zv::RegValue{zv::kRegDword, {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16), std::uint8_t(n >> 24)}};
}
inline zv::RegValue Bin(std::vector<std::uint8_t> bytes) { return zv::RegValue{zv::kRegBinary, std::move(bytes)}; }

// Puts a value straight into the registry, creating its key.
inline void Seed(zv::Registry& reg, zv::RegKey root, const std::string& path, const std::string& name,
                 const zv::RegValue& v) {
    zv::RegKey key = 0;
    reg.CreateKey(root, path, &key);
    reg.SetValue(key, name, v.type, v.data.data(), static_cast<std::uint32_t>(v.data.size()));
    reg.CloseKey(key);
}

// Logs every value change as "D|root|key path|value" or "W|root|key path|value".
class RecordingRegistry : public zv::MemoryRegistry {
public:
    std::vector<std::string> log;

    long OpenKey(zv::RegKey root, const std::string& path, zv::RegKey* result) override {
        long code = MemoryRegistry::OpenKey(root, path, result);
        if (code == zv::kErrorSuccess) paths_[*result] = Name(root, path);
        return code;
    }
    long CreateKey(zv::RegKey root, const std::string& path, zv::RegKey* result) override {
        long code = MemoryRegistry::CreateKey(root, path, result);
        if (code == zv::kErrorSuccess) paths_[*result] = Name(root, path);
        return code;
    }
    long SetValue(zv::RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
        log.push_back("W|" + paths_[key] + "|" + name);
        return MemoryRegistry::SetValue(key, name, type, data, size);
    }
    long DeleteValue(zv::RegKey key, const std::string& name) override {
        log.push_back("D|" + paths_[key] + "|" + name);
        return MemoryRegistry::DeleteValue(key, name);
    }

    std::vector<std::string> Deletions() const { return Only('D'); }
    std::vector<std::string> Writes() const { return Only('W'); }

private:
    static std::string Name(zv::RegKey root, const std::string& path) {
        return std::string(root == zv::kHkeyCurrentUser ? "HKCU" : "HKLM") + "|" + path;
    }
    std::vector<std::string> Only(char op) const {
        std::vector<std::string> out;
        for (const auto& line : log) {
            if (line[0] == op) out.push_back(line);
        }
        return out;
    }
    std::map<zv::RegKey, std::string> paths_;
};

}  // namespace zvtest
