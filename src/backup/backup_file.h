// A whole backup file: the NT and 9x record layouts, the format mark, and the checked reading and
// writing of every value a backup holds.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/opsysinfo.h"
#include "tuning/adapters.h"
#include "tuning/catalogue.h"

namespace zv {

// The numeric value is the one the mark stores.
enum class BackupLayout : std::uint8_t { kNt = 1, k9x = 2 };

struct BackupFormat {
    BackupLayout layout = BackupLayout::kNt;
    AccessorSet set = AccessorSet::Nt;
    bool operator==(const BackupFormat&) const = default;
};

// XP, 2000, NT: NT layout; 98 and Me: 9x layout with the Win98 set; 95: 9x layout with the Win95
// set. Nothing for an unknown family.
std::optional<BackupFormat> BackupFormatFor(WindowsFamily family);

// "Windows NT, 2000 or XP", "Windows 98 or Me", "Windows 95": where a file of this format is made.
std::string FormatPlaceName(BackupFormat format);

// Record positions (records are numbered from 1). n is the highest slot index of the 9x layout.
inline constexpr int kHighestSlot = 10;
inline constexpr int kAdapterValueCount = 8;
inline constexpr int kSlownetIndex = 7;
inline constexpr int k9xGlobalCount = 32;
inline constexpr int kNtValueCount = 9;

constexpr int SlotNameRecord(int slot) { return 2 + 2 * slot; }
constexpr int SlotBindingRecord(int slot) { return 3 + 2 * slot; }
constexpr int AdapterRecord(int n, int slot, int k) { return 2 * n + 4 + 8 * slot + k; }
constexpr int GlobalRecord(int n, int j) { return 10 * n + 12 + j; }
constexpr int RecordCount9x(int n) { return 10 * n + 43; }
constexpr int NtRecord(int j) { return 2 + j; }
inline constexpr int kNtRecordCount = 10;

// The catalogue entry behind each position, in record order.
extern const std::array<EntryId, kAdapterValueCount> k9xAdapterEntries;
extern const std::array<EntryId, k9xGlobalCount> k9xGlobalEntries;
extern const std::array<EntryId, kNtValueCount> kNtEntries;

// The twelve global entries that are numbers in the Win95 set (and text in the Win98 set).
bool IsSetDependentGlobal(int j);

// The mark our files carry at bytes 4 to 11 of record 1: "ZVBK", format version, layout (1 NT,
// 2 9x), accessor set (1 Win95, 2 Win98, 3 NT), 0.
inline constexpr std::size_t kMarkOffset = 4;
inline constexpr std::size_t kMarkSize = 8;
inline constexpr std::array<std::uint8_t, 4> kMarkMagic = {'Z', 'V', 'B', 'K'};
inline constexpr std::uint8_t kBackupFormatVersion = 1;

// In a marked 9x file record 1 also holds, from this byte on, the tagged value of the MSTCP key's
// "DefaultMSS": every slot's Adapter.MSS writer sets it, so no slot record can say how it stood.
inline constexpr std::size_t kSharedMssOffset = kMarkOffset + kMarkSize;

std::uint8_t MarkSetCode(AccessorSet set);
std::array<std::uint8_t, kMarkSize> MarkBytes(BackupFormat format);

// How the main location of one entry stood when the backup was taken.
struct SavedValue {
    enum class Kind { kAbsent, kNumber, kText, kByte };
    Kind kind = Kind::kAbsent;
    std::int32_t number = 0;  // kNumber: a REG_DWORD
    std::string text;         // kText: a REG_SZ, possibly empty
    std::uint8_t byte = 0;    // kByte: the first byte of Adapter.SLOWNET's REG_BINARY

    static SavedValue Absent() { return {}; }
    static SavedValue Number(std::int32_t n) { return {Kind::kNumber, n, {}, 0}; }
    static SavedValue Text(std::string s) { return {Kind::kText, 0, std::move(s), 0}; }
    static SavedValue Byte(std::uint8_t b) { return {Kind::kByte, 0, {}, b}; }

    bool operator==(const SavedValue&) const = default;
};

// Everything a backup file holds, in record order.
struct BackupImage {
    BackupFormat format;
    bool marked = true;  // false: an older file without the mark, restored by the older rules
    std::vector<AdapterTarget> slots;                                    // 9x: slots 0 to n
    std::vector<std::array<SavedValue, kAdapterValueCount>> adapterValues;  // 9x: one row per slot
    std::vector<SavedValue> globals;  // 9x: the 32 global entries; NT: the 9 Tcpip entries
    // 9x: the MSTCP key's DefaultMSS, the mirror all slots share; not saved in older files.
    std::optional<SavedValue> sharedDefaultMss;
    // The computer the backup was taken on; empty in files that do not say.
    std::string computer;
};

// A marked file says which computer it was taken on in the record after its last value: "ZVPC", then
// the name as a tagged text. Readers that stop at the last value never see it.
inline constexpr std::array<std::uint8_t, 4> kComputerMagic = {'Z', 'V', 'P', 'C'};
inline constexpr std::size_t kMaxComputerNameLength = 120;

// A computer name as a backup records it: 1 to 120 characters, none of them a control character.
bool IsValidComputerName(const std::string& name);

// Whether a backup taken on `takenOn` belongs to another computer than `here` (names compared
// without regard to case). A backup that does not say, or a computer whose name is unknown, is not.
bool TakenElsewhere(const std::string& takenOn, const std::string& here);

// No backup comes near this size (a 9x backup is 18 304 bytes); a larger file is refused unread,
// and a caller reading a file need read no more than this and one byte.
inline constexpr std::size_t kMaxBackupFileSize = 1u << 20;

// Result of reading a file: the image, or a message (whole sentences) saying why it was refused.
struct ParsedBackup {
    std::optional<BackupImage> image;
    std::string message;
};

// Reads and checks the whole file for the format of the running system. Any file is safe to give:
// lengths, type codes, record counts, slot names and the mark are all checked.
ParsedBackup ParseBackupFile(std::span<const std::uint8_t> bytes, BackupFormat expected);

struct EncodedBackup {
    std::vector<std::uint8_t> bytes;
    std::string message;  // set when the image cannot be written (for example a text too long)
    bool ok() const { return message.empty(); }
};

// Writes the image as a marked file of whole records.
EncodedBackup EncodeBackupFile(const BackupImage& image);

}  // namespace zv
