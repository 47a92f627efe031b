// The command line's services on Windows: the program's backup folder, the local time, files,
// the message box, and the /check hook.
#include "app/win32/command_line_start.h"

#include <windows.h>

#include "app/command_line.h"
#include "app/win32/cut_off_window.h"
#include "app/win32/form1.h"
#include "app/win32/network_check_window.h"
#include "backup/win32/backup_folder.h"
#include "platform/win32/desktop.h"
#include "platform/win32/file_write.h"
#include "writerun/win32/safety_disk_folder.h"

namespace zv {
namespace {

UINT Icon(int exitCode) { return exitCode == kExitDone ? MB_ICONINFORMATION : MB_ICONEXCLAMATION; }

// Many computers append to one log at log-on: the file is held only while a line is written, and a
// file another computer holds is tried again for a few seconds.
std::string AppendLogLine(const std::string& path, const std::string& line) {
    FileWriteResult written;
    for (int attempt = 0; attempt < 20; ++attempt) {
        written = WriteFileText(path, line, FileWriteMode::kAppend);
        const bool held = written.error == ERROR_SHARING_VIOLATION || written.error == ERROR_LOCK_VIOLATION;
        if (written.ok() || !held) break;
        Sleep(100 + 50 * static_cast<DWORD>(attempt % 4));
    }
    return written.failed;
}

}  // namespace

std::string WriteTextFile(const std::string& path, const std::string& text, bool append) {
    return WriteFileText(path, text, append ? FileWriteMode::kAppend : FileWriteMode::kReplace).failed;
}

bool RunCommandLineStart(const char* arguments, Registry& registry, const std::string& programVersion, int* exitCode) {
    const std::vector<std::string> args = SplitCommandLine(arguments ? arguments : "");
    if (args.empty()) return false;
    OnlyZarveloRunning();  // a window started during this run does not take its record for a cut-off run
    const ParsedCommandLine parsed = ParseCommandLine(args);
    const CommandLine& command = parsed.command;
    const LocalTime now = LocalNow();

    CommandOutcome outcome;
    // A log-on script must get an exit code and a log line whatever happens inside, and no box under /quiet.
    try {
        if (!parsed.ok()) {
            outcome = BadArguments(parsed);
        } else if (command.action == CommandAction::Check) {
            // A run cut off before is settled first: the check is of settings that are whole.
            if (!command.quiet && ReadRecordedRun(registry)) {
                InitZarveloControls();  // for the Review Changes window
                AskAboutCutOffRun(GetModuleHandleA(nullptr), SystemServices(registry, nullptr), nullptr);
            }
            if (ReadRecordedRun(registry)) {
                outcome.exitCode = kExitCutOffRun;
                outcome.outcome = "earlier run cut off";
            } else {
                const CheckRunEnd end = RunPendingCheckStart(GetModuleHandleA(nullptr), registry, command.quiet);
                outcome.exitCode = end.exitCode;
                outcome.outcome = end.outcome;
            }
        } else {
            const VersionQuery query = SystemVersionQuery();
            const std::string dir = BackupDirectory(ProgramDirectory());
            const std::unique_ptr<SafetyFolder> safety = DiskSafetyFolder(dir, ReplaceMethodFor(COpSysInfo(query)));
            Win32BackupFolder backups(dir);
            CommandServices services{registry, query, *safety, backups,
                                     now, programVersion, WriteTextFile, ComputerName()};
            outcome = RunCommand(services, command);
        }
    } catch (const std::exception& e) {
        outcome = InternalError(e.what());
    } catch (...) {
        outcome = InternalError({});
    }

    if (!command.logFile.empty()) {
        const std::string failed = AppendLogLine(command.logFile, LogLine(now, args, outcome));
        if (!failed.empty()) {
            const std::string why = "The log file \"" + command.logFile + "\" could not be written. " + failed;
            outcome.message += (outcome.message.empty() ? "" : "\r\n\r\n") + why;
            // Nobody reads a box under /quiet: the script learns it from the exit code.
            if (command.quiet && outcome.exitCode == kExitDone) outcome.exitCode = kExitLogNotWritten;
        }
    }
    // /check shows its own result; only a log it could not write is told here.
    if (!command.quiet && !outcome.message.empty()) {
        MessageBoxA(nullptr, outcome.message.c_str(), "Zarvelo", MB_OK | Icon(outcome.exitCode));
    }
    *exitCode = outcome.exitCode;
    return true;
}

}  // namespace zv
