#include "metrics/receiver_metrics.h"

#include <cmath>
#include <limits>
#include <set>

#include "evaluation/fix_sample.h"

namespace vexa {
namespace {

// The reasons as label values, in DropReason's order.
constexpr std::pair<DropReason, const char*> kDropReasons[] = {
    {DropReason::BadChecksum, "bad_checksum"},
    {DropReason::BadLength, "bad_length"},
    {DropReason::BadEndSequence, "bad_end_sequence"},
    {DropReason::UnknownChannel, "unknown_channel"},
    {DropReason::UnknownId, "unknown_id"},
    {DropReason::UnprintableSentence, "unprintable_sentence"},
    {DropReason::EmptySentence, "empty_sentence"},
    {DropReason::OverlongSentence, "overlong_sentence"},
};

prometheus::Family<prometheus::Gauge>& GaugeFamily(prometheus::Registry& registry, const char* name,
                                                   const char* help) {
    return prometheus::BuildGauge().Name(name).Help(help).Register(registry);
}

prometheus::Family<prometheus::Counter>& CounterFamily(prometheus::Registry& registry, const char* name,
                                                       const char* help) {
    return prometheus::BuildCounter().Name(name).Help(help).Register(registry);
}

// A dilution of precision the receiver did not report reads as not a number, never as zero.
double ValueOr(const std::optional<double>& value) {
    return value.value_or(std::numeric_limits<double>::quiet_NaN());
}

}  // namespace

ReceiverMetrics::ReceiverMetrics(prometheus::Registry& registry, std::string device,
                                 const std::optional<GeodeticPoint>& reference)
    : device_(std::move(device)),
      connectedFamily_(GaugeFamily(registry, "vexa_receiver_connected", "1 while the receiver is connected, else 0")),
      protocolFamily_(GaugeFamily(registry, "vexa_receiver_protocol",
                                  "the protocol the receiver speaks: 0 none (not connected), 1 binary, 2 NMEA")),
      fixModeFamily_(GaugeFamily(registry, "vexa_fix_mode", "the last fix's mode: 1 no fix, 2 2D, 3 3D")),
      inViewFamily_(GaugeFamily(registry, "vexa_satellites_in_view", "satellites in view of the last sky, per system")),
      usedFamily_(GaugeFamily(registry, "vexa_satellites_used", "satellites used in the fix of the last sky, per system")),
      cn0Family_(GaugeFamily(registry, "vexa_satellite_cn0_dbhz", "carrier to noise density of a tracked satellite, dB-Hz")),
      dopFamily_(GaugeFamily(registry, "vexa_dilution_of_precision", "the last fix's dilution of precision, by kind")),
      ttffFamily_(GaugeFamily(registry, "vexa_ttff_seconds", "the last time to first fix, seconds")),
      errorFamily_(GaugeFamily(registry, "vexa_position_error_metres",
                               "the last fix's distance from the reference point, horizontal or vertical")),
      bytesFamily_(CounterFamily(registry, "vexa_received_bytes_total", "bytes received from the receiver")),
      framesFamily_(CounterFamily(registry, "vexa_received_frames_total", "binary frames received whole and checked")),
      sentencesFamily_(CounterFamily(registry, "vexa_received_sentences_total", "NMEA sentences received whole")),
      dropsFamily_(CounterFamily(registry, "vexa_dropped_total", "frames and sentences dropped, by reason")),
      connected_(connectedFamily_.Add(WithDevice({}))),
      protocol_(protocolFamily_.Add(WithDevice({}))),
      fixMode_(fixModeFamily_.Add(WithDevice({}))),
      hdop_(dopFamily_.Add(WithDevice({{"kind", "hdop"}}))),
      vdop_(dopFamily_.Add(WithDevice({{"kind", "vdop"}}))),
      pdop_(dopFamily_.Add(WithDevice({{"kind", "pdop"}}))),
      bytes_(bytesFamily_.Add(WithDevice({}))),
      frames_(framesFamily_.Add(WithDevice({}))),
      sentences_(sentencesFamily_.Add(WithDevice({}))) {
    fixMode_.Set(static_cast<double>(FixMode::NoFix));
    for (prometheus::Gauge* dop : {&hdop_, &vdop_, &pdop_}) dop->Set(ValueOr(std::nullopt));
    if (reference) {
        reference_.emplace(*reference);
        horizontalError_ = &errorFamily_.Add(WithDevice({{"direction", "horizontal"}}));
        verticalError_ = &errorFamily_.Add(WithDevice({{"direction", "vertical"}}));
        horizontalError_->Set(ValueOr(std::nullopt));
        verticalError_->Set(ValueOr(std::nullopt));
    }
    for (const auto& [reason, name] : kDropReasons) {
        drops_[static_cast<std::size_t>(reason)] = {&dropsFamily_.Add(WithDevice({{"reason", name}})), 0};
    }
}

ReceiverMetrics::~ReceiverMetrics() {
    connectedFamily_.Remove(&connected_);
    protocolFamily_.Remove(&protocol_);
    fixModeFamily_.Remove(&fixMode_);
    for (prometheus::Gauge* dop : {&hdop_, &vdop_, &pdop_}) dopFamily_.Remove(dop);
    for (prometheus::Gauge* error : {horizontalError_, verticalError_}) {
        if (error != nullptr) errorFamily_.Remove(error);
    }
    if (ttff_ != nullptr) ttffFamily_.Remove(ttff_);
    bytesFamily_.Remove(&bytes_);
    framesFamily_.Remove(&frames_);
    sentencesFamily_.Remove(&sentences_);
    for (const FollowedCounter& drop : drops_) dropsFamily_.Remove(drop.counter);
    for (const auto& [key, cn0] : cn0_) cn0Family_.Remove(cn0);
    for (const auto& [gnssid, counts] : systems_) {
        inViewFamily_.Remove(counts.first);
        usedFamily_.Remove(counts.second);
    }
}

prometheus::Labels ReceiverMetrics::WithDevice(prometheus::Labels labels) const {
    labels.emplace("device", device_);
    return labels;
}

void ReceiverMetrics::onFix(const GnssFix& fix) {
    fixMode_.Set(static_cast<double>(fix.mode));
    hdop_.Set(ValueOr(fix.hdop));
    vdop_.Set(ValueOr(fix.vdop));
    pdop_.Set(ValueOr(fix.pdop));
    if (!reference_) return;
    const std::optional<FixSample> sample = FixSampleOf(fix);
    const std::optional<EnuOffset> error = sample ? std::optional(OffsetInFrame(*sample, *reference_)) : std::nullopt;
    horizontalError_->Set(ValueOr(error ? std::optional(error->Horizontal()) : std::nullopt));
    verticalError_->Set(ValueOr(error && error->up ? std::optional(std::abs(*error->up)) : std::nullopt));
}

void ReceiverMetrics::onSky(const GnssSky& sky) {
    std::map<int, std::pair<int, int>> perSystem;  // gnssid: in view, used
    std::set<SatelliteKey> heard;
    for (const SkySatellite& satellite : sky.satellites) {
        const int gnssid = static_cast<int>(satellite.id.gnss);
        auto& [inView, used] = perSystem[gnssid];
        ++inView;
        used += satellite.used ? 1 : 0;
        if (!satellite.cn0) continue;
        const SatelliteKey key{gnssid, satellite.id.svid};
        auto [slot, added] = cn0_.try_emplace(key, nullptr);
        if (added) {
            slot->second = &cn0Family_.Add(
                WithDevice({{"gnssid", std::to_string(key.first)}, {"svid", std::to_string(key.second)}}));
        }
        slot->second->Set(*satellite.cn0);
        heard.insert(key);
    }
    // A satellite no longer heard leaves the series rather than keeping its last value.
    for (auto it = cn0_.begin(); it != cn0_.end();) {
        if (heard.contains(it->first)) {
            ++it;
            continue;
        }
        cn0Family_.Remove(it->second);
        it = cn0_.erase(it);
    }
    // A system no longer in view reads zero.
    for (const auto& system : systems_) perSystem.try_emplace(system.first);
    for (const auto& [gnssid, counts] : perSystem) {
        auto [slot, added] = systems_.try_emplace(gnssid);
        if (added) {
            const prometheus::Labels labels = WithDevice({{"gnssid", std::to_string(gnssid)}});
            slot->second = {&inViewFamily_.Add(labels), &usedFamily_.Add(labels)};
        }
        slot->second.first->Set(counts.first);
        slot->second.second->Set(counts.second);
    }
}

void ReceiverMetrics::UpdateLink(const LinkFigures& link) {
    connected_.Set(link.connected ? 1 : 0);
    protocol_.Set(link.protocol);
    const auto follow = [](prometheus::Counter& counter, std::uint64_t& last, std::uint64_t total) {
        counter.Increment(static_cast<double>(total >= last ? total - last : total));
        last = total;
    };
    follow(bytes_, lastBytes_, link.bytes);
    follow(frames_, lastFrames_, link.frames);
    follow(sentences_, lastSentences_, link.sentences);
    for (const auto& [reason, name] : kDropReasons) {
        FollowedCounter& drop = drops_[static_cast<std::size_t>(reason)];
        follow(*drop.counter, drop.last, link.drops.count(reason));
    }
    if (link.lastTtffSeconds) {
        if (ttff_ == nullptr) ttff_ = &ttffFamily_.Add(WithDevice({}));
        ttff_->Set(*link.lastTtffSeconds);
    }
}

}  // namespace vexa
