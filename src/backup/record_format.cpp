// Encoding and decoding single backup records, little-endian, with every length checked.
#include "backup/record_format.h"

#include <algorithm>

namespace zv {
namespace {

void Put16(std::uint8_t* at, std::uint16_t v) {
    at[0] = std::uint8_t(v);
    at[1] = std::uint8_t(v >> 8);
}

void Put32(std::uint8_t* at, std::int32_t value) {
    auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) at[i] = std::uint8_t(v >> (8 * i));
}

std::uint16_t Get16(const std::uint8_t* at) { return std::uint16_t(at[0] | at[1] << 8); }

std::int32_t Get32(const std::uint8_t* at) {
    std::uint32_t v = std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
                      std::uint32_t(at[3]) << 24;
    return static_cast<std::int32_t>(v);
}

// The bytes of record n that lie inside the file; nothing when the record starts past the end.
struct Window {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;     // bytes available to this record (at most 128)
    bool exists = false;
};

Window RecordWindow(std::span<const std::uint8_t> file, int record) {
    Window w;
    if (record < 1) return w;
    std::size_t offset = RecordOffset(record);
    if (offset >= file.size() || offset / kRecordSize != static_cast<std::size_t>(record - 1)) return w;
    w.exists = true;
    w.data = file.data() + offset;
    w.size = std::min(kRecordSize, file.size() - offset);
    return w;
}

// A failed read of a record that exists: the value did not fit in what the file holds of it.
RecordRead Fail(RecordError error) {
    RecordRead r;
    r.error = error;
    return r;
}

RecordRead ReadText(const Window& w, std::size_t at, Encoding encoding) {
    if (w.size < at + 2) return Fail(RecordError::kTruncated);
    // The length is checked against the record first, then against what the file holds of it.
    std::size_t length = Get16(w.data + at);
    if (at + 2 + length > kRecordSize) return Fail(RecordError::kPastRecordEnd);
    if (at + 2 + length > w.size) return Fail(RecordError::kTruncated);
    RecordRead r;
    r.value.encoding = encoding;
    r.value.text.assign(reinterpret_cast<const char*>(w.data + at + 2), length);
    return r;
}

}  // namespace

bool PutRecord(std::vector<std::uint8_t>& file, int record, const RecordValue& value, std::size_t at) {
    if (record < 1 || record > kMaxRecord || at >= kRecordSize) return false;
    std::uint8_t bytes[kRecordSize] = {};
    std::size_t size = 0;
    switch (value.encoding) {
        case Encoding::kPlainInteger:
            Put32(bytes, value.number);
            size = 4;
            break;
        case Encoding::kTaggedInteger:
            Put16(bytes, kTagInteger);
            Put32(bytes + 2, value.number);
            size = 6;
            break;
        case Encoding::kTaggedText:
            if (value.text.size() > kMaxTaggedText - at) return false;
            Put16(bytes, kTagText);
            Put16(bytes + 2, std::uint16_t(value.text.size()));
            value.text.copy(reinterpret_cast<char*>(bytes + 4), value.text.size());
            size = 4 + value.text.size();
            break;
        case Encoding::kTaggedByte:
            Put16(bytes, kTagByte);
            bytes[2] = value.byte;
            size = 3;
            break;
        case Encoding::kPlainText:
            if (value.text.size() > kMaxPlainText - at) return false;
            Put16(bytes, std::uint16_t(value.text.size()));
            value.text.copy(reinterpret_cast<char*>(bytes + 2), value.text.size());
            size = 2 + value.text.size();
            break;
    }
    if (at + size > kRecordSize) return false;
    std::size_t start = RecordOffset(record);
    if (file.size() < start + kRecordSize) file.resize(start + kRecordSize, 0);
    std::copy(bytes, bytes + size, file.begin() + static_cast<std::ptrdiff_t>(start + at));
    return true;
}

RecordRead ReadTaggedRecord(std::span<const std::uint8_t> file, int record, std::size_t at) {
    Window w = RecordWindow(file, record);
    if (!w.exists) return Fail(RecordError::kBeyondEnd);
    if (at + 2 > kRecordSize) return Fail(RecordError::kPastRecordEnd);
    if (w.size < at + 2) return Fail(RecordError::kTruncated);
    RecordRead r;
    switch (Get16(w.data + at)) {
        case kTagInteger:
            if (at + 6 > kRecordSize) return Fail(RecordError::kPastRecordEnd);
            if (w.size < at + 6) return Fail(RecordError::kTruncated);
            r.value = RecordValue::TaggedInteger(Get32(w.data + at + 2));
            return r;
        case kTagText:
            return ReadText(w, at + 2, Encoding::kTaggedText);
        case kTagByte:
            if (at + 3 > kRecordSize) return Fail(RecordError::kPastRecordEnd);
            if (w.size < at + 3) return Fail(RecordError::kTruncated);
            r.value = RecordValue::TaggedByte(w.data[at + 2]);
            return r;
        default:
            return Fail(RecordError::kUnknownTag);
    }
}

RecordRead ReadPlainIntegerRecord(std::span<const std::uint8_t> file, int record) {
    Window w = RecordWindow(file, record);
    if (!w.exists) return Fail(RecordError::kBeyondEnd);
    if (w.size < 4) return Fail(RecordError::kTruncated);
    RecordRead r;
    r.value = RecordValue::PlainInteger(Get32(w.data));
    return r;
}

RecordRead ReadPlainTextRecord(std::span<const std::uint8_t> file, int record) {
    Window w = RecordWindow(file, record);
    if (!w.exists) return Fail(RecordError::kBeyondEnd);
    return ReadText(w, 0, Encoding::kPlainText);
}

}  // namespace zv
