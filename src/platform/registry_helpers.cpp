// The registry helpers, written once over the Registry interface.
#include "platform/registry_helpers.h"

#include <cstring>

namespace zv {
namespace {

// Open for reading, deleting or enumerating: never creates the key.
class OpenedKey {
public:
    OpenedKey(Registry& reg, RegKey root, const std::string& path) : reg_(reg) {
        code_ = reg_.OpenKey(root, path, &key_);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    ~OpenedKey() {
        if (code_ == kErrorSuccess) reg_.CloseKey(key_);
    }
    bool ok() const { return code_ == kErrorSuccess; }
    long code() const { return code_; }
    RegKey get() const { return key_; }

private:
    Registry& reg_;
    RegKey key_ = 0;
    long code_;
};

// Open for writing: creates every missing key along the path.
class CreatedKey {
public:
    CreatedKey(Registry& reg, RegKey root, const std::string& path) : reg_(reg) {
        ok_ = reg_.CreateKey(root, path, &key_) == kErrorSuccess;
        if (!ok_) reg_.CountFailedChange();
    }
    CreatedKey(const CreatedKey&) = delete;
    CreatedKey& operator=(const CreatedKey&) = delete;
    ~CreatedKey() {
        if (ok_) reg_.CloseKey(key_);
    }
    void Set(const std::string& name, std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
        if (!ok_) return;
        if (reg_.SetValue(key_, name, type, data, size) != kErrorSuccess) reg_.CountFailedChange();
    }

private:
    Registry& reg_;
    RegKey key_ = 0;
    bool ok_;
};

// Reads a value of the given type whole; nothing when it is absent or of another type.
std::optional<ByteArray> ReadTyped(Registry& reg, RegKey root, const std::string& path, const std::string& name,
                                   std::uint32_t wanted) {
    OpenedKey key(reg, root, path);
    if (!key.ok()) return std::nullopt;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (reg.QueryValue(key.get(), name, &type, nullptr, &size) != kErrorSuccess || type != wanted) {
        return std::nullopt;
    }
    ByteArray data(size, ' ');
    if (size > 0) {
        if (reg.QueryValue(key.get(), name, &type, data.data(), &size) != kErrorSuccess || type != wanted) {
            return std::nullopt;
        }
        if (size < data.size()) data.resize(size);
    }
    return data;
}

}  // namespace

void DeleteRegValue(Registry& reg, RegKey root, const std::string& path, const std::string& name) {
    OpenedKey key(reg, root, path);
    if (!key.ok()) {
        if (!IsNotThere(key.code())) reg.CountFailedChange();
        return;
    }
    long code = reg.DeleteValue(key.get(), name);
    if (code != kErrorSuccess && !IsNotThere(code)) reg.CountFailedChange();
}

std::string ReadRegString(Registry& reg, RegKey root, const std::string& path, const std::string& name,
                          const std::string& fallback) {
    auto data = ReadTyped(reg, root, path, name, kRegSz);
    if (!data) return fallback;
    std::string text(data->begin(), data->end());
    auto nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return text;
}

void WriteRegString(Registry& reg, RegKey root, const std::string& path, const std::string& name,
                    const std::string& value) {
    // The terminating NUL is neither counted nor stored.
    CreatedKey key(reg, root, path);
    key.Set(name, kRegSz, reinterpret_cast<const std::uint8_t*>(value.data()),
            static_cast<std::uint32_t>(value.size()));
}

std::int32_t ReadRegDword(Registry& reg, RegKey root, const std::string& path, const std::string& name,
                          std::int32_t fallback) {
    OpenedKey key(reg, root, path);
    if (!key.ok()) return fallback;
    std::uint8_t buffer[4] = {0, 0, 0, 0};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    if (reg.QueryValue(key.get(), name, &type, buffer, &size) != kErrorSuccess || type != kRegDword) {
        return fallback;
    }
    std::uint32_t value = std::uint32_t(buffer[0]) | std::uint32_t(buffer[1]) << 8 |
                          std::uint32_t(buffer[2]) << 16 | std::uint32_t(buffer[3]) << 24;
    return static_cast<std::int32_t>(value);
}

void WriteRegDword(Registry& reg, RegKey root, const std::string& path, const std::string& name,
                   std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    const std::uint8_t bytes[4] = {std::uint8_t(bits), std::uint8_t(bits >> 8), std::uint8_t(bits >> 16),
                                   std::uint8_t(bits >> 24)};
    CreatedKey key(reg, root, path);
    key.Set(name, kRegDword, bytes, 4);
}

std::optional<ByteArray> ReadRegBinary(Registry& reg, RegKey root, const std::string& path,
                                       const std::string& name, std::optional<ByteArray> fallback) {
    auto data = ReadTyped(reg, root, path, name, kRegBinary);
    // A zero-length value has no first element: treat it as absent.
    if (!data || data->empty()) return fallback;
    return data;
}

void WriteRegBinary(Registry& reg, RegKey root, const std::string& path, const std::string& name,
                    const ByteArray& value) {
    CreatedKey key(reg, root, path);
    key.Set(name, kRegBinary, value.data(), static_cast<std::uint32_t>(value.size()));
}

std::vector<std::string> EnumRegSubkeys(Registry& reg, RegKey root, const std::string& path) {
    std::vector<std::string> names;
    OpenedKey key(reg, root, path);
    if (!key.ok()) return names;
    for (std::uint32_t i = 0;; ++i) {
        char buffer[256];
        std::memset(buffer, 0, sizeof buffer);
        if (reg.EnumKey(key.get(), i, buffer, 255) != kErrorSuccess) break;
        names.emplace_back(buffer, strnlen(buffer, 255));
    }
    return names;
}

}  // namespace zv
