// Write runs: every run that changes network settings (Optimize, Apply, Restore, Undo, the network
// check's undo) first works out exactly what it will change, lets the user review it, takes a safety
// backup of it, and only then writes; Undo puts the last run's safety backup back. The windows and the
// command line supply the registry, the backup folder, the clock and the review; the rest is here.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "backup/saved_file_commands.h"
#include "platform/change_set.h"
#include "platform/opsysinfo.h"
#include "platform/registry.h"
#include "writerun/reg_export.h"
#include "writerun/run_record.h"
#include "writerun/safety_backup.h"
#include "writerun/safety_names.h"

namespace zv {

// Settings under the program's key, beside LoadedMain.
inline const std::string kReviewChangesValue = "ReviewChanges";       // "Yes" or "No"
inline const std::string kLastSafetyBackupValue = "LastSafetyBackup";  // file name in the backup folder

// "Review Changes Before Writing": on unless the stored text is "No".
bool ReadReviewChanges(Registry& reg);
void WriteReviewChanges(Registry& reg, bool on);

// The safety backup of the last write run, or empty.
std::string ReadLastSafetyBackup(Registry& reg);
void WriteLastSafetyBackup(Registry& reg, const std::string& fileName);
void ForgetLastSafetyBackup(Registry& reg);

// A run's registry work. It runs twice: against an overlay to learn the change set, then the change
// set is written. Returns why it refuses (a whole message) before changing anything, or empty.
using WritePlan = std::function<std::string(Registry&)>;

struct WriteRun {
    RunKind kind = RunKind::Optimize;
    std::string detail;  // shown in the review and kept in the safety backup
    WritePlan plan;
    // What a registry file of the run says about it; the exporter adds version and date. Optimize
    // and Apply only: empty for the others.
    RegExportFacts facts;
    // A restore: the computer its backup was taken on, when the file says.
    std::string takenOn = {};
    // Puts back the values from before a run that was cut off: the only run that may start while that
    // run is recorded. Its record stays until it has written, so that it is offered again if it too is cut off.
    bool putsBackCutOffRun = false;
};

// A restore of the user's backup; `contents` as the Restore window read them (nothing when there is no
// such file). Optimize and Apply are made in app/safe_changes.h.
WriteRun RestoreRun(WindowsFamily family, const std::string& name,
                    const std::optional<std::vector<std::uint8_t>>& contents);

// A safety backup chosen in the Restore window (by its file name there): the file is checked whole
// before anything is changed, and must have been taken on the running family.
WriteRun RestoreSafetyRun(WindowsFamily family, const std::string& fileName,
                          const std::optional<std::vector<std::uint8_t>>& contents, const std::string& readError);

// The review window: shows the change set (rows, NowText, AfterText, ChangeSummary) and returns
// false when the user cancels.
using ReviewChanges = std::function<bool(const ChangeSet& changes, const WriteRun& run)>;

// What a run needs from the window that starts it.
struct WriteRunContext {
    Registry& registry;
    SafetyFolder& folder;
    WindowsFamily family = WindowsFamily::Unknown;  // of a fresh version record
    LocalTime now;                                  // the local time, for the safety backup's name
    ReviewChanges review;  // asked only while "Review Changes Before Writing" is on; none: not asked
    std::string computer;  // this computer's name, recorded in the safety backup; empty when unknown
    // Asked before a backup taken on another computer is restored here; none: such a restore is refused
    // (TakenElsewhere), and a No cancels it.
    AskYesNo restoreElsewhere;
};

enum class WriteRunStatus {
    Written,          // the changes were written (failedChanges says how many the registry refused)
    NothingToChange,  // every value is already as the run would write it
    Cancelled,        // the user cancelled the review
    Refused,          // the run refused before changing anything (a damaged backup, nothing to undo)
    BackupFailed,     // the safety backup could not be written: nothing was changed
    NotAllowed,       // this user may not change the run's keys: nothing was reviewed, backed up or changed
    TakenElsewhere,   // a restore of another computer's backup that nobody could confirm: nothing was changed
    CutOffRunFirst,   // a run that was cut off is still recorded: it must be put back or kept first
};

// What a user who may not change the settings is told.
inline constexpr char kNotAllowedMessage[] =
    "Run Zarvelo as an administrator to change these settings\r\n\r\nNothing has been changed.";

struct WriteRunOutcome {
    WriteRunStatus status = WriteRunStatus::Refused;
    std::string message;  // for the user; empty when Written or Cancelled
    ChangeSet changes;
    std::string safetyBackup;  // the file written before the changes
    unsigned long failedChanges = 0;
    bool Written() const { return status == WriteRunStatus::Written; }
};

// What the run would change, worked out on an overlay; nothing is written. `refused` (may be null)
// receives why the run refuses, and the change set is then empty.
ChangeSet PlanChanges(Registry& reg, const WriteRun& run, std::string* refused);

// a run cut off before (stop) -> another computer's backup (asked, else stop) -> plan -> change set -> may
// this user write it (else stop) -> review (may cancel) -> safety backup (failure stops) -> record the run
// (failure stops) -> write -> remember the safety backup for Undo -> remove the record -> drop the automatic
// safety backups beyond the newest ten, but for those Undo and a pending network check name.
WriteRunOutcome RunWrite(WriteRunContext& context, const WriteRun& run);

// Undo is offered when the last run's safety backup is named and still in the backup folder.
bool CanUndo(Registry& reg, SafetyFolder& folder);
// Puts the last run's safety backup back, as a write run of its own (reviewed, backed up first, so it
// can be undone in turn). A missing or damaged file changes nothing, says why, and ends the offer.
WriteRunOutcome RunUndo(WriteRunContext& context);

// The Restore window's OK as a write run. `text` names a safety backup listed there (its file name,
// extension and all) or a backup the user saved (without ".dat"). A restore that needs to change
// nothing is told and counts as done. A backup taken on another computer is restored only when
// context.restoreElsewhere says yes.
SavedFileOk RestoreOkRun(WriteRunContext& context, const std::string& text, BackupFolderFiles& folder);

// The safety backups among `files` that Undo or a pending network check would still put back, and
// what the Restore window asks before it deletes them.
std::vector<std::string> StillNeededSafetyBackups(Registry& reg, const std::vector<std::string>& files);
std::string DeleteNeededQuestion(const std::vector<std::string>& needed);

// "Put Back the Values from Before" after a run was cut off: a write run from the recorded safety backup
// (reviewed when the context asks). The record goes once the values are back or there was nothing to put
// back; also when the file is missing or damaged, which is said and changes nothing.
WriteRunOutcome PutBackCutOffRun(WriteRunContext& context);
// "Keep as It Is": the record goes, and Undo Last Change puts back the values from before that run.
void KeepCutOffRun(Registry& reg, SafetyFolder& folder);
// What the user is told after the values were put back: done, or how many stayed as they were.
std::string PutBackMessage(unsigned long failedChanges);

// What the user is told after an Undo that was written: done, or how many values stayed as they were.
std::string UndoneMessage(unsigned long failedChanges);

}  // namespace zv
