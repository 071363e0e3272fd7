#include "cli/source_run.h"

#include <cerrno>
#include <cstdint>
#include <string>
#include <utility>

#include "cli/live_command.h"
#include "cli/live_timing.h"
#include "metrics/link_figures.h"
#include "platform/file_problem.h"

namespace vexa {
namespace {


}  // namespace

SourceRun::SourceRun(SourceSettings settings) : settings_(std::move(settings)) {}

SourceRun::~SourceRun() {
    // The comm reader tells the listeners below of fixes until it has stopped.
    session_.reset();
}

std::unique_ptr<SourceRun> SourceRun::Open(SourceSettings settings, LineOutput& output, LineOutput& errors,
                                           prometheus::Registry* registry, int& status, const Clock& clock) {
    std::unique_ptr<SourceRun> run(new SourceRun(std::move(settings)));
    const SourceSettings& s = run->settings_;
    const LiveSession::SharedStreams streams{output, errors, s.oneOfSeveral ? s.source.name : std::string(),
                                             s.oneOfSeveral ? s.source.port : std::string()};
    run->session_ = LiveSession::Create(s.product, streams, {}, s.json, s.unknown, clock);
    LiveSession* session = run->session_.get();
    if (session == nullptr) {
        SourceLines(errors, streams.name).Write("vexademo-cli: the receiver link cannot be started");
        status = kExitNotConnected;
        return nullptr;
    }
    status = kExitBadUsage;
    if (!s.logPath.empty() && !session->OpenLog(s.logPath)) {
        session->Report("vexademo-cli: cannot open the data log " + FileErrorText(s.logPath, errno));
        return nullptr;
    }
    if (!s.recordPath.empty()) {
        if (const int error = session->StartRecording(s.recordPath); error != 0) {
            session->Report("vexademo-cli: cannot create the recording " + FileErrorText(s.recordPath, error));
            return nullptr;
        }
    }
    session->KeepTrack(!s.gpxPath.empty());
    if (!s.historyPrefix.empty()) {
        if (const std::string why = run->history_.emplace(s.historyPrefix).Open(); !why.empty()) {
            session->Report("vexademo-cli: " + why);
            return nullptr;
        }
        session->Comm().Model().AddGnssListener(*run->history_);
    }
    if (registry != nullptr) session->Comm().Model().AddGnssListener(run->metrics_.emplace(*registry, s.source.port, s.reference));
    if (s.compare) {
        session->QuietMessages();
        session->Comm().Model().AddGnssListener(run->probe_.emplace(s.reference));
    }
    if (s.keepComparison) session->Comm().Model().AddGnssListener(run->comparison_.emplace());
    for (const ReceiverRequest& request : s.requests) session->Queue(request);
    status = kExitReceiverFound;
    return run;
}

void SourceRun::Run(SteadyTime end) {
    LiveSession& session = *session_;
    const Clock& clock = session.Time();
    SteadyTime nextTick = clock.SteadyNow() + kTickPeriod;
    session.Connect(settings_.source.port, settings_.baudSelection);
    while (!session.StopRequested() && session.OutputError() == 0 && clock.SteadyNow() < end) {
        if (clock.SteadyNow() >= nextTick) {
            session.Tick();
            if (metrics_) metrics_->UpdateLink(LinkFiguresOf(session.Comm()));
            if (history_) history_->Write();
            nextTick += kTickPeriod;
            continue;
        }
        session.HandleNotifications(Until(clock, std::min(nextTick, end)));
    }
    session.Finish();
    status_ = session.ReceiverFound() ? kExitReceiverFound : kExitNotConnected;
    if (session.FileWriteFailed()) status_ = kExitBadUsage;
    if (!settings_.gpxPath.empty()) {
        if (const std::string why = session.ExportTrack(settings_.gpxPath); !why.empty()) {
            session.Report("vexademo-cli: cannot write the track " + why);
            status_ = kExitBadUsage;
        }
    }
    if (history_) {
        session.Comm().Model().RemoveGnssListener(*history_);
        if (const std::string why = history_->Finish(); !why.empty()) {
            session.Report("vexademo-cli: " + why);
            status_ = kExitBadUsage;
        }
        if (const std::uint64_t dropped = history_->Dropped(); dropped > 0) {
            session.Report("vexademo-cli: --history-csv left out " + std::to_string(dropped) +
                           " epochs that came faster than they could be written");
        }
    }
}

CompareProbe::Figures SourceRun::Figures() {
    probe_->SetConnected(session_->Context().LinkProtocol != kNotConnected);
    return probe_->Latest();
}

}  // namespace vexa
