// zarvelo.exe's command line for log-on scripts: the switches, their checks, and each run behind
// them over the same write runs the windows use, with an exit code, a message and a log line.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "backup/saved_file_commands.h"
#include "platform/opsysinfo.h"
#include "platform/registry.h"
#include "writerun/reg_export.h"
#include "writerun/write_run.h"

namespace zv {

// The exit codes a script can test.
inline constexpr int kExitDone = 0;
inline constexpr int kExitBadArguments = 1;  // nothing was changed
inline constexpr int kExitRefused = 2;       // some changes were refused (not an administrator)
inline constexpr int kExitBackupFile = 3;    // the backup to put back is missing, damaged or another computer's
inline constexpr int kExitNotSaved = 4;      // the safety backup (or the backup asked for) was not written
inline constexpr int kExitCheckUndone = 5;   // /check: no answer, and the change has been undone
inline constexpr int kExitCheckNotDone = 6;  // /check: no echo could be sent; the change is kept
inline constexpr int kExitNothingToUndo = 7;  // /undo: no change to undo; nothing was changed
inline constexpr int kExitInternalError = 8;  // an error inside Zarvelo ended the run
inline constexpr int kExitLogNotWritten = 9;  // /quiet: the run ended with 0, but its log line was not written
inline constexpr int kExitCutOffRun = 10;     // a run cut off earlier must be put back (/undo) or kept first

enum class CommandAction { None, Optimize, Backup, Restore, Undo, Check };

struct CommandLine {
    CommandAction action = CommandAction::None;
    int connection = 0;  // 1 to 5, the wizard's list order
    int option = 0;      // 1 to 5; 0 when not given (only with Windows Defaults)
    int adapter = 0;     // position in the adapter list from 1; 0 for "default"
    std::string name;    // of /backup or /restore
    std::string exportFile;
    std::string logFile;
    bool quiet = false;
    std::vector<std::string> arguments;  // as given, for the log
};

struct ParsedCommandLine {
    CommandLine command;    // what was understood, /log and /quiet even after a refusal
    std::string bad;        // the argument refused; empty when all are good
    std::string reason;     // why
    bool ok() const { return bad.empty(); }
};

// The arguments after the program name, split as the C runtime splits them (quotes, backslashes).
std::vector<std::string> SplitCommandLine(const std::string& text);

// Checks every argument; a refused one names itself. No arguments: CommandAction::None.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text, headed by the refused argument and the reason.
std::string UsageMessage(const ParsedCommandLine& parsed);

// What the runs need from the program.
struct CommandServices {
    Registry& registry;
    VersionQuery versionQuery;
    SafetyFolder& safetyFolder;
    BackupFolderFiles& backupFolder;
    LocalTime now;
    std::string programVersion;
    // Writes the whole file (append: at its end, made when missing); empty, or why it could not.
    std::function<std::string(const std::string& path, const std::string& text, bool append)> writeFile;
    std::string computer;  // this computer's name; empty when unknown
};

struct CommandOutcome {
    int exitCode = kExitDone;
    std::string message;  // the message box text
    std::string outcome;  // one word or two for the log: "done", "bad arguments", ...
    std::size_t set = 0;
    std::size_t deleted = 0;
    unsigned long refused = 0;
};

// The wizard's run for /optimize on this registry and family: the adapter list, connection type and
// option as the wizard's pages would give them. `refused` says why the adapter position cannot be
// used (nothing to run then); `facts` (may be null) receives what a registry file's comments say.
WriteRun OptimizeCommandRun(Registry& reg, const VersionQuery& query, const CommandLine& command,
                            RegExportFacts* facts, std::string* refused);

// /optimize (with /export), /backup, /restore and /undo; /undo puts back the values from before a run that
// was cut off, while one is recorded. Never restarts the computer.
CommandOutcome RunCommand(CommandServices& services, const CommandLine& command);

// A write run's end as exit code and message; `refusedCode` for a run that refused to start.
CommandOutcome FromWrite(const WriteRunOutcome& run, int refusedCode);

// The outcome of a refused command line.
CommandOutcome BadArguments(const ParsedCommandLine& parsed);

// What is told when an error inside Zarvelo ended the run (`what`: the error's own words, may be empty).
CommandOutcome InternalError(const std::string& what);

// "2026-12-08 14:50:07<TAB>/optimize 2 3 /quiet<TAB>exit 0 done<TAB>12 set, 0 deleted, 0 refused" and CR LF.
std::string LogLine(const LocalTime& now, const std::vector<std::string>& arguments, const CommandOutcome& outcome);

}  // namespace zv
