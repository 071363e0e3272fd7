#include "cli/campaign_command.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "cli/campaign_lines.h"
#include "cli/live_command.h"
#include "cli/live_session.h"
#include "cli/live_timing.h"
#include "cli/stop_signals.h"
#include "evaluation/report/report_writer.h"
#include "link/receiver_commands.h"
#include "platform/result_codes.h"

namespace vexa {
namespace {

using std::chrono::milliseconds;

// How often the campaign looks at the fixes that came and the time passing.
constexpr milliseconds kCampaignStep{100};

// The campaign's clock: the time of day at the start moved on by a clock that never goes back, so
// that the runs are timed right whatever happens to the system's clock meanwhile. Read on any thread.
class CampaignClock {
public:
    explicit CampaignClock(const Clock& time) : time_(time) {}

    UtcTime Now() const {
        return utcStart_ + std::chrono::duration_cast<milliseconds>(time_.SteadyNow() - steadyStart_);
    }

private:
    const Clock& time_;
    const SteadyTime steadyStart_ = time_.SteadyNow();
    const UtcTime utcStart_ = std::chrono::time_point_cast<milliseconds>(time_.UtcNow());
};

// The fixes as they arrive, stamped with their time of arrival. Filled on the comm reader thread
// under the model lock: it copies and returns.
class FixInbox : public GnssListener {
public:
    explicit FixInbox(const CampaignClock& clock) : clock_(clock) {}

    void onFix(const GnssFix& fix) override {
        const UtcTime now = clock_.Now();
        const std::lock_guard lock(mutex_);
        fixes_.push_back({fix, now});
    }
    void onSky(const GnssSky&) override {}

    struct Arrival {
        GnssFix fix;
        UtcTime at;
    };
    std::vector<Arrival> Take() {
        std::vector<Arrival> taken;
        const std::lock_guard lock(mutex_);
        taken.swap(fixes_);
        return taken;
    }

private:
    const CampaignClock& clock_;
    std::mutex mutex_;
    std::vector<Arrival> fixes_;
};

// The link's reset command, or the user's own bytes for the kind.
class LinkResets : public ResetSender {
public:
    LinkResets(GpsComm& comm, const CliOptions& options) : comm_(comm), texts_(options.resetTexts) {}

    bool Send(ResetKind kind) override {
        const std::vector<std::uint8_t>& text = texts_[static_cast<std::size_t>(kind)];
        if (text.empty()) {
            if (comm_.CommandsRefused()) return false;
            SendReset(comm_, kind);
            return true;
        }
        comm_.Context().Ttff.set("");
        return comm_.WriteDirect(text.data(), text.size()) == kResultOk;
    }

private:
    GpsComm& comm_;
    const std::array<std::vector<std::uint8_t>, kResetKinds.size()>& texts_;
};

// Why the receiver now connected cannot be reset as the options ask; empty when it can.
std::string WhyNoReset(GpsComm& comm, const CliOptions& options) {
    if (options.campaign->powerCycle) return {};
    const bool allTyped = std::all_of(options.campaign->plan.kinds.begin(), options.campaign->plan.kinds.end(),
                                      [&](ResetKind kind) { return !options.resetTexts[static_cast<std::size_t>(kind)].empty(); });
    if (const std::optional<std::string> refused = comm.CommandsRefused()) {
        return *refused + "; use --power-cycle";
    }
    if (!allTyped && comm.Context().LinkProtocol == kNmeaProtocol) {
        return "the receiver speaks NMEA, which has no reset command here: give --reset-text KIND=TEXT for each "
               "kind of the campaign, or use --power-cycle";
    }
    return {};
}

// The receiver's own time to first fix, when it reported a new one; never the program's measure.
std::optional<double> ReceiverTtff(ReceiverContext& context) {
    if (!context.Ttff.changed()) return std::nullopt;
    context.Ttff.setChanged(false);
    const std::optional<TtffSeconds> ttff = context.Ttff.seconds();
    if (!ttff || ttff->source != TtffSource::Receiver) return std::nullopt;
    return ttff->seconds;
}

std::string ReportTitle(const CliOptions& options) {
    const CampaignSettings& settings = *options.campaign;
    const std::string kinds = settings.plan.kinds.size() == 1 ? std::string(ResetKindName(settings.plan.kinds.front())) : "cycle";
    return "Receiver on " + options.portPaths.front() + ": " + kinds + " x " + std::to_string(settings.runs) +
           (settings.powerCycle ? " (power cycles)" : "");
}

}  // namespace

int RunCampaignCommand(const CliOptions& options, std::FILE* output, std::FILE* errors, const Clock& time) {
    if (const std::string problem = WhyReportCannotBeWritten(options.reportPath); !problem.empty()) {
        std::fprintf(errors, "vexademo-cli: %s\n", problem.c_str());
        return kExitBadUsage;
    }
    StopSignals signals;
    const std::unique_ptr<LiveSession> session =
        LiveSession::Create(options.product, output, errors, {}, false, false, time);
    if (session == nullptr) {
        std::fprintf(errors, "vexademo-cli: the receiver link cannot be started\n");
        return kExitNotConnected;
    }
    session->QuietMessages();
    const CampaignClock clock(time);
    FixInbox inbox(clock);
    session->Comm().Model().AddGnssListener(inbox);
    signals.Watch([&session](int) { session->RequestStop(); });

    AccuracyTracker accuracy;
    TtffTracker ttff;
    std::optional<SurveyIn> survey;
    if (options.surveySeconds) survey.emplace(std::chrono::seconds(*options.surveySeconds));
    LinkResets resets(session->Comm(), options);
    Campaign campaign(*options.campaign, resets, [&](const TtffRun& run) {
        ttff.Add(run);
        session->Print(RunLine(run, campaign.Progress(clock.Now()), options.campaign->radius));
    });
    if (options.reference) {
        accuracy.SetReference(ReferencePoint{*options.reference, ReferenceSource::Entered, std::nullopt});
        campaign.SetReference(*options.reference);
    }

    const SteadyTime start = time.SteadyNow();
    const SteadyTime end =
        options.seconds ? start + std::chrono::duration_cast<SteadyTime::duration>(std::chrono::duration<double>(*options.seconds))
                        : SteadyTime::max();
    SteadyTime nextTick = start + kTickPeriod;
    session->Connect(options.portPaths.front(), options.baudSelection);
    bool linkUp = false;
    int status = kExitReceiverFound;
    while (!session->StopRequested() && session->OutputError() == 0 && time.SteadyNow() < end && !campaign.Ended()) {
        if (time.SteadyNow() >= nextTick) {
            session->Tick();
            nextTick += kTickPeriod;
        }
        session->HandleNotifications(std::min(kCampaignStep, Until(time, nextTick)));
        ReceiverContext& context = session->Context();
        if (const bool connected = context.LinkProtocol != kNotConnected; connected != linkUp) {
            linkUp = connected;
            linkUp ? campaign.OnLinkReturned(clock.Now()) : campaign.OnLinkLost(clock.Now());
        }
        for (const FixInbox::Arrival& arrival : inbox.Take()) {
            const std::optional<FixSample> sample = FixSampleOf(arrival.fix);
            if (sample) accuracy.Add(*sample);
            if (survey && sample && survey->Add(*sample) && survey->Complete()) {
                const ReferencePoint reference = *survey->Result();
                accuracy.SetReference(reference);
                campaign.SetReference(reference.position);
                session->Print(SurveyLine(reference));
            }
            campaign.OnFix(arrival.fix, arrival.at);
        }
        if (const std::optional<double> seconds = ReceiverTtff(context)) campaign.OnReceiverTtff(*seconds, clock.Now());
        const bool surveyed = !survey || survey->Complete();
        if (campaign.Progress(clock.Now()).phase == CampaignPhase::Idle && linkUp && surveyed) {
            if (const std::string why = WhyNoReset(session->Comm(), options); !why.empty()) {
                session->Report("vexademo-cli: " + why);
                status = kExitBadUsage;
                break;
            }
            campaign.Start(clock.Now());
        }
        campaign.OnTick(clock.Now());
    }
    signals.StopWatching();
    campaign.Stop(clock.Now());
    session->Comm().Model().RemoveGnssListener(inbox);
    session->Finish();
    if (status == kExitReceiverFound && !session->ReceiverFound()) status = kExitNotConnected;
    if (status == kExitReceiverFound) {
        for (const ResetKind kind : kResetKinds) {
            if (ttff.Figures(kind).runs > 0) session->Print(TtffFiguresLine(kind, ttff.Figures(kind)));
        }
        session->Print(AccuracyLine(accuracy.Figures()));
        if (const std::string problem = WriteReport(options.reportPath, {ReportTitle(options), accuracy, ttff});
            !problem.empty()) {
            session->Report("vexademo-cli: " + problem);
            status = kExitBadUsage;
        } else {
            session->Print("report written to " + options.reportPath);
        }
    }
    if (const int error = session->OutputError(); error != 0) status = kExitBadUsage;
    session->DrainOutput(time.SteadyNow() + kLastOutputTime);
    return status;
}

}  // namespace vexa
