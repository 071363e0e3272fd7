#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "evaluation/local_frame.h"
#include "evaluation/ttff_run.h"
#include "receiver/commands/reset_kind.h"
#include "receiver/fix/gnss_fix.h"

namespace vexa {

// Sends a reset of one kind to the receiver: the link's reset command, the user's own reset text
// for that kind, whatever the front end chose. False when it could not be sent.
class ResetSender {
public:
    virtual ~ResetSender() = default;
    virtual bool Send(ResetKind kind) = 0;
};

// The kinds of a campaign: one kind every run, or every kind in turn (hot, warm, cold, factory).
struct CampaignPlan {
    std::vector<ResetKind> kinds;

    static CampaignPlan Of(ResetKind kind) { return {{kind}}; }
    static CampaignPlan Cycle() { return {{kResetKinds.begin(), kResetKinds.end()}}; }
    ResetKind KindOfRun(std::size_t run) const { return kinds[run % kinds.size()]; }
};

// "hot", "warm", "cold", "factory" or "cycle"; none for any other text.
std::optional<CampaignPlan> ParseCampaignPlan(std::string_view text);

struct CampaignSettings {
    CampaignPlan plan = CampaignPlan::Of(ResetKind::Cold);
    std::size_t runs = 10;
    // A run without a first fix by then has timed out (a failure).
    std::chrono::milliseconds runTimeout{std::chrono::minutes(5)};
    // Between the end of a run and the next reset: the receiver keeps tracking (and learns what a
    // hot start needs), and a late report of its own time to first fix still joins the run.
    std::chrono::milliseconds settle{std::chrono::seconds(10)};
    // The radius of "within R of the reference", in metres.
    double radius = 10.0;
    // No reset is sent: the user switches the receiver off and on (or unplugs it), and each run is
    // timed from the receiver coming back.
    bool powerCycle = false;
};

// Why the settings cannot run ("the number of runs must be at least 1"); empty when they can.
std::string WhyNotACampaign(const CampaignSettings& settings);

// Where the campaign is.
enum class CampaignPhase : std::uint8_t {
    Idle,              // not started
    Running,           // a run is timing its fixes
    Settling,          // between runs
    AwaitingLink,      // the receiver went away; the next run starts when it returns
    AwaitingPowerOff,  // power-cycle mode: waiting for the user to switch the receiver off
    AwaitingReturn,    // power-cycle mode: waiting for the receiver to come back
    Finished,          // every run done
    Stopped,           // the user stopped it
};

struct CampaignProgress {
    CampaignPhase phase = CampaignPhase::Idle;
    std::size_t runsDone = 0;
    std::size_t runsTotal = 0;
    // An estimate of the time to the end: the runs left at the mean length of those done (at the
    // time-out before any), and the settle times. Zero once finished or stopped.
    std::chrono::milliseconds timeLeft{0};
};

// Runs a time-to-first-fix campaign: N resets, each followed by timing (a) the first fix with a
// position, (b) the first 3D fix and (c) the first fix within the radius of the reference, when
// one is set. Fixes count once the receiver has reported being without one after the reset, so
// that a fix already on its way is not a time of 0 and a reset the receiver ignored times out. A run ends when all of these came or at its time-out, and is recorded (and handed to
// the run-ended callback) after its settle time. A receiver lost in a run ends that run as lost
// (a run that already had its first fix keeps it) and the campaign waits for it to return.
//
// Plain state: it is driven by the events below, each with the time it happened (from a clock
// that never goes back), and reads no clock itself. Used from one thread.
class Campaign {
public:
    using RunEnded = std::function<void(const TtffRun&)>;

    Campaign(CampaignSettings settings, ResetSender& sender, RunEnded runEnded = {});

    // Starts the first run (or, in power-cycle mode, waits for the receiver to go away). False,
    // changing nothing, for settings WhyNotACampaign refuses or a campaign already started.
    bool Start(UtcTime now);
    // Ends the campaign: the run in progress is recorded as stopped, a finished run waiting for
    // its settle time as it is.
    void Stop(UtcTime now);

    // A reference to time the runs' fixes within the radius of (none: no such time).
    void SetReference(std::optional<GeodeticPoint> reference);

    // A fix with the time it arrived; one that arrived before the run's reset is not the run's.
    void OnFix(const GnssFix& fix, UtcTime now);
    // The receiver's own report of its time to first fix, in seconds.
    void OnReceiverTtff(double seconds, UtcTime now);
    void OnLinkLost(UtcTime now);
    void OnLinkReturned(UtcTime now);
    // Time passing: time-outs and settle times end by it, and the next reset is sent by it alone,
    // so its `now` must be the time it is called.
    void OnTick(UtcTime now);

    // For receivers whose resets go out together: time passing with the next reset held back; the
    // settle time over and the next reset due (OnTick sends it); and a run of the others begun while
    // this receiver was away, recorded as its own lost run so that the runs stay in step.
    void OnTickHeld(UtcTime now) { Advance(now); }
    bool ResetDue(UtcTime now) const;
    void MissRun(UtcTime now);

    const CampaignSettings& Settings() const { return settings_; }
    std::span<const TtffRun> Runs() const { return runs_; }
    CampaignProgress Progress(UtcTime now) const;
    bool Ended() const { return phase_ == CampaignPhase::Finished || phase_ == CampaignPhase::Stopped; }

private:
    // Ends time-outs and settle times due by `now`; the next reset goes out only when `mayReset`
    // (a tick, the receiver's return), as an event stamped earlier than it arrived must not
    // date a reset sent now.
    void Advance(UtcTime now, bool mayReset = false);
    void BeginRun(UtcTime now);
    void StartTiming(UtcTime now);
    void EndRun(UtcTime now, RunOutcome outcome);
    void RecordPending();
    void AfterRun(UtcTime now);
    bool RunComplete() const;
    std::chrono::milliseconds MeanRunLength() const;

    CampaignSettings settings_;
    ResetSender& sender_;
    RunEnded runEnded_;
    std::optional<LocalFrame> reference_;

    CampaignPhase phase_ = CampaignPhase::Idle;
    bool linkUp_ = true;
    TtffRun current_;
    UtcTime runStart_{};
    bool resetSeen_ = false;  // the receiver reported no fix since the run's reset
    std::optional<TtffRun> pending_;  // ended, waiting for its settle time to be recorded
    UtcTime settleEnd_{};
    std::size_t runsBegun_ = 0;
    std::vector<TtffRun> runs_;
    std::chrono::milliseconds timedLength_{0};  // the summed length of the runs that ran to their end
    std::size_t timedRuns_ = 0;
};

}  // namespace vexa
