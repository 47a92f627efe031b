// The network check after the restart: the pending check and the RunOnce entry that starts it, and the
// steps of the "Checking the network" window (ping until answered, else count down and undo the change).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/safe_changes.h"
#include "backup/safety_backup.h"
#include "platform/registry.h"

namespace zv {

// Both families run the commands under this key once, at the next log-on, and delete them first.
inline const std::string kRunOnceKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline const std::string kRunOnceCheckValue = "Zarvelo";
inline const std::string kCheckSwitch = "/check";
// Pulsiva's site, when it keeps one.
inline const std::string kPulsivaSiteValue = "Site";

struct PendingCheck {
    std::string host;
    std::string safetyBackup;  // the file the change's safety backup was written to
    LocalTime time;            // when the check was asked for
    // The waits, stored with the check so that they can be shortened.
    std::uint32_t retryWindowMs = 60000;  // how long to keep trying
    std::uint32_t retryEveryMs = 2000;    // from one echo to the next
    std::uint32_t countdownSeconds = 30;  // before the change is undone unasked
    bool operator==(const PendingCheck&) const = default;
};

// Under the program's key; nothing when no check is pending (no host stored).
std::optional<PendingCheck> ReadPendingCheck(Registry& reg);
// Stores the check and registers `"<programPath>" /check` to run once at the next log-on.
void StorePendingCheck(Registry& reg, const PendingCheck& check, const std::string& programPath);
// Forgets the check and its RunOnce entry.
void ClearPendingCheck(Registry& reg);

std::string CheckCommandLine(const std::string& programPath);

// The host the restart notice proposes: Pulsiva's stored site, or empty for the user to type one.
std::string DefaultCheckHost(Registry& reg);
// The restart notice's check box.
std::string CheckOfferText(const std::string& host);

// Puts back the safety backup of that name as a write run of its own, without review (nobody may be
// there to answer it).
WriteRunOutcome UndoCheckedChange(WriteRunContext& context, const std::string& safetyBackup);

enum class CheckState { Checking, Answered, NoAnswer, Kept, Undone, Failed };

// What the window does next.
struct CheckStep {
    enum class Do { Wait, EchoAfter, TickAfter, Undo, CloseAfter, Close };
    Do what = Do::Wait;
    std::uint32_t afterMs = 0;
    bool clearPending = false;  // forget the check now
};

// What the window shows.
struct CheckScreen {
    std::string text;
    bool undoNow = false;      // "&Undo Now"
    bool keepChanges = false;  // "&Keep Changes"
    bool restart = false;      // "&Restart"
    bool close = false;        // "Close"
};

inline constexpr std::uint32_t kAnsweredCloseMs = 4000;

class NetworkCheck {
public:
    explicit NetworkCheck(PendingCheck check) : check_(std::move(check)) {}

    const PendingCheck& Check() const { return check_; }
    CheckState State() const { return state_; }
    CheckScreen Screen() const;

    CheckStep Start() const;
    // An echo that started at `startedMs` (from the window's start) ended at `nowMs`.
    CheckStep EchoResult(std::optional<std::uint32_t> rttMs, std::uint32_t startedMs, std::uint32_t nowMs);
    // One second of the countdown has passed.
    CheckStep Tick();
    CheckStep UndoNow();
    CheckStep KeepChanges();
    CheckStep UndoFinished(const WriteRunOutcome& outcome);

private:
    PendingCheck check_;
    CheckState state_ = CheckState::Checking;
    std::uint32_t rttMs_ = 0;
    std::uint32_t secondsLeft_ = 0;
    std::string outcomeText_;
};

}  // namespace zv
