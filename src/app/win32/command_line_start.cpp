// The command line's services on Windows: the program's backup folder, the local time, files,
// the message box, and the /check hook.
#include "app/win32/command_line_start.h"

#include <windows.h>

#include "app/command_line.h"
#include "app/win32/network_check_window.h"
#include "backup/win32/backup_folder.h"
#include "backup/win32/safety_disk_folder.h"
#include "platform/win32/desktop.h"
#include "platform/win32/handles.h"

namespace zv {
namespace {

UINT Icon(int exitCode) { return exitCode == kExitDone ? MB_ICONINFORMATION : MB_ICONEXCLAMATION; }

}  // namespace

std::string WriteTextFile(const std::string& path, const std::string& text, bool append) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    UniqueKernelHandle file(h == INVALID_HANDLE_VALUE ? nullptr : h);
    if (!file) return "It could not be opened (error " + std::to_string(GetLastError()) + ").";
    if (append && SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR) {
        return "Its end could not be found.";
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
        return "It could not be written (is the disk full?).";
    }
    return {};
}

bool RunCommandLineStart(const char* arguments, Registry& registry, const std::string& programVersion, int* exitCode) {
    const std::vector<std::string> args = SplitCommandLine(arguments ? arguments : "");
    if (args.empty()) return false;
    const ParsedCommandLine parsed = ParseCommandLine(args);
    const CommandLine& command = parsed.command;
    const LocalTime now = LocalNow();

    CommandOutcome outcome;
    if (!parsed.ok()) {
        outcome = BadArguments(parsed);
    } else if (command.action == CommandAction::Check) {
        outcome.exitCode = RunPendingCheckStart(GetModuleHandleA(nullptr), registry, command.quiet);
        outcome.outcome = "check";
    } else {
        const VersionQuery query = SystemVersionQuery();
        const ReplaceMethod method =
            COpSysInfo(query).IsWinNT() ? ReplaceMethod::kMoveFileEx : ReplaceMethod::kDeleteThenMove;
        const std::string dir = BackupDirectory(ProgramDirectory());
        const std::unique_ptr<SafetyFolder> safety = DiskSafetyFolder(dir, method);
        Win32BackupFolder backups(dir);
        CommandServices services{registry, query, *safety, backups, now, programVersion, WriteTextFile};
        outcome = RunCommand(services, command);
    }

    if (!command.logFile.empty()) {
        const std::string failed = WriteTextFile(command.logFile, LogLine(now, args, outcome), true);
        if (!failed.empty() && !outcome.message.empty()) {
            outcome.message += "\r\n\r\nThe log file \"" + command.logFile + "\" could not be written. " + failed;
        }
    }
    // /check shows its own result.
    if (!command.quiet && !outcome.message.empty()) {
        MessageBoxA(nullptr, outcome.message.c_str(), "Zarvelo", MB_OK | Icon(outcome.exitCode));
    }
    *exitCode = outcome.exitCode;
    return true;
}

}  // namespace zv
