// Laying out and checking whole backup files: positions, the mark, marked and older value rules.
#include "backup/backup_file.h"

#include <algorithm>

#include "backup/record_format.h"

namespace zv {

using E = EntryId;

const std::array<EntryId, kAdapterValueCount> k9xAdapterEntries = {
    E::AdapterIPMTU,  E::AdapterIPXHeaderCompression, E::AdapterLogging,        E::AdapterMaxMSS,
    E::AdapterMaxMTU, E::AdapterMSS,                  E::AdapterPointToPointIP, E::AdapterSLOWNET,
};

const std::array<EntryId, k9xGlobalCount> k9xGlobalEntries = {
    E::MstcpBSDUrgent,
    E::MstcpDefaultRcvWindow,
    E::MstcpDefaultTTL,
    E::MstcpLocalCopyMade,
    E::MstcpSessionKeepAlive,
    E::NWLinkCachesize,
    E::NWLinkForceevenDefault,
    E::NWLinkMaxconnectDefault,
    E::NWLinkMaxconnectMax,
    E::NWLinkMaxconnectMin,
    E::NWLinkMaxsocketsDefault,
    E::NWLinkMaxsocketsMax,
    E::NWLinkMaxsocketsMin,
    E::MstcpPMTUAutoDetection,
    E::MstcpPMTUBlackHoleDetect,
    E::MstcpPMTUBlackHoleEnabled,
    E::MstcpPMTUDiscovery,
    E::MstcpSackOpts,
    E::MstcpTcp1323Opts,
    E::MstcpTcpUseRFC1122UrgentPointer,
    E::MstcpMaxDupAcks,
    E::InternetMaxConnectionsPerServer,
    E::InternetMaxConnectionsPer1_0Server,
    E::NetBEUIDefault,
    E::NetBEUINcbs,
    E::NetBEUISessions,
    E::NetBEUINcbsDefault,
    E::NetBEUINcbsMax,
    E::NetBEUINcbsMin,
    E::NetBEUISessionsDefault,
    E::NetBEUISessionsMax,
    E::NetBEUISessionsMin,
};

const std::array<EntryId, kNtValueCount> kNtEntries = {
    E::TcpipTcpWindowSize,        E::TcpipDefaultTTL,    E::TcpipSessionKeepAlive,
    E::TcpipEnablePMTUBHDetect,   E::TcpipEnablePMTUDiscovery, E::TcpipSackOpts,
    E::TcpipTcp1323Opts,          E::TcpipTcpUseRFC1122UrgentPointer, E::TcpipTcpMaxDupAcks,
};

bool IsSetDependentGlobal(int j) { return j == 0 || j == 1 || (j >= 13 && j <= 22); }

std::optional<BackupFormat> BackupFormatFor(WindowsFamily family) {
    auto set = BackupAccessorSet(family);
    if (!set) return std::nullopt;
    return BackupFormat{*set == AccessorSet::Nt ? BackupLayout::kNt : BackupLayout::k9x, *set};
}

std::string FormatPlaceName(BackupFormat format) {
    switch (format.set) {
        case AccessorSet::Nt: return "Windows NT, 2000 or XP";
        case AccessorSet::Win98: return "Windows 98 or Me";
        case AccessorSet::Win95: return "Windows 95";
    }
    return "another Windows";
}

std::uint8_t MarkSetCode(AccessorSet set) {
    switch (set) {
        case AccessorSet::Win95: return 1;
        case AccessorSet::Win98: return 2;
        case AccessorSet::Nt: return 3;
    }
    return 0;
}

std::array<std::uint8_t, kMarkSize> MarkBytes(BackupFormat format) {
    return {kMarkMagic[0], kMarkMagic[1], kMarkMagic[2], kMarkMagic[3], kBackupFormatVersion,
            static_cast<std::uint8_t>(format.layout), MarkSetCode(format.set), 0};
}

bool IsValidComputerName(const std::string& name) {
    return !name.empty() && name.size() <= kMaxComputerNameLength &&
           std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

bool TakenElsewhere(const std::string& takenOn, const std::string& here) {
    if (takenOn.empty() || here.empty()) return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return !std::equal(takenOn.begin(), takenOn.end(), here.begin(), here.end(),
                       [&](char a, char b) { return lower(a) == lower(b); });
}

namespace {

const char kDamaged[] = "The backup file is damaged: ";

std::string Num(long long n) { return std::to_string(n); }

// What a record holds, in words, for messages.
std::string Describe(const RecordValue& v) {
    switch (v.encoding) {
        case Encoding::kPlainInteger:
        case Encoding::kTaggedInteger: return "a number";
        case Encoding::kTaggedText:
        case Encoding::kPlainText: return v.text.empty() ? "an empty text" : "a text";
        case Encoding::kTaggedByte: return "a byte";
    }
    return "a value";
}

// Reads the records one after the other and keeps the first refusal.
class Reader {
public:
    Reader(std::span<const std::uint8_t> bytes, BackupFormat format, bool marked, int records)
        : bytes_(bytes), format_(format), marked_(marked), records_(records) {}

    bool failed() const { return !message_.empty(); }
    const std::string& message() const { return message_; }

    void Refuse(std::string message) {
        if (message_.empty()) message_ = std::move(message);
    }

    std::optional<RecordValue> Tagged(int record, std::size_t at = 0) {
        return Check(ReadTaggedRecord(bytes_, record, at), record);
    }
    std::optional<RecordValue> PlainText(int record) { return Check(ReadPlainTextRecord(bytes_, record), record); }

    // A value that does not belong where it stands.
    void Misplaced(int record, const RecordValue& v, const char* expected) {
        std::string what = "record " + Num(record) + " holds " + Describe(v) + " where " + expected + " belongs.";
        if (marked_) {
            Refuse(kDamaged + what);  // the mark already said which Windows it is for
        } else {
            Refuse("The backup file does not fit this version of Windows: " + what +
                   " It was made on another version of Windows, or it is damaged.");
        }
    }

private:
    std::optional<RecordValue> Check(const RecordRead& read, int record) {
        if (failed()) return std::nullopt;
        switch (read.error) {
            case RecordError::kNone:
                return read.value;
            case RecordError::kBeyondEnd:
            case RecordError::kTruncated:
                Refuse("The backup file is incomplete: it ends " +
                       std::string(read.error == RecordError::kBeyondEnd ? "before" : "inside") + " record " +
                       Num(record) + ", and a backup made on " + FormatPlaceName(format_) + " has " +
                       Num(records_) + " records.");
                break;
            case RecordError::kUnknownTag:
                Refuse(kDamaged + std::string("record ") + Num(record) + " holds no value of a known type.");
                break;
            case RecordError::kPastRecordEnd:
                Refuse(kDamaged + std::string("the value in record ") + Num(record) +
                       " is longer than its record.");
                break;
        }
        return std::nullopt;
    }

    std::span<const std::uint8_t> bytes_;
    BackupFormat format_;
    bool marked_;
    int records_;
    std::string message_;
};

bool HasNul(const std::string& s) { return s.find('\0') != std::string::npos; }

// An absent value is the tagged empty text; a value that existed as an empty text is stored as one
// zero byte, which no text read from the registry can hold.
const std::string kPresentEmpty(1, '\0');

SavedValue ReadMarkedValue(Reader& in, int record, std::size_t at = 0) {
    auto v = in.Tagged(record, at);
    if (!v) return {};
    if (v->encoding == Encoding::kTaggedInteger) return SavedValue::Number(v->number);
    if (v->encoding == Encoding::kTaggedText) {
        if (v->text.empty()) return SavedValue::Absent();
        if (v->text == kPresentEmpty) return SavedValue::Text("");
        if (!HasNul(v->text)) return SavedValue::Text(v->text);
        in.Refuse(kDamaged + std::string("the text in record ") + Num(record) + " holds a zero byte.");
        return {};
    }
    in.Misplaced(record, *v, "a number or a text");
    return {};
}

// Older files: a text, the empty text meaning absent.
SavedValue ReadOlderText(Reader& in, int record, bool plain) {
    auto v = plain ? in.PlainText(record) : in.Tagged(record);
    if (!v) return {};
    if (v->encoding != Encoding::kTaggedText && v->encoding != Encoding::kPlainText) {
        in.Misplaced(record, *v, "a text");
        return {};
    }
    if (HasNul(v->text)) {
        in.Refuse(kDamaged + std::string("the text in record ") + Num(record) + " holds a zero byte.");
        return {};
    }
    return v->text.empty() ? SavedValue::Absent() : SavedValue::Text(v->text);
}

// Older files: a number, 0 meaning absent.
SavedValue ReadOlderNumber(Reader& in, int record) {
    auto v = in.Tagged(record);
    if (!v) return {};
    if (v->encoding != Encoding::kTaggedInteger) {
        in.Misplaced(record, *v, "a number");
        return {};
    }
    return v->number == 0 ? SavedValue::Absent() : SavedValue::Number(v->number);
}

// Adapter.SLOWNET in either kind of file: its first byte, or the empty text when it was absent.
SavedValue ReadSlownet(Reader& in, int record) {
    auto v = in.Tagged(record);
    if (!v) return {};
    if (v->encoding == Encoding::kTaggedByte) return SavedValue::Byte(v->byte);
    if (v->encoding == Encoding::kTaggedText && v->text.empty()) return SavedValue::Absent();
    in.Misplaced(record, *v, "a byte or an empty text");
    return {};
}

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

// Slot names become registry paths: an adapter key name is one key, a binding key a relative path.
bool GoodKeyPath(const std::string& s, bool oneKey) {
    if (s.empty()) return false;
    if (std::any_of(s.begin(), s.end(), IsControl)) return false;
    if (oneKey) return s.find('\\') == std::string::npos;
    return s.front() != '\\' && s.back() != '\\' && s.find("\\\\") == std::string::npos;
}

std::string SlotName(Reader& in, int record, bool oneKey) {
    auto v = in.Tagged(record);
    if (!v) return {};
    if (v->encoding != Encoding::kTaggedText) {
        in.Misplaced(record, *v, "an adapter key name");
        return {};
    }
    if (!GoodKeyPath(v->text, oneKey)) {
        in.Refuse(kDamaged + std::string("record ") + Num(record) + " does not hold a valid " +
                  (oneKey ? "adapter key name." : "binding key."));
        return {};
    }
    return v->text;
}

struct MarkRead {
    bool marked = false;
    std::string problem;  // a mark whose magic is there but whose other bytes are not ours
    BackupFormat format;
};

MarkRead ReadMark(std::span<const std::uint8_t> bytes) {
    MarkRead m;
    if (bytes.size() < kMarkOffset + kMarkSize) return m;
    const std::uint8_t* mark = bytes.data() + kMarkOffset;
    if (!std::equal(kMarkMagic.begin(), kMarkMagic.end(), mark)) return m;
    m.marked = true;
    if (mark[4] != kBackupFormatVersion) {
        m.problem = "The backup file was written in format " + Num(mark[4]) +
                    ", which this version of Zarvelo does not know.";
        return m;
    }
    bool layoutOk = mark[5] == std::uint8_t(BackupLayout::kNt) || mark[5] == std::uint8_t(BackupLayout::k9x);
    bool setOk = false;
    for (AccessorSet set : {AccessorSet::Win95, AccessorSet::Win98, AccessorSet::Nt}) {
        if (mark[6] == MarkSetCode(set)) {
            m.format.set = set;
            setOk = true;
        }
    }
    m.format.layout = BackupLayout(mark[5]);
    bool consistent = (m.format.layout == BackupLayout::kNt) == (m.format.set == AccessorSet::Nt);
    if (!layoutOk || !setOk || !consistent || mark[7] != 0) {
        m.problem = kDamaged + std::string("its format mark is not valid.");
    }
    return m;
}

void ReadNt(Reader& in, bool marked, BackupImage& image) {
    for (int j = 0; j < kNtValueCount; ++j) {
        int record = NtRecord(j);
        image.globals.push_back(marked ? ReadMarkedValue(in, record) : ReadOlderNumber(in, record));
    }
}

void Read9x(Reader& in, bool marked, int n, BackupImage& image) {
    if (marked) image.sharedDefaultMss = ReadMarkedValue(in, 1, kSharedMssOffset);
    for (int i = 0; i <= n; ++i) {
        AdapterTarget slot;
        slot.adapterKey = SlotName(in, SlotNameRecord(i), true);
        slot.bindingKey = SlotName(in, SlotBindingRecord(i), false);
        image.slots.push_back(slot);
    }
    for (int i = 0; i <= n; ++i) {
        std::array<SavedValue, kAdapterValueCount> row;
        for (int k = 0; k < kAdapterValueCount; ++k) {
            int record = AdapterRecord(n, i, k);
            if (k == kSlownetIndex) {
                row[k] = ReadSlownet(in, record);
            } else {
                row[k] = marked ? ReadMarkedValue(in, record) : ReadOlderText(in, record, false);
            }
        }
        image.adapterValues.push_back(row);
    }
    bool win95 = image.format.set == AccessorSet::Win95;
    for (int j = 0; j < k9xGlobalCount; ++j) {
        int record = GlobalRecord(n, j);
        if (marked) {
            image.globals.push_back(ReadMarkedValue(in, record));
        } else if (win95 && IsSetDependentGlobal(j)) {
            image.globals.push_back(ReadOlderNumber(in, record));
        } else {
            bool plain = !win95 && j == k9xGlobalCount - 1;
            image.globals.push_back(ReadOlderText(in, record, plain));
        }
    }
}

// The computer record, when the file goes on after its last value with one. Anything else there is
// left alone, as it always was; a computer record that is not whole and valid is refused.
bool ReadComputer(std::span<const std::uint8_t> bytes, int record, std::string* computer, std::string* message) {
    const std::size_t start = RecordOffset(record);
    if (bytes.size() < start + kComputerMagic.size() ||
        !std::equal(kComputerMagic.begin(), kComputerMagic.end(), bytes.begin() + start)) {
        return true;
    }
    const RecordRead read = ReadTaggedRecord(bytes, record, kComputerMagic.size());
    if (!read.ok() || read.value.encoding != Encoding::kTaggedText || !IsValidComputerName(read.value.text)) {
        *message = kDamaged + std::string("record ") + Num(record) + " does not hold a valid computer name.";
        return false;
    }
    *computer = read.value.text;
    return true;
}

}  // namespace

ParsedBackup ParseBackupFile(std::span<const std::uint8_t> bytes, BackupFormat expected) {
    ParsedBackup out;
    if (bytes.empty()) {
        out.message = "The backup file is empty.";
        return out;
    }
    if (bytes.size() > kMaxBackupFileSize) {
        out.message = "The file is too large to be a backup.";
        return out;
    }
    MarkRead mark = ReadMark(bytes);
    if (!mark.problem.empty()) {
        out.message = mark.problem;
        return out;
    }
    if (mark.marked && !(mark.format == expected)) {
        out.message = "This backup was made on " + FormatPlaceName(mark.format) + "; it cannot be restored on " +
                      FormatPlaceName(expected) + ".";
        return out;
    }

    BackupImage image;
    image.format = expected;
    image.marked = mark.marked;
    if (expected.layout == BackupLayout::kNt) {
        if (mark.marked && !std::all_of(bytes.begin(), bytes.begin() + kMarkOffset, [](auto b) { return b == 0; })) {
            out.message = kDamaged + std::string("record 1 does not begin with four zero bytes.");
            return out;
        }
        Reader in(bytes, expected, mark.marked, kNtRecordCount);
        ReadNt(in, mark.marked, image);
        if (in.failed()) {
            out.message = in.message();
            return out;
        }
    } else {
        auto count = ReadPlainIntegerRecord(bytes, 1);
        if (!count.ok()) {
            out.message = "The backup file is incomplete: it ends inside record 1, and a backup made on " +
                          FormatPlaceName(expected) + " has " + Num(RecordCount9x(kHighestSlot)) + " records.";
            return out;
        }
        std::int32_t n = count.value.number;
        if (n < 0 || n > kHighestSlot) {
            out.message = kDamaged + std::string("record 1 gives ") + Num(n) +
                          " as the highest adapter slot, where 0 to " + Num(kHighestSlot) + " belong.";
            return out;
        }
        Reader in(bytes, expected, mark.marked, RecordCount9x(n));
        Read9x(in, mark.marked, n, image);
        if (in.failed()) {
            out.message = in.message();
            return out;
        }
    }
    if (mark.marked) {
        const int last = expected.layout == BackupLayout::kNt ? kNtRecordCount
                                                              : RecordCount9x(static_cast<int>(image.slots.size()) - 1);
        if (!ReadComputer(bytes, last + 1, &image.computer, &out.message)) return out;
    }
    out.image = std::move(image);
    return out;
}

namespace {

// The record a saved value takes in a marked file.
RecordValue MarkedRecord(const SavedValue& v) {
    switch (v.kind) {
        case SavedValue::Kind::kAbsent: return RecordValue::TaggedText("");
        case SavedValue::Kind::kNumber: return RecordValue::TaggedInteger(v.number);
        case SavedValue::Kind::kText: return RecordValue::TaggedText(v.text.empty() ? kPresentEmpty : v.text);
        case SavedValue::Kind::kByte: return RecordValue::TaggedByte(v.byte);
    }
    return RecordValue::TaggedText("");
}

class Writer {
public:
    explicit Writer(EncodedBackup& out) : out_(out) {}

    void Put(int record, const RecordValue& v, const std::string& what, std::size_t at = 0) {
        if (!out_.ok()) return;
        if ((v.encoding == Encoding::kTaggedText || v.encoding == Encoding::kPlainText) && HasNul(v.text) &&
            v.text != kPresentEmpty) {
            out_.message = "The value of " + what + " holds a zero byte and cannot be saved.";
        } else if (!PutRecord(out_.bytes, record, v, at)) {
            out_.message = "The value of " + what + " is longer than " + Num(kMaxTaggedText - at) +
                           " characters and cannot be saved.";
        }
    }

    void PutValue(int record, const SavedValue& v, const std::string& what, bool slownet) {
        if (slownet && v.kind != SavedValue::Kind::kAbsent && v.kind != SavedValue::Kind::kByte) {
            out_.message = "The value of " + what + " can only be saved as a byte.";
            return;
        }
        if (!slownet && v.kind == SavedValue::Kind::kByte) {
            out_.message = "The value of " + what + " cannot be saved as a byte.";
            return;
        }
        Put(record, MarkedRecord(v), what);
    }

    void PutValueAt(int record, std::size_t at, const SavedValue& v, const std::string& what) {
        if (v.kind == SavedValue::Kind::kByte) {
            out_.message = "The value of " + what + " cannot be saved as a byte.";
            return;
        }
        Put(record, MarkedRecord(v), what, at);
    }

private:
    EncodedBackup& out_;
};

}  // namespace

EncodedBackup EncodeBackupFile(const BackupImage& image) {
    EncodedBackup out;
    Writer w(out);
    auto mark = MarkBytes(image.format);
    if (image.format.layout == BackupLayout::kNt) {
        if (image.globals.size() != kNtValueCount) {
            out.message = "The backup holds " + Num(image.globals.size()) + " values where 9 belong.";
            return out;
        }
        w.Put(1, RecordValue::PlainInteger(0), "the file mark");
        for (int j = 0; j < kNtValueCount; ++j) w.PutValue(NtRecord(j), image.globals[j], Entry(kNtEntries[j]).name, false);
    } else {
        int n = static_cast<int>(image.slots.size()) - 1;
        if (n < 0 || n > kHighestSlot || image.adapterValues.size() != image.slots.size() ||
            image.globals.size() != k9xGlobalCount) {
            out.message = "The backup does not hold one row of adapter values per slot and 32 global values.";
            return out;
        }
        w.Put(1, RecordValue::PlainInteger(n), "the slot count");
        w.PutValueAt(1, kSharedMssOffset, image.sharedDefaultMss.value_or(SavedValue::Absent()),
                     "DefaultMSS in the MSTCP key");
        for (int i = 0; i <= n; ++i) {
            const AdapterTarget& slot = image.slots[i];
            if (!GoodKeyPath(slot.adapterKey, true) || !GoodKeyPath(slot.bindingKey, false)) {
                out.message = "The adapter slot " + Num(i) + " has no valid key names.";
                return out;
            }
            w.Put(SlotNameRecord(i), RecordValue::TaggedText(slot.adapterKey), "an adapter key name");
            w.Put(SlotBindingRecord(i), RecordValue::TaggedText(slot.bindingKey), "a binding key");
        }
        for (int i = 0; i <= n; ++i) {
            for (int k = 0; k < kAdapterValueCount; ++k) {
                w.PutValue(AdapterRecord(n, i, k), image.adapterValues[i][k], Entry(k9xAdapterEntries[k]).name,
                           k == kSlownetIndex);
            }
        }
        for (int j = 0; j < k9xGlobalCount; ++j) {
            w.PutValue(GlobalRecord(n, j), image.globals[j], Entry(k9xGlobalEntries[j]).name, false);
        }
    }
    if (!image.computer.empty()) {
        if (!IsValidComputerName(image.computer)) {
            out.message = "The computer's name \"" + image.computer + "\" cannot be saved in a backup.";
        } else {
            const int record = static_cast<int>(out.bytes.size() / kRecordSize) + 1;
            w.Put(record, RecordValue::TaggedText(image.computer), "the computer's name", kComputerMagic.size());
            if (out.ok()) {
                std::copy(kComputerMagic.begin(), kComputerMagic.end(), out.bytes.begin() + RecordOffset(record));
            }
        }
    }
    if (!out.ok()) {
        out.bytes.clear();
        return out;
    }
    std::copy(mark.begin(), mark.end(), out.bytes.begin() + kMarkOffset);
    return out;
}

}  // namespace zv
