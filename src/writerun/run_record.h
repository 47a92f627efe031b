// The record of a write run under way. Registry values change one call at a time with no way to take
// them back together, so a run cut off by a power cut, a crash or Task Manager leaves some values changed
// and others not. The record is written and flushed to disk once the run's safety backup is on disk and
// before its first value changes, and removed when the run ends. Found at a start, it tells of a run that
// was cut off, and names the safety backup that holds the values from before.
#pragma once

#include <optional>
#include <string>

#include "platform/registry.h"
#include "writerun/safety_backup.h"

namespace zv {

// Under the program's key: the file name of the run's safety backup.
inline const std::string kRunUnderWayValue = "RunUnderWay";

struct RecordedRun {
    std::string safetyBackup;
    LocalTime started;  // when the run began, from the file's name; zero for a name that is not one
};

std::optional<RecordedRun> ReadRecordedRun(Registry& reg);
// Writes the record and flushes it to disk; false, with nothing left behind, when either failed.
bool RecordRun(Registry& reg, const std::string& safetyBackup);
void ClearRecordedRun(Registry& reg);

// "Zarvelo was stopped while it was changing your settings on 2026-12-08 14:50:07. Some values may be
// changed and others not."
std::string CutOffText(const RecordedRun& run);
inline constexpr char kPutBackButtonText[] = "&Put Back the Values from Before";
inline constexpr char kKeepButtonText[] = "&Keep as It Is";

}  // namespace zv
