#include "cli/live_command.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>

#include "cli/comparison_report.h"
#include "cli/history_output.h"
#include "cli/live_timing.h"
#include "cli/output_clash.h"
#include "cli/run_sources.h"
#include "cli/source_lines.h"
#include "cli/source_run.h"
#include "cli/stop_signals.h"
#include "link/ports/port_discovery.h"
#include "evaluation/report/report_writer.h"
#include "link/recording/track_export.h"
#include "link/sources/replay_name.h"
#include "link/sources/source_names.h"
#include "metrics/metrics_endpoint.h"
#include "platform/wake_event.h"

namespace vexa {
namespace {

// Lines waiting for a stream that is full are offered again this often.
constexpr std::chrono::milliseconds kOutputRetry{20};

// A display name stays on its own line whatever bytes the device reported.
std::string OnOneLine(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    return text;
}

// The receivers' devices, or the captures replays play, are read; a network source is no file.
std::vector<NamedFile> LiveInputs(const CliOptions& options) {
    std::vector<NamedFile> inputs;
    for (const std::string& port : options.portPaths) {
        if (IsNetworkSourceName(port)) continue;
        if (IsReplayName(port)) {
            std::string problem;
            if (const std::optional<ReplayName> replay = ParseReplayName(port, problem)) inputs.push_back({"--port", replay->path});
            continue;
        }
        inputs.push_back({"--port", port});
    }
    return inputs;
}

// Each receiver's files; with one receiver, the names as given.
std::vector<SourceSettings> SettingsOfSources(const CliOptions& options) {
    const std::vector<RunSource> sources = NameSources(options.portPaths);
    const bool several = sources.size() > 1;
    std::vector<SourceSettings> settings;
    for (const RunSource& source : sources) {
        const auto file = [&](const std::string& path) {
            return path.empty() ? path : SourceFilePath(path, source.name, several);
        };
        settings.push_back(SourceSettings{
            .source = source,
            .baudSelection = options.baudSelection,
            .product = options.product,
            .json = options.json,
            .unknown = options.unknown,
            .compare = options.compare,
            .keepComparison = options.compare && !options.reportPath.empty(),
            .oneOfSeveral = several,
            .logPath = file(options.logPath),
            .recordPath = file(options.recordPath),
            .gpxPath = file(options.gpxPath),
            .historyPrefix = options.historyPrefix.empty() ? std::string()
                                                           : SourceFilePrefix(options.historyPrefix, source.name, several),
            .requests = options.requests,
            .reference = options.reference,
        });
    }
    return settings;
}

std::vector<NamedFile> LiveOutputs(const std::vector<SourceSettings>& sources, std::FILE* output) {
    std::vector<NamedFile> outputs = RedirectedToFile(::fileno(output), "standard output");
    for (const SourceSettings& source : sources) {
        if (!source.logPath.empty()) outputs.push_back({"--log", source.logPath});
        if (!source.recordPath.empty()) outputs.push_back({"--record", source.recordPath});
        if (!source.gpxPath.empty()) outputs.push_back({"--gpx", source.gpxPath});
        AddHistoryOutputs(source.historyPrefix, outputs);
    }
    return outputs;
}

// Refuses, before anything runs, what cannot work: a source name that cannot be one, outputs that
// clash, a track that cannot be written. Gives the message, empty when all is well.
std::string RefusedRun(const CliOptions& options, const std::vector<SourceSettings>& sources, std::FILE* output) {
    for (const std::string& port : options.portPaths) {
        if (std::string problem = SourceNameProblem(port); !problem.empty()) return problem;
    }
    if (const std::string clash = OutputClash(LiveInputs(options), LiveOutputs(sources, output)); !clash.empty()) {
        return clash + "; nothing was written";
    }
    for (const SourceSettings& source : sources) {
        if (source.gpxPath.empty()) continue;
        if (const std::string why = WhyTrackCannotBeWritten(source.gpxPath); !why.empty()) {
            return "cannot write the track " + why;
        }
    }
    return options.reportPath.empty() ? std::string() : WhyReportCannotBeWritten(options.reportPath);
}

// Every receiver found: 0; none: kExitNotConnected; some: kExitSomeNotConnected; a file that failed
// outweighs them all.
int RunStatus(const std::vector<std::unique_ptr<SourceRun>>& runs) {
    std::size_t found = 0;
    for (const auto& run : runs) {
        if (run->Status() == kExitBadUsage) return kExitBadUsage;
        found += run->Status() == kExitReceiverFound ? 1 : 0;
    }
    if (found == runs.size()) return kExitReceiverFound;
    return found == 0 ? kExitNotConnected : kExitSomeNotConnected;
}

// Lets the streams take what is left until the deadline, each receiver's lost lines reported.
void DrainStreams(const std::vector<std::unique_ptr<SourceRun>>& runs, LineOutput& errors, const Clock& clock) {
    const SteadyTime deadline = clock.SteadyNow() + kLastOutputTime;
    for (const auto& run : runs) run->DrainOutput(deadline);
    errors.Drain(deadline);
}

}  // namespace

int RunLiveCommand(const CliOptions& options, std::FILE* output, std::FILE* errors, const Clock& clock) {
    StopSignals signals;
    const std::vector<SourceSettings> sources = SettingsOfSources(options);
    if (const std::string refused = RefusedRun(options, sources, output); !refused.empty()) {
        std::fprintf(errors, "vexademo-cli: %s\n", refused.c_str());
        return kExitBadUsage;
    }
    // Before the sessions, so that it goes away after the comm readers that feed it.
    std::unique_ptr<MetricsEndpoint> endpoint;
    if (!options.metricsAddress.empty()) {
        std::string problem;
        endpoint = MetricsEndpoint::Open(options.metricsAddress, problem);
        if (endpoint == nullptr) {
            std::fprintf(errors, "vexademo-cli: %s\n", problem.c_str());
            return kExitBadUsage;
        }
    }
    // One queue a stream for all receivers, so that no line is ever cut by another's.
    WakeEvent wake;
    LineOutput outputLines(output, [&wake] { wake.signal(); }, LineOutput::kCapacity, clock);
    LineOutput errorLines(errors, [&wake] { wake.signal(); }, LineOutput::kCapacity, clock);
    std::vector<std::unique_ptr<SourceRun>> runs;
    for (const SourceSettings& settings : sources) {
        int status = 0;
        runs.push_back(SourceRun::Open(settings, outputLines, errorLines,
                                       endpoint != nullptr ? &endpoint->Registry() : nullptr, status, clock));
        if (runs.back() == nullptr) {
            runs.pop_back();
            errorLines.Drain(clock.SteadyNow() + kLastOutputTime);
            return status;
        }
    }
    std::optional<SourceLines> compareLines;
    if (options.compare) compareLines.emplace(outputLines, std::string());

    const SteadyTime start = clock.SteadyNow();
    const SteadyTime end =
        options.seconds ? start + std::chrono::duration_cast<SteadyTime::duration>(std::chrono::duration<double>(*options.seconds))
                        : SteadyTime::max();
    std::atomic<std::size_t> running{runs.size()};
    // Watched only while the sessions exist.
    signals.Watch([&runs](int) {
        for (const auto& run : runs) run->RequestStop();
    });
    std::vector<std::jthread> threads;
    for (const auto& run : runs) {
        threads.emplace_back([&run, &running, &wake, end] {
            run->Run(end);
            --running;
            wake.signal();
        });
    }
    SteadyTime nextComparison = start + kTickPeriod;
    while (running > 0) {
        const SteadyTime until = outputLines.Pending() || errorLines.Pending() ? clock.SteadyNow() + kOutputRetry
                                 : compareLines                                 ? nextComparison
                                                                                : SteadyTime::max();
        wake.waitReadable(-1, std::min(Until(clock, until), kTickPeriod));
        wake.clear();
        outputLines.Pump();
        errorLines.Pump();
        if (compareLines && clock.SteadyNow() >= nextComparison) {
            std::vector<NamedFigures> figures;
            for (const auto& run : runs) figures.push_back({run->Name(), run->Figures()});
            compareLines->Write(CompareLine(figures));
            nextComparison += kTickPeriod;
        }
    }
    threads.clear();
    signals.StopWatching();
    int status = RunStatus(runs);
    if (!options.reportPath.empty()) {
        std::vector<ComparedReceiver> receivers;
        for (const auto& run : runs) receivers.push_back({run->Name(), *run->Comparison(), nullptr, {}});
        if (const std::string why = WriteComparisonReport(options.reportPath, options.reference, receivers); !why.empty()) {
            SourceLines(errorLines, std::string()).Write("vexademo-cli: " + why);
            status = kExitBadUsage;
        }
    }
    if (const int error = outputLines.WriteError(); error != 0) {
        SourceLines(errorLines, std::string()).Write(std::string("vexademo-cli: cannot write the output: ") + std::strerror(error));
        status = kExitBadUsage;
    }
    DrainStreams(runs, errorLines, clock);
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
