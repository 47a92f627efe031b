// The pending check, its RunOnce entry, and the check window's steps and texts.
#include "writerun/network_check.h"

#include <cstdio>

#include "platform/program_keys.h"
#include "platform/registry_helpers.h"
#include "writerun/safety_names.h"

namespace zv {
namespace {

const char kHostValue[] = "CheckHost";
const char kBackupValue[] = "CheckSafetyBackup";
const char kTimeValue[] = "CheckTime";
const char kWindowValue[] = "CheckRetryWindow";
const char kEveryValue[] = "CheckRetryEvery";
const char kCountdownValue[] = "CheckCountdown";

// Read by position; any other text gives the zero time.
LocalTime ParseTime(const std::string& text) {
    const auto number = [&text](std::size_t at, std::size_t digits, int* out) {
        int v = 0;
        for (std::size_t i = at; i < at + digits; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
            v = v * 10 + (text[i] - '0');
        }
        *out = v;
        return true;
    };
    LocalTime t;
    const bool read = text.size() == 19 && number(0, 4, &t.year) && text[4] == '-' && number(5, 2, &t.month) &&
                      text[7] == '-' && number(8, 2, &t.day) && text[10] == ' ' && number(11, 2, &t.hour) &&
                      text[13] == ':' && number(14, 2, &t.minute) && text[16] == ':' && number(17, 2, &t.second);
    return read && IsValidTime(t) ? t : LocalTime{};
}

// A stored wait: a damaged or zero one falls back to the usual wait rather than spinning.
std::uint32_t ReadWait(Registry& reg, const char* name, std::uint32_t usual) {
    const std::int32_t v = ReadRegDword(reg, kHkeyLocalMachine, kZarveloKey, name, 0);
    return v > 0 ? static_cast<std::uint32_t>(v) : usual;
}

}  // namespace

std::optional<PendingCheck> ReadPendingCheck(Registry& reg) {
    PendingCheck c;
    c.host = ReadRegString(reg, kHkeyLocalMachine, kZarveloKey, kHostValue);
    if (c.host.empty()) return std::nullopt;
    c.safetyBackup = ReadRegString(reg, kHkeyLocalMachine, kZarveloKey, kBackupValue);
    c.time = ParseTime(ReadRegString(reg, kHkeyLocalMachine, kZarveloKey, kTimeValue));
    c.retryWindowMs = ReadWait(reg, kWindowValue, c.retryWindowMs);
    c.retryEveryMs = ReadWait(reg, kEveryValue, c.retryEveryMs);
    c.countdownSeconds = ReadWait(reg, kCountdownValue, c.countdownSeconds);
    return c;
}

bool StorePendingCheck(Registry& reg, const PendingCheck& check, const std::string& programPath) {
    const unsigned long refusedBefore = reg.FailedChanges();
    WriteRegString(reg, kHkeyLocalMachine, kZarveloKey, kLastCheckHostValue, check.host);
    WriteRegString(reg, kHkeyLocalMachine, kZarveloKey, kHostValue, check.host);
    WriteRegString(reg, kHkeyLocalMachine, kZarveloKey, kBackupValue, check.safetyBackup);
    WriteRegString(reg, kHkeyLocalMachine, kZarveloKey, kTimeValue, DateTimeText(check.time));
    WriteRegDword(reg, kHkeyLocalMachine, kZarveloKey, kWindowValue, static_cast<std::int32_t>(check.retryWindowMs));
    WriteRegDword(reg, kHkeyLocalMachine, kZarveloKey, kEveryValue, static_cast<std::int32_t>(check.retryEveryMs));
    WriteRegDword(reg, kHkeyLocalMachine, kZarveloKey, kCountdownValue,
                  static_cast<std::int32_t>(check.countdownSeconds));
    WriteRegString(reg, kHkeyLocalMachine, kRunOnceKey, kRunOnceCheckValue, CheckCommandLine(programPath));
    if (reg.FailedChanges() == refusedBefore) return true;
    // Half a check must not run, nor seem to be armed.
    ClearPendingCheck(reg);
    return false;
}

void ClearPendingCheck(Registry& reg) {
    for (const char* name : {kHostValue, kBackupValue, kTimeValue, kWindowValue, kEveryValue, kCountdownValue}) {
        DeleteRegValue(reg, kHkeyLocalMachine, kZarveloKey, name);
    }
    DeleteRegValue(reg, kHkeyLocalMachine, kRunOnceKey, kRunOnceCheckValue);
}

std::string CheckCommandLine(const std::string& programPath) { return "\"" + programPath + "\" " + kCheckSwitch; }

std::string DefaultCheckHost(Registry& reg) {
    return ReadRegString(reg, kHkeyLocalMachine, kZarveloKey, kLastCheckHostValue);
}

std::string CheckOfferText(const std::string& host) {
    return "After restarting, check that " + (host.empty() ? std::string("the host below") : host) +
           " answers, and undo the change if it does not";
}

WriteRunOutcome UndoCheckedChange(WriteRunContext& context, const std::string& safetyBackup) {
    std::string error;
    std::optional<std::vector<std::uint8_t>> bytes;
    // A record naming no safety backup is treated as one whose file is gone.
    if (IsSafetyBackupName(safetyBackup)) bytes = context.folder.Read(safetyBackup, &error);
    WriteRunContext unattended{context.registry, context.folder, context.family, context.now, nullptr,
                               context.computer, nullptr};
    WriteRun undo = RestoreSafetyRun(context.family, safetyBackup, bytes, error);
    // This computer's own way back, named by its own pending check.
    undo.takenOn.clear();
    return RunWrite(unattended, undo);
}

CheckScreen NetworkCheck::Screen() const {
    CheckScreen s;
    switch (state_) {
    case CheckState::Checking:
        s.text = "Checking that " + check_.host + " answers...";
        s.undoNow = s.keepChanges = true;
        break;
    case CheckState::Answered:
        s.text = "The network answers (" + std::to_string(rttMs_) + " ms). The new settings are kept.";
        s.close = true;
        break;
    case CheckState::NoAnswer:
        s.text = "No answer from " + check_.host + " since the settings were changed. Undo the change? Undoing in " +
                 std::to_string(secondsLeft_) + " s";
        s.undoNow = s.keepChanges = true;
        break;
    case CheckState::Kept:
        s.text = "The new settings are kept.";
        s.close = true;
        break;
    case CheckState::Undone:
        s.text = outcomeText_;
        s.restart = s.close = true;
        break;
    case CheckState::Failed:
        s.text = outcomeText_;
        s.close = true;
        break;
    case CheckState::CouldNotCheck:
        s.text = "Could not check the network: " + notSent_ + " The new settings are kept. If the network does not "
                 "work, use Undo Last Change in Zarvelo.";
        s.close = true;
        break;
    }
    return s;
}

CheckStep NetworkCheck::Start() const { return {CheckStep::Do::EchoAfter, 0, false}; }

CheckStep NetworkCheck::EchoResult(std::optional<std::uint32_t> rttMs, std::uint32_t startedMs, std::uint32_t nowMs) {
    if (state_ != CheckState::Checking) return {};
    ++sent_;
    if (rttMs) {
        ++answered_;
        state_ = CheckState::Answered;
        rttMs_ = *rttMs;
        return {CheckStep::Do::CloseAfter, kAnsweredCloseMs, true};
    }
    return NextEcho(startedMs, nowMs);
}

CheckStep NetworkCheck::EchoNotSent(const std::string& why, std::uint32_t startedMs, std::uint32_t nowMs) {
    if (state_ != CheckState::Checking) return {};
    notSent_ = why;
    return NextEcho(startedMs, nowMs);
}

std::string NetworkCheck::Summary() const {
    if (sent_ == 0 && !notSent_.empty()) return check_.host + ": no echo sent. " + notSent_;
    return check_.host + ": " + std::to_string(answered_) + " of " + std::to_string(sent_) +
           (sent_ == 1 ? " echo" : " echoes") + " answered";
}

CheckStep NetworkCheck::NextEcho(std::uint32_t startedMs, std::uint32_t nowMs) {
    // The next echo starts one interval after this one started, while that is still inside the window.
    const std::uint64_t next = static_cast<std::uint64_t>(startedMs) + check_.retryEveryMs;
    if (next <= check_.retryWindowMs) {
        return {CheckStep::Do::EchoAfter, next > nowMs ? static_cast<std::uint32_t>(next - nowMs) : 0u, false};
    }
    if (sent_ == 0) {
        state_ = CheckState::CouldNotCheck;
        return {CheckStep::Do::Wait, 0, true};
    }
    state_ = CheckState::NoAnswer;
    secondsLeft_ = check_.countdownSeconds;
    return {CheckStep::Do::TickAfter, 1000, false};
}

CheckStep NetworkCheck::Tick() {
    if (state_ != CheckState::NoAnswer) return {};
    if (secondsLeft_ > 0) --secondsLeft_;
    if (secondsLeft_ == 0) return {CheckStep::Do::Undo, 0, false};
    return {CheckStep::Do::TickAfter, 1000, false};
}

CheckStep NetworkCheck::UndoNow() {
    if (state_ != CheckState::Checking && state_ != CheckState::NoAnswer) return {};
    return {CheckStep::Do::Undo, 0, false};
}

CheckStep NetworkCheck::KeepChanges() {
    if (state_ != CheckState::Checking && state_ != CheckState::NoAnswer) return {};
    state_ = CheckState::Kept;
    return {CheckStep::Do::Close, 0, true};
}

CheckStep NetworkCheck::UndoFinished(const WriteRunOutcome& outcome) {
    // Whatever happened, the check is over: a check that failed must not come back at every log-on.
    state_ = CheckState::Failed;
    switch (outcome.status) {
    case WriteRunStatus::Written:
        if (outcome.failedChanges == 0) {
            state_ = CheckState::Undone;
            outcomeText_ = "The change has been undone. Restart your computer for the earlier settings to take effect.";
        } else {
            outcomeText_ = "The change could not be undone completely: Windows refused " +
                           std::to_string(outcome.failedChanges) + " of " + std::to_string(outcome.changes.rows.size()) +
                           " settings. Only an administrator may change them; restore the safety backup \"" +
                           SafetyBackupShownName(check_.safetyBackup) + "\" as an administrator.";
        }
        break;
    case WriteRunStatus::NothingToChange:
        outcomeText_ = "The settings are already as they were before the change.";
        break;
    default:
        outcomeText_ = outcome.message.empty() ? std::string("The change could not be undone.") : outcome.message;
        break;
    }
    return {CheckStep::Do::Wait, 0, true};
}

}  // namespace zv
