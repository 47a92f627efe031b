// The command line's switches and checks, and the runs behind them.
#include "app/command_line.h"
#include "app/safe_changes.h"

#include <algorithm>
#include <array>
#include <optional>

#include "app/navigation.h"
#include "app/progress.h"
#include "backup/backup_names.h"
#include "tuning/adapters.h"
#include "writerun/reg_export.h"

namespace zv {

namespace {

enum class Switch { Optimize, Adapter, Backup, Restore, Undo, Check, Export, Log, Quiet };

struct SwitchInfo {
    const char* name;
    Switch id;
    const char* value;  // what its value is called; null when it takes none
};

constexpr std::array<SwitchInfo, 9> kSwitches = {{
    {"optimize", Switch::Optimize, "CONNECTION"},
    {"adapter", Switch::Adapter, "N or default"},
    {"backup", Switch::Backup, "NAME"},
    {"restore", Switch::Restore, "NAME"},
    {"undo", Switch::Undo, nullptr},
    {"check", Switch::Check, nullptr},
    {"export", Switch::Export, "FILE"},
    {"log", Switch::Log, "FILE"},
    {"quiet", Switch::Quiet, nullptr},
}};

// ASCII only: switches are English words, and the C runtime's ctype calls are not imported.
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// "/name" or "-name", in any case.
std::optional<SwitchInfo> FindSwitch(const std::string& argument) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return std::nullopt;
    const std::string name = Lower(argument.substr(1));
    for (const SwitchInfo& s : kSwitches) {
        if (name == s.name) return s;
    }
    return std::nullopt;
}

bool LooksLikeSwitch(const std::string& argument) {
    return argument.size() >= 2 && (argument[0] == '/' || argument[0] == '-') &&
           IsLetter(argument[1]);
}

// A whole number from 1 to `last`, digits only; 0 otherwise.
int Position(const std::string& text, int last) {
    if (text.empty() || text.size() > 4) return 0;
    int n = 0;
    for (char c : text) {
        if (!IsDigit(c)) return 0;
        n = n * 10 + (c - '0');
    }
    return n >= 1 && n <= last ? n : 0;
}

CommandAction ActionOf(Switch s) {
    switch (s) {
        case Switch::Optimize: return CommandAction::Optimize;
        case Switch::Backup: return CommandAction::Backup;
        case Switch::Restore: return CommandAction::Restore;
        case Switch::Undo: return CommandAction::Undo;
        case Switch::Check: return CommandAction::Check;
        default: return CommandAction::None;
    }
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) { out_.command.arguments = args; }

    ParsedCommandLine Run() {
        CommandLine& c = out_.command;
        std::vector<Switch> seen;
        std::string actionSwitch;
        std::string adapterSwitch;
        std::string exportSwitch;
        while (next_ < args_.size()) {
            const std::string& arg = args_[next_++];
            const std::optional<SwitchInfo> s = FindSwitch(arg);
            if (!s) {
                Refuse(arg, LooksLikeSwitch(arg) ? "is not a switch of Zarvelo." : "is not expected here.");
                continue;
            }
            if (std::find(seen.begin(), seen.end(), s->id) != seen.end()) {
                Refuse(arg, "is given twice.");
                continue;
            }
            seen.push_back(s->id);
            const CommandAction action = ActionOf(s->id);
            if (action != CommandAction::None) {
                if (c.action != CommandAction::None) {
                    Refuse(arg, "cannot be combined with " + actionSwitch + ".");
                } else {
                    c.action = action;
                    actionSwitch = arg;
                }
            }
            std::string value;
            if (s->value && !TakeValue(arg, s->value, &value)) continue;
            switch (s->id) {
                case Switch::Optimize: ReadOptimize(arg, value); break;
                case Switch::Adapter:
                    adapterSwitch = arg;
                    if (Lower(value) != "default" && !(c.adapter = Position(value, 9999))) {
                        Refuse(value, "is not a position in the adapter list (1, 2, ...) or default.");
                    }
                    break;
                case Switch::Backup:
                case Switch::Restore:
                    if (std::optional<std::string> why = RefuseBackupName(value)) {
                        Refuse(value, "cannot name a backup: " + *why);
                    } else {
                        c.name = value;
                    }
                    break;
                case Switch::Export:
                    exportSwitch = arg;
                    c.exportFile = value;
                    break;
                case Switch::Log: c.logFile = value; break;
                case Switch::Quiet: c.quiet = true; break;
                default: break;
            }
        }
        if (c.action != CommandAction::Optimize) {
            if (!adapterSwitch.empty()) Refuse(adapterSwitch, "works only with /optimize.");
            if (!exportSwitch.empty()) Refuse(exportSwitch, "works only with /optimize.");
        }
        if (c.action == CommandAction::None && !args_.empty()) {
            Refuse(args_.front(), "says nothing to do: give /optimize, /backup, /restore, /undo or /check.");
        }
        return out_;
    }

private:
    void Refuse(const std::string& bad, const std::string& reason) {
        if (!out_.ok()) return;  // the first one is named
        out_.bad = bad.empty() ? "\"\"" : bad;
        out_.reason = reason;
    }

    bool TakeValue(const std::string& sw, const char* what, std::string* value) {
        if (next_ >= args_.size() || FindSwitch(args_[next_])) {
            Refuse(sw, std::string("needs a value: ") + what + ".");
            return false;
        }
        *value = args_[next_++];
        return true;
    }

    void ReadOptimize(const std::string& sw, const std::string& connection) {
        CommandLine& c = out_.command;
        c.connection = Position(connection, static_cast<int>(kConnectionTypes.size()));
        if (!c.connection) {
            Refuse(connection, "is not a connection type: CONNECTION is a number from 1 to 5.");
            return;
        }
        // Windows Defaults has no options; any other connection type needs one.
        const bool optionNeeded = c.connection != kWindowsDefaultsIndex + 1;
        if (next_ >= args_.size() || FindSwitch(args_[next_])) {
            if (optionNeeded) Refuse(sw, "needs a value: OPTION.");
            return;
        }
        const std::string& option = args_[next_++];
        c.option = Position(option, 5);
        if (!c.option) Refuse(option, "is not an option: OPTION is a number from 1 to 5.");
    }

    const std::vector<std::string>& args_;
    std::size_t next_ = 0;
    ParsedCommandLine out_;
};

CommandOutcome Outcome(int exitCode, std::string outcome, std::string message) {
    CommandOutcome o;
    o.exitCode = exitCode;
    o.outcome = std::move(outcome);
    o.message = std::move(message);
    return o;
}

const char kRestartNeeded[] = "\r\n\r\nRestart the computer for the changes to take effect.";

}  // namespace

CommandOutcome FromWrite(const WriteRunOutcome& run, int refusedCode) {
    switch (run.status) {
        case WriteRunStatus::Written: {
            CommandOutcome o = run.failedChanges
                                   ? Outcome(kExitRefused, "refused", FailedChangesMessage(run.failedChanges))
                                   : Outcome(kExitDone, "done", ChangeSummary(run.changes) + kRestartNeeded);
            o.set = run.changes.SetCount();
            o.deleted = run.changes.DeletedCount();
            o.refused = run.failedChanges;
            // The summary speaks of the future; the run is over.
            if (!run.failedChanges) {
                o.message = std::to_string(o.set) + (o.set == 1 ? " value set and " : " values set and ") +
                            std::to_string(o.deleted) + " deleted." + kRestartNeeded;
            }
            return o;
        }
        case WriteRunStatus::NothingToChange: return Outcome(kExitDone, "nothing to change", run.message);
        case WriteRunStatus::BackupFailed: return Outcome(kExitNotSaved, "no safety backup", run.message);
        case WriteRunStatus::NotAllowed: return Outcome(kExitRefused, "not an administrator", run.message);
        case WriteRunStatus::TakenElsewhere: return Outcome(kExitBackupFile, "another computer's backup", run.message);
        case WriteRunStatus::CutOffRunFirst: return Outcome(kExitCutOffRun, "earlier run cut off", run.message);
        case WriteRunStatus::Cancelled:
        case WriteRunStatus::Refused: break;
    }
    return Outcome(refusedCode, refusedCode == kExitBackupFile ? "backup missing or damaged" : "refused",
                   run.message);
}

namespace {

WriteRunContext Context(CommandServices& services) {
    // No review window from the command line.
    return WriteRunContext{services.registry, services.safetyFolder, FamilyOf(COpSysInfo(services.versionQuery)),
                           services.now, nullptr, services.computer, nullptr};
}

CommandOutcome Optimize(CommandServices& services, const CommandLine& command) {
    std::string refused;
    RegExportFacts facts;
    const WriteRun run = OptimizeCommandRun(services.registry, services.versionQuery, command, &facts, &refused);
    if (!refused.empty()) {
        return Outcome(kExitBadArguments, "bad arguments",
                       "/adapter " + std::to_string(command.adapter) + " does not exist. " + refused +
                           "\r\n\r\nNothing has been changed.");
    }
    if (command.exportFile.empty()) {
        WriteRunContext context = Context(services);
        return FromWrite(RunWrite(context, run), kExitRefused);
    }

    // Every value the run writes, so that the file tunes a computer in any state, this one's too.
    const ChangeSet changes = PlanChanges(services.registry, run, nullptr).AllWrites();
    facts.programVersion = services.programVersion;
    facts.date = services.now;
    facts.allValues = true;
    const std::string failed =
        services.writeFile ? services.writeFile(command.exportFile, RegFileText(changes, facts), false) : "No file.";
    if (!failed.empty()) {
        return Outcome(kExitBadArguments, "export not written",
                       "The file \"" + command.exportFile + "\" could not be written. " + failed);
    }
    CommandOutcome o = Outcome(kExitDone, "exported",
                               "All values the run writes have been written to \"" + command.exportFile + "\". " +
                                   ChangeSummary(changes) + "\r\n\r\nNothing has been changed on this computer.");
    o.set = changes.SetCount();
    o.deleted = changes.DeletedCount();
    return o;
}

CommandOutcome Backup(CommandServices& services, const CommandLine& command) {
    const COpSysInfo os(services.versionQuery);
    // A script that runs again replaces its own backup.
    const SavedFileOk ok = BackupOk(services.registry, os, command.name, services.backupFolder,
                                    [](const std::string&) { return true; }, services.computer);
    if (!ok.done) return Outcome(kExitNotSaved, "backup not written", ok.message);
    return Outcome(kExitDone, "done",
                   "The backup \"" + command.name + "\" has been written to \"" + services.backupFolder.Folder() + "\".");
}

// Nobody is there to confirm that another computer's values belong on this one: the run refuses them.
CommandOutcome Restore(CommandServices& services, const CommandLine& command) {
    WriteRunContext context = Context(services);
    if (IsSafetyBackupName(command.name)) {
        // A safety backup by the file name the Restore window lists it under.
        std::string error;
        const auto bytes = services.safetyFolder.Read(command.name, &error);
        return FromWrite(RunWrite(context, RestoreSafetyRun(context.family, command.name, bytes, error)),
                         kExitBackupFile);
    }
    std::string unreadable;
    const auto contents = services.backupFolder.Read(command.name + kBackupExtension, &unreadable);
    if (!unreadable.empty()) return Outcome(kExitBackupFile, "backup missing or damaged", unreadable);
    return FromWrite(RunWrite(context, RestoreRun(context.family, command.name, contents)), kExitBackupFile);
}

std::string Joined(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& a : arguments) {
        if (!text.empty()) text += ' ';
        text += a.empty() || a.find(' ') != std::string::npos ? "\"" + a + "\"" : a;
    }
    return text;
}

}  // namespace

WriteRun OptimizeCommandRun(Registry& reg, const VersionQuery& query, const CommandLine& command,
                            RegExportFacts* facts, std::string* refused) {
    const COpSysInfo os(query);
    DiscoveredAdapters adapters = DiscoverAdapters(reg, os);
    const std::vector<std::string> items = AdapterListItems(adapters, os.IsWin9x());
    refused->clear();
    if (command.adapter > 0 && !os.IsWin9x()) {
        *refused = "Windows NT, 2000 and XP have no adapter list; leave /adapter out or give default.";
    } else if (command.adapter > static_cast<int>(items.size())) {
        *refused = "The adapter list has " + std::to_string(items.size()) + (items.size() == 1 ? " entry." : " entries.");
    }
    WizardChoice choice;
    // "Default Adapter" is always last.
    const std::size_t index = command.adapter > 0 ? static_cast<std::size_t>(command.adapter - 1) : items.size() - 1;
    if (index < items.size()) {
        choice.adapterIndex = static_cast<int>(index);
        choice.adapterText = items[index];
    }
    const std::size_t connection = static_cast<std::size_t>(std::clamp(command.connection, 1, 5) - 1);
    choice.connectionIndex = static_cast<int>(connection);
    choice.connectionText = kConnectionTypes[connection];
    if (command.option >= 1 && command.option <= 4) choice.options[static_cast<std::size_t>(command.option - 1)] = true;
    WriteRun run = OptimizeRun(os, choice, adapters);
    if (facts) *facts = run.facts;
    return run;
}

std::vector<std::string> SplitCommandLine(const std::string& text) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (true) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i >= text.size()) return out;
        std::string arg;
        bool quoted = false;
        while (i < text.size() && (quoted || (text[i] != ' ' && text[i] != '\t'))) {
            std::size_t slashes = 0;
            while (i < text.size() && text[i] == '\\') ++slashes, ++i;
            if (i < text.size() && text[i] == '"') {
                // 2n backslashes and a quote: n backslashes, and the quote opens or closes;
                // 2n+1: n backslashes and a quote of the text. Two quotes inside quotes: a quote
                // of the text, and the quoted part ends.
                arg.append(slashes / 2, '\\');
                if (slashes % 2) {
                    arg += '"';
                } else if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                    arg += '"';
                    quoted = false;
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                arg.append(slashes, '\\');
                if (i < text.size() && (quoted || (text[i] != ' ' && text[i] != '\t'))) arg += text[i++];
            }
        }
        out.push_back(arg);
    }
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) { return Parser(arguments).Run(); }

std::string UsageMessage(const ParsedCommandLine& parsed) {
    std::string text;
    if (!parsed.ok()) text = parsed.bad + " " + parsed.reason + "\r\nNothing has been changed.\r\n\r\n";
    // Short lines: a message box wraps long ones at about forty characters.
    return text +
           "zarvelo /optimize CONNECTION OPTION\r\n"
           "[/adapter N|default] [/export FILE]\r\n"
           "zarvelo /backup NAME\r\n"
           "zarvelo /restore NAME\r\n"
           "zarvelo /undo\r\n"
           "zarvelo /check\r\n"
           "Each with /quiet (no window) and /log FILE.\r\n\r\n"
           "CONNECTION: 1 Dial-up Modem,\r\n"
           "2 LAN, cable modem, xDSL, ISDN, T1,\r\n"
           "3 Cable/DSL running PPPoE or PPTP,\r\n"
           "4 Satellite, 5 Windows Defaults.\r\n"
           "OPTION: 1 to 5 (none with 5).\r\n\r\n"
           "Exit codes: 0 done, 1 bad arguments,\r\n"
           "2 some changes refused,\r\n"
           "3 backup file missing, damaged or another\r\ncomputer's,\r\n"
           "4 safety backup not written,\r\n"
           "5 /check undid the change, 6 /check could\r\nnot check, 7 nothing to undo,\r\n"
           "8 internal error, 9 log not written,\r\n"
           "10 a run cut off earlier comes first.\r\n"
           "See \"Command line\" in the help.";
}

CommandOutcome BadArguments(const ParsedCommandLine& parsed) {
    return Outcome(kExitBadArguments, "bad arguments", UsageMessage(parsed));
}

CommandOutcome RunCommand(CommandServices& services, const CommandLine& command) {
    switch (command.action) {
        case CommandAction::Optimize: return Optimize(services, command);
        case CommandAction::Backup: return Backup(services, command);
        case CommandAction::Restore: return Restore(services, command);
        case CommandAction::Undo: {
            WriteRunContext context = Context(services);
            if (ReadRecordedRun(services.registry)) {
                const WriteRunOutcome out = PutBackCutOffRun(context);
                CommandOutcome o = FromWrite(out, kExitBackupFile);
                if (out.Written() && !out.failedChanges) o.message = PutBackMessage(0);
                return o;
            }
            // Nothing to undo is no damaged backup: a script tells the two apart.
            if (!IsSafetyBackupName(ReadLastSafetyBackup(services.registry))) {
                return Outcome(kExitNothingToUndo, "nothing to undo",
                               "There is nothing to undo. Nothing has been changed.");
            }
            return FromWrite(RunUndo(context), kExitBackupFile);
        }
        case CommandAction::None:
        case CommandAction::Check: break;
    }
    return Outcome(kExitBadArguments, "bad arguments", UsageMessage(ParsedCommandLine{}));
}

CommandOutcome InternalError(const std::string& what) {
    return Outcome(kExitInternalError, "internal error",
                   "An error inside Zarvelo ended the run" + (what.empty() ? std::string() : " (" + what + ")") +
                       ". Some settings may have been changed: \"zarvelo /undo\" puts back the values from before "
                       "the change.");
}

std::string LogLine(const LocalTime& now, const std::vector<std::string>& arguments, const CommandOutcome& outcome) {
    return DateTimeText(now) + "\t" + Joined(arguments) + "\texit " + std::to_string(outcome.exitCode) + " " +
           outcome.outcome + "\t" + std::to_string(outcome.set) + " set, " + std::to_string(outcome.deleted) +
           " deleted, " + std::to_string(outcome.refused) + " refused\r\n";
}

}  // namespace zv
