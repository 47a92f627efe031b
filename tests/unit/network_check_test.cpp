// The network check: the pending record and its RunOnce entry, and the window's steps from the first
// echo to kept, undone or failed.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "platform/memory_registry.h"
#include "platform/registry_helpers.h"
#include "writerun/network_check.h"

namespace zv {
namespace {

const std::string kExe = "C:\\Program Files\\Zarvelo\\zarvelo.exe";

TEST(NetworkCheckRecord, StoredReadBackAndClearedWithItsRunOnceEntry) {
    MemoryRegistry reg;
    EXPECT_FALSE(ReadPendingCheck(reg));
    const PendingCheck check{"example.org", "Before Optimize 2026-12-08 14.05.33.zsb", {2026, 12, 8, 14, 5, 40},
                             3000, 500, 2};
    EXPECT_TRUE(StorePendingCheck(reg, check, kExe));
    EXPECT_EQ(ReadPendingCheck(reg), check);
    EXPECT_EQ(DefaultCheckHost(reg), "example.org") << "proposed for the next check";
    EXPECT_EQ(ReadRegString(reg, kHkeyLocalMachine, kRunOnceKey, kRunOnceCheckValue),
              "\"C:\\Program Files\\Zarvelo\\zarvelo.exe\" /check");

    WriteRegString(reg, kHkeyLocalMachine, kZarveloKey, "LoadedMain", "Yes");
    ClearPendingCheck(reg);
    EXPECT_FALSE(ReadPendingCheck(reg));
    EXPECT_EQ(ReadRegString(reg, kHkeyLocalMachine, kRunOnceKey, kRunOnceCheckValue, "gone"), "gone");
    EXPECT_EQ(ReadRegString(reg, kHkeyLocalMachine, kZarveloKey, "LoadedMain"), "Yes") << "other settings stay";

    // Zero waits (a damaged record) fall back to the usual ones instead of spinning.
    StorePendingCheck(reg, PendingCheck{"h", "", {}, 0, 0, 0}, kExe);
    const auto usual = ReadPendingCheck(reg);
    ASSERT_TRUE(usual);
    EXPECT_EQ(usual->retryWindowMs, 60000u);
    EXPECT_EQ(usual->retryEveryMs, 2000u);
    EXPECT_EQ(usual->countdownSeconds, 30u);

    // A user who may not change the settings gets no half-stored check that would run.
    MemoryRegistry limited;
    WriteRegString(limited, kHkeyLocalMachine, kRunOnceKey, "Other", "x.exe");
    limited.RefuseCalls(RegCall::Set, 3);
    EXPECT_FALSE(StorePendingCheck(limited, check, kExe));
    EXPECT_FALSE(ReadPendingCheck(limited));
    EXPECT_EQ(ReadRegString(limited, kHkeyLocalMachine, kRunOnceKey, kRunOnceCheckValue, "gone"), "gone");
}

using Do = CheckStep::Do;

PendingCheck Pending(const std::string& host, const std::string& backup = "") {
    PendingCheck p;
    p.host = host;
    p.safetyBackup = backup;
    return p;
}

// 60 s of echoes every 2 s: 31 echoes (0 ms to 60 s), each echo timed from the start of the last.
TEST(NetworkCheckSteps, RetriesThroughTheWindowThenCountsDownAndUndoes) {
    NetworkCheck c(PendingCheck{"example.org", "", {}, 60000, 2000, 3});
    EXPECT_EQ(c.Start().what, Do::EchoAfter);
    int echoes = 1;
    CheckStep step = c.EchoResult(std::nullopt, 0, 500);
    while (step.what == Do::EchoAfter) {
        EXPECT_EQ(step.afterMs, 1500u) << "echo " << echoes;
        const std::uint32_t started = echoes * 2000;
        ++echoes;
        step = c.EchoResult(std::nullopt, started, started + 500);
    }
    EXPECT_EQ(echoes, 31);
    EXPECT_EQ(step.what, Do::TickAfter);
    EXPECT_FALSE(step.clearPending);
    EXPECT_EQ(c.Screen().text,
              "No answer from example.org since the settings were changed. Undo the change? Undoing in 3 s");
    EXPECT_TRUE(c.Screen().undoNow && c.Screen().keepChanges);
    EXPECT_EQ(c.Tick().what, Do::TickAfter);
    EXPECT_EQ(c.Tick().what, Do::TickAfter);
    EXPECT_NE(c.Screen().text.find("Undoing in 1 s"), std::string::npos) << c.Screen().text;
    EXPECT_EQ(c.Tick().what, Do::Undo);
    EXPECT_EQ(c.EchoResult(12, 0, 0).what, Do::Wait) << "a late answer changes nothing";
}

// Echoes that never went out are no evidence: the change is kept, and the check is over.
TEST(NetworkCheckSteps, NoEchoSentInTheWholeWindowKeepsTheChange) {
    NetworkCheck never(PendingCheck{"example.org", "", {}, 4000, 2000, 3});
    CheckStep step = never.EchoNotSent("The name example.org could not be resolved.", 0, 10);
    for (std::uint32_t started = 2000; step.what == Do::EchoAfter; started += 2000) {
        step = never.EchoNotSent("The name example.org could not be resolved.", started, started + 10);
    }
    EXPECT_EQ(never.State(), CheckState::CouldNotCheck);
    EXPECT_TRUE(step.clearPending);
    EXPECT_EQ(step.what, Do::Wait) << "no countdown, no undo";
    EXPECT_EQ(never.Screen().text.rfind("Could not check the network: The name example.org could not be resolved. "
                                        "The new settings are kept.", 0), 0u) << never.Screen().text;
    EXPECT_TRUE(never.Screen().close && !never.Screen().undoNow);
    EXPECT_EQ(never.Summary(), "example.org: no echo sent. The name example.org could not be resolved.");

    // One echo that went out unanswered is: the countdown follows.
    NetworkCheck once(PendingCheck{"example.org", "", {}, 4000, 2000, 3});
    once.EchoNotSent("The name example.org could not be resolved.", 0, 10);
    once.EchoResult(std::nullopt, 4000, 8000);
    EXPECT_EQ(once.State(), CheckState::NoAnswer);
    EXPECT_EQ(once.Summary(), "example.org: 0 of 1 echo answered");
}

TEST(NetworkCheckSteps, AnswerKeepsAndClosesLater) {
    NetworkCheck c(Pending("example.org"));
    c.EchoResult(std::nullopt, 0, 500);
    const CheckStep step = c.EchoResult(42, 2000, 2042);
    EXPECT_EQ(step.what, Do::CloseAfter);
    EXPECT_TRUE(step.clearPending);
    EXPECT_EQ(c.State(), CheckState::Answered);
    EXPECT_EQ(c.Screen().text, "The network answers (42 ms). The new settings are kept.");
}

TEST(NetworkCheckSteps, KeepAndEveryUndoOutcomeClearTheCheck) {
    NetworkCheck kept(Pending("h"));
    EXPECT_EQ(kept.KeepChanges().what, Do::Close);
    EXPECT_EQ(kept.State(), CheckState::Kept);
    EXPECT_EQ(kept.UndoNow().what, Do::Wait) << "nothing to undo once kept";

    auto outcome = [](WriteRunStatus s, unsigned long failed, const char* message) {
        WriteRunOutcome o;
        o.status = s;
        o.failedChanges = failed;
        o.message = message;
        o.changes.rows.resize(3);
        return o;
    };
    const struct {
        WriteRunOutcome outcome;
        CheckState state;
        const char* textStart;
        bool restart;
    } cases[] = {
        {outcome(WriteRunStatus::Written, 0, ""), CheckState::Undone, "The change has been undone.", true},
        {outcome(WriteRunStatus::Written, 3, ""), CheckState::Failed, "The change could not be undone completely: "
                                                                      "Windows refused 3 of 3 settings.", false},
        {outcome(WriteRunStatus::Refused, 0, "The settings cannot be restored: damaged."), CheckState::Failed,
         "The settings cannot be restored: damaged.", false},
        {outcome(WriteRunStatus::NothingToChange, 0, ""), CheckState::Failed, "The settings are already", false},
    };
    for (const auto& k : cases) {
        NetworkCheck c(Pending("h", "Before Optimize 2026-12-08 14.05.33.zsb"));
        EXPECT_EQ(c.UndoNow().what, Do::Undo);
        const CheckStep step = c.UndoFinished(k.outcome);
        EXPECT_TRUE(step.clearPending) << k.textStart;
        EXPECT_EQ(c.State(), k.state) << k.textStart;
        EXPECT_EQ(c.Screen().text.rfind(k.textStart, 0), 0u) << c.Screen().text;
        EXPECT_EQ(c.Screen().restart, k.restart) << k.textStart;
        EXPECT_TRUE(c.Screen().close) << k.textStart;
    }
}

}  // namespace
}  // namespace zv
