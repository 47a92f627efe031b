// Write runs started from a window: the run's context made from the program's services (registry,
// backup folder, clock, review window), and how the window tells the user why nothing was written.
#pragma once

#include <windows.h>

#include <string>

#include "app/win32/form1.h"
#include "writerun/write_run.h"

namespace zv {

// Runs `run` on the family the caller has just read; the review window is owned by `owner`.
WriteRunOutcome RunFromWindow(const Form1Services& services, HWND owner, WindowsFamily family, const WriteRun& run);
// Undo of the last write run, likewise.
WriteRunOutcome UndoFromWindow(const Form1Services& services, HWND owner, WindowsFamily family);
// The Restore window's OK; `askElsewhere` asks before another computer's backup is restored here.
SavedFileOk RestoreFromWindow(const Form1Services& services, HWND owner, WindowsFamily family, const std::string& text,
                              BackupFolderFiles& folder, const AskYesNo& askElsewhere);
// "Put Back the Values from Before" and "Keep as It Is" for a run that was cut off, on the running family.
WriteRunOutcome PutBackFromWindow(const Form1Services& services, HWND owner);
void KeepCutOffRunFromWindow(const Form1Services& services);
// Whether File > Undo Last Change is offered.
bool UndoAvailable(const Form1Services& services);

// The icon a message about the outcome carries: stop for a failed safety backup, information when
// nothing needed to change, exclamation otherwise.
UINT OutcomeIcon(const WriteRunOutcome& outcome);

}  // namespace zv
