// Whole backup files: the layouts record by record, the mark, older files without it, and the
// refusal of every file that does not fit.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "backup/backup_file.h"
#include "backup_support.h"

namespace zv {
namespace {

using zvtest::Bytes;
using zvtest::Handmade;
using zvtest::Older9x;
using zvtest::OlderNt;
using zvtest::SlotBinding;
using zvtest::SlotKey;

const BackupFormat kNtFormat{BackupLayout::kNt, AccessorSet::Nt};
const BackupFormat k98Format{BackupLayout::k9x, AccessorSet::Win98};
const BackupFormat k95Format{BackupLayout::k9x, AccessorSet::Win95};

BackupImage Full9xImage(AccessorSet set) {
    BackupImage image;
    image.format = {BackupLayout::k9x, set};
    for (int i = 0; i <= 10; ++i) {
        image.slots.push_back({SlotKey(i), SlotBinding(i)});
        std::array<SavedValue, 8> row;
        row.fill(SavedValue::Absent());
        image.adapterValues.push_back(row);
    }
    image.globals.assign(32, SavedValue::Absent());
    return image;
}

TEST(BackupLayouts, PlaceRecordsAsDescribed) {
    EXPECT_EQ(RecordCount9x(10), 143);
    EXPECT_EQ(SlotNameRecord(0), 2);
    EXPECT_EQ(SlotBindingRecord(0), 3);
    EXPECT_EQ(SlotBindingRecord(10), 23);
    EXPECT_EQ(AdapterRecord(10, 0, 0), 24);
    EXPECT_EQ(AdapterRecord(10, 1, 0), 32);
    EXPECT_EQ(AdapterRecord(10, 10, 7), 111);
    EXPECT_EQ(GlobalRecord(10, 0), 112);
    EXPECT_EQ(GlobalRecord(10, 31), 143);
    EXPECT_EQ(NtRecord(0), 2);
    EXPECT_EQ(NtRecord(8), 10);
    EXPECT_EQ(Entry(k9xGlobalEntries[31]).name, "NetBEUI.sessions.min");
    EXPECT_EQ(Entry(kNtEntries[0]).name, "Tcpip.TcpWindowSize");
    EXPECT_EQ(Entry(kNtEntries[8]).name, "Tcpip.TcpMaxDupAcks");
    EXPECT_EQ(Entry(k9xAdapterEntries[kSlownetIndex]).name, "Adapter.SLOWNET");
    // The twelve numbers of the Win95 set are exactly the catalogue's number-or-text entries.
    for (int j = 0; j < 32; ++j) {
        const CatalogueEntry& e = Entry(k9xGlobalEntries[j]);
        EXPECT_EQ(IsSetDependentGlobal(j), e.kind == KindRule::DwordOrText) << e.name;
        EXPECT_FALSE(IsAdapterEntry(e)) << e.name;
    }
    for (int k = 0; k < 8; ++k) EXPECT_TRUE(IsAdapterEntry(Entry(k9xAdapterEntries[k])));
    // Each 9x entry has one position, and each NT entry one.
    std::set<EntryId> seen(k9xAdapterEntries.begin(), k9xAdapterEntries.end());
    seen.insert(k9xGlobalEntries.begin(), k9xGlobalEntries.end());
    EXPECT_EQ(seen.size(), std::size_t(k9xEntryCount));
    for (const auto& e : EntriesOf(AccessorSet::Win98)) EXPECT_TRUE(seen.count(e.id)) << e.name;
    std::set<EntryId> nt(kNtEntries.begin(), kNtEntries.end());
    for (const auto& e : EntriesOf(AccessorSet::Nt)) EXPECT_TRUE(nt.count(e.id)) << e.name;
}

TEST(BackupLayouts, FamiliesChooseLayoutAndSet) {
    struct Case { WindowsFamily family; std::optional<BackupFormat> format; };
    const Case cases[] = {
        {WindowsFamily::WinXP, kNtFormat},   {WindowsFamily::Win2K, kNtFormat},
        {WindowsFamily::WinNT, kNtFormat},   {WindowsFamily::WinMe, k98Format},
        {WindowsFamily::Win98, k98Format},   {WindowsFamily::Win95, k95Format},
        {WindowsFamily::Unknown, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(BackupFormatFor(c.family), c.format) << int(c.family);
}

TEST(BackupMark, IsMagicVersionLayoutSetAndAZero) {
    EXPECT_EQ(MarkBytes(kNtFormat), (std::array<std::uint8_t, 8>{'Z', 'V', 'B', 'K', 1, 1, 3, 0}));
    EXPECT_EQ(MarkBytes(k98Format), (std::array<std::uint8_t, 8>{'Z', 'V', 'B', 'K', 1, 2, 2, 0}));
    EXPECT_EQ(MarkBytes(k95Format), (std::array<std::uint8_t, 8>{'Z', 'V', 'B', 'K', 1, 2, 1, 0}));
}

TEST(WrittenFiles, Hold143RecordsOn9xWithSlotsWhereDescribed) {
    BackupImage image = Full9xImage(AccessorSet::Win98);
    image.adapterValues[0][0] = SavedValue::Text("576");
    image.adapterValues[1][0] = SavedValue::Text("1500");
    image.adapterValues[2][7] = SavedValue::Byte(1);
    EncodedBackup out = EncodeBackupFile(image);
    ASSERT_TRUE(out.ok()) << out.message;

    Handmade want = Older9x(AccessorSet::Win98);
    // N, the mark, and the shared DefaultMSS (absent: the tagged empty text).
    want.At(1, {10, 0, 0, 0, 'Z', 'V', 'B', 'K', 1, 2, 2, 0, 8, 0, 0, 0});
    want.TText(24, "576");
    want.TText(32, "1500");
    want.TByte(24 + 16 + 7, 1);
    want.TText(143, "");  // every value tagged in a marked file, the last one too
    want.file.resize(143 * 128, 0);
    EXPECT_EQ(out.bytes.size(), 143u * 128);
    for (std::size_t i = 0; i < want.file.size(); ++i) {
        ASSERT_EQ(out.bytes[i], want.file[i]) << "byte " << i << " (record " << i / 128 + 1 << ")";
    }
}

TEST(WrittenFiles, HoldRecords2To10OnNtAndTheMarkInRecord1) {
    BackupImage image;
    image.format = kNtFormat;
    image.globals.assign(9, SavedValue::Absent());
    image.globals[0] = SavedValue::Number(65535);
    image.globals[5] = SavedValue::Number(0);
    EncodedBackup out = EncodeBackupFile(image);
    ASSERT_TRUE(out.ok()) << out.message;
    Handmade want;
    want.At(1, {0, 0, 0, 0, 'Z', 'V', 'B', 'K', 1, 1, 3, 0});
    for (int r = 2; r <= 10; ++r) want.TText(r, "");
    want.TInt(2, 65535);
    want.TInt(7, 0);
    want.file.resize(10 * 128, 0);
    EXPECT_EQ(out.bytes, want.file);

    // The computer it was taken on follows in record 11, where readers of record 10 never look.
    image.computer = "PC1";
    want.At(11, {'Z', 'V', 'P', 'C', 8, 0, 3, 0, 'P', 'C', '1'});
    want.file.resize(11 * 128, 0);
    EXPECT_EQ(EncodeBackupFile(image).bytes, want.file);
    image.computer = "PC\n1";
    EXPECT_FALSE(EncodeBackupFile(image).ok()) << "a computer name no file can hold";
}

TEST(WrittenFiles, ReadBackAsTheyWereSaved) {
    BackupImage image = Full9xImage(AccessorSet::Win95);
    image.adapterValues[3] = {SavedValue::Text("576"), SavedValue::Text(""),     SavedValue::Number(0),
                              SavedValue::Number(-1),  SavedValue::Absent(),     SavedValue::Text(std::string(124, 'x')),
                              SavedValue::Number(7),   SavedValue::Byte(0)};
    image.globals[17] = SavedValue::Number(0);
    image.globals[18] = SavedValue::Text("3");
    image.globals[31] = SavedValue::Text("");
    image.computer = std::string(120, 'C');
    for (auto shared : {SavedValue::Absent(), SavedValue::Number(0), SavedValue::Text(""),
                        SavedValue::Text(std::string(112, '1'))}) {
        image.sharedDefaultMss = shared;
        EncodedBackup out = EncodeBackupFile(image);
        ASSERT_TRUE(out.ok()) << out.message;
        ParsedBackup back = ParseBackupFile(out.bytes, k95Format);
        ASSERT_TRUE(back.image) << back.message;
        EXPECT_TRUE(back.image->marked);
        EXPECT_EQ(back.image->slots, image.slots);
        EXPECT_EQ(back.image->adapterValues, image.adapterValues);
        EXPECT_EQ(back.image->globals, image.globals);
        EXPECT_EQ(back.image->sharedDefaultMss, shared) << shared.text.size();
        EXPECT_EQ(back.image->computer, image.computer);
    }
    // Record 1 has room for 112 characters after N and the mark.
    image.sharedDefaultMss = SavedValue::Text(std::string(113, '1'));
    EncodedBackup tooLong = EncodeBackupFile(image);
    EXPECT_FALSE(tooLong.ok());
    EXPECT_NE(tooLong.message.find("DefaultMSS"), std::string::npos) << tooLong.message;
}

TEST(WrittenFiles, RefuseWhatNoRecordCanHold) {
    BackupImage image = Full9xImage(AccessorSet::Win98);
    image.globals[4] = SavedValue::Text(std::string(125, 'x'));
    EncodedBackup out = EncodeBackupFile(image);
    EXPECT_FALSE(out.ok());
    EXPECT_NE(out.message.find("MSTCP.SessionKeepAlive"), std::string::npos) << out.message;
    EXPECT_TRUE(out.bytes.empty());

    image = Full9xImage(AccessorSet::Win98);
    image.adapterValues[0][1] = SavedValue::Byte(1);
    EXPECT_FALSE(EncodeBackupFile(image).ok()) << "a byte where no byte belongs";
    image = Full9xImage(AccessorSet::Win98);
    image.adapterValues[0][7] = SavedValue::Text("1");
    EXPECT_FALSE(EncodeBackupFile(image).ok()) << "SLOWNET is a byte or absent";
    image = Full9xImage(AccessorSet::Win98);
    image.globals[2] = SavedValue::Text(std::string("a\0b", 3));
    EXPECT_FALSE(EncodeBackupFile(image).ok()) << "a text with a zero byte";
    image = Full9xImage(AccessorSet::Win98);
    image.slots[4].adapterKey = "00\\04";
    EXPECT_FALSE(EncodeBackupFile(image).ok()) << "slot name with a backslash";
}

TEST(OlderFiles, RestoreEmptyAndZeroAsAbsent9x) {
    Handmade h = Older9x(AccessorSet::Win95);
    h.TText(24, "576");            // slot 0 IPMTU
    h.TByte(24 + 7, 1);            // slot 0 SLOWNET
    h.TInt(112 + 17, 1);           // SackOpts
    h.TInt(112 + 18, 0);           // Tcp1323Opts 0: absent in an older file
    h.TText(112 + 31, "4");        // last global, tagged with the Win95 set
    ParsedBackup p = ParseBackupFile(h.file, k95Format);
    ASSERT_TRUE(p.image) << p.message;
    EXPECT_FALSE(p.image->marked);
    EXPECT_EQ(p.image->slots[10], (AdapterTarget{"0010", "NetTrans\\0010"}));
    EXPECT_EQ(p.image->adapterValues[0][0], SavedValue::Text("576"));
    EXPECT_EQ(p.image->adapterValues[0][1], SavedValue::Absent());
    EXPECT_EQ(p.image->adapterValues[0][7], SavedValue::Byte(1));
    EXPECT_EQ(p.image->adapterValues[1][7], SavedValue::Absent());
    EXPECT_EQ(p.image->globals[17], SavedValue::Number(1));
    EXPECT_EQ(p.image->globals[18], SavedValue::Absent());
    EXPECT_EQ(p.image->globals[31], SavedValue::Text("4"));

    Handmade w = Older9x(AccessorSet::Win98);
    w.TText(112 + 17, "1");
    w.PText(112 + 31, "4");
    // Ending right after the last value is allowed.
    ParsedBackup q = ParseBackupFile(w.file, k98Format);
    ASSERT_TRUE(q.image) << q.message;
    EXPECT_EQ(q.image->globals[17], SavedValue::Text("1"));
    EXPECT_EQ(q.image->globals[31], SavedValue::Text("4"));
    EXPECT_EQ(q.image->globals[0], SavedValue::Absent());
    EXPECT_FALSE(q.image->sharedDefaultMss) << "older files do not hold DefaultMSS";
}

TEST(OlderFiles, RestoreZeroAsAbsentNt) {
    Handmade h = OlderNt();
    h.TInt(2, 65535);
    ParsedBackup p = ParseBackupFile(h.file, kNtFormat);
    ASSERT_TRUE(p.image) << p.message;
    EXPECT_FALSE(p.image->marked);
    EXPECT_EQ(p.image->globals[0], SavedValue::Number(65535));
    for (int j = 1; j < 9; ++j) EXPECT_EQ(p.image->globals[j], SavedValue::Absent()) << j;
    // Stale bytes after the layout (an older, longer file overwritten) do not matter.
    h.file.resize(143 * 128, 0x55);
    EXPECT_TRUE(ParseBackupFile(h.file, kNtFormat).image);
}

TEST(OlderFiles, WithFewerSlotsPlaceTheGlobalsAfterThem) {
    Handmade h;
    h.Int(1, 0);
    h.TText(2, "0000");
    h.TText(3, "NetTrans\\0000");
    for (int k = 0; k < 8; ++k) h.TText(4 + k, "");
    h.TText(4, "1500");
    for (int j = 0; j < 32; ++j) h.TText(12 + j, "");
    h.PText(43, "9");
    ParsedBackup p = ParseBackupFile(h.file, k98Format);
    ASSERT_TRUE(p.image) << p.message;
    EXPECT_EQ(p.image->slots.size(), 1u);
    EXPECT_EQ(p.image->adapterValues[0][0], SavedValue::Text("1500"));
    EXPECT_EQ(p.image->globals[31], SavedValue::Text("9"));
}

struct Refusal {
    const char* what;
    Bytes file;
    BackupFormat expected;
    const char* says;  // a part of the message
};

Bytes Marked(BackupFormat format) {
    BackupImage image;
    if (format.layout == BackupLayout::k9x) {
        image = Full9xImage(format.set);
    } else {
        image.format = format;
        image.globals.assign(9, SavedValue::Number(1));
    }
    return EncodeBackupFile(image).bytes;
}

std::vector<Refusal> Refusals() {
    std::vector<Refusal> list;
    list.push_back({"empty file", {}, k98Format, "empty"});
    Bytes huge = Marked(k98Format);
    huge.resize(kMaxBackupFileSize + 1, 0);
    list.push_back({"file larger than any backup", huge, k98Format, "too large"});
    list.push_back({"older NT file on 98", OlderNt().file, k98Format, "record 2"});
    list.push_back({"older 98 file on NT", Older9x(AccessorSet::Win98).file, kNtFormat, "record 2 holds a text"});
    list.push_back({"older 95 file on 98", Older9x(AccessorSet::Win95).file, k98Format, "record 112 holds a number"});
    list.push_back({"older 98 file on 95", Older9x(AccessorSet::Win98).file, k95Format, "record 112 holds an empty text"});
    list.push_back({"marked NT file on 98", Marked(kNtFormat), k98Format, "made on Windows NT, 2000 or XP"});
    list.push_back({"marked 98 file on NT", Marked(k98Format), kNtFormat, "made on Windows 98 or Me"});
    list.push_back({"marked 95 file on 98", Marked(k95Format), k98Format, "cannot be restored on Windows 98 or Me"});
    list.push_back({"marked 98 file on 95", Marked(k98Format), k95Format, "cannot be restored on Windows 95"});

    Bytes b = Marked(k98Format);
    b[8] = 2;
    list.push_back({"mark of a later format", b, k98Format, "format 2"});
    b = Marked(k98Format);
    b[11] = 1;
    list.push_back({"mark with reserved byte set", b, k98Format, "mark is not valid"});
    b = Marked(k98Format);
    b[9] = 1;
    list.push_back({"mark naming the NT layout with a 9x set", b, k98Format, "mark is not valid"});
    b = Marked(kNtFormat);
    b[0] = 1;
    list.push_back({"marked NT file with something before the mark", b, kNtFormat, "four zero bytes"});

    Handmade h = Older9x(AccessorSet::Win98);
    h.Int(1, 11);
    list.push_back({"eleven as the highest slot", h.file, k98Format, "record 1 gives 11"});
    h.Int(1, -1);
    list.push_back({"negative slot count", h.file, k98Format, "record 1 gives -1"});
    h.Int(1, 0x0001000A);
    list.push_back({"slot count with a high half", h.file, k98Format, "record 1 gives"});

    h = Older9x(AccessorSet::Win98);
    h.TText(2, "");
    list.push_back({"empty adapter key name", h.file, k98Format, "record 2 does not hold a valid adapter key name"});
    h = Older9x(AccessorSet::Win98);
    h.TText(4, "..\\0001");
    list.push_back({"adapter key name with a backslash", h.file, k98Format, "record 4"});
    h = Older9x(AccessorSet::Win98);
    h.TText(5, "NetTrans\\\\0001");
    list.push_back({"binding key with an empty component", h.file, k98Format, "record 5"});
    h = Older9x(AccessorSet::Win98);
    h.TText(3, "\\NetTrans");
    list.push_back({"binding key with a leading backslash", h.file, k98Format, "record 3"});
    h = Older9x(AccessorSet::Win98);
    h.TInt(6, 1);
    list.push_back({"number as slot name", h.file, k98Format, "record 6 holds a number"});
    h = Older9x(AccessorSet::Win98);
    h.TText(31, "1");
    list.push_back({"SLOWNET as text", h.file, k98Format, "record 31"});
    h = Older9x(AccessorSet::Win98);
    h.TText(40, std::string("5\0" "6", 3));
    list.push_back({"text with a zero byte", h.file, k98Format, "zero byte"});
    h = Older9x(AccessorSet::Win98);
    h.At(50, {8, 0, 200, 0});
    list.push_back({"text longer than its record", h.file, k98Format, "record 50 is longer"});
    h = Older9x(AccessorSet::Win98);
    h.At(60, {0, 0, 0, 0});
    list.push_back({"record never written", h.file, k98Format, "record 60 holds no value"});
    h = Older9x(AccessorSet::Win98);
    h.TByte(30, 1);
    list.push_back({"byte where a text belongs", h.file, k98Format, "record 30 holds a byte"});

    b = Marked(k98Format);
    b[12] = 17;
    list.push_back({"marked file with a byte as DefaultMSS", b, k98Format, "record 1 holds a byte"});
    b = Marked(k98Format);
    b[14] = 113;
    list.push_back({"marked file with DefaultMSS past record 1", b, k98Format, "record 1 is longer"});

    Handmade nt = OlderNt();
    nt.TText(5, "");
    list.push_back({"older NT file with a text", nt.file, kNtFormat, "record 5 holds an empty text where a number"});

    Bytes m = Marked(k98Format);
    m[(40 - 1) * 128] = 17;  // a byte in a marked file outside SLOWNET
    list.push_back({"marked file with a byte as IPMTU", m, k98Format, "damaged: record 40 holds a byte"});
    BackupImage named;
    named.format = kNtFormat;
    named.globals.assign(9, SavedValue::Absent());
    named.computer = "PC1";
    m = EncodeBackupFile(named).bytes;
    m[10 * 128 + 4] = 3;  // a number where the computer's name belongs
    list.push_back({"computer record without a name", m, kNtFormat, "record 11 does not hold a valid computer name"});
    m = EncodeBackupFile(named).bytes;
    m.resize(10 * 128 + 8);
    list.push_back({"computer record cut short", m, kNtFormat, "record 11 does not hold a valid computer name"});
    return list;
}

TEST(BadFiles, AreRefusedWithAMessage) {
    for (const auto& c : Refusals()) {
        ParsedBackup p = ParseBackupFile(c.file, c.expected);
        EXPECT_FALSE(p.image) << c.what;
        EXPECT_NE(p.message.find(c.says), std::string::npos) << c.what << ": " << p.message;
    }
}

TEST(BadFiles, EveryTruncationIsRefused) {
    struct Whole { const char* what; Bytes file; BackupFormat format; };
    Handmade olderNt = OlderNt();
    Handmade older98 = Older9x(AccessorSet::Win98);
    const Whole wholes[] = {
        {"marked 98", Marked(k98Format), k98Format},
        {"marked 95", Marked(k95Format), k95Format},
        {"marked NT", Marked(kNtFormat), kNtFormat},
        {"older NT", olderNt.file, kNtFormat},
        {"older 98", older98.file, k98Format},
    };
    for (const auto& w : wholes) {
        ASSERT_TRUE(ParseBackupFile(w.file, w.format).image) << w.what;
        // The last value ends within the last record; any shorter file lacks part of it.
        std::size_t lastValueEnd = w.file.size();
        while (lastValueEnd > 0 && w.file[lastValueEnd - 1] == 0) --lastValueEnd;
        std::size_t minimum = (w.file.size() - 1) / 128 * 128 + 4;  // a tagged empty text or a tagged int head
        // Every length within the first two records and the last, and a few around each record start.
        std::vector<std::size_t> lengths;
        std::size_t end = std::min(lastValueEnd, minimum);
        for (std::size_t n = 0; n < end; ++n) {
            std::size_t within = n % 128;
            if (n < 256 || n + 128 >= end || within < 7 || within > 125) lengths.push_back(n);
        }
        for (std::size_t n : lengths) {
            ParsedBackup p = ParseBackupFile(std::span(w.file.data(), n), w.format);
            ASSERT_FALSE(p.image) << w.what << " cut to " << n << " bytes";
            ASSERT_FALSE(p.message.empty()) << w.what << " cut to " << n;
        }
    }
    Bytes cut = Marked(k98Format);
    cut.resize(100 * 128);
    EXPECT_NE(ParseBackupFile(cut, k98Format).message.find("ends before record 101"), std::string::npos)
        << ParseBackupFile(cut, k98Format).message;
    EXPECT_NE(ParseBackupFile(cut, k98Format).message.find("143 records"), std::string::npos);
}

TEST(BadFiles, RandomBytesNeverPass) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 1000; ++round) {
        Bytes file(rng() % (round % 2 ? 20000 : 1400));
        for (auto& b : file) b = std::uint8_t(rng());
        for (BackupFormat f : {kNtFormat, k98Format, k95Format}) {
            ParsedBackup p = ParseBackupFile(file, f);
            ASSERT_FALSE(p.image) << "round " << round;
            ASSERT_FALSE(p.message.empty());
        }
    }
}

TEST(BadFiles, SingleByteChangesAreReadSafely) {
    // Flip each byte of the value heads of a marked file: the reader refuses or reads, never more.
    Bytes good = Marked(k98Format);
    std::mt19937 rng(7);
    for (int round = 0; round < 1500; ++round) {
        Bytes file = good;
        std::size_t at = rng() % file.size();
        file[at] = std::uint8_t(rng());
        ParsedBackup p = ParseBackupFile(file, k98Format);
        ASSERT_TRUE(p.image.has_value() != !p.message.empty()) << "byte " << at;
    }
}

}  // namespace
}  // namespace zv
