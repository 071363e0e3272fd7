#include "cli/campaign_receiver.h"

#include <algorithm>
#include <utility>

#include "cli/campaign_lines.h"
#include "evaluation/fix_sample.h"
#include "link/receiver_commands.h"
#include "platform/result_codes.h"

namespace vexa {
namespace {

// Before the first run, a receiver not yet found is waited for this long: its search may take a
// few tries, and a run begun without it would be a lost run of its own.
constexpr std::chrono::seconds kFirstSearch{30};

// The receiver's own time to first fix, when it reported a new one; never the program's measure.
std::optional<double> ReceiverTtff(ReceiverContext& context) {
    if (!context.Ttff.changed()) return std::nullopt;
    context.Ttff.setChanged(false);
    const std::optional<TtffSeconds> ttff = context.Ttff.seconds();
    if (!ttff || ttff->source != TtffSource::Receiver) return std::nullopt;
    return ttff->seconds;
}

}  // namespace

void CampaignReceiver::FixInbox::onFix(const GnssFix& fix) {
    const UtcTime now = clock_.Now();
    const std::lock_guard lock(mutex_);
    fixes_.push_back({fix, now});
}

std::vector<CampaignReceiver::FixInbox::Arrival> CampaignReceiver::FixInbox::Take() {
    std::vector<Arrival> taken;
    const std::lock_guard lock(mutex_);
    taken.swap(fixes_);
    return taken;
}

bool CampaignReceiver::LinkResets::Send(ResetKind kind) {
    const std::vector<std::uint8_t>& text = texts_[static_cast<std::size_t>(kind)];
    if (text.empty()) {
        if (comm_.CommandsRefused()) return false;
        SendReset(comm_, kind);
        return true;
    }
    comm_.Context().Ttff.set("");
    return comm_.WriteDirect(text.data(), text.size()) == kResultOk;
}

CampaignReceiver::CampaignReceiver(const CliOptions& options, RunSource source, const CampaignClock& clock)
    : options_(options), source_(std::move(source)), clock_(clock), opened_(clock.Now()), inbox_(clock) {}

CampaignReceiver::~CampaignReceiver() {
    // The comm reader tells the inbox and the record of fixes until it has stopped.
    session_.reset();
}

std::unique_ptr<CampaignReceiver> CampaignReceiver::Open(const CliOptions& options, const RunSource& source,
                                                         const LiveSession::SharedStreams& streams,
                                                         const CampaignClock& clock) {
    std::unique_ptr<CampaignReceiver> receiver(new CampaignReceiver(options, source, clock));
    receiver->session_ = LiveSession::Create(options.product, streams, {}, false, false, clock.Time());
    if (receiver->session_ == nullptr) {
        SourceLines(streams.errors, streams.name).Write("vexademo-cli: the receiver link cannot be started");
        return nullptr;
    }
    LiveSession& session = *receiver->session_;
    session.QuietMessages();
    if (options.reference) receiver->record_.SetReference(ReferencePoint{*options.reference, ReferenceSource::Entered, std::nullopt});
    session.Comm().Model().AddGnssListener(receiver->inbox_);
    session.Comm().Model().AddGnssListener(receiver->record_);
    if (options.surveySeconds) receiver->survey_.emplace(std::chrono::seconds(*options.surveySeconds));
    receiver->resets_ = std::make_unique<LinkResets>(session.Comm(), options);
    receiver->campaign_ = std::make_unique<Campaign>(*options.campaign, *receiver->resets_,
                                                     [r = receiver.get()](const TtffRun& run) { r->OnRunEnded(run); });
    if (options.reference) receiver->campaign_->SetReference(*options.reference);
    // Not connected until the link says so: a receiver never found starts away.
    receiver->campaign_->OnLinkLost(clock.Now());
    return receiver;
}

void CampaignReceiver::Connect() { session_->Connect(source_.port, options_.baudSelection); }

void CampaignReceiver::OnRunEnded(const TtffRun& run) {
    ttff_.Add(run);
    session_->Print(RunLine(run, campaign_->Progress(clock_.Now()), options_.campaign->radius));
}

void CampaignReceiver::Step(std::chrono::milliseconds wait) {
    session_->HandleNotifications(wait);
    ReceiverContext& context = session_->Context();
    if (const bool connected = context.LinkProtocol != kNotConnected; connected != linkUp_) {
        linkUp_ = connected;
        linkUp_ ? campaign_->OnLinkReturned(clock_.Now()) : campaign_->OnLinkLost(clock_.Now());
    }
    for (const FixInbox::Arrival& arrival : inbox_.Take()) {
        const std::optional<FixSample> sample = FixSampleOf(arrival.fix);
        if (survey_ && sample && survey_->Add(*sample) && survey_->Complete()) {
            const ReferencePoint reference = *survey_->Result();
            record_.SetReference(reference);
            campaign_->SetReference(reference.position);
            session_->Print(SurveyLine(reference));
        }
        campaign_->OnFix(arrival.fix, arrival.at);
    }
    if (const std::optional<double> seconds = ReceiverTtff(context)) campaign_->OnReceiverTtff(*seconds, clock_.Now());
    // In power-cycle mode the user, not a reset, starts each receiver's runs.
    options_.campaign->powerCycle ? campaign_->OnTick(clock_.Now()) : campaign_->OnTickHeld(clock_.Now());
}

CampaignReceiver::Readiness CampaignReceiver::Ready() const {
    if (campaign_->Ended()) return Readiness::Done;
    const CampaignPhase phase = campaign_->Progress(clock_.Now()).phase;
    if (phase == CampaignPhase::Idle) {
        if (linkUp_) return !survey_ || survey_->Complete() ? Readiness::Ready : Readiness::Busy;
        return session_->BetweenAttempts() && clock_.Now() >= opened_ + kFirstSearch ? Readiness::Away : Readiness::Busy;
    }
    if (phase == CampaignPhase::AwaitingLink) return Readiness::Away;
    return campaign_->ResetDue(clock_.Now()) ? Readiness::Ready : Readiness::Busy;
}

std::string CampaignReceiver::WhyNoReset() {
    if (options_.campaign->powerCycle || !linkUp_ || campaign_->Progress(clock_.Now()).phase != CampaignPhase::Idle) return {};
    GpsComm& comm = session_->Comm();
    const std::vector<ResetKind>& kinds = options_.campaign->plan.kinds;
    const bool allTyped = std::all_of(kinds.begin(), kinds.end(), [&](ResetKind kind) {
        return !options_.resetTexts[static_cast<std::size_t>(kind)].empty();
    });
    if (const std::optional<std::string> refused = comm.CommandsRefused()) return *refused + "; use --power-cycle";
    if (!allTyped && comm.Context().LinkProtocol == kNmeaProtocol) {
        return "the receiver speaks NMEA, which has no reset command here: give --reset-text KIND=TEXT for each "
               "kind of the campaign, or use --power-cycle";
    }
    return {};
}

void CampaignReceiver::StartRun() {
    const UtcTime now = clock_.Now();
    if (campaign_->Progress(now).phase == CampaignPhase::Idle) {
        campaign_->Start(now);
    } else {
        campaign_->OnTick(now);
    }
    campaign_->MissRun(now);
}

void CampaignReceiver::Finish() {
    campaign_->Stop(clock_.Now());
    session_->Comm().Model().RemoveGnssListener(inbox_);
    session_->Comm().Model().RemoveGnssListener(record_);
    session_->Finish();
}

void CampaignReceiver::PrintFigures() {
    for (const ResetKind kind : kResetKinds) {
        if (ttff_.Figures(kind).runs > 0) session_->Print(TtffFiguresLine(kind, ttff_.Figures(kind)));
    }
    session_->Print(AccuracyLine(record_.Tracker().Figures()));
}

}  // namespace vexa
