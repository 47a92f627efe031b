// The network check end to end: the restart notice's offer in Form1, `zarvelo.exe /check` with nothing
// pending, and inside the responder's namespace a host that answers, one that stays silent, and Keep.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/command_line.h"
#include "app/safe_changes.h"
#include "app/startup.h"
#include "app/win32/resource.h"
#include "backup/win32/backup_folder.h"
#include "platform/echo.h"
#include "platform/registry_helpers.h"
#include "platform/win32/advapi_registry.h"
#include "support/form1_harness.h"
#include "support/netns_responder.h"
#include "support/registry_sandbox.h"
#include "support/wintest.h"
#include "unit/family_query.h"
#include "writerun/network_check.h"
#include "writerun/win32/safety_disk_folder.h"

namespace zv {
namespace {

const std::string kBackupName = "Before Optimize 2026-12-08 15.00.00.zsb";
// The responder's delay for a host that does not answer in time.
constexpr int kLaterThanTheTimeOut = static_cast<int>(kCheckEchoTimeoutMs) + 500;

// ---- the offer in the restart notice (Form1 in this process) ----------------------------------------

void RunOptimizeToTheNotice(zvtest::Form1Harness& h) {
    WriteRegString(h.registry, kHkeyLocalMachine, kZarveloKey, "LoadedMain", "Yes");
    WriteLastSafetyBackup(h.registry, kBackupName);
    ASSERT_TRUE(h.Create());
    h.Select(IDC_cmbConnection, 0);
    h.Click(IDC_Command7);
    h.Click(IDC_Command10);
    h.Click(IDC_Command1);
    for (int tick = 0; tick < 21; ++tick) h.Tick();
    ASSERT_TRUE(h.Visible(IDC_Frame3));
}

TEST(NetworkCheckOffer, TypedHostIsStoredWithTheRunOnceEntryWhileTheBoxIsChecked) {
    zvtest::Form1Harness h(WindowsFamily::Win98);
    RunOptimizeToTheNotice(h);
    EXPECT_TRUE(h.Visible(IDC_chkCheckNetwork));
    EXPECT_TRUE(h.Visible(IDC_txtCheckHost)) << "no stored site: the host is typed";
    EXPECT_EQ(IsDlgButtonChecked(h.Form()->Frame1(kPageSummary), IDC_chkCheckNetwork), BST_CHECKED);
    EXPECT_FALSE(ReadPendingCheck(h.registry)) << "no host yet";

    SetWindowTextA(h.Control(IDC_txtCheckHost), "example.org");
    EXPECT_EQ(h.Text(IDC_chkCheckNetwork),
              "After restarting, check that example.org answers, and undo the change if it does not");
    const auto pending = ReadPendingCheck(h.registry);
    ASSERT_TRUE(pending);
    EXPECT_EQ(pending->host, "example.org");
    // The safety backup of this Optimize, not the one of an earlier run.
    EXPECT_EQ(pending->safetyBackup, ReadLastSafetyBackup(h.registry));
    EXPECT_NE(pending->safetyBackup, kBackupName);
    EXPECT_EQ(ReadRegString(h.registry, kHkeyLocalMachine, kRunOnceKey, kRunOnceCheckValue),
              "\"" + zvtest::TestDir() + "\\win32_tests.exe\" /check");
    RedrawWindow(h.Form1(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    zvtest::SaveScreenshot(h.Form1(), "restart-notice-check");

    h.Click(IDC_chkCheckNetwork);
    EXPECT_FALSE(ReadPendingCheck(h.registry)) << "unchecked";
}

TEST(NetworkCheckOffer, TheHostLastTypedIsProposedAndACheckThatCannotBeStoredIsNotShownArmed) {
    zvtest::Form1Harness h(WindowsFamily::WinXP);
    WriteRegString(h.registry, kHkeyLocalMachine, kZarveloKey, kLastCheckHostValue, "example.net");
    RunOptimizeToTheNotice(h);
    EXPECT_TRUE(h.Visible(IDC_txtCheckHost));
    EXPECT_EQ(h.Text(IDC_txtCheckHost), "example.net");
    const auto pending = ReadPendingCheck(h.registry);
    EXPECT_EQ(pending ? pending->host : "none", "example.net");

    h.Click(IDC_chkCheckNetwork);
    h.registry.SetReadOnly(true);
    h.Click(IDC_chkCheckNetwork);
    EXPECT_EQ(IsDlgButtonChecked(h.Form()->Frame1(kPageSummary), IDC_chkCheckNetwork), BST_UNCHECKED);
    EXPECT_EQ(h.Text(IDC_chkCheckNetwork), kCheckNotArmedText);
    RedrawWindow(h.Form1(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    zvtest::SaveScreenshot(h.Form1(), "restart-notice-not-armed");
    h.registry.SetReadOnly(false);
}

// ---- zarvelo.exe /check ------------------------------------------------------------------------------

class CheckStart : public ::testing::Test {
protected:
    void SetUp() override {
        zvtest::GuardZarveloKeys(sandbox_);
        sandbox_.GuardValue(HKEY_LOCAL_MACHINE, kRunOnceKey, kRunOnceCheckValue);
        zvtest::WriteSz(HKEY_LOCAL_MACHINE, zvtest::kZarveloSettingsKey, "LoadedMain", "Yes");
        zvtest::SetWineVersion("zarvelo.exe", "win98");
    }
    void TearDown() override {
        for (const std::string& name : made_) DeleteFileA((BackupDirectory(zvtest::ProgramDir()) + "\\" + name).c_str());
    }

    // An optimization through the write run, as the Optimize button makes it, with its safety backup.
    WriteRunOutcome Change() {
        const auto folder = DiskSafetyFolder(BackupDirectory(zvtest::ProgramDir()), ReplaceMethod::kDeleteThenMove);
        WriteRunContext context{reg_, *folder, WindowsFamily::Win98, LocalTime{2026, 12, 8, 15, 0, 0}, nullptr, {}, {}};
        WizardChoice choice;
        choice.adapterIndex = 0;
        choice.adapterText = kDefaultAdapter;
        choice.connectionIndex = 0;
        choice.connectionText = "Dial-up Modem";
        choice.options[0] = true;
        WriteRunOutcome out = RunWrite(
            context, OptimizeRun(COpSysInfo(zvtest::FamilyQuery(WindowsFamily::Win98)), choice, DiscoveredAdapters{}));
        made_.push_back(out.safetyBackup);
        return out;
    }

    // The responder's delay set, a change made, and its check pending with these waits.
    WriteRunOutcome ChangeAndPend(const zvtest::Responder& responder, int delayMs, std::uint32_t windowMs,
                                  std::uint32_t countdownSeconds) {
        responder.SetDelay(delayMs);
        WriteRunOutcome change = Change();
        EXPECT_TRUE(change.Written()) << change.message;
        StorePendingCheck(reg_, PendingCheck{"127.0.0.1", change.safetyBackup, {2026, 12, 8, 15, 0, 1}, windowMs, 2000,
                                             countdownSeconds},
                          zvtest::ProgramDir() + "\\zarvelo.exe");
        return change;
    }

    // Every location of the change holds its value from before (`before`) or from after the change.
    void ExpectEveryLocation(const ChangeSet& changes, bool before) {
        ASSERT_FALSE(changes.ChangesNothing());
        for (const ValueChange& row : changes.rows) {
            const std::optional<RegValue> expected = before ? row.now : row.after;
            EXPECT_EQ(ReadValue(reg_, row.where), expected)
                << KeyText(row.where) << "\\" << row.where.name << " should be " << ValueText(expected, "absent");
        }
    }

    // zarvelo.exe with these arguments shows no check window and ends with that code.
    static void ExpectEndsWithoutWindow(const std::string& arguments, DWORD windowMs, DWORD exitMs, DWORD want = 0) {
        zvtest::Process process("\"" + zvtest::ProgramDir() + "\\zarvelo.exe\" " + arguments);
        ASSERT_TRUE(process.Started());
        EXPECT_EQ(zvtest::WaitForWindow(process.Id(), "Checking the network", windowMs), nullptr);
        DWORD code = 99;
        ASSERT_TRUE(process.WaitExit(exitMs, &code));
        EXPECT_EQ(code, want) << arguments;
    }

    void ExpectCheckForgotten() {
        EXPECT_FALSE(ReadPendingCheck(reg_));
        EXPECT_TRUE(zvtest::IsAbsent(HKEY_LOCAL_MACHINE, kRunOnceKey, kRunOnceCheckValue));
    }

    AdvapiRegistry reg_;
    zvtest::RegistrySandbox sandbox_;
    std::vector<std::string> made_;
};

// The check's process and its window.
struct CheckRun {
    zvtest::Process process{"\"" + zvtest::ProgramDir() + "\\zarvelo.exe\" /check"};
    HWND window = process.Started() ? zvtest::WaitForWindow(process.Id(), "Checking the network", 30000) : nullptr;

    ~CheckRun() {
        if (!process.WaitExit(15000)) process.Kill();
    }
    std::string Text() const { return zvtest::WindowText(GetDlgItem(window, IDC_Check_Text)); }
    bool WaitForText(const std::string& start, DWORD ms) const {
        return zvtest::WaitFor([&] { return Text().rfind(start, 0) == 0; }, ms);
    }
    void Shot(const std::string& name) const {
        zvtest::Settle(process.Handle(), 1000);
        zvtest::SaveScreenshot(window, name);
    }
    bool Shown(int id) const { return IsWindowVisible(GetDlgItem(window, id)) != FALSE; }
    void Click(int id) const {
        SendMessageTimeoutA(GetDlgItem(window, id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    }
};

TEST_F(CheckStart, NothingPendingShowsNothing) {
    ClearPendingCheck(reg_);
    ExpectEndsWithoutWindow("/check", 3000, 20000);
}

using NetnsCheck = CheckStart;

TEST_F(NetnsCheck, AnsweringHostKeepsTheChangeAndForgetsTheCheck) {
    NETNS_RESPONDER_OR_SKIP(responder);
    const WriteRunOutcome change = ChangeAndPend(responder, 30, 3000, 2);
    CheckRun run;
    ASSERT_NE(run.window, nullptr) << "no check window";
    ASSERT_TRUE(run.WaitForText("The network answers (", 20000)) << run.Text();
    EXPECT_GE(std::atoi(run.Text().c_str() + 21), 29) << run.Text() << ": the responder's delay";
    run.Shot("check-answered");
    ExpectCheckForgotten();
    ExpectEveryLocation(change.changes, false);
    EXPECT_TRUE(run.process.WaitExit(15000)) << "the window closes itself";
}

TEST_F(NetnsCheck, SilentHostIsUndoneAfterTheCountdown) {
    NETNS_RESPONDER_OR_SKIP(responder);
    // Answers later than the echo's time-out: no answer.
    const WriteRunOutcome change = ChangeAndPend(responder, kLaterThanTheTimeOut, 1000, 2);

    CheckRun run;
    ASSERT_NE(run.window, nullptr) << "no check window";
    ASSERT_TRUE(run.WaitForText("No answer", 20000)) << run.Text();
    EXPECT_TRUE(run.Shown(IDC_Check_UndoNow) && run.Shown(IDC_Check_KeepChanges));
    run.Shot("check-no-answer");

    ASSERT_TRUE(run.WaitForText("The change has been undone.", 20000)) << run.Text();
    EXPECT_TRUE(run.Shown(IDC_Check_Restart) && run.Shown(IDC_Check_Close));
    EXPECT_FALSE(run.Shown(IDC_Check_UndoNow));
    run.Shot("check-undone");
    ExpectEveryLocation(change.changes, true);
    ExpectCheckForgotten();
    // The undo took a safety backup of its own, like every write.
    made_.push_back(ReadLastSafetyBackup(reg_));
    EXPECT_NE(made_.back(), change.safetyBackup);

    run.Click(IDC_Check_Close);
    EXPECT_TRUE(run.process.WaitExit(15000));
    Sleep(1600);  // the late answers arrive before the next test
}

TEST_F(NetnsCheck, QuietUndoesASilentHostsChangeAtOnceWithoutAWindow) {
    NETNS_RESPONDER_OR_SKIP(responder);
    // A countdown nobody could watch is not waited for.
    const WriteRunOutcome change = ChangeAndPend(responder, kLaterThanTheTimeOut, 1000, 600);
    const std::string log = zvtest::TestDir() + "\\check.log";
    DeleteFileA(log.c_str());
    ASSERT_NO_FATAL_FAILURE(
        ExpectEndsWithoutWindow("/check /quiet /log \"" + log + "\"", 2000, 30000, kExitCheckUndone));
    ExpectEveryLocation(change.changes, true);
    ExpectCheckForgotten();
    made_.push_back(ReadLastSafetyBackup(reg_));
    std::ifstream file(log);
    const std::string line((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(line.find("exit 5 check undone, 127.0.0.1: 0 of 1 echo answered"), std::string::npos) << line;
    file.close();
    DeleteFileA(log.c_str());
    Sleep(1600);
}

// A satellite link answers after 700 ms: that is an answer, and the change stays.
TEST_F(NetnsCheck, QuietKeepsTheChangeOfAHostThatAnswersSlowly) {
    NETNS_RESPONDER_OR_SKIP(responder);
    const WriteRunOutcome change = ChangeAndPend(responder, 700, 3000, 600);
    ASSERT_NO_FATAL_FAILURE(ExpectEndsWithoutWindow("/check /quiet", 2000, 30000, kExitDone));
    ExpectEveryLocation(change.changes, false);
    ExpectCheckForgotten();
}

TEST_F(NetnsCheck, KeepChangesKeepsThemAndForgetsTheCheck) {
    NETNS_RESPONDER_OR_SKIP(responder);
    const WriteRunOutcome change = ChangeAndPend(responder, kLaterThanTheTimeOut, 3000, 60);

    CheckRun run;
    ASSERT_NE(run.window, nullptr) << "no check window";
    EXPECT_EQ(run.Text(), "Checking that 127.0.0.1 answers...");
    run.Shot("check-checking");
    ASSERT_TRUE(run.WaitForText("No answer", 20000)) << run.Text();
    run.Click(IDC_Check_KeepChanges);
    EXPECT_TRUE(run.process.WaitExit(15000)) << "Keep closes the window";
    ExpectCheckForgotten();
    ExpectEveryLocation(change.changes, false);
    Sleep(1600);
}

}  // namespace
}  // namespace zv
