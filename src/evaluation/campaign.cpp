#include "evaluation/campaign.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "evaluation/fix_sample.h"

namespace vexa {

namespace {

double SecondsBetween(UtcTime from, UtcTime to) { return std::chrono::duration<double>(to - from).count(); }

}  // namespace

std::optional<CampaignPlan> ParseCampaignPlan(std::string_view text) {
    if (text == "cycle") return CampaignPlan::Cycle();
    for (const ResetKind kind : kResetKinds) {
        if (text == ResetKindName(kind)) return CampaignPlan::Of(kind);
    }
    return std::nullopt;
}

std::string WhyNotACampaign(const CampaignSettings& settings) {
    if (settings.plan.kinds.empty()) return "the campaign has no reset kind";
    if (settings.runs < 1) return "the number of runs must be at least 1";
    if (settings.runTimeout <= std::chrono::milliseconds::zero()) return "the run time-out must be more than 0 seconds";
    if (settings.settle < std::chrono::milliseconds::zero()) return "the settle time must not be negative";
    if (!std::isfinite(settings.radius) || settings.radius <= 0.0) return "the radius must be more than 0 metres";
    return {};
}

Campaign::Campaign(CampaignSettings settings, ResetSender& sender, RunEnded runEnded)
    : settings_(std::move(settings)), sender_(sender), runEnded_(std::move(runEnded)) {}

bool Campaign::Start(UtcTime now) {
    if (phase_ != CampaignPhase::Idle || !WhyNotACampaign(settings_).empty()) return false;
    if (settings_.powerCycle) {
        phase_ = linkUp_ ? CampaignPhase::AwaitingPowerOff : CampaignPhase::AwaitingReturn;
    } else if (linkUp_) {
        BeginRun(now);
    } else {
        phase_ = CampaignPhase::AwaitingLink;
    }
    return true;
}

void Campaign::Stop(UtcTime now) {
    if (phase_ == CampaignPhase::Idle || Ended()) return;
    Advance(now);
    if (Ended()) return;
    if (phase_ == CampaignPhase::Running) {
        current_.outcome = RunOutcome::Stopped;
        pending_ = current_;
    }
    RecordPending();
    phase_ = CampaignPhase::Stopped;
}

void Campaign::SetReference(std::optional<GeodeticPoint> reference) {
    if (reference) {
        reference_.emplace(*reference);
    } else {
        reference_.reset();
    }
}

void Campaign::OnFix(const GnssFix& fix, UtcTime now) {
    Advance(now);
    // A fix stamped before the reset went out, or at the moment its run began (the settle time ended
    // by it), belongs to the receiver's life before the reset.
    if (phase_ != CampaignPhase::Running || now <= runStart_) return;
    const std::optional<FixSample> sample = FixSampleOf(fix);
    if (!sample) {
        resetSeen_ = resetSeen_ || !fix.hasPosition();
        return;
    }
    // A fix on its way when the reset went out, or from a receiver that ignored the reset, is not
    // the run's: the receiver first shows it lost its fix. One that came back from a power cycle
    // starts without one.
    if (!resetSeen_) return;
    const double seconds = SecondsBetween(runStart_, now);
    if (!current_.ttffAny) current_.ttffAny = seconds;
    if (!current_.ttff3d && fix.mode == FixMode::ThreeD) current_.ttff3d = seconds;
    if (!current_.ttffWithinRadius && reference_ &&
        OffsetInFrame(*sample, *reference_).Horizontal() <= settings_.radius) {
        current_.ttffWithinRadius = seconds;
    }
    if (RunComplete()) {
        EndRun(now, RunOutcome::Fixed);
        AfterRun(now);
    }
}

void Campaign::OnReceiverTtff(double seconds, UtcTime now) {
    Advance(now);
    if (!std::isfinite(seconds) || seconds < 0.0) return;
    if (phase_ == CampaignPhase::Running && now >= runStart_) {
        current_.receiverTtff = seconds;
    } else if (phase_ == CampaignPhase::Settling && pending_) {
        pending_->receiverTtff = seconds;
    }
}

void Campaign::OnLinkLost(UtcTime now) {
    Advance(now);
    linkUp_ = false;
    switch (phase_) {
    case CampaignPhase::Running:
        EndRun(now, RunOutcome::Lost);
        [[fallthrough]];
    case CampaignPhase::Settling:
        // Nothing more comes from a receiver that went away: its run is recorded now.
        RecordPending();
        if (runsBegun_ >= settings_.runs) {
            phase_ = CampaignPhase::Finished;
        } else {
            phase_ = settings_.powerCycle ? CampaignPhase::AwaitingReturn : CampaignPhase::AwaitingLink;
        }
        break;
    case CampaignPhase::AwaitingPowerOff: phase_ = CampaignPhase::AwaitingReturn; break;
    default: break;
    }
}

void Campaign::OnLinkReturned(UtcTime now) {
    Advance(now);
    linkUp_ = true;
    if (phase_ == CampaignPhase::AwaitingReturn) {
        BeginRun(now);
    } else if (phase_ == CampaignPhase::AwaitingLink) {
        // A receiver that just came back gets the settle time before the next reset.
        phase_ = CampaignPhase::Settling;
        settleEnd_ = now + settings_.settle;
        Advance(now, true);
    }
}

void Campaign::OnTick(UtcTime now) { Advance(now, true); }

bool Campaign::ResetDue(UtcTime now) const {
    return phase_ == CampaignPhase::Settling && !settings_.powerCycle && linkUp_ && now >= settleEnd_ &&
           runsBegun_ < settings_.runs;
}

void Campaign::MissRun(UtcTime now) {
    if (phase_ != CampaignPhase::AwaitingLink || runsBegun_ >= settings_.runs) return;
    current_ = TtffRun{};
    current_.kind = settings_.plan.KindOfRun(runsBegun_);
    current_.start = now;
    current_.outcome = RunOutcome::Lost;
    ++runsBegun_;
    pending_ = current_;
    RecordPending();
    if (runsBegun_ >= settings_.runs) phase_ = CampaignPhase::Finished;
}

CampaignProgress Campaign::Progress(UtcTime now) const {
    CampaignProgress progress;
    progress.phase = phase_;
    progress.runsDone = runs_.size() + (pending_ ? 1 : 0);
    progress.runsTotal = settings_.runs;
    if (Ended()) return progress;
    const std::chrono::milliseconds runLength = MeanRunLength();
    std::chrono::milliseconds left = (settings_.runs - runsBegun_) * (runLength + settings_.settle);
    if (phase_ == CampaignPhase::Running) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - runStart_);
        left += std::max(runLength - elapsed, std::chrono::milliseconds::zero()) + settings_.settle;
    } else if (phase_ == CampaignPhase::Settling) {
        left += std::max(std::chrono::duration_cast<std::chrono::milliseconds>(settleEnd_ - now),
                         std::chrono::milliseconds::zero());
    }
    progress.timeLeft = left;
    return progress;
}

void Campaign::Advance(UtcTime now, bool mayReset) {
    if (phase_ == CampaignPhase::Running && now - runStart_ >= settings_.runTimeout) {
        const UtcTime timedOut = runStart_ + settings_.runTimeout;
        EndRun(timedOut, RunOutcome::TimedOut);
        AfterRun(timedOut);
    }
    if (phase_ == CampaignPhase::Settling && now >= settleEnd_) {
        RecordPending();
        if (runsBegun_ >= settings_.runs) {
            phase_ = CampaignPhase::Finished;
        } else if (settings_.powerCycle) {
            phase_ = linkUp_ ? CampaignPhase::AwaitingPowerOff : CampaignPhase::AwaitingReturn;
        } else if (!linkUp_) {
            phase_ = CampaignPhase::AwaitingLink;
        } else if (mayReset) {
            BeginRun(now);
        }
    }
}

void Campaign::BeginRun(UtcTime now) {
    current_ = TtffRun{};
    current_.kind = settings_.plan.KindOfRun(runsBegun_);
    current_.start = now;
    runStart_ = now;
    resetSeen_ = settings_.powerCycle;
    ++runsBegun_;
    phase_ = CampaignPhase::Running;
    if (!settings_.powerCycle && !sender_.Send(current_.kind)) {
        EndRun(now, RunOutcome::Lost);
        AfterRun(now);
    }
}

void Campaign::EndRun(UtcTime now, RunOutcome outcome) {
    // A run that had its first fix is a fixed run, whatever then kept its later times from coming.
    current_.outcome = current_.ttffAny ? RunOutcome::Fixed : outcome;
    if (outcome != RunOutcome::Lost) {
        timedLength_ += std::chrono::duration_cast<std::chrono::milliseconds>(now - runStart_);
        ++timedRuns_;
    }
    pending_ = current_;
}

void Campaign::RecordPending() {
    if (!pending_) return;
    runs_.push_back(*pending_);
    pending_.reset();
    if (runEnded_) runEnded_(runs_.back());
}

void Campaign::AfterRun(UtcTime now) {
    phase_ = CampaignPhase::Settling;
    settleEnd_ = now + settings_.settle;
}

bool Campaign::RunComplete() const {
    return current_.ttffAny && current_.ttff3d && (!reference_ || current_.ttffWithinRadius);
}

std::chrono::milliseconds Campaign::MeanRunLength() const {
    if (timedRuns_ == 0) return settings_.runTimeout;
    return timedLength_ / static_cast<std::chrono::milliseconds::rep>(timedRuns_);
}

}  // namespace vexa
