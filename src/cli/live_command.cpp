#include "cli/live_command.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>

#include "cli/history_output.h"
#include "cli/live_session.h"
#include "cli/live_timing.h"
#include "cli/output_clash.h"
#include "link/recording/track_export.h"
#include "cli/stop_signals.h"
#include "link/ports/port_discovery.h"
#include "link/sources/replay_name.h"
#include "link/sources/source_names.h"
#include "metrics/metrics_endpoint.h"
#include "metrics/receiver_metrics.h"
#include "platform/file_problem.h"

namespace vexa {
namespace {

using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A display name stays on its own line whatever bytes the device reported.
std::string OnOneLine(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    return text;
}

// The receiver's device, or the capture a replay plays, is read; a network source is no file.
std::vector<NamedFile> LiveInputs(const CliOptions& options) {
    const std::string& port = options.portPaths.front();
    if (IsNetworkSourceName(port)) return {};
    if (IsReplayName(port)) {
        std::string problem;
        const std::optional<ReplayName> replay = ParseReplayName(port, problem);
        return replay ? std::vector<NamedFile>{{"--port", replay->path}} : std::vector<NamedFile>{};
    }
    return {{"--port", port}};
}

std::vector<NamedFile> LiveOutputs(const CliOptions& options, std::FILE* output) {
    std::vector<NamedFile> outputs = RedirectedToFile(::fileno(output), "standard output");
    if (!options.logPath.empty()) outputs.push_back({"--log", options.logPath});
    if (!options.recordPath.empty()) outputs.push_back({"--record", options.recordPath});
    if (!options.gpxPath.empty()) outputs.push_back({"--gpx", options.gpxPath});
    AddHistoryOutputs(options.historyPrefix, outputs);
    return outputs;
}

// The link's state and counts for the metrics; the time to first fix from its text ("12.3 sec").
LinkFigures FiguresOf(LiveSession& session) {
    const DecodeCounts counts = session.Counts();
    LinkFigures figures;
    figures.protocol = session.Context().LinkProtocol;
    figures.connected = figures.protocol != kNotConnected;
    figures.bytes = counts.bytes;
    figures.frames = counts.frames;
    figures.sentences = counts.sentences;
    figures.drops = counts.drops;
    const std::string ttff = session.Context().Ttff.text();
    double seconds = 0;
    if (std::from_chars(ttff.data(), ttff.data() + ttff.size(), seconds).ec == std::errc()) {
        figures.lastTtffSeconds = seconds;
    }
    return figures;
}

}  // namespace

int RunLiveCommand(const CliOptions& options, std::FILE* output, std::FILE* errors) {
    StopSignals signals;
    if (const std::string problem = SourceNameProblem(options.portPaths.front()); !problem.empty()) {
        std::fprintf(errors, "vexademo-cli: %s\n", problem.c_str());
        return kExitBadUsage;
    }
    if (const std::string clash = OutputClash(LiveInputs(options), LiveOutputs(options, output)); !clash.empty()) {
        std::fprintf(errors, "vexademo-cli: %s; nothing was written\n", clash.c_str());
        return kExitBadUsage;
    }
    if (!options.gpxPath.empty()) {
        // Said before the run, not after it.
        if (const std::string why = WhyTrackCannotBeWritten(options.gpxPath); !why.empty()) {
            std::fprintf(errors, "vexademo-cli: cannot write the track %s\n", why.c_str());
            return kExitBadUsage;
        }
    }
    // Before the session, so that it goes away after the comm reader that feeds it.
    std::unique_ptr<MetricsEndpoint> endpoint;
    std::optional<ReceiverMetrics> metrics;
    if (!options.metricsAddress.empty()) {
        std::string problem;
        endpoint = MetricsEndpoint::Open(options.metricsAddress, problem);
        if (endpoint == nullptr) {
            std::fprintf(errors, "vexademo-cli: %s\n", problem.c_str());
            return kExitBadUsage;
        }
        metrics.emplace(endpoint->Registry(), options.portPaths.front());
    }
    const std::unique_ptr<LiveSession> session =
        LiveSession::Create(options.product, output, errors, {}, options.json, options.unknown);
    if (session == nullptr) {
        std::fprintf(errors, "vexademo-cli: the receiver link cannot be started\n");
        return kExitNotConnected;
    }
    if (!options.logPath.empty() && !session->OpenLog(options.logPath)) {
        session->Report("vexademo-cli: cannot open the data log " + FileErrorText(options.logPath, errno));
        return kExitBadUsage;
    }
    if (!options.recordPath.empty()) {
        if (const int error = session->StartRecording(options.recordPath); error != 0) {
            session->Report("vexademo-cli: cannot create the recording " + FileErrorText(options.recordPath, error));
            return kExitBadUsage;
        }
    }
    session->Comm().Model().KeepTrack(!options.gpxPath.empty());
    std::optional<HistoryOutput> history;
    if (!options.historyPrefix.empty()) {
        if (const std::string why = history.emplace(options.historyPrefix).Open(); !why.empty()) {
            session->Report("vexademo-cli: " + why);
            return kExitBadUsage;
        }
        session->Comm().Model().AddGnssListener(*history);
    }
    if (metrics) session->Comm().Model().AddGnssListener(*metrics);
    // Watched only while the session exists.
    signals.Watch([&session](int) { session->RequestStop(); });
    for (const ReceiverRequest& request : options.requests) session->Queue(request);

    const SteadyClock::time_point start = SteadyClock::now();
    const SteadyClock::time_point end =
        options.seconds ? start + std::chrono::duration_cast<SteadyClock::duration>(std::chrono::duration<double>(*options.seconds))
                        : SteadyClock::time_point::max();
    SteadyClock::time_point nextTick = start + kTickPeriod;
    session->Connect(options.portPaths.front(), options.baudSelection);
    while (!session->StopRequested() && session->OutputError() == 0 && SteadyClock::now() < end) {
        if (SteadyClock::now() >= nextTick) {
            session->Tick();
            if (metrics) metrics->UpdateLink(FiguresOf(*session));
            nextTick += kTickPeriod;
            continue;
        }
        session->HandleNotifications(Until(std::min(nextTick, end)));
    }
    signals.StopWatching();
    session->Finish();
    int status = session->ReceiverFound() ? kExitReceiverFound : kExitNotConnected;
    if (session->FileWriteFailed()) status = kExitBadUsage;
    if (const int error = session->OutputError(); error != 0) {
        session->Report(std::string("vexademo-cli: cannot write the output: ") + std::strerror(error));
        status = kExitBadUsage;
    }
    if (!options.gpxPath.empty()) {
        if (const std::string why = session->ExportTrack(options.gpxPath); !why.empty()) {
            session->Report("vexademo-cli: cannot write the track " + why);
            status = kExitBadUsage;
        }
    }
    if (history) {
        session->Comm().Model().RemoveGnssListener(*history);
        if (const std::string why = history->Finish(); !why.empty()) {
            session->Report("vexademo-cli: " + why);
            status = kExitBadUsage;
        }
    }
    session->DrainOutput(SteadyClock::now() + kLastOutputTime);
    return status;
}

int RunListPorts(const CliOptions& options, std::FILE* output) {
    PortDiscoveryOptions discovery;
    discovery.extraPaths = options.portPaths;
    for (const SerialPortEntry& port : DiscoverPorts(discovery)) {
        std::fprintf(output, "%s\t%s\n", OnOneLine(port.devicePath).c_str(), OnOneLine(port.displayName).c_str());
    }
    return 0;
}

}  // namespace vexa
