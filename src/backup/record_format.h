// The fixed 128-byte records of a backup file and the five ways one value is encoded in a record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zv {

inline constexpr std::size_t kRecordSize = 128;

// Type codes in front of a tagged value.
inline constexpr std::uint16_t kTagInteger = 3;
inline constexpr std::uint16_t kTagText = 8;
inline constexpr std::uint16_t kTagByte = 17;

// The longest text one record can hold: 128 minus the tag and length (tagged) or the length (plain).
inline constexpr std::size_t kMaxTaggedText = kRecordSize - 4;
inline constexpr std::size_t kMaxPlainText = kRecordSize - 2;

enum class Encoding {
    kPlainInteger,   // 4 bytes, signed, little-endian
    kTaggedInteger,  // type 3, then 4 bytes
    kTaggedText,     // type 8, 2-byte length n, n bytes of ANSI text
    kTaggedByte,     // type 17, then 1 byte
    kPlainText,      // 2-byte length n, n bytes of ANSI text
};

// One value as a record holds it; which member counts follows from the encoding.
struct RecordValue {
    Encoding encoding = Encoding::kTaggedText;
    std::int32_t number = 0;
    std::string text;
    std::uint8_t byte = 0;

    static RecordValue PlainInteger(std::int32_t n) { return {Encoding::kPlainInteger, n, {}, 0}; }
    static RecordValue TaggedInteger(std::int32_t n) { return {Encoding::kTaggedInteger, n, {}, 0}; }
    static RecordValue TaggedText(std::string s) { return {Encoding::kTaggedText, 0, std::move(s), 0}; }
    static RecordValue TaggedByte(std::uint8_t b) { return {Encoding::kTaggedByte, 0, {}, b}; }
    static RecordValue PlainText(std::string s) { return {Encoding::kPlainText, 0, std::move(s), 0}; }

    bool operator==(const RecordValue&) const = default;
};

// No layout comes near this; a writer refuses record numbers beyond it.
inline constexpr int kMaxRecord = 0xFFFF;

// Byte offset of record n (numbered from 1).
constexpr std::size_t RecordOffset(int record) { return static_cast<std::size_t>(record - 1) * kRecordSize; }

// Writes the value into record n, at its start or `at` bytes into it, growing the file with zero
// bytes to whole records. False (file untouched) when the record number is out of range or the
// value does not fit in the rest of the record.
bool PutRecord(std::vector<std::uint8_t>& file, int record, const RecordValue& value, std::size_t at = 0);

enum class RecordError {
    kNone,
    kBeyondEnd,    // the file ends before the record starts
    kTruncated,    // the file ends inside the value
    kUnknownTag,   // the type code is none of 3, 8, 17
    kPastRecordEnd,  // the value (a text by its length) reaches past the end of its record
};

struct RecordRead {
    RecordError error = RecordError::kNone;
    RecordValue value;
    bool ok() const { return error == RecordError::kNone; }
};

// Reading checks every length against both the record and the file; it never reads outside either.
// A tagged value may also be read `at` bytes into its record.
RecordRead ReadTaggedRecord(std::span<const std::uint8_t> file, int record, std::size_t at = 0);
RecordRead ReadPlainIntegerRecord(std::span<const std::uint8_t> file, int record);
RecordRead ReadPlainTextRecord(std::span<const std::uint8_t> file, int record);

}  // namespace zv
