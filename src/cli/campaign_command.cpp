#include "cli/campaign_command.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "cli/campaign_receiver.h"
#include "cli/comparison_report.h"
#include "cli/live_command.h"
#include "cli/live_timing.h"
#include "cli/run_sources.h"
#include "cli/stop_signals.h"
#include "evaluation/report/report_writer.h"

namespace vexa {
namespace {

using std::chrono::milliseconds;

// How often the campaign looks at the fixes that came and the time passing.
constexpr milliseconds kCampaignStep{100};

std::string ReportTitle(const CliOptions& options, const std::string& port) {
    const CampaignSettings& settings = *options.campaign;
    const std::string kinds = settings.plan.kinds.size() == 1 ? std::string(ResetKindName(settings.plan.kinds.front())) : "cycle";
    return "Receiver on " + port + ": " + kinds + " x " + std::to_string(settings.runs) +
           (settings.powerCycle ? " (power cycles)" : "");
}

using Receivers = std::vector<std::unique_ptr<CampaignReceiver>>;

// Resets every receiver at once when none is busy and one at least is ready; a receiver away loses
// that run. Gives why a receiver cannot be reset, empty when all went out.
std::string StartRunWhenAllReady(const Receivers& receivers) {
    bool anyReady = false;
    for (const auto& receiver : receivers) {
        const CampaignReceiver::Readiness readiness = receiver->Ready();
        if (readiness == CampaignReceiver::Readiness::Busy) return {};
        anyReady = anyReady || readiness == CampaignReceiver::Readiness::Ready;
    }
    if (!anyReady) return {};
    for (const auto& receiver : receivers) {
        if (std::string why = receiver->WhyNoReset(); !why.empty()) {
            receiver->Session().Report("vexademo-cli: " + why);
            return why;
        }
    }
    for (const auto& receiver : receivers) {
        if (receiver->Ready() != CampaignReceiver::Readiness::Done) receiver->StartRun();
    }
    return {};
}

// Every receiver found: kExitReceiverFound; none: kExitNotConnected; some: kExitSomeNotConnected.
int FoundStatus(const Receivers& receivers) {
    const auto found = static_cast<std::size_t>(std::count_if(receivers.begin(), receivers.end(), [](const auto& receiver) {
        return receiver->Session().ReceiverFound();
    }));
    if (found == receivers.size()) return kExitReceiverFound;
    return found == 0 ? kExitNotConnected : kExitSomeNotConnected;
}

// One receiver's report in DIR; several receivers' each in its own folder beside comparison.csv.
std::string WriteReports(const CliOptions& options, const Receivers& receivers) {
    if (receivers.size() == 1) {
        CampaignReceiver& receiver = *receivers.front();
        return WriteReport(options.reportPath, {ReportTitle(options, receiver.Port()), receiver.Record().Tracker(), receiver.Runs()});
    }
    std::vector<ComparedReceiver> compared;
    for (const auto& receiver : receivers) {
        compared.push_back({receiver->Name(), receiver->Record(), &receiver->Runs(), ReportTitle(options, receiver->Port())});
    }
    return WriteComparisonReport(options.reportPath, options.reference, compared);
}

}  // namespace

int RunCampaignCommand(const CliOptions& options, std::FILE* output, std::FILE* errors, const Clock& time) {
    if (const std::string problem = WhyReportCannotBeWritten(options.reportPath); !problem.empty()) {
        std::fprintf(errors, "vexademo-cli: %s\n", problem.c_str());
        return kExitBadUsage;
    }
    StopSignals signals;
    // One queue a stream for all receivers, so that no line is ever cut by another's.
    LineOutput outputLines(output, {}, LineOutput::kCapacity, time);
    LineOutput errorLines(errors, {}, LineOutput::kCapacity, time);
    SourceLines commandLines(outputLines, std::string());
    SourceLines commandErrors(errorLines, std::string());
    const CampaignClock clock(time);
    const std::vector<RunSource> sources = NameSources(options.portPaths);
    const bool several = sources.size() > 1;
    Receivers receivers;
    for (const RunSource& source : sources) {
        const LiveSession::SharedStreams streams{outputLines, errorLines, several ? source.name : std::string(), std::string()};
        receivers.push_back(CampaignReceiver::Open(options, source, streams, clock));
        if (receivers.back() == nullptr) {
            errorLines.Drain(time.SteadyNow() + kLastOutputTime);
            return kExitNotConnected;
        }
    }
    signals.Watch([&receivers](int) {
        for (const auto& receiver : receivers) receiver->Session().RequestStop();
    });
    const auto stopRequested = [&receivers] {
        return std::any_of(receivers.begin(), receivers.end(), [](const auto& receiver) { return receiver->Session().StopRequested(); });
    };
    const auto allDone = [&receivers] {
        return std::all_of(receivers.begin(), receivers.end(),
                           [](const auto& receiver) { return receiver->Ready() == CampaignReceiver::Readiness::Done; });
    };

    const SteadyTime start = time.SteadyNow();
    const SteadyTime end =
        options.seconds ? start + std::chrono::duration_cast<SteadyTime::duration>(std::chrono::duration<double>(*options.seconds))
                        : SteadyTime::max();
    SteadyTime nextTick = start + kTickPeriod;
    for (const auto& receiver : receivers) receiver->Connect();
    int status = kExitReceiverFound;
    while (!stopRequested() && outputLines.WriteError() == 0 && time.SteadyNow() < end && !allDone()) {
        if (time.SteadyNow() >= nextTick) {
            for (const auto& receiver : receivers) receiver->Tick();
            nextTick += kTickPeriod;
        }
        const milliseconds wait = std::min(kCampaignStep, Until(time, nextTick)) / static_cast<int>(receivers.size());
        for (const auto& receiver : receivers) receiver->Step(wait);
        if (!StartRunWhenAllReady(receivers).empty()) {
            status = kExitBadUsage;
            break;
        }
    }
    signals.StopWatching();
    for (const auto& receiver : receivers) receiver->Finish();
    if (status == kExitReceiverFound) status = FoundStatus(receivers);
    if (status != kExitBadUsage && status != kExitNotConnected) {
        for (const auto& receiver : receivers) receiver->PrintFigures();
        if (const std::string problem = WriteReports(options, receivers); !problem.empty()) {
            commandErrors.Write("vexademo-cli: " + problem);
            status = kExitBadUsage;
        } else {
            commandLines.Write("report written to " + options.reportPath);
        }
    }
    if (outputLines.WriteError() != 0) status = kExitBadUsage;
    const SteadyTime deadline = time.SteadyNow() + kLastOutputTime;
    for (const auto& receiver : receivers) receiver->Session().DrainOutput(deadline);
    errorLines.Drain(deadline);
    return status;
}

}  // namespace vexa
