// Writes a few valid backup files (marked and older, each layout and set) as a fuzzing start corpus.
#include <cstdio>
#include <fstream>
#include <string>

#include "backup/backup_file.h"
#include "backup/record_format.h"

namespace {

void Save(const std::string& dir, const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(dir + "/" + name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                            static_cast<std::streamsize>(bytes.size()));
}

std::string Slot(int i) { return i < 10 ? "000" + std::to_string(i) : "0010"; }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: backup_seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    using zv::SavedValue;
    for (zv::AccessorSet set : {zv::AccessorSet::Win95, zv::AccessorSet::Win98}) {
        zv::BackupImage image;
        image.format = {zv::BackupLayout::k9x, set};
        for (int i = 0; i <= 10; ++i) {
            image.slots.push_back({Slot(i), "NetTrans\\" + Slot(i)});
            std::array<SavedValue, 8> row = {SavedValue::Text("576"), SavedValue::Absent(), SavedValue::Number(0),
                                             SavedValue::Text(""),    SavedValue::Text("1500"), SavedValue::Number(1460),
                                             SavedValue::Absent(),    SavedValue::Byte(1)};
            image.adapterValues.push_back(row);
        }
        for (int j = 0; j < 32; ++j) image.globals.push_back(j % 3 ? SavedValue::Text(std::to_string(j)) : SavedValue::Number(j));
        image.sharedDefaultMss = SavedValue::Text("1460");
        Save(dir, set == zv::AccessorSet::Win95 ? "marked95" : "marked98", zv::EncodeBackupFile(image).bytes);

        // The same values as the earlier program laid them out.
        std::vector<std::uint8_t> older;
        zv::PutRecord(older, 1, zv::RecordValue::PlainInteger(10));
        for (int i = 0; i <= 10; ++i) {
            zv::PutRecord(older, zv::SlotNameRecord(i), zv::RecordValue::TaggedText(Slot(i)));
            zv::PutRecord(older, zv::SlotBindingRecord(i), zv::RecordValue::TaggedText("NetTrans\\" + Slot(i)));
            for (int k = 0; k < 7; ++k) zv::PutRecord(older, zv::AdapterRecord(10, i, k), zv::RecordValue::TaggedText(k ? "" : "576"));
            zv::PutRecord(older, zv::AdapterRecord(10, i, 7), zv::RecordValue::TaggedByte(1));
        }
        for (int j = 0; j < 32; ++j) {
            int record = zv::GlobalRecord(10, j);
            if (set == zv::AccessorSet::Win95 && zv::IsSetDependentGlobal(j)) {
                zv::PutRecord(older, record, zv::RecordValue::TaggedInteger(j));
            } else if (set == zv::AccessorSet::Win98 && j == 31) {
                zv::PutRecord(older, record, zv::RecordValue::PlainText("3"));
            } else {
                zv::PutRecord(older, record, zv::RecordValue::TaggedText(std::to_string(j)));
            }
        }
        Save(dir, set == zv::AccessorSet::Win95 ? "older95" : "older98", older);
    }
    zv::BackupImage nt;
    nt.format = {zv::BackupLayout::kNt, zv::AccessorSet::Nt};
    for (int j = 0; j < 9; ++j) nt.globals.push_back(j % 2 ? SavedValue::Number(j) : SavedValue::Absent());
    Save(dir, "markedNt", zv::EncodeBackupFile(nt).bytes);
    std::vector<std::uint8_t> olderNt;
    for (int j = 0; j < 9; ++j) zv::PutRecord(olderNt, zv::NtRecord(j), zv::RecordValue::TaggedInteger(j * 1000));
    Save(dir, "olderNt", olderNt);
    return 0;
}
