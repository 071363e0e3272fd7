#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/comparison_report.h"
#include "cli/live_session.h"
#include "cli/run_sources.h"
#include "evaluation/campaign.h"
#include "evaluation/survey_in.h"
#include "evaluation/ttff_tracker.h"

namespace vexa {

// The campaign's clock: the time of day at the start moved on by a clock that never goes back, so
// that the runs are timed right whatever happens to the system's clock meanwhile. Read on any thread.
class CampaignClock {
public:
    explicit CampaignClock(const Clock& time) : time_(time) {}

    UtcTime Now() const {
        return utcStart_ + std::chrono::duration_cast<std::chrono::milliseconds>(time_.SteadyNow() - steadyStart_);
    }
    const Clock& Time() const { return time_; }

private:
    const Clock& time_;
    const SteadyTime steadyStart_ = time_.SteadyNow();
    const UtcTime utcStart_ = std::chrono::time_point_cast<std::chrono::milliseconds>(time_.UtcNow());
};

// One receiver of a campaign: its live session, its Campaign and what it keeps for the report (its
// runs, its fixes and C/N0). Its next reset is held back until the command lets it go with the
// other receivers' (Readiness, StartRun), except in power-cycle mode where each goes by itself.
// Everything but the comm reader runs on the command's thread.
class CampaignReceiver {
public:
    // Where the receiver is as the next run of all receivers nears.
    enum class Readiness : std::uint8_t {
        Busy,   // a run, its settle time, the first search or the survey goes on
        Ready,  // its next reset may go out now
        Away,   // not connected (before the first run: not found for a while): the next run of the
                // others is a lost run of its own
        Done,   // every run done
    };

    // Nothing when the link cannot be had (reported on `streams.errors`).
    static std::unique_ptr<CampaignReceiver> Open(const CliOptions& options, const RunSource& source,
                                                  const LiveSession::SharedStreams& streams, const CampaignClock& clock);
    ~CampaignReceiver();
    CampaignReceiver(const CampaignReceiver&) = delete;
    CampaignReceiver& operator=(const CampaignReceiver&) = delete;

    void Connect();
    void Tick() { session_->Tick(); }
    // Takes what the link reported (waiting up to `wait` for it), the fixes that came and the time passing.
    void Step(std::chrono::milliseconds wait);
    Readiness Ready() const;
    // Why this receiver, connected and before its first run, cannot be reset as the options ask;
    // empty when it can.
    std::string WhyNoReset();
    // Its part of a new run of all receivers: its reset, or its lost run while it is away.
    void StartRun();
    // Stops the campaign (keeping the runs done) and closes the link; the record is complete from then on.
    void Finish();
    // The figures per reset kind and the accuracy line, on the output stream.
    void PrintFigures();

    LiveSession& Session() { return *session_; }
    const std::string& Name() const { return source_.name; }
    const std::string& Port() const { return source_.port; }
    ComparisonRecord& Record() { return record_; }
    const TtffTracker& Runs() const { return ttff_; }

private:
    // The fixes as they arrive, stamped with their time of arrival. Filled on the comm reader thread
    // under the model lock: it copies and returns.
    class FixInbox : public GnssListener {
    public:
        explicit FixInbox(const CampaignClock& clock) : clock_(clock) {}
        void onFix(const GnssFix& fix) override;
        void onSky(const GnssSky&) override {}

        struct Arrival {
            GnssFix fix;
            UtcTime at;
        };
        std::vector<Arrival> Take();

    private:
        const CampaignClock& clock_;
        std::mutex mutex_;
        std::vector<Arrival> fixes_;
    };

    // The link's reset command, or the user's own bytes for the kind.
    class LinkResets : public ResetSender {
    public:
        LinkResets(GpsComm& comm, const CliOptions& options) : comm_(comm), texts_(options.resetTexts) {}
        bool Send(ResetKind kind) override;

    private:
        GpsComm& comm_;
        const std::array<std::vector<std::uint8_t>, kResetKinds.size()>& texts_;
    };

    CampaignReceiver(const CliOptions& options, RunSource source, const CampaignClock& clock);
    void OnRunEnded(const TtffRun& run);

    const CliOptions& options_;
    const RunSource source_;
    const CampaignClock& clock_;
    const UtcTime opened_;
    // Ahead of the session: they are told of fixes by its comm reader until it has stopped.
    FixInbox inbox_;
    ComparisonRecord record_;
    std::unique_ptr<LiveSession> session_;
    TtffTracker ttff_;
    std::optional<SurveyIn> survey_;
    std::unique_ptr<LinkResets> resets_;
    std::unique_ptr<Campaign> campaign_;
    bool linkUp_ = false;
};

}  // namespace vexa
