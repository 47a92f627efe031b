// The safety backup file: writing, checked reading, and putting its values back.
#include "writerun/safety_backup.h"

#include <array>
#include <cstdio>

#include "backup/backup_file.h"

namespace zv {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'Z', 'V', 'S', 'B'};
// Magic, version, kind, family, the time (7 bytes), a reserved byte, the detail's length.
constexpr std::size_t kFixedHeaderSize = 18;
constexpr std::size_t kChecksumSize = 4;

// Root codes of the file: only the two roots the program changes.
constexpr std::uint8_t kRootLocalMachine = 1;
constexpr std::uint8_t kRootCurrentUser = 2;

struct FamilyCode {
    WindowsFamily family;
    std::uint8_t code;
    const char* name;
};
constexpr FamilyCode kFamilies[] = {
    {WindowsFamily::Win95, 1, "Windows 95"}, {WindowsFamily::Win98, 2, "Windows 98"},
    {WindowsFamily::WinMe, 3, "Windows Me"}, {WindowsFamily::WinNT, 4, "Windows NT"},
    {WindowsFamily::Win2K, 5, "Windows 2000"}, {WindowsFamily::WinXP, 6, "Windows XP"},
};

bool HasControl(const std::string& s) {
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return true;
    }
    return false;
}

// Why a key path is not one a registry path may be, or empty.
std::string BadKeyPath(const std::string& key) {
    if (key.empty() || key.size() > kMaxKeyPathLength) return "a key path of a bad length";
    if (HasControl(key)) return "a key path with a control character";
    if (key.front() == '\\' || key.back() == '\\' || key.find("\\\\") != std::string::npos) {
        return "a key path with an empty key name";
    }
    std::size_t start = 0;
    while (start <= key.size()) {
        auto end = key.find('\\', start);
        if (end == std::string::npos) end = key.size();
        if (end - start > kMaxKeyNameLength) return "a key name longer than 255 characters";
        start = end + 1;
    }
    return {};
}

std::string BadValueName(const std::string& name) {
    if (name.size() > kMaxValueNameLength) return "a value name of a bad length";
    if (HasControl(name)) return "a value name with a control character";
    return {};
}

class Writer {
public:
    void U8(std::uint8_t v) { bytes.push_back(v); }
    void U16(std::uint32_t v) {
        U8(std::uint8_t(v));
        U8(std::uint8_t(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Text16(const std::string& s) {
        U16(static_cast<std::uint32_t>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    std::vector<std::uint8_t> bytes;
};

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool Has(std::size_t n) const { return bytes_.size() - at_ >= n; }
    std::size_t Left() const { return bytes_.size() - at_; }
    std::uint8_t U8() { return bytes_[at_++]; }
    std::uint16_t U16() {
        const auto lo = U8();
        return static_cast<std::uint16_t>(lo | U8() << 8);
    }
    std::uint32_t U32() {
        const std::uint32_t lo = U16();
        return lo | std::uint32_t(U16()) << 16;
    }
    std::string Text(std::size_t n) {
        std::string s(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                      bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
        at_ += n;
        return s;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

const char kTruncated[] = "The file is truncated: it ends before its last record and checksum.";

ParsedSafetyBackup Refuse(std::string reason) { return ParsedSafetyBackup{std::nullopt, std::move(reason)}; }

std::string RecordText(std::size_t i) { return "Record " + std::to_string(i + 1); }

}  // namespace

std::string RunKindName(RunKind kind) {
    switch (kind) {
        case RunKind::Optimize: return "Optimize";
        case RunKind::Apply: return "Apply";
        case RunKind::Restore: return "Restore";
        case RunKind::Undo: return "Undo";
    }
    return {};
}

bool IsValidTime(const LocalTime& t) {
    return t.year >= 1601 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
           t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

std::string DateTimeText(const LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

std::string FamilyName(WindowsFamily family) {
    for (const auto& f : kFamilies) {
        if (f.family == family) return f.name;
    }
    return {};
}

SafetyBackup SafetyBackupOf(const ChangeSet& changes, RunKind kind, const std::string& detail,
                            const LocalTime& taken, WindowsFamily family, const std::string& computer) {
    SafetyBackup backup{kind, detail, taken, family, {}, computer};
    for (const auto& row : changes.rows) backup.records.push_back(SafetyRecord{row.where, row.now});
    return backup;
}

std::uint32_t SafetyChecksum(std::span<const std::uint8_t> bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

EncodedSafetyBackup EncodeSafetyBackup(const SafetyBackup& b) {
    EncodedSafetyBackup out;
    std::uint8_t family = 0;
    for (const auto& f : kFamilies) {
        if (f.family == b.family) family = f.code;
    }
    if (!family) out.message = "The safety backup cannot be written for an unknown version of Windows.";
    if (!IsValidTime(b.taken)) out.message = "The safety backup cannot be written: the computer's clock is not set.";
    if (b.detail.size() > kMaxDetailLength || HasControl(b.detail)) {
        out.message = "The safety backup cannot be written: the description of the run is too long.";
    }
    if (!b.computer.empty() && !IsValidComputerName(b.computer)) {
        out.message = "The safety backup cannot be written: the computer's name \"" + b.computer + "\" is not valid.";
    }
    Writer w;
    w.bytes.insert(w.bytes.end(), kMagic.begin(), kMagic.end());
    w.U16(kSafetyFormatVersion);
    w.U8(static_cast<std::uint8_t>(b.kind));
    w.U8(family);
    w.U16(static_cast<std::uint32_t>(b.taken.year));
    for (int part : {b.taken.month, b.taken.day, b.taken.hour, b.taken.minute, b.taken.second}) {
        w.U8(static_cast<std::uint8_t>(part));
    }
    w.U8(0);
    w.Text16(b.detail);
    w.Text16(b.computer);
    w.U32(static_cast<std::uint32_t>(b.records.size()));
    for (const auto& r : b.records) {
        std::string bad = r.where.root == kHkeyLocalMachine || r.where.root == kHkeyCurrentUser
                              ? BadKeyPath(r.where.key)
                              : "a root key other than HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER";
        if (bad.empty()) bad = BadValueName(r.where.name);
        if (bad.empty() && r.value && r.value->data.size() > kMaxSafetyBackupSize) bad = "a value too large";
        if (!bad.empty() && out.message.empty()) {
            out.message = "The safety backup cannot be written: the run would change " + bad + ".";
        }
        w.U8(r.where.root == kHkeyCurrentUser ? kRootCurrentUser : kRootLocalMachine);
        w.Text16(r.where.key);
        w.Text16(r.where.name);
        w.U8(r.value ? 1 : 0);
        w.U32(r.value ? r.value->type : 0);
        w.U32(r.value ? static_cast<std::uint32_t>(r.value->data.size()) : 0);
        if (r.value) w.bytes.insert(w.bytes.end(), r.value->data.begin(), r.value->data.end());
    }
    w.U32(SafetyChecksum(w.bytes));
    if (out.message.empty() && w.bytes.size() > kMaxSafetyBackupSize) {
        out.message = "The safety backup cannot be written: the run changes too many values.";
    }
    if (out.message.empty()) out.bytes = std::move(w.bytes);
    return out;
}

ParsedSafetyBackup ParseSafetyBackup(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kMaxSafetyBackupSize) return Refuse("The file is too large to be a safety backup.");
    if (bytes.size() < kMagic.size() || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) {
        return Refuse("The file is not a Zarvelo safety backup (its first bytes are not \"ZVSB\").");
    }
    Reader in(bytes);
    if (!in.Has(kFixedHeaderSize)) return Refuse(kTruncated);
    in.Text(kMagic.size());
    const std::uint16_t version = in.U16();
    if (version != 1 && version != kSafetyFormatVersion) {
        return Refuse("The file has format version " + std::to_string(version) +
                      ", which this version of Zarvelo does not know.");
    }
    SafetyBackup b;
    const std::uint8_t kind = in.U8();
    const std::uint8_t family = in.U8();
    b.taken.year = in.U16();
    b.taken.month = in.U8();
    b.taken.day = in.U8();
    b.taken.hour = in.U8();
    b.taken.minute = in.U8();
    b.taken.second = in.U8();
    const std::uint8_t reserved = in.U8();
    const std::size_t detailLength = in.U16();
    if (detailLength > kMaxDetailLength) return Refuse("The file is damaged: its description has a bad length.");
    if (!in.Has(detailLength + 4)) return Refuse(kTruncated);
    b.detail = in.Text(detailLength);
    if (version >= 2) {
        if (!in.Has(2)) return Refuse(kTruncated);
        const std::size_t computerLength = in.U16();
        if (computerLength > kMaxComputerNameLength) {
            return Refuse("The file is damaged: its computer name has a bad length.");
        }
        if (!in.Has(computerLength + 4)) return Refuse(kTruncated);
        b.computer = in.Text(computerLength);
        if (!b.computer.empty() && !IsValidComputerName(b.computer)) {
            return Refuse("The file is damaged: its computer name holds a control character.");
        }
    }
    const std::uint32_t count = in.U32();

    // The structure first, so that a short file is called truncated rather than damaged.
    struct Raw {
        std::uint8_t root, present;
        std::uint32_t type;
    };
    std::vector<Raw> raw;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!in.Has(3)) return Refuse(kTruncated);
        Raw r{in.U8(), 0, 0};
        const std::size_t keyLength = in.U16();
        if (keyLength == 0 || keyLength > kMaxKeyPathLength) {
            return Refuse("The file is damaged: " + RecordText(i) + " has a key path of a bad length.");
        }
        if (!in.Has(keyLength + 2)) return Refuse(kTruncated);
        SafetyRecord record;
        record.where.key = in.Text(keyLength);
        const std::size_t nameLength = in.U16();
        if (nameLength > kMaxValueNameLength) {
            return Refuse("The file is damaged: " + RecordText(i) + " has a value name of a bad length.");
        }
        if (!in.Has(nameLength + 9)) return Refuse(kTruncated);
        record.where.name = in.Text(nameLength);
        r.present = in.U8();
        r.type = in.U32();
        const std::size_t dataLength = in.U32();
        if (dataLength > in.Left()) {
            return dataLength > kMaxSafetyBackupSize
                       ? Refuse("The file is damaged: " + RecordText(i) + " has a value of a bad length.")
                       : Refuse(kTruncated);
        }
        if (r.present == 0 && (r.type != 0 || dataLength != 0)) {
            return Refuse("The file is damaged: " + RecordText(i) + " is marked not set but holds a value.");
        }
        if (r.present == 1) record.value = RegValue{r.type, {}};
        const std::string data = in.Text(dataLength);
        if (record.value) record.value->data.assign(data.begin(), data.end());
        raw.push_back(r);
        b.records.push_back(std::move(record));
    }
    if (in.Left() < kChecksumSize) return Refuse(kTruncated);
    if (in.Left() > kChecksumSize) return Refuse("The file is damaged: it goes on after its checksum.");
    const std::uint32_t stored = in.U32();
    if (stored != SafetyChecksum(bytes.first(bytes.size() - kChecksumSize))) {
        return Refuse("The file is damaged: its checksum does not match its contents.");
    }

    // The fields, now that the bytes are known to be the ones written.
    if (kind < 1 || kind > 4) return Refuse("The file is damaged: it does not say which run it was taken before.");
    b.kind = static_cast<RunKind>(kind);
    for (const auto& f : kFamilies) {
        if (f.code == family) b.family = f.family;
    }
    if (b.family == WindowsFamily::Unknown) return Refuse("The file is damaged: it names no known version of Windows.");
    if (!IsValidTime(b.taken) || reserved != 0) return Refuse("The file is damaged: its date and time are not valid.");
    if (HasControl(b.detail)) return Refuse("The file is damaged: its description holds control characters.");
    for (std::size_t i = 0; i < raw.size(); ++i) {
        SafetyRecord& r = b.records[i];
        if (raw[i].root == kRootLocalMachine) {
            r.where.root = kHkeyLocalMachine;
        } else if (raw[i].root == kRootCurrentUser) {
            r.where.root = kHkeyCurrentUser;
        } else {
            return Refuse("The file is damaged: " + RecordText(i) + " names an unknown root key.");
        }
        if (raw[i].present > 1) return Refuse("The file is damaged: " + RecordText(i) + " has a bad presence mark.");
        std::string bad = BadKeyPath(r.where.key);
        if (bad.empty()) bad = BadValueName(r.where.name);
        if (!bad.empty()) {
            return Refuse("The file is damaged: " + RecordText(i) + " has " + bad +
                          ", which a registry path must not have.");
        }
    }
    return ParsedSafetyBackup{std::move(b), {}};
}

void RestoreSafetyBackup(Registry& reg, const SafetyBackup& backup) {
    for (const auto& r : backup.records) PutValue(reg, r.where, r.value);
}

}  // namespace zv
