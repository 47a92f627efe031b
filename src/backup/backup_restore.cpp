// Backup and restore over the registry: read each main location as it is stored, put each value
// back as the type it was saved as, and change nothing for a file that does not fit.
#include "backup/backup_restore.h"

#include "backup/backup_names.h"
#include "platform/registry_helpers.h"

namespace zv {

namespace {

// A number or a text as it is stored; anything else is absent. The helpers give their default
// for a value of another type, so a result other than the default means the value is there; only
// a result equal to the default needs a second read with another default to be sure.
SavedValue ReadNumberOrText(Registry& reg, const RegLocation& at, const AdapterTarget& target) {
    const std::string path = KeyPath(at, target);
    const std::string noText = "\x01?";
    std::string s = ReadRegString(reg, at.root, path, at.value, noText);
    if (s != noText || ReadRegString(reg, at.root, path, at.value, "") == noText) return SavedValue::Text(s);
    const std::int32_t noNumber = -0x5A5A5A5B;
    std::int32_t n = ReadRegDword(reg, at.root, path, at.value, noNumber);
    if (n != noNumber || ReadRegDword(reg, at.root, path, at.value, 0) == noNumber) return SavedValue::Number(n);
    return SavedValue::Absent();
}

void PutBackAt(Registry& reg, const RegLocation& at, const SavedValue& v) {
    switch (v.kind) {
        case SavedValue::Kind::kNumber: WriteRegDword(reg, at.root, KeyPath(at, {}), at.value, v.number); break;
        case SavedValue::Kind::kText: WriteRegString(reg, at.root, KeyPath(at, {}), at.value, v.text); break;
        default: DeleteAt(reg, at, {}); break;
    }
}

}  // namespace

SavedValue ReadStoredValue(Registry& reg, const CatalogueEntry& entry, const AdapterTarget& target) {
    if (entry.kind == KindRule::Binary) {
        auto bytes = ReadRegBinary(reg, entry.main.root, KeyPath(entry.main, target), entry.main.value);
        return bytes ? SavedValue::Byte((*bytes)[0]) : SavedValue::Absent();
    }
    return ReadNumberOrText(reg, entry.main, target);
}

const RegLocation& SharedDefaultMssLocation() {
    static const RegLocation where = [] {
        for (const Mirror& m : Entry(EntryId::AdapterMSS).mirrors) {
            if (m.where.base == KeyBase::Fixed) return m.where;
        }
        return RegLocation{};
    }();
    return where;
}

BackupImage ReadBackupImage(Registry& reg, BackupFormat format) {
    BackupImage image;
    image.format = format;
    image.marked = true;
    if (format.layout == BackupLayout::kNt) {
        for (EntryId id : kNtEntries) image.globals.push_back(ReadStoredValue(reg, Entry(id)));
        return image;
    }
    image.slots = SlotTable();
    for (const AdapterTarget& slot : image.slots) {
        std::array<SavedValue, kAdapterValueCount> row;
        for (int k = 0; k < kAdapterValueCount; ++k) row[k] = ReadStoredValue(reg, Entry(k9xAdapterEntries[k]), slot);
        image.adapterValues.push_back(row);
    }
    image.sharedDefaultMss = ReadNumberOrText(reg, SharedDefaultMssLocation(), {});
    for (EntryId id : k9xGlobalEntries) image.globals.push_back(ReadStoredValue(reg, Entry(id)));
    return image;
}

namespace {

void PutBack(Registry& reg, EntryId id, const AdapterTarget& target, const SavedValue& v) {
    const CatalogueEntry& entry = Entry(id);
    switch (v.kind) {
        case SavedValue::Kind::kAbsent: DeleteEntry(reg, entry, target); break;
        case SavedValue::Kind::kNumber: WriteEntryAs(reg, entry, target, v.number); break;
        case SavedValue::Kind::kText: WriteEntryAs(reg, entry, target, v.text); break;
        case SavedValue::Kind::kByte: WriteEntryAs(reg, entry, target, ByteArray{v.byte}); break;
    }
}

}  // namespace

void ApplyBackupImage(Registry& reg, const BackupImage& image) {
    if (image.format.layout == BackupLayout::kNt) {
        for (std::size_t j = 0; j < kNtEntries.size() && j < image.globals.size(); ++j) {
            PutBack(reg, kNtEntries[j], {}, image.globals[j]);
        }
        return;
    }
    for (std::size_t i = 0; i < image.slots.size() && i < image.adapterValues.size(); ++i) {
        for (int k = 0; k < kAdapterValueCount; ++k) {
            PutBack(reg, k9xAdapterEntries[k], image.slots[i], image.adapterValues[i][k]);
        }
    }
    if (image.sharedDefaultMss) PutBackAt(reg, SharedDefaultMssLocation(), *image.sharedDefaultMss);
    for (std::size_t j = 0; j < k9xGlobalEntries.size() && j < image.globals.size(); ++j) {
        PutBack(reg, k9xGlobalEntries[j], {}, image.globals[j]);
    }
}

namespace {

const char kUnknownWindows[] = "This version of Windows is not known; backup and restore need Windows 95, 98, Me, "
                               "NT, 2000 or XP.";
const char kNothingChanged[] = " Nothing has been changed.";

}  // namespace

BackupResult TakeBackup(Registry& reg, WindowsFamily family, const std::string& computer) {
    BackupResult result;
    auto format = BackupFormatFor(family);
    if (!format) {
        result.message = kUnknownWindows;
        return result;
    }
    BackupImage image = ReadBackupImage(reg, *format);
    image.computer = computer;
    EncodedBackup file = EncodeBackupFile(image);
    if (!file.ok()) {
        result.message = file.message + " No backup has been written.";
        return result;
    }
    result.bytes = std::move(file.bytes);
    return result;
}

BackupResult TakeBackupNamed(Registry& reg, WindowsFamily family, const std::string& name) {
    if (auto refused = RefuseBackupName(name)) return BackupResult{{}, *refused};
    return TakeBackup(reg, family);
}

std::string BackupComputer(WindowsFamily family, std::span<const std::uint8_t> bytes) {
    auto format = BackupFormatFor(family);
    if (!format) return {};
    ParsedBackup parsed = ParseBackupFile(bytes, *format);
    return parsed.image ? parsed.image->computer : std::string();
}

RestoreResult RestoreBackup(Registry& reg, WindowsFamily family, std::span<const std::uint8_t> bytes) {
    auto format = BackupFormatFor(family);
    if (!format) return RestoreResult{std::string(kUnknownWindows) + kNothingChanged};
    ParsedBackup parsed = ParseBackupFile(bytes, *format);
    if (!parsed.image) return RestoreResult{parsed.message + kNothingChanged};
    reg.ResetFailedChanges();
    ApplyBackupImage(reg, *parsed.image);
    return RestoreResult{{}, reg.FailedChanges()};
}

RestoreResult RestoreBackupNamed(Registry& reg, WindowsFamily family, const std::string& name,
                                 const std::optional<std::vector<std::uint8_t>>& contents) {
    if (auto refused = RefuseBackupName(name)) return RestoreResult{*refused};
    if (!contents) {
        return RestoreResult{"There is no backup named \"" + name + "\" in the backup folder." + kNothingChanged};
    }
    return RestoreBackup(reg, family, *contents);
}

}  // namespace zv
