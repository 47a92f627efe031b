// The automatic safety backup: every value a write run will touch, as it stood before the run, in a
// small lossless file of the program's own (docs/safety-backup-format.md), and putting it back.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/change_set.h"
#include "platform/opsysinfo.h"
#include "platform/registry.h"

namespace zv {

// What the run was; the number is the one the file stores.
enum class RunKind : std::uint8_t { Optimize = 1, Apply = 2, Restore = 3, Undo = 4 };
std::string RunKindName(RunKind kind);  // "Optimize", "Apply", "Restore", "Undo"

// A local date and time, to the second, as the name and the header show it.
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const LocalTime&) const = default;
    auto operator<=>(const LocalTime&) const = default;
};
bool IsValidTime(const LocalTime& t);
// "2026-12-08 14:50:07".
std::string DateTimeText(const LocalTime& t);

// "Windows 95" ... "Windows XP"; empty for an unknown family.
std::string FamilyName(WindowsFamily family);

struct SafetyRecord {
    ValueLocation where;
    std::optional<RegValue> value;  // nothing: the value was not set
    bool operator==(const SafetyRecord&) const = default;
};

struct SafetyBackup {
    RunKind kind = RunKind::Optimize;
    std::string detail;  // the option chosen, the backup restored, ...
    LocalTime taken;
    WindowsFamily family = WindowsFamily::Unknown;
    std::vector<SafetyRecord> records;
    std::string computer;  // the computer it was taken on; empty when unknown (and in version 1 files)
    bool operator==(const SafetyBackup&) const = default;
};

// The change set's locations with their values before the run ("not set" included).
SafetyBackup SafetyBackupOf(const ChangeSet& changes, RunKind kind, const std::string& detail,
                            const LocalTime& taken, WindowsFamily family, const std::string& computer = {});

// Version 2 adds the computer's name after the detail; version 1 files are read as they are.
inline constexpr std::uint8_t kSafetyFormatVersion = 2;
// Limits the reader enforces; the writer refuses what the reader would refuse.
inline constexpr std::size_t kMaxSafetyBackupSize = 1u << 20;
inline constexpr std::size_t kMaxDetailLength = 1024;
inline constexpr std::size_t kMaxKeyPathLength = 1024;
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;

struct EncodedSafetyBackup {
    std::vector<std::uint8_t> bytes;
    std::string message;  // why it cannot be written
    bool ok() const { return message.empty(); }
};
EncodedSafetyBackup EncodeSafetyBackup(const SafetyBackup& backup);

struct ParsedSafetyBackup {
    std::optional<SafetyBackup> backup;
    std::string reason;  // a whole sentence: why the file was refused
};
// Checks everything: size, magic, version, header fields, every length, the checksum, the names.
ParsedSafetyBackup ParseSafetyBackup(std::span<const std::uint8_t> bytes);

// CRC-32 (the one of zip and PNG) of the bytes: the file's last four bytes hold it for all before.
std::uint32_t SafetyChecksum(std::span<const std::uint8_t> bytes);

// Puts every record's value back (deleting those that were not set), in order; refusals are
// counted by the registry.
void RestoreSafetyBackup(Registry& reg, const SafetyBackup& backup);

}  // namespace zv
