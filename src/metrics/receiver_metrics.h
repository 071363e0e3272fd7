#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include <prometheus/counter.h>
#include <prometheus/family.h>
#include <prometheus/gauge.h>
#include <prometheus/registry.h>

#include "evaluation/local_frame.h"
#include "metrics/link_figures.h"
#include "receiver/fix/gnss_fix.h"
#include "receiver/fix/gnss_listener.h"

namespace vexa {

// The series of one receiver in a Prometheus registry, each labelled with the receiver's device
// name: connection, protocol, fix mode, satellites in view and used per system, C/N0 per satellite
// (gnssid and svid numbered as the JSON reports number them), dilutions of precision, the last time
// to first fix, and the receive path's counts with the drops by reason. With a reference point, also
// the last fix's horizontal and vertical distance from it (not a number without a fix).
//
// onFix and onSky come on the comm reader thread under the model lock: they only set gauges.
// UpdateLink comes from the caller's thread.
class ReceiverMetrics : public GnssListener {
public:
    ReceiverMetrics(prometheus::Registry& registry, std::string device,
                    const std::optional<GeodeticPoint>& reference = std::nullopt);
    // The receiver's series leave the registry with it: a receiver followed under a new name no
    // longer shows under the old one.
    ~ReceiverMetrics() override;
    ReceiverMetrics(const ReceiverMetrics&) = delete;
    ReceiverMetrics& operator=(const ReceiverMetrics&) = delete;

    void onFix(const GnssFix& fix) override;
    void onSky(const GnssSky& sky) override;
    void UpdateLink(const LinkFigures& link);

private:
    using SatelliteKey = std::pair<int, int>;  // gnssid, svid

    prometheus::Labels WithDevice(prometheus::Labels labels) const;

    const std::string device_;
    prometheus::Family<prometheus::Gauge>& connectedFamily_;
    prometheus::Family<prometheus::Gauge>& protocolFamily_;
    prometheus::Family<prometheus::Gauge>& fixModeFamily_;
    prometheus::Family<prometheus::Gauge>& inViewFamily_;
    prometheus::Family<prometheus::Gauge>& usedFamily_;
    prometheus::Family<prometheus::Gauge>& cn0Family_;
    prometheus::Family<prometheus::Gauge>& dopFamily_;
    prometheus::Family<prometheus::Gauge>& ttffFamily_;
    prometheus::Family<prometheus::Gauge>& errorFamily_;
    prometheus::Family<prometheus::Counter>& bytesFamily_;
    prometheus::Family<prometheus::Counter>& framesFamily_;
    prometheus::Family<prometheus::Counter>& sentencesFamily_;
    prometheus::Family<prometheus::Counter>& dropsFamily_;

    prometheus::Gauge& connected_;
    prometheus::Gauge& protocol_;
    prometheus::Gauge& fixMode_;
    prometheus::Gauge& hdop_;
    prometheus::Gauge& vdop_;
    prometheus::Gauge& pdop_;
    std::optional<LocalFrame> reference_;
    prometheus::Gauge* horizontalError_ = nullptr;
    prometheus::Gauge* verticalError_ = nullptr;
    prometheus::Counter& bytes_;
    prometheus::Counter& frames_;
    prometheus::Counter& sentences_;

    // The comm reader's: the series of the satellites and systems of the last sky.
    std::map<SatelliteKey, prometheus::Gauge*> cn0_;
    std::map<int, std::pair<prometheus::Gauge*, prometheus::Gauge*>> systems_;  // in view, used

    // The caller's: what the counters have been raised to. Counters only rise: each is raised by what
    // its total grew since the last update (by all of it after a new connection began the totals anew).
    prometheus::Gauge* ttff_ = nullptr;
    std::uint64_t lastBytes_ = 0;
    std::uint64_t lastFrames_ = 0;
    std::uint64_t lastSentences_ = 0;
    struct FollowedCounter {
        prometheus::Counter* counter;
        std::uint64_t last;
    };
    std::array<FollowedCounter, 8> drops_{};  // one per DropReason
};

}  // namespace vexa
