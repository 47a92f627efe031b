// Change rows, their display texts, and putting values into a registry.
#include "platform/change_set.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace zv {

std::size_t ChangeSet::SetCount() const {
    std::size_t n = 0;
    for (const auto& row : rows) n += row.after.has_value();
    return n;
}

ChangeSet ChangeSet::AllWrites() const {
    ChangeSet all;
    all.rows = writes;
    all.createdKeys = createdKeys;
    return all;
}

std::size_t ChangeSet::DeletedCount() const { return rows.size() - SetCount(); }

std::string RootName(RegKey root) {
    switch (root) {
        case 0x80000000u: return "HKEY_CLASSES_ROOT";
        case kHkeyCurrentUser: return "HKEY_CURRENT_USER";
        case kHkeyLocalMachine: return "HKEY_LOCAL_MACHINE";
        case 0x80000003u: return "HKEY_USERS";
        default: break;
    }
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(root));
    return text;
}

std::string KeyText(const ValueLocation& where) {
    return where.key.empty() ? RootName(where.root) : RootName(where.root) + "\\" + where.key;
}

std::string ValueNameText(const std::string& name) { return name.empty() ? "(unnamed)" : name; }

namespace {

std::string TypeName(std::uint32_t type) {
    switch (type) {
        case kRegSz: return "REG_SZ";
        case kRegExpandSz: return "REG_EXPAND_SZ";
        case kRegBinary: return "REG_BINARY";
        case kRegDword: return "REG_DWORD";
        case kRegMultiSz: return "REG_MULTI_SZ";
        default: return "type " + std::to_string(type);
    }
}

std::string HexBytes(const std::vector<std::uint8_t>& data) {
    // A review line stays readable; nothing this program writes comes near the limit.
    constexpr std::size_t kShown = 32;
    if (data.empty()) return "(no data)";
    std::string text;
    char hex[4];
    for (std::size_t i = 0; i < data.size() && i < kShown; ++i) {
        std::snprintf(hex, sizeof hex, i ? " %02X" : "%02X", data[i]);
        text += hex;
    }
    if (data.size() > kShown) text += " ... (" + std::to_string(data.size()) + " bytes)";
    return text;
}

}  // namespace

std::string ValueText(const std::optional<RegValue>& value, const std::string& absentText) {
    if (!value) return absentText;
    const std::string type = TypeName(value->type);
    if (value->type == kRegSz || value->type == kRegExpandSz) {
        std::string text(value->data.begin(), value->data.end());
        // Read as the helpers read it: up to the first NUL.
        if (auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
        return type + " \"" + text + "\"";
    }
    if (value->type == kRegDword && value->data.size() == 4) {
        const auto& d = value->data;
        const std::uint32_t n = std::uint32_t(d[0]) | std::uint32_t(d[1]) << 8 | std::uint32_t(d[2]) << 16 |
                                std::uint32_t(d[3]) << 24;
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(n));
        return type + " " + std::to_string(n) + " (" + hex + ")";
    }
    return type + " " + HexBytes(value->data);
}

std::string NowText(const ValueChange& change) { return ValueText(change.now, "not set"); }
std::string AfterText(const ValueChange& change) { return ValueText(change.after, "deleted"); }

std::string ChangeSummary(const ChangeSet& changes) {
    if (changes.ChangesNothing()) return "Nothing needs to change: every value is already as it would be written.";
    auto values = [](std::size_t n) { return std::to_string(n) + (n == 1 ? " value" : " values"); };
    const std::size_t set = changes.SetCount();
    const std::size_t deleted = changes.DeletedCount();
    if (deleted == 0) return values(set) + " will be set.";
    if (set == 0) return values(deleted) + " will be deleted.";
    return values(set) + " will be set and " + std::to_string(deleted) + " deleted.";
}

std::optional<RegValue> ReadValue(Registry& reg, const ValueLocation& where) {
    RegKey key = 0;
    if (reg.OpenKey(where.root, where.key, &key) != kErrorSuccess) return std::nullopt;
    RegValue v;
    std::uint32_t size = 0;
    std::optional<RegValue> result;
    if (reg.QueryValue(key, where.name, &v.type, nullptr, &size) == kErrorSuccess) {
        v.data.resize(size);
        if (!size || reg.QueryValue(key, where.name, &v.type, v.data.data(), &size) == kErrorSuccess) {
            v.data.resize(size);
            result = std::move(v);
        }
    }
    if (key != where.root) reg.CloseKey(key);
    return result;
}

void PutValue(Registry& reg, const ValueLocation& where, const std::optional<RegValue>& value) {
    RegKey key = 0;
    if (value) {
        if (reg.CreateKey(where.root, where.key, &key) != kErrorSuccess) {
            reg.CountFailedChange();
            return;
        }
        // Text must be followed by a NUL beyond its counted bytes.
        std::vector<std::uint8_t> buffer = value->data;
        buffer.push_back(0);
        if (reg.SetValue(key, where.name, value->type, buffer.data(),
                         static_cast<std::uint32_t>(value->data.size())) != kErrorSuccess) {
            reg.CountFailedChange();
        }
        if (key != where.root) reg.CloseKey(key);
        return;
    }
    const long opened = reg.OpenKey(where.root, where.key, &key);
    if (opened != kErrorSuccess) {
        if (!IsNotThere(opened)) reg.CountFailedChange();
        return;
    }
    const long deleted = reg.DeleteValue(key, where.name);
    if (deleted != kErrorSuccess && !IsNotThere(deleted)) reg.CountFailedChange();
    if (key != where.root) reg.CloseKey(key);
}

void ApplyChangeSet(Registry& reg, const ChangeSet& changes) {
    for (const auto& created : changes.createdKeys) {
        RegKey key = 0;
        if (reg.CreateKey(created.root, created.key, &key) != kErrorSuccess) {
            reg.CountFailedChange();
        } else if (key != created.root) {
            reg.CloseKey(key);
        }
    }
    for (const auto& row : changes.rows) PutValue(reg, row.where, row.after);
}

bool MayWrite(Registry& reg, const ChangeSet& changes) {
    std::vector<ValueLocation> keys;
    for (const ValueChange& row : changes.rows) keys.push_back(row.where);
    keys.insert(keys.end(), changes.createdKeys.begin(), changes.createdKeys.end());
    std::vector<std::pair<RegKey, std::string>> probed;
    for (const ValueLocation& where : keys) {
        // The nearest key that is there, the root at the last: a missing one is made in it.
        std::string path = where.key;
        RegKey key = 0;
        bool found = false;
        while (!(found = reg.OpenKey(where.root, path, &key) == kErrorSuccess) && !path.empty()) {
            const auto slash = path.find_last_of('\\');
            path.erase(slash == std::string::npos ? 0 : slash);
        }
        if (!found) continue;
        reg.CloseKey(key);
        if (std::find(probed.begin(), probed.end(), std::pair{where.root, path}) != probed.end()) continue;
        probed.emplace_back(where.root, path);
        // Opens the key that is there for writing; makes nothing.
        if (reg.CreateKey(where.root, path, &key) == kErrorAccessDenied) return false;
        if (key) reg.CloseKey(key);
    }
    return true;
}

}  // namespace zv
