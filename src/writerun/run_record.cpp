// The record of a write run under way, under the program's key.
#include "writerun/run_record.h"

#include "platform/program_keys.h"
#include "platform/registry_helpers.h"
#include "writerun/safety_names.h"

namespace zv {
namespace {

// The record must be on disk before the first value changes, and its removal before the next run.
bool FlushProgramKey(Registry& reg) {
    RegKey key = 0;
    if (reg.OpenKey(kHkeyLocalMachine, kZarveloKey, &key) != kErrorSuccess) return false;
    const bool flushed = reg.FlushKey(key) == kErrorSuccess;
    reg.CloseKey(key);
    return flushed;
}

}  // namespace

std::optional<RecordedRun> ReadRecordedRun(Registry& reg) {
    RecordedRun run;
    run.safetyBackup = ReadRegString(reg, kHkeyLocalMachine, kZarveloKey, kRunUnderWayValue);
    if (run.safetyBackup.empty()) return std::nullopt;
    if (const auto name = ParseSafetyBackupName(run.safetyBackup)) run.started = name->taken;
    return run;
}

bool RecordRun(Registry& reg, const std::string& safetyBackup) {
    const unsigned long refusedBefore = reg.FailedChanges();
    WriteRegString(reg, kHkeyLocalMachine, kZarveloKey, kRunUnderWayValue, safetyBackup);
    if (reg.FailedChanges() == refusedBefore && FlushProgramKey(reg)) return true;
    ClearRecordedRun(reg);
    return false;
}

void ClearRecordedRun(Registry& reg) {
    DeleteRegValue(reg, kHkeyLocalMachine, kZarveloKey, kRunUnderWayValue);
    FlushProgramKey(reg);
}

std::string CutOffText(const RecordedRun& run) {
    const std::string when = IsValidTime(run.started) ? " on " + DateTimeText(run.started) : std::string();
    return "Zarvelo was stopped while it was changing your settings" + when +
           ". Some values may be changed and others not.";
}

}  // namespace zv
