// Single backup records: the bytes of each encoding, and reading that never trusts a length.
#include <gtest/gtest.h>

#include <vector>

#include "backup/record_format.h"

namespace zv {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Prefix(const Bytes& file, std::size_t n) { return Bytes(file.begin(), file.begin() + n); }

struct EncodingCase {
    const char* what;
    RecordValue value;
    Bytes bytes;  // the value's bytes at the start of the record, all little-endian
};

class RecordEncodings : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(RecordEncodings, WriteTheDescribedBytesAndReadBack) {
    const EncodingCase& c = GetParam();
    Bytes file;
    ASSERT_TRUE(PutRecord(file, 2, c.value)) << c.what;
    ASSERT_EQ(file.size(), 2 * kRecordSize) << c.what;
    EXPECT_EQ(Bytes(file.begin() + 128, file.begin() + 128 + c.bytes.size()), c.bytes) << c.what;
    for (std::size_t i = 128 + c.bytes.size(); i < file.size(); ++i) ASSERT_EQ(file[i], 0) << c.what << " at " << i;
    for (std::size_t i = 0; i < 128; ++i) ASSERT_EQ(file[i], 0) << c.what << ": record 1 untouched";

    RecordRead read;
    if (c.value.encoding == Encoding::kPlainInteger) {
        read = ReadPlainIntegerRecord(file, 2);
    } else if (c.value.encoding == Encoding::kPlainText) {
        read = ReadPlainTextRecord(file, 2);
    } else {
        read = ReadTaggedRecord(file, 2);
    }
    ASSERT_TRUE(read.ok()) << c.what;
    EXPECT_EQ(read.value, c.value) << c.what;

    // The file may end right after the value.
    Bytes tight = Prefix(file, 128 + c.bytes.size());
    RecordRead again = c.value.encoding == Encoding::kPlainInteger ? ReadPlainIntegerRecord(tight, 2)
                       : c.value.encoding == Encoding::kPlainText  ? ReadPlainTextRecord(tight, 2)
                                                                   : ReadTaggedRecord(tight, 2);
    EXPECT_TRUE(again.ok()) << c.what << " ending right after the value";
    // One byte less is a truncated value.
    Bytes shorter = Prefix(file, 128 + c.bytes.size() - 1);
    RecordRead cut = c.value.encoding == Encoding::kPlainInteger ? ReadPlainIntegerRecord(shorter, 2)
                     : c.value.encoding == Encoding::kPlainText  ? ReadPlainTextRecord(shorter, 2)
                                                                 : ReadTaggedRecord(shorter, 2);
    EXPECT_EQ(cut.error, c.bytes.size() == 1 ? RecordError::kBeyondEnd : RecordError::kTruncated) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    AllFive, RecordEncodings,
    ::testing::Values(
        EncodingCase{"plain integer 10", RecordValue::PlainInteger(10), {10, 0, 0, 0}},
        EncodingCase{"plain integer -2", RecordValue::PlainInteger(-2), {0xFE, 0xFF, 0xFF, 0xFF}},
        EncodingCase{"tagged integer 65535", RecordValue::TaggedInteger(65535), {3, 0, 0xFF, 0xFF, 0, 0}},
        EncodingCase{"tagged integer 0", RecordValue::TaggedInteger(0), {3, 0, 0, 0, 0, 0}},
        EncodingCase{"tagged integer min", RecordValue::TaggedInteger(INT32_MIN), {3, 0, 0, 0, 0, 0x80}},
        EncodingCase{"tagged text", RecordValue::TaggedText("0000"), {8, 0, 4, 0, '0', '0', '0', '0'}},
        EncodingCase{"tagged empty text", RecordValue::TaggedText(""), {8, 0, 0, 0}},
        EncodingCase{"tagged byte 1", RecordValue::TaggedByte(1), {17, 0, 1}},
        EncodingCase{"tagged byte 255", RecordValue::TaggedByte(255), {17, 0, 255}},
        EncodingCase{"plain text", RecordValue::PlainText("12"), {2, 0, '1', '2'}},
        EncodingCase{"plain empty text", RecordValue::PlainText(""), {0, 0}}));

TEST(RecordTexts, FillAtMostTheRecord) {
    Bytes file;
    EXPECT_TRUE(PutRecord(file, 1, RecordValue::TaggedText(std::string(124, 'a'))));
    EXPECT_EQ(ReadTaggedRecord(file, 1).value.text.size(), 124u);
    EXPECT_FALSE(PutRecord(file, 1, RecordValue::TaggedText(std::string(125, 'a'))));
    EXPECT_TRUE(PutRecord(file, 1, RecordValue::PlainText(std::string(126, 'b'))));
    EXPECT_EQ(ReadPlainTextRecord(file, 1).value.text.size(), 126u);
    EXPECT_FALSE(PutRecord(file, 1, RecordValue::PlainText(std::string(127, 'b'))));
    EXPECT_EQ(file.size(), kRecordSize) << "a refused value leaves the file alone";
    EXPECT_FALSE(PutRecord(file, 0, RecordValue::PlainInteger(1))) << "records are numbered from 1";
    EXPECT_FALSE(PutRecord(file, kMaxRecord + 1, RecordValue::PlainInteger(1)));
}

// Each hand-made record is 128 bytes starting with the given bytes; the reader must refuse it.
struct BadRecord {
    const char* what;
    Bytes bytes;
    bool plainText;
    RecordError error;
};

TEST(RecordReading, RefusesLengthsAndTagsItCannotTrust) {
    const BadRecord cases[] = {
        {"tagged text longer than its record", {8, 0, 125, 0}, false, RecordError::kPastRecordEnd},
        {"tagged text length 0xFFFF", {8, 0, 0xFF, 0xFF}, false, RecordError::kPastRecordEnd},
        {"plain text longer than its record", {127, 0}, true, RecordError::kPastRecordEnd},
        {"type code 0 (never written)", {0, 0, 0, 0}, false, RecordError::kUnknownTag},
        {"type code 2", {2, 0, 1, 0}, false, RecordError::kUnknownTag},
        {"type code 8 in the high byte", {0, 8, 1, 0}, false, RecordError::kUnknownTag},
        {"type code 0x2011 (byte array)", {0x11, 0x20, 1, 0}, false, RecordError::kUnknownTag},
    };
    for (const auto& c : cases) {
        Bytes file(kRecordSize, 0);
        std::copy(c.bytes.begin(), c.bytes.end(), file.begin());
        RecordRead r = c.plainText ? ReadPlainTextRecord(file, 1) : ReadTaggedRecord(file, 1);
        EXPECT_EQ(r.error, c.error) << c.what;
    }
}

TEST(RecordReading, StopsAtTheEndOfTheFile) {
    Bytes file;
    ASSERT_TRUE(PutRecord(file, 1, RecordValue::TaggedText("NetTrans\\0000")));
    EXPECT_EQ(ReadTaggedRecord(file, 2).error, RecordError::kBeyondEnd);
    EXPECT_EQ(ReadTaggedRecord(file, 0).error, RecordError::kBeyondEnd);
    EXPECT_EQ(ReadTaggedRecord(file, -5).error, RecordError::kBeyondEnd);
    EXPECT_EQ(ReadTaggedRecord(file, INT32_MAX).error, RecordError::kBeyondEnd);
    for (std::size_t n = 0; n < 4 + 13; ++n) {
        Bytes cut = Prefix(file, n);
        RecordRead r = ReadTaggedRecord(cut, 1);
        EXPECT_FALSE(r.ok()) << "file of " << n << " bytes";
    }
    EXPECT_EQ(ReadPlainTextRecord(Prefix(file, 1), 1).error, RecordError::kTruncated);
    EXPECT_EQ(ReadPlainIntegerRecord(Prefix(file, 3), 1).error, RecordError::kTruncated);
}

TEST(RecordReading, IgnoresWhatFollowsTheValueInItsRecord) {
    Bytes file(2 * kRecordSize, 0xAA);
    const std::uint8_t head[] = {8, 0, 2, 0, 'o', 'k'};
    std::copy(std::begin(head), std::end(head), file.begin() + 128);
    RecordRead r = ReadTaggedRecord(file, 2);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value.text, "ok");
}

}  // namespace
}  // namespace zv
