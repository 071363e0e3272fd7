#include "history/history_epoch.h"

#include <algorithm>
#include <cmath>

#include "evaluation/fix_sample.h"

namespace vexa {

namespace {

std::size_t SlotOf(GnssId gnss) { return static_cast<std::size_t>(gnss) % kGnssSlots; }

std::optional<float> Finite(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return static_cast<float>(*value);
}

std::optional<double> FiniteDouble(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

FixBand BandOf(const GnssFix& fix) {
    const std::optional<FixKind> kind = FixKindOf(fix.mode, fix.quality);
    if (!kind) return FixBand::None;
    switch (*kind) {
    case FixKind::TwoD: return FixBand::TwoD;
    case FixKind::ThreeD: return FixBand::ThreeD;
    case FixKind::Dgps: return FixBand::Dgps;
    case FixKind::RtkFloat: return FixBand::RtkFloat;
    case FixKind::RtkFixed: return FixBand::RtkFixed;
    }
    return FixBand::ThreeD;
}

}  // namespace

const char* FixBandName(FixBand band) {
    switch (band) {
    case FixBand::None: return "none";
    case FixBand::TwoD: return "2d";
    case FixBand::ThreeD: return "3d";
    case FixBand::Dgps: return "dgps";
    case FixBand::RtkFloat: return "rtk_float";
    case FixBand::RtkFixed: return "rtk_fixed";
    }
    return "none";
}

std::array<std::uint8_t, kGnssSlots> HistoryEpoch::InView() const {
    std::array<std::uint8_t, kGnssSlots> counts{};
    for (const HistorySatellite& satellite : satellites) {
        std::uint8_t& count = counts[SlotOf(satellite.id.gnss)];
        if (count < 255) ++count;
    }
    return counts;
}

std::array<std::uint8_t, kGnssSlots> HistoryEpoch::Used() const {
    std::array<std::uint8_t, kGnssSlots> counts{};
    for (const HistorySatellite& satellite : satellites) {
        std::uint8_t& count = counts[SlotOf(satellite.id.gnss)];
        if (satellite.used && count < 255) ++count;
    }
    return counts;
}

int HistoryEpoch::UsedTotal() const {
    return static_cast<int>(std::ranges::count_if(satellites, [](const HistorySatellite& satellite) { return satellite.used; }));
}

HistoryEpoch EpochOfFix(const GnssFix& fix, const LocalFrame* reference) {
    HistoryEpoch epoch;
    epoch.time = fix.time;
    epoch.fix = BandOf(fix);
    epoch.hdop = FiniteDouble(fix.hdop);
    epoch.vdop = FiniteDouble(fix.vdop);
    epoch.pdop = FiniteDouble(fix.pdop);
    // Garbage positions (beyond the poles, NaN) are left out like any value not reported.
    if (const std::optional<FixSample> sample = FixSampleOf(fix)) {
        epoch.latitude = sample->latitude;
        epoch.longitude = sample->longitude;
        epoch.height = sample->height;
        if (reference != nullptr) epoch.error = OffsetInFrame(*sample, *reference);
    }
    for (const SatelliteId id : fix.used) {
        if (std::ranges::none_of(epoch.satellites, [id](const HistorySatellite& kept) { return kept.id == id; })) {
            epoch.satellites.push_back({id, std::nullopt, std::nullopt, std::nullopt, true});
        }
    }
    return epoch;
}

void AddSky(HistoryEpoch& epoch, const GnssSky& sky) {
    if (!epoch.time) epoch.time = sky.time;
    if (!epoch.hdop) epoch.hdop = FiniteDouble(sky.hdop);
    if (!epoch.vdop) epoch.vdop = FiniteDouble(sky.vdop);
    if (!epoch.pdop) epoch.pdop = FiniteDouble(sky.pdop);
    epoch.hasSky = true;
    // In the sky's order; the satellites the fix named as used and the sky did not list follow.
    std::vector<HistorySatellite> before = std::move(epoch.satellites);
    epoch.satellites.clear();
    for (const SkySatellite& reported : sky.satellites) {
        const auto same = std::ranges::find_if(epoch.satellites, [&](const HistorySatellite& kept) { return kept.id == reported.id; });
        HistorySatellite& satellite = same != epoch.satellites.end() ? *same : epoch.satellites.emplace_back(HistorySatellite{.id = reported.id});
        if (!satellite.azimuth) satellite.azimuth = Finite(reported.azimuth);
        if (!satellite.elevation) satellite.elevation = Finite(reported.elevation);
        if (const std::optional<float> cn0 = Finite(reported.cn0); cn0 && (!satellite.cn0 || *cn0 > *satellite.cn0)) satellite.cn0 = cn0;
        satellite.used = satellite.used || reported.used;
    }
    for (const HistorySatellite& earlier : before) {
        const auto same = std::ranges::find_if(epoch.satellites, [&](const HistorySatellite& kept) { return kept.id == earlier.id; });
        if (same == epoch.satellites.end()) {
            epoch.satellites.push_back(earlier);
        } else {
            same->used = same->used || earlier.used;
        }
    }
}

}  // namespace vexa
