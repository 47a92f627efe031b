// advapi32 reads and writes for the tests, and the registry sandbox.
#include "support/registry_sandbox.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstring>

#include "support/wintest.h"

namespace zvtest {
namespace {

class Key {
public:
    Key(HKEY root, const std::string& path, bool create) {
        const LONG rc = create ? RegCreateKeyA(root, path.c_str(), &h_) : RegOpenKeyA(root, path.c_str(), &h_);
        if (rc != ERROR_SUCCESS) h_ = nullptr;
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (h_) RegCloseKey(h_);
    }
    HKEY get() const { return h_; }

private:
    HKEY h_ = nullptr;
};

RegData QueryValue(HKEY key, const std::string& name) {
    RegData v;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &v.type, nullptr, &size) != ERROR_SUCCESS) return v;
    v.data.resize(size);
    if (RegQueryValueExA(key, name.c_str(), nullptr, &v.type, size ? v.data.data() : nullptr, &size) != ERROR_SUCCESS) {
        return RegData{};
    }
    v.data.resize(size);
    v.exists = true;
    return v;
}

void SetValue(HKEY key, const std::string& name, const RegData& v) {
    RegSetValueExA(key, name.c_str(), 0, v.type, v.data.empty() ? nullptr : v.data.data(),
                   static_cast<DWORD>(v.data.size()));
}

RegistrySandbox::KeyTree Snapshot(HKEY key, const std::string& name) {
    RegistrySandbox::KeyTree tree;
    tree.name = name;
    for (DWORD i = 0;; ++i) {
        char valueName[16384];
        DWORD nameLength = sizeof valueName;
        if (RegEnumValueA(key, i, valueName, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        tree.values.emplace_back(std::string(valueName, nameLength), QueryValue(key, std::string(valueName, nameLength)));
    }
    for (DWORD i = 0;; ++i) {
        char subkey[256];
        if (RegEnumKeyA(key, i, subkey, sizeof subkey) != ERROR_SUCCESS) break;
        HKEY child = nullptr;
        if (RegOpenKeyA(key, subkey, &child) != ERROR_SUCCESS) continue;
        tree.subkeys.push_back(Snapshot(child, subkey));
        RegCloseKey(child);
    }
    return tree;
}

void Recreate(HKEY root, const std::string& path, const RegistrySandbox::KeyTree& tree) {
    Key key(root, path, true);
    if (!key.get()) return;
    for (const auto& [name, value] : tree.values) SetValue(key.get(), name, value);
    for (const auto& sub : tree.subkeys) Recreate(root, path + "\\" + sub.name, sub);
}

std::string TypeName(DWORD type) {
    switch (type) {
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    default: return "type " + std::to_string(type);
    }
}

std::string Where(HKEY root, const std::string& path, const std::string& name) {
    return std::string(root == HKEY_CURRENT_USER ? "HKCU\\" : "HKLM\\") + path + " : \"" + name + "\"";
}

}  // namespace

RegData ReadValue(HKEY root, const std::string& path, const std::string& name) {
    Key key(root, path, false);
    if (!key.get()) return {};
    return QueryValue(key.get(), name);
}

bool KeyExists(HKEY root, const std::string& path) { return Key(root, path, false).get() != nullptr; }

void WriteSz(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
    Key key(root, path, true);
    if (key.get()) {
        RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    }
}

void WriteDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    Key key(root, path, true);
    if (key.get()) {
        RegSetValueExA(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
}

void DeleteValue(HKEY root, const std::string& path, const std::string& name) {
    Key key(root, path, false);
    if (key.get()) RegDeleteValueA(key.get(), name.c_str());
}

std::string Describe(const RegData& v) {
    if (!v.exists) return "absent";
    if (v.type == REG_DWORD && v.data.size() == 4) {
        DWORD n;
        std::memcpy(&n, v.data.data(), 4);
        return "REG_DWORD " + std::to_string(n);
    }
    if (v.type == REG_SZ || v.type == REG_EXPAND_SZ) {
        std::string text(v.data.begin(), v.data.end());
        return TypeName(v.type) + " \"" + text.substr(0, text.find('\0')) + "\" (" + std::to_string(v.data.size()) +
               " bytes)";
    }
    std::string hex;
    char b[4];
    for (BYTE c : v.data) {
        std::snprintf(b, sizeof b, "%02x ", c);
        hex += b;
    }
    return TypeName(v.type) + " [" + hex + "]";
}

::testing::AssertionResult HasSz(HKEY root, const std::string& path, const std::string& name,
                                 const std::string& text) {
    const RegData v = ReadValue(root, path, name);
    std::vector<BYTE> bare(text.begin(), text.end());
    std::vector<BYTE> terminated = bare;
    terminated.push_back(0);
    if (v.exists && v.type == REG_SZ && (v.data == bare || v.data == terminated)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Where(root, path, name) << " is " << Describe(v) << ", expected REG_SZ \""
                                         << text << "\"";
}

::testing::AssertionResult HasDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    const RegData v = ReadValue(root, path, name);
    DWORD n = 0;
    if (v.exists && v.type == REG_DWORD && v.data.size() == 4) {
        std::memcpy(&n, v.data.data(), 4);
        if (n == value) return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << Where(root, path, name) << " is " << Describe(v)
                                         << ", expected REG_DWORD " << value;
}

::testing::AssertionResult IsAbsent(HKEY root, const std::string& path, const std::string& name) {
    const RegData v = ReadValue(root, path, name);
    if (!v.exists) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Where(root, path, name) << " is " << Describe(v) << ", expected absent";
}

RegistrySandbox::~RegistrySandbox() {
    for (auto it = guards_.rbegin(); it != guards_.rend(); ++it) {
        if (it->isKey) {
            DeleteTree(it->root, it->path);
            if (it->existed) Recreate(it->root, it->path, it->tree);
        } else if (it->data.exists) {
            Key key(it->root, it->path, true);
            if (key.get()) SetValue(key.get(), it->value, it->data);
        } else {
            DeleteValue(it->root, it->path, it->value);
        }
    }
}

void RegistrySandbox::GuardKey(HKEY root, const std::string& path, bool clear) {
    Guard g{root, path, {}, true, false, {}, {}};
    {
        Key key(root, path, false);
        g.existed = key.get() != nullptr;
        if (g.existed) g.tree = Snapshot(key.get(), path);
    }
    guards_.push_back(std::move(g));
    if (clear) DeleteTree(root, path);
}

void RegistrySandbox::GuardValue(HKEY root, const std::string& path, const std::string& name, bool clear) {
    Guard g{root, path, name, false, false, {}, ReadValue(root, path, name)};
    guards_.push_back(std::move(g));
    if (clear) DeleteValue(root, path, name);
}

void GuardZarveloKeys(RegistrySandbox& sandbox) {
    sandbox.GuardKey(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\zarvelo.exe");
    // The maker's key stays as it was (empty or not); Zarvelo's own key is cleared.
    sandbox.GuardKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quonibar", false);
    sandbox.GuardKey(HKEY_LOCAL_MACHINE, kZarveloSettingsKey);
    // Write runs are not reviewed unless a test is about the review.
    WriteSz(HKEY_LOCAL_MACHINE, kZarveloSettingsKey, "ReviewChanges", "No");
    sandbox.GuardKey(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\Class");
    sandbox.GuardKey(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\VxD");
    sandbox.GuardKey(HKEY_LOCAL_MACHINE, "Enum");
    // The connection limits are written under HKLM (a key Wine does not have) and deleted under HKCU.
    sandbox.GuardKey(HKEY_LOCAL_MACHINE, kInternetKey);
    sandbox.GuardValue(HKEY_CURRENT_USER, kInternetKey, "MaxConnectionsPerServer");
    sandbox.GuardValue(HKEY_CURRENT_USER, kInternetKey, "MaxConnectionsPer1_0Server");
    for (const char* name : kTcpipValues) sandbox.GuardValue(HKEY_LOCAL_MACHINE, kTcpipKey, name);
}

}  // namespace zvtest
