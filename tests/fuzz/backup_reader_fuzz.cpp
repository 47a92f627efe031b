// libFuzzer target for the backup file reader: any bytes, every layout and set; what is accepted
// must write back and read back the same, and a restore of it must run through.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "backup/backup_file.h"
#include "backup/backup_restore.h"
#include "backup/record_format.h"
#include "platform/memory_registry.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool SameValues(const zv::BackupImage& a, const zv::BackupImage& b) {
    return a.format == b.format && a.slots == b.slots && a.adapterValues == b.adapterValues && a.globals == b.globals;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);

    // Single records anywhere, at any offset.
    if (size >= 2) {
        int record = 1 + data[0] % 150;
        std::size_t at = data[1] % 130;
        zv::ReadTaggedRecord(bytes, record, at);
        zv::ReadPlainTextRecord(bytes, record);
        zv::ReadPlainIntegerRecord(bytes, record);
    }

    const zv::BackupFormat formats[] = {
        {zv::BackupLayout::kNt, zv::AccessorSet::Nt},
        {zv::BackupLayout::k9x, zv::AccessorSet::Win98},
        {zv::BackupLayout::k9x, zv::AccessorSet::Win95},
    };
    for (const auto& format : formats) {
        zv::ParsedBackup parsed = zv::ParseBackupFile(bytes, format);
        Check(parsed.image.has_value() == parsed.message.empty());
        if (!parsed.image) continue;
        const zv::BackupImage& image = *parsed.image;
        Check(image.format == format);

        // What was read can be written as a marked file, and reads back the same.
        zv::EncodedBackup again = zv::EncodeBackupFile(image);
        Check(again.ok());
        zv::ParsedBackup reread = zv::ParseBackupFile(again.bytes, format);
        Check(reread.image.has_value());
        Check(reread.image->marked);
        Check(SameValues(*reread.image, image));
        if (image.marked) Check(reread.image->sharedDefaultMss == image.sharedDefaultMss);

        // And it can be put into a registry.
        zv::MemoryRegistry reg;
        zv::ApplyBackupImage(reg, image);
        Check(reg.OpenHandleCount() == 0);
    }
    return 0;
}
