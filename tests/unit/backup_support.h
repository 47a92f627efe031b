// Shared helpers of the backup tests: backup files made by hand, byte by byte, and folders in memory.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "backup/saved_file_commands.h"
#include "tuning/catalogue.h"
#include "writerun/safety_names.h"

namespace zvtest {

using Bytes = std::vector<std::uint8_t>;

// Hand-made files, byte by byte, without the code under test.
class Handmade {
public:
    void At(int record, const Bytes& bytes) {
        std::size_t offset = std::size_t(record - 1) * 128;
        if (file.size() < offset + bytes.size()) file.resize(offset + bytes.size(), 0);
        std::copy(bytes.begin(), bytes.end(), file.begin() + offset);
    }
    void Int(int record, std::int32_t v) { At(record, Le32(v)); }
    void TInt(int record, std::int32_t v) {
        Bytes b = {3, 0};
        for (auto x : Le32(v)) b.push_back(x);
        At(record, b);
    }
    void TText(int record, const std::string& s) {
        Bytes b = {8, 0, std::uint8_t(s.size()), 0};
        b.insert(b.end(), s.begin(), s.end());
        At(record, b);
    }
    void TByte(int record, std::uint8_t v) { At(record, {17, 0, v}); }
    void PText(int record, const std::string& s) {
        Bytes b = {std::uint8_t(s.size()), 0};
        b.insert(b.end(), s.begin(), s.end());
        At(record, b);
    }
    Bytes file;

private:
    static Bytes Le32(std::int32_t v) {
        auto u = std::uint32_t(v);
        return {std::uint8_t(u), std::uint8_t(u >> 8), std::uint8_t(u >> 16), std::uint8_t(u >> 24)};
    }
};

inline std::string SlotKey(int i) { return i < 10 ? "000" + std::to_string(i) : "0010"; }
inline std::string SlotBinding(int i) { return "NetTrans\\" + SlotKey(i); }

// An older 9x file as the earlier program wrote it: every value empty, SLOWNET absent.
inline Handmade Older9x(zv::AccessorSet set) {
    Handmade h;
    h.Int(1, 10);
    for (int i = 0; i <= 10; ++i) {
        h.TText(2 + 2 * i, SlotKey(i));
        h.TText(3 + 2 * i, SlotBinding(i));
        for (int k = 0; k < 8; ++k) h.TText(24 + 8 * i + k, "");
    }
    for (int j = 0; j < 32; ++j) {
        bool number = set == zv::AccessorSet::Win95 && (j <= 1 || (j >= 13 && j <= 22));
        if (number) {
            h.TInt(112 + j, 0);
        } else if (set == zv::AccessorSet::Win98 && j == 31) {
            h.PText(112 + j, "");
        } else {
            h.TText(112 + j, "");
        }
    }
    return h;
}

inline Handmade OlderNt() {
    Handmade h;
    for (int r = 2; r <= 10; ++r) h.TInt(r, 0);
    return h;
}

// A backup folder in memory for the OK sequences: files by name, and failures on request.
class FakeFolder final : public zv::BackupFolderFiles {
public:
    std::map<std::string, Bytes> files;
    bool canMake = true;
    std::string readError, writeError;
    std::vector<zv::ReplaceMethod> writes;

    std::string Folder() const override { return "C:\\Zarvelo\\backup"; }
    bool EnsureFolder() override { return canMake; }
    bool Exists(const std::string& file) override { return files.count(file) > 0; }
    std::optional<Bytes> Read(const std::string& file, std::string* error) override {
        if (!readError.empty()) {
            *error = readError;
            return Bytes{};
        }
        auto it = files.find(file);
        return it == files.end() ? std::nullopt : std::optional(it->second);
    }
    std::string WriteWhole(const std::string& file, const std::string&, const Bytes& bytes,
                           zv::ReplaceMethod method) override {
        writes.push_back(method);
        if (writeError.empty()) files[file] = bytes;
        return writeError;
    }
};

// The safety backups' folder in memory; it can be made to refuse writes.
class MemoryFolder : public zv::SafetyFolder {
public:
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::string refuse;

    std::vector<std::string> Entries() override {
        std::vector<std::string> names;
        for (const auto& f : files) names.push_back(f.first);
        return names;
    }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) override {
        if (refuse.empty()) files[name] = bytes;
        return refuse;
    }
    std::optional<std::vector<std::uint8_t>> Read(const std::string& name, std::string*) override {
        auto it = files.find(name);
        return it == files.end() ? std::nullopt : std::optional(it->second);
    }
    bool Exists(const std::string& name) override { return files.count(name) != 0; }
    bool Remove(const std::string& name) override { return files.erase(name) != 0; }
};

}  // namespace zvtest
