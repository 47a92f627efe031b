// The write-run sequence, Undo, the Restore window's runs, and their settings.
#include "writerun/write_run.h"

#include "backup/backup_restore.h"
#include "platform/program_keys.h"
#include "platform/registry_helpers.h"
#include "writerun/network_check.h"
#include "writerun/overlay_registry.h"

namespace zv {

bool ReadReviewChanges(Registry& reg) {
    return ReadRegString(reg, kHkeyLocalMachine, kZarveloKey, kReviewChangesValue) != "No";
}

void WriteReviewChanges(Registry& reg, bool on) {
    WriteRegString(reg, kHkeyLocalMachine, kZarveloKey, kReviewChangesValue, on ? "Yes" : "No");
}

std::string ReadLastSafetyBackup(Registry& reg) {
    return ReadRegString(reg, kHkeyLocalMachine, kZarveloKey, kLastSafetyBackupValue);
}

void WriteLastSafetyBackup(Registry& reg, const std::string& fileName) {
    WriteRegString(reg, kHkeyLocalMachine, kZarveloKey, kLastSafetyBackupValue, fileName);
}

void ForgetLastSafetyBackup(Registry& reg) {
    DeleteRegValue(reg, kHkeyLocalMachine, kZarveloKey, kLastSafetyBackupValue);
}

WriteRun RestoreRun(WindowsFamily family, const std::string& name,
                    const std::optional<std::vector<std::uint8_t>>& contents) {
    return WriteRun{RunKind::Restore, name,
                    [family, name, contents](Registry& reg) {
                        return RestoreBackupNamed(reg, family, name, contents).message;
                    },
                    {}, contents ? BackupComputer(family, *contents) : std::string()};
}

namespace {

const char kNothingChanged[] = "\r\n\r\nNothing has been changed.";

// Why the safety backup cannot be put back, or empty with the backup read.
std::string CheckSafetyBackup(WindowsFamily family, const std::string& fileName,
                              const std::optional<std::vector<std::uint8_t>>& bytes, const std::string& readError,
                              SafetyBackup* backup) {
    const std::string shown = "the safety backup \"" + SafetyBackupShownName(fileName) + "\"";
    if (!bytes) return shown + " is no longer in the backup folder.";
    if (!readError.empty()) return shown + " could not be read. " + readError;
    ParsedSafetyBackup parsed = ParseSafetyBackup(*bytes);
    if (!parsed.backup) return shown + " is damaged. " + parsed.reason;
    if (parsed.backup->family != family) {
        return shown + " was taken on " + FamilyName(parsed.backup->family) + ", not on this version of Windows.";
    }
    *backup = std::move(*parsed.backup);
    return {};
}

WriteRunOutcome Stop(WriteRunStatus status, std::string message, ChangeSet changes = {}) {
    WriteRunOutcome out;
    out.status = status;
    out.message = std::move(message);
    out.changes = std::move(changes);
    return out;
}

}  // namespace

WriteRun RestoreSafetyRun(WindowsFamily family, const std::string& fileName,
                          const std::optional<std::vector<std::uint8_t>>& contents, const std::string& readError) {
    SafetyBackup backup;
    const std::string why = CheckSafetyBackup(family, fileName, contents, readError, &backup);
    return WriteRun{RunKind::Restore, SafetyBackupShownName(fileName),
                    [why, backup](Registry& reg) {
                        if (!why.empty()) return "The settings cannot be restored: " + why + kNothingChanged;
                        RestoreSafetyBackup(reg, backup);
                        return std::string();
                    },
                    {}, backup.computer};
}

ChangeSet PlanChanges(Registry& reg, const WriteRun& run, std::string* refused) {
    OverlayRegistry overlay(reg);
    std::string why = run.plan ? run.plan(overlay) : std::string();
    if (refused) *refused = why;
    return why.empty() ? overlay.Changes() : ChangeSet{};
}

WriteRunOutcome RunWrite(WriteRunContext& context, const WriteRun& run) {
    if (const auto cutOff = ReadRecordedRun(context.registry); cutOff && !run.putsBackCutOffRun) {
        return Stop(WriteRunStatus::CutOffRunFirst,
                    CutOffText(*cutOff) + kNothingChanged +
                        " Start Zarvelo to put back the values from before or to keep them, or put them back with \"zarvelo /undo\".");
    }
    // Another computer's backup holds that computer's adapters and values: only someone asked puts it here.
    if (TakenElsewhere(run.takenOn, context.computer)) {
        const std::string elsewhere = "The backup \"" + run.detail + "\" was taken on the computer " + run.takenOn +
                                      ", not on this one (" + context.computer +
                                      "). It holds that computer's adapters and values.";
        if (!context.restoreElsewhere) {
            return Stop(WriteRunStatus::TakenElsewhere,
                        elsewhere + kNothingChanged +
                            " Only the Restore window puts another computer's backup on this one, after asking.");
        }
        if (!context.restoreElsewhere(elsewhere + "\r\n\r\nRestore it on this computer anyway?")) {
            return Stop(WriteRunStatus::Cancelled, {});
        }
    }
    std::string refused;
    ChangeSet changes = PlanChanges(context.registry, run, &refused);
    if (!refused.empty()) return Stop(WriteRunStatus::Refused, std::move(refused));
    if (changes.ChangesNothing()) return Stop(WriteRunStatus::NothingToChange, ChangeSummary(changes));
    if (!MayWrite(context.registry, changes)) return Stop(WriteRunStatus::NotAllowed, kNotAllowedMessage, changes);
    if (context.review && ReadReviewChanges(context.registry) && !context.review(changes, run)) {
        return Stop(WriteRunStatus::Cancelled, {}, std::move(changes));
    }

    const std::string fileName = SafetyBackupFileName(run.kind, context.now, context.folder.Entries());
    const EncodedSafetyBackup file = EncodeSafetyBackup(
        SafetyBackupOf(changes, run.kind, run.detail, context.now, context.family, context.computer));
    std::string failed = file.message;
    if (failed.empty()) failed = context.folder.Write(fileName, file.bytes);
    if (!failed.empty()) {
        return Stop(WriteRunStatus::BackupFailed,
                    "The safety backup could not be written, so nothing has been changed.\r\n\r\n" + failed,
                    std::move(changes));
    }

    // From here on a cut-off run leaves its record, which names the way back.
    if (!run.putsBackCutOffRun && !RecordRun(context.registry, fileName)) {
        return Stop(WriteRunStatus::BackupFailed,
                    "The run could not be recorded in the registry, so nothing has been changed.",
                    std::move(changes));
    }

    WriteRunOutcome out;
    out.status = WriteRunStatus::Written;
    out.safetyBackup = fileName;
    context.registry.ResetFailedChanges();
    ApplyChangeSet(context.registry, changes);
    out.failedChanges = context.registry.FailedChanges();
    out.changes = std::move(changes);
    WriteLastSafetyBackup(context.registry, fileName);
    ClearRecordedRun(context.registry);
    std::vector<std::string> keep{fileName};
    if (const auto pending = ReadPendingCheck(context.registry)) keep.push_back(pending->safetyBackup);
    for (const std::string& old : SafetyBackupsToDelete(context.folder.Entries(), keep)) {
        context.folder.Remove(old);
    }
    return out;
}

bool CanUndo(Registry& reg, SafetyFolder& folder) {
    const std::string name = ReadLastSafetyBackup(reg);
    return IsSafetyBackupName(name) && folder.Exists(name);
}

namespace {

// Reads the safety backup of that name from the folder and checks it whole; why it cannot be put back,
// or empty with `run` set to the Undo that puts it back.
std::string PutBackRun(WriteRunContext& context, const std::string& name, WriteRun* run) {
    std::string error;
    std::optional<std::vector<std::uint8_t>> bytes;
    if (IsSafetyBackupName(name)) bytes = context.folder.Read(name, &error);
    SafetyBackup backup;
    std::string why = CheckSafetyBackup(context.family, name, bytes, error, &backup);
    if (!why.empty()) return why;
    run->kind = RunKind::Undo;
    run->detail = SafetyBackupShownName(name);
    run->plan = [backup](Registry& reg) {
        RestoreSafetyBackup(reg, backup);
        return std::string();
    };
    return {};
}

}  // namespace

WriteRunOutcome RunUndo(WriteRunContext& context) {
    const std::string name = ReadLastSafetyBackup(context.registry);
    if (!IsSafetyBackupName(name)) return Stop(WriteRunStatus::Refused, "There is nothing to undo.");
    WriteRun undo;
    if (const std::string why = PutBackRun(context, name, &undo); !why.empty()) {
        // Whatever is wrong with the file will stay wrong: Undo is no longer offered.
        ForgetLastSafetyBackup(context.registry);
        return Stop(WriteRunStatus::Refused, "The last change cannot be undone: " + why + kNothingChanged);
    }
    WriteRunOutcome out = RunWrite(context, undo);
    // Everything is as it was before that run already: there is nothing left to undo.
    if (out.status == WriteRunStatus::NothingToChange) ForgetLastSafetyBackup(context.registry);
    return out;
}

WriteRunOutcome PutBackCutOffRun(WriteRunContext& context) {
    const auto cutOff = ReadRecordedRun(context.registry);
    if (!cutOff) return Stop(WriteRunStatus::NothingToChange, "There is nothing to put back.");
    WriteRun run;
    if (const std::string why = PutBackRun(context, cutOff->safetyBackup, &run); !why.empty()) {
        ClearRecordedRun(context.registry);
        return Stop(WriteRunStatus::Refused, "The values from before cannot be put back: " + why + kNothingChanged);
    }
    run.putsBackCutOffRun = true;
    WriteRunOutcome out = RunWrite(context, run);
    if (out.status == WriteRunStatus::NothingToChange) ClearRecordedRun(context.registry);
    return out;
}

void KeepCutOffRun(Registry& reg, SafetyFolder& folder) {
    if (const auto cutOff = ReadRecordedRun(reg); cutOff && IsSafetyBackupName(cutOff->safetyBackup) &&
                                                   folder.Exists(cutOff->safetyBackup)) {
        WriteLastSafetyBackup(reg, cutOff->safetyBackup);
    }
    ClearRecordedRun(reg);
}

std::string PutBackMessage(unsigned long failedChanges) {
    if (failedChanges == 0) {
        return "The values from before have been put back. Restart your computer for them to take effect.";
    }
    return UndoneMessage(failedChanges);
}

SavedFileOk RestoreOkRun(WriteRunContext& context, const std::string& text, BackupFolderFiles& folder) {
    SavedFileOk ok;
    WriteRun run;
    if (IsSafetyBackupName(text) && folder.Exists(text)) {
        std::string error;
        const auto bytes = folder.Read(text, &error);
        run = RestoreSafetyRun(context.family, text, bytes, error);
    } else {
        std::optional<std::vector<std::uint8_t>> contents;
        if (auto stop = ReadRestoreFile(text, folder, &contents)) return *stop;
        run = RestoreRun(context.family, text, contents);
    }
    const WriteRunOutcome out = RunWrite(context, run);
    ok.relist = out.Written();  // the new safety backup is listed
    ok.done = out.Written() || out.status == WriteRunStatus::NothingToChange;
    ok.message = out.Written() && out.failedChanges > 0 ? RefusedRestoreMessage(out.failedChanges) : out.message;
    return ok;
}

std::vector<std::string> StillNeededSafetyBackups(Registry& reg, const std::vector<std::string>& files) {
    const std::string last = ReadLastSafetyBackup(reg);
    const auto pending = ReadPendingCheck(reg);
    std::vector<std::string> needed;
    for (const std::string& file : files) {
        if (IsSafetyBackupName(file) && (file == last || (pending && file == pending->safetyBackup))) {
            needed.push_back(file);
        }
    }
    return needed;
}

std::string DeleteNeededQuestion(const std::vector<std::string>& needed) {
    std::string names;
    for (const std::string& file : needed) names += "\r\n" + SafetyBackupShownName(file);
    return std::string(needed.size() == 1 ? "This safety backup is" : "These safety backups are") +
           " still needed: Undo Last Change, or the network check after the restart, puts the settings back "
           "from it." + names + "\r\n\r\nDelete " + (needed.size() == 1 ? "it" : "them") + " anyway?";
}

std::string UndoneMessage(unsigned long failedChanges) {
    if (failedChanges == 0) return "The last change has been undone. Restart your computer for it to take effect.";
    return std::to_string(failedChanges) + (failedChanges == 1 ? " setting" : " settings") +
           " could not be changed back.\r\n\r\nZarvelo must run as an administrator to change the network "
           "settings. Start it again as an administrator and restore the safety backup of the change in the "
           "Restore window.";
}

}  // namespace zv
