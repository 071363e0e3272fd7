#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/compare_probe.h"
#include "cli/comparison_report.h"
#include "cli/history_output.h"
#include "cli/live_session.h"
#include "cli/receiver_request.h"
#include "cli/run_sources.h"
#include "metrics/receiver_metrics.h"
#include "platform/clock.h"

namespace prometheus {
class Registry;
}

namespace vexa {

// What one receiver of a live run is to do; its file names are its own already.
struct SourceSettings {
    RunSource source;
    std::string baudSelection;
    int product = 0;
    bool json = false;
    bool unknown = false;
    bool compare = false;
    bool keepComparison = false;  // for the comparison report
    bool oneOfSeveral = false;  // lines start with the receiver's name, JSON reports name its port
    std::string logPath;
    std::string recordPath;
    std::string gpxPath;
    std::string historyPrefix;
    std::vector<ReceiverRequest> requests;
    std::optional<GeodeticPoint> reference;
};

// One receiver's part of a live run: its session with its files, metrics and comparison figures.
// Run goes on a thread of its own, so that a receiver that goes away, or floods, holds up none of
// the others; their lines meet on the run's shared line queues.
class SourceRun {
public:
    // Opens the session and its files; nothing, with the reason reported and the exit status in
    // `status`, when the link cannot be had or a file cannot be opened. The run reads the time on `clock`.
    static std::unique_ptr<SourceRun> Open(SourceSettings settings, LineOutput& output, LineOutput& errors,
                                           prometheus::Registry* registry, int& status, const Clock& clock);
    ~SourceRun();
    SourceRun(const SourceRun&) = delete;
    SourceRun& operator=(const SourceRun&) = delete;

    // Connects, prints and sends, looking for the receiver again whenever none is connected, until
    // `end`, a stop or a failed standard output; then closes the link and writes the files.
    void Run(SteadyTime end);
    // From any thread.
    void RequestStop() { session_->RequestStop(); }
    // After Run: kExitReceiverFound, kExitNotConnected, or kExitBadUsage for a file that failed.
    int Status() const { return status_; }
    const std::string& Name() const { return settings_.source.name; }
    // For --compare, from any thread while Run goes on.
    CompareProbe::Figures Figures();
    // What the comparison report needs, once Run has ended; none unless keepComparison.
    ComparisonRecord* Comparison() { return comparison_ ? &*comparison_ : nullptr; }
    void DrainOutput(SteadyTime deadline) { session_->DrainOutput(deadline); }

private:
    explicit SourceRun(SourceSettings settings);

    SourceSettings settings_;
    // Ahead of the session: they are told of fixes by its comm reader until it has stopped.
    std::optional<HistoryOutput> history_;
    std::optional<ReceiverMetrics> metrics_;
    std::optional<CompareProbe> probe_;
    std::optional<ComparisonRecord> comparison_;
    std::unique_ptr<LiveSession> session_;
    int status_ = 0;
};

}  // namespace vexa
