// The network check after the restart: the pending check and the RunOnce entry that starts it, and the
// steps of the "Checking the network" window (ping until answered, else count down and undo the change).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry.h"
#include "writerun/safety_backup.h"
#include "writerun/write_run.h"

namespace zv {

// Both families run the commands under this key once, at the next log-on, and delete them first.
inline const std::string kRunOnceKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline const std::string kRunOnceCheckValue = "Zarvelo";
inline const std::string kCheckSwitch = "/check";
// The host the user last typed for the check, under the program's key.
inline const std::string kLastCheckHostValue = "LastCheckHost";

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
// Stores the check, remembers its host for the next offer, and registers `"<programPath>" /check` to run
// once at the next log-on. False when the registry refused any of it (not an administrator): the check
// is then forgotten again, and will not run.
bool StorePendingCheck(Registry& reg, const PendingCheck& check, const std::string& programPath);
// Forgets the check and its RunOnce entry.
void ClearPendingCheck(Registry& reg);

std::string CheckCommandLine(const std::string& programPath);

// The host the restart notice proposes: the one last typed for a check, or empty.
std::string DefaultCheckHost(Registry& reg);
// The restart notice's check box.
std::string CheckOfferText(const std::string& host);
// What it says when the check could not be stored.
inline constexpr char kCheckNotArmedText[] =
    "The network check could not be set up (only an administrator may); it will not run";

// Puts back the safety backup of that name as a write run of its own, without review (nobody may be
// there to answer it).
WriteRunOutcome UndoCheckedChange(WriteRunContext& context, const std::string& safetyBackup);

// CouldNotCheck: not one echo went out in the whole window, which is no evidence against the change.
enum class CheckState { Checking, Answered, NoAnswer, Kept, Undone, Failed, CouldNotCheck };

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
    // An echo that went out at `startedMs` (from the window's start) ended at `nowMs`.
    CheckStep EchoResult(std::optional<std::uint32_t> rttMs, std::uint32_t startedMs, std::uint32_t nowMs);
    // An echo could not be sent (`why`, a whole sentence); the check goes on while the window lasts.
    CheckStep EchoNotSent(const std::string& why, std::uint32_t startedMs, std::uint32_t nowMs);
    // "example.org: 1 of 3 echoes answered" (or what stood in the way), for the log.
    std::string Summary() const;
    // One second of the countdown has passed.
    CheckStep Tick();
    CheckStep UndoNow();
    CheckStep KeepChanges();
    CheckStep UndoFinished(const WriteRunOutcome& outcome);

private:
    CheckStep NextEcho(std::uint32_t startedMs, std::uint32_t nowMs);

    PendingCheck check_;
    CheckState state_ = CheckState::Checking;
    std::uint32_t rttMs_ = 0;
    std::uint32_t secondsLeft_ = 0;
    std::uint32_t sent_ = 0;
    std::uint32_t answered_ = 0;
    std::string notSent_;  // why the last echo that could not be sent was not
    std::string outcomeText_;
};

}  // namespace zv
