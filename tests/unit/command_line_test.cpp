// The command line: which arguments are refused and named, how the raw line splits, what each run
// ends with (exit code, nothing changed where it must not), and the registry file's lines.
#include <gtest/gtest.h>

#include <sstream>

#include "app/command_line.h"
#include "backup_support.h"
#include "family_query.h"
#include "tuning_support.h"
#include "writerun/reg_export.h"

namespace zv {
namespace {

using zvtest::Dw;
using zvtest::Sz;

struct ParseCase {
    std::vector<std::string> args;
    std::string bad;  // empty: accepted
    CommandAction action = CommandAction::None;
};

TEST(CommandLineParse, RefusesAndNamesTheFirstBadArgument) {
    const ParseCase cases[] = {
        {{}, "", CommandAction::None},
        {{"-OPTIMIZE", "1", "5", "/Adapter", "DEFAULT", "/quiet", "/log", "z.log"}, "", CommandAction::Optimize},
        {{"/optimize", "5", "/export", "-a.reg"}, "", CommandAction::Optimize},
        {{"/backup", "Lab PC"}, "", CommandAction::Backup},
        {{"/restore", "x"}, "", CommandAction::Restore},
        {{"/undo"}, "", CommandAction::Undo},
        {{"-check", "/quiet"}, "", CommandAction::Check},
        {{"/optimise", "2", "3"}, "/optimise"},
        {{"/optimize", "6", "1"}, "6"},
        {{"/optimize", "2", "0"}, "0"},
        {{"/optimize", "2", "/quiet"}, "/optimize"},
        {{"/optimize", "2", "3", "/adapter", "first"}, "first"},
        {{"/optimize", "2", "3", "4"}, "4"},
        {{"/optimize", "2", "3", "/undo"}, "/undo"},
        {{"/quiet", "/quiet", "/undo"}, "/quiet"},
        {{"/quiet"}, "/quiet"},
        {{"/undo", "/adapter", "2"}, "/adapter"},
        {{"/backup", "..\\win"}, "..\\win"},
        {{"/restore", "CON"}, "CON"},
        {{"/undo", "/log"}, "/log"},
    };
    for (const ParseCase& c : cases) {
        std::string line;
        for (const auto& a : c.args) line += a + " ";
        const ParsedCommandLine p = ParseCommandLine(c.args);
        EXPECT_EQ(p.bad, c.bad) << line << p.reason;
        if (c.bad.empty()) {
            EXPECT_EQ(p.command.action, c.action) << line;
        } else {
            EXPECT_EQ(UsageMessage(p).rfind(c.bad + " ", 0), 0u) << line;
        }
    }
    const CommandLine full = ParseCommandLine({"/optimize", "3", "2", "/adapter", "2", "/log", "l.txt", "/quiet"}).command;
    EXPECT_EQ(full.connection, 3);
    EXPECT_EQ(full.option, 2);
    EXPECT_EQ(full.adapter, 2);
    EXPECT_EQ(full.logFile, "l.txt");
    EXPECT_TRUE(full.quiet);
    // A refused line still logs and stays quiet.
    const ParsedCommandLine refused = ParseCommandLine({"/optimize", "9", "1", "/quiet", "/log", "l.txt"});
    EXPECT_TRUE(refused.command.quiet);
    EXPECT_EQ(refused.command.logFile, "l.txt");
}

TEST(CommandLineParse, SplitsAsTheCRuntimeDoes) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}},
        {"  /undo\t/quiet ", {"/undo", "/quiet"}},
        {"/backup \"Lab PC 3\"", {"/backup", "Lab PC 3"}},
        {"/log \"C:\\Log Files\\z.log\"", {"/log", "C:\\Log Files\\z.log"}},
        {"a\\\\\"b c\"", {"a\\b c"}},
        {"\"\" x", {"", "x"}},
        // Two quotes inside quotes: one quote of the text, and the quoted part ends.
        {"a\"b\"\" c d", {"ab\"", "c", "d"}},
        {"/backup \"Lab \"\"3\"\"\"", {"/backup", "Lab \"3\""}},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(SplitCommandLine(text), expected) << text;
}

// A registry that refuses every write but the run's record, as the NT family does where the settings'
// keys deny a user what the program's own key allows.
class ReadOnlyRegistry : public MemoryRegistry {
public:
    bool refuse = false;
    long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
        return refuse && name != kRunUnderWayValue ? kErrorAccessDenied
                                                   : MemoryRegistry::SetValue(key, name, type, data, size);
    }
};

struct Computer {
    explicit Computer(WindowsFamily family)
        : services{reg, zvtest::FamilyQuery(family), safety, backups, LocalTime{2026, 12, 8, 9, 30, 0}, "1.0.0",
                   [this](const std::string& path, const std::string& text, bool append) {
                       files[path] = append ? files[path] + text : text;
                       return std::string();
                   },
                   "LAB-01"} {}
    CommandOutcome Run(std::vector<std::string> args) {
        const ParsedCommandLine p = ParseCommandLine(args);
        return p.ok() ? RunCommand(services, p.command) : BadArguments(p);
    }
    ReadOnlyRegistry reg;
    zvtest::MemoryFolder safety;
    zvtest::FakeFolder backups;
    std::map<std::string, std::string> files;
    CommandServices services;
};

TEST(CommandLineRun, ExitCodesAndWhatIsLeftUnchanged) {
    Computer nt(WindowsFamily::WinXP);
    const std::string empty = nt.reg.Dump();
    EXPECT_EQ(nt.Run({"/optimize", "2", "3", "/adapter", "1"}).exitCode, kExitBadArguments);
    EXPECT_EQ(nt.Run({"/undo"}).exitCode, kExitNothingToUndo);
    EXPECT_EQ(nt.Run({"/restore", "missing"}).exitCode, kExitBackupFile);
    // A user who may change nothing is told so before any review or safety backup.
    nt.reg.SetReadOnly(true);
    const CommandOutcome limited = nt.Run({"/optimize", "2", "3"});
    EXPECT_EQ(limited.exitCode, kExitRefused);
    EXPECT_EQ(limited.message.rfind("Run Zarvelo as an administrator to change these settings", 0), 0u);
    EXPECT_TRUE(nt.safety.files.empty());
    nt.reg.SetReadOnly(false);
    nt.safety.refuse = "The disk is full.";
    EXPECT_EQ(nt.Run({"/optimize", "2", "3"}).exitCode, kExitNotSaved);
    EXPECT_EQ(nt.reg.Dump(), empty);

    nt.safety.refuse.clear();
    const CommandOutcome exported = nt.Run({"/optimize", "2", "3", "/export", "lab.reg"});
    EXPECT_EQ(exported.exitCode, kExitDone) << exported.message;
    EXPECT_EQ(nt.files["lab.reg"].rfind("REGEDIT4\r\n", 0), 0u);
    EXPECT_NE(nt.files["lab.reg"].find("; Adapter: all adapters alike\r\n; Connection: Lan"), std::string::npos);
    EXPECT_TRUE(nt.safety.files.empty()) << "an export writes nothing else";
    EXPECT_EQ(nt.reg.Dump(), empty);

    nt.reg.refuse = true;
    const CommandOutcome refused = nt.Run({"/optimize", "2", "3"});
    EXPECT_EQ(refused.exitCode, kExitRefused);
    EXPECT_EQ(refused.refused, exported.set);

    nt.reg.refuse = false;
    const CommandOutcome done = nt.Run({"/optimize", "2", "3"});
    EXPECT_EQ(done.exitCode, kExitDone);
    EXPECT_NE(done.message.find("Restart the computer"), std::string::npos) << done.message;
    EXPECT_EQ(nt.safety.files.size(), 2u) << "each write run took its safety backup";
    const std::string oldest = nt.safety.files.begin()->first;
    EXPECT_EQ(nt.Run({"/restore", oldest}).exitCode, kExitDone) << "a safety backup as the Restore window lists it";
    EXPECT_EQ(nt.Run({"/undo"}).exitCode, kExitDone);
    EXPECT_EQ(nt.Run({"/backup", "lab"}).exitCode, kExitDone);
    EXPECT_EQ(nt.Run({"/restore", "lab"}).exitCode, kExitDone);
    // The same folder seen from another computer: its backup is refused, whatever it holds.
    nt.services.computer = "LAB-02";
    const std::string before = nt.reg.Dump();
    const CommandOutcome elsewhere = nt.Run({"/restore", "lab"});
    EXPECT_EQ(elsewhere.exitCode, kExitBackupFile);
    EXPECT_NE(elsewhere.message.find("taken on the computer LAB-01, not on this one (LAB-02)"), std::string::npos)
        << elsewhere.message;
    EXPECT_EQ(nt.reg.Dump(), before);
    nt.services.computer = "lab-01";
    EXPECT_EQ(nt.Run({"/restore", "lab"}).exitCode, kExitDone) << "the same name in another case";
    nt.backups.files["lab.dat"].resize(nt.backups.files["lab.dat"].size() / 2);
    EXPECT_EQ(nt.Run({"/restore", "lab"}).exitCode, kExitBackupFile);
    nt.backups.writeError = "The disk is full.";
    EXPECT_EQ(nt.Run({"/backup", "lab"}).exitCode, kExitNotSaved);

    Computer w98(WindowsFamily::Win98);
    EXPECT_EQ(w98.Run({"/optimize", "1", "1", "/adapter", "1"}).exitCode, kExitDone) << "Default Adapter";
    const std::string after = w98.reg.Dump();
    EXPECT_EQ(w98.Run({"/optimize", "1", "2", "/adapter", "2"}).exitCode, kExitBadArguments);
    EXPECT_EQ(w98.reg.Dump(), after);
    // On a tuned computer the file still holds every value, and says what it was made for.
    EXPECT_EQ(w98.Run({"/optimize", "1", "1", "/export", "lab.reg"}).exitCode, kExitDone);
    const std::string& file = w98.files["lab.reg"];
    for (const char* line : {"; Adapter: Default Adapter\r\n; Connection: Dial-up Modem\r\n; Option: Automatic",
                             "\r\n;   Net\\0010, NetTrans\\0010\r\n"}) {
        EXPECT_NE(file.find(line), std::string::npos) << line << " is not in\n" << file;
    }
}

// A run cut off after it wrote everything (its record left behind): the other write runs wait, /undo puts
// back the values from before it, and "Keep as It Is" leaves that to Undo.
TEST(CommandLineRun, ARunCutOffEarlierComesFirst) {
    Computer w98(WindowsFamily::Win98);
    const auto settings = [&w98] {  // the values, without the program's own
        std::istringstream in(w98.reg.Dump());
        std::string line, out;
        while (std::getline(in, line)) {
            if (line.find(" : \"") != std::string::npos && line.find("Quonibar") == std::string::npos) out += line + "\n";
        }
        return out;
    };
    const std::string before = settings();
    for (bool keep : {false, true}) {
        ASSERT_EQ(w98.Run({"/optimize", "2", "3"}).exitCode, kExitDone);
        ASSERT_TRUE(RecordRun(w98.reg, ReadLastSafetyBackup(w98.reg)));
        WriteLastSafetyBackup(w98.reg, "an older one");
        for (const std::vector<std::string> other : {std::vector<std::string>{"/optimize", "1", "1"},
                                                     {"/restore", w98.safety.files.begin()->first}}) {
            const CommandOutcome refused = w98.Run(other);
            EXPECT_EQ(refused.exitCode, kExitCutOffRun);
            EXPECT_EQ(refused.message.rfind("Zarvelo was stopped while it was changing your settings on 2026-12-08 "
                                            "09:30:00. Some values may be changed and others not.", 0), 0u);
        }
        if (keep) KeepCutOffRun(w98.reg, w98.safety);
        const CommandOutcome undone = w98.Run({"/undo"});
        EXPECT_EQ(undone.exitCode, kExitDone) << undone.message;
        EXPECT_EQ(ReadRecordedRun(w98.reg), std::nullopt);
        EXPECT_EQ(w98.Run({"/undo"}).exitCode, kExitDone) << "what was put back can be undone in turn";
        EXPECT_EQ(w98.Run({"/undo"}).exitCode, kExitDone);
        EXPECT_EQ(settings(), before) << (keep ? "kept, then undone" : "put back");
    }
}

TEST(RegFile, WritesEachTypeInTheSyntaxRegeditReads) {
    ChangeSet c;
    const std::string key = "Software\\Q";
    c.createdKeys.push_back({kHkeyLocalMachine, key + "\\Empty", ""});
    c.rows.push_back({{kHkeyLocalMachine, key, "a\"b\\c"}, std::nullopt, Sz("C:\\x \"y\"")});
    c.rows.push_back({{kHkeyCurrentUser, key, ""}, Sz("old"), Dw(0x5DC)});
    c.rows.push_back({{kHkeyLocalMachine, key, "Gone"}, Dw(1), std::nullopt});
    c.rows.push_back({{kHkeyLocalMachine, key, "Bin"}, std::nullopt, RegValue{kRegBinary, std::vector<std::uint8_t>(30, 0xAB)}});
    c.rows.push_back({{kHkeyLocalMachine, key, "Path"}, std::nullopt, RegValue{kRegExpandSz, {'%', 'A', '%', 0}}});
    c.rows.push_back({{kHkeyLocalMachine, key, "Two"}, std::nullopt, RegValue{kRegSz, {'a', 0, 'b', 0}}});
    RegExportFacts facts{"1.0.0", WindowsFamily::WinMe, "Default Adapter", "Satellite", "Automatic Configuration #2",
                         LocalTime{2026, 12, 8, 9, 30, 1}, false, {}};
    const std::string bin = "\"Bin\"=hex:" + [] {
        std::string s;
        for (int i = 0; i < 30; ++i) s += i == 22 ? "ab,\\\r\n  " : i < 29 ? "ab," : "ab";
        return s;
    }();
    EXPECT_EQ(RegFileText(c, facts),
              "REGEDIT4\r\n; Zarvelo 1.0.0, registry changes\r\n; Family: Windows Me\r\n; Adapter: Default Adapter\r\n"
              "; Connection: Satellite\r\n; Option: Automatic Configuration #2\r\n; Date: 2026-12-08 09:30:01\r\n"
              "; Changes: " + ChangeSummary(c) + "\r\n"
              "; Lines ending in =- delete a value. Only the Registry Editor of Windows 2000 and\r\n"
              "; XP deletes values from a file; on Windows 95, 98, Me and NT 4.0 it leaves them,\r\n"
              "; so there run zarvelo.exe /optimize with the same choice instead.\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\Software\\Q\\Empty]\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\Software\\Q]\r\n\"a\\\"b\\\\c\"=\"C:\\\\x \\\"y\\\"\"\r\n\"Gone\"=-\r\n" +
                  bin + "\r\n\"Path\"=hex(2):25,41,25,00\r\n\"Two\"=hex(1):61,00,62,00\r\n"
                  "\r\n[HKEY_CURRENT_USER\\Software\\Q]\r\n@=dword:000005dc\r\n\r\n");

    // All values the run writes; on 9x the adapter keys it was made for follow the counts.
    facts.allValues = true;
    facts.adapterKeys = {"Net\\0000, NetTrans\\0000: NE2000 Compatible"};
    const std::string all = RegFileText(c, facts);
    EXPECT_NE(all.find(", all values the run writes\r\n"), std::string::npos) << all;
    EXPECT_NE(all.find("; Values: " + ChangeSummary(c) + "\r\n; The adapter values name this computer's adapter and "
                       "binding keys; another\r\n; computer may number its adapters otherwise. Made for these "
                       "adapters:\r\n;   Net\\0000, NetTrans\\0000: NE2000 Compatible\r\n; Lines ending"),
              std::string::npos) << all;
}

}  // namespace
}  // namespace zv
