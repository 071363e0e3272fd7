#include "evaluation/fix_sample.h"

#include <cmath>
#include <numeric>

namespace vexa {

namespace {

// Heights and error estimates beyond this are garbage, not positions near the Earth; bounding them
// keeps every square and sum of squares finite.
constexpr double kFarthestMetres = 1e7;

bool Usable(const std::optional<double>& metres, double least) {
    return !metres || (std::isfinite(*metres) && *metres >= least && *metres <= kFarthestMetres);
}

}  // namespace

std::string_view FixKindName(FixKind kind) {
    switch (kind) {
    case FixKind::TwoD: return "2d";
    case FixKind::ThreeD: return "3d";
    case FixKind::Dgps: return "dgps";
    case FixKind::RtkFloat: return "rtk_float";
    case FixKind::RtkFixed: return "rtk_fixed";
    }
    return "3d";
}

std::optional<FixKind> FixKindOf(FixMode mode, FixQuality quality) {
    if (mode == FixMode::NoFix) return std::nullopt;
    switch (quality) {
    case FixQuality::Differential: return FixKind::Dgps;
    case FixQuality::RtkFloat: return FixKind::RtkFloat;
    case FixQuality::RtkFixed: return FixKind::RtkFixed;
    default: return mode == FixMode::TwoD ? FixKind::TwoD : FixKind::ThreeD;
    }
}

bool IsUsablePosition(const GeodeticPoint& point) {
    return std::isfinite(point.latitude) && std::isfinite(point.longitude) && std::abs(point.latitude) <= 90.0 &&
           std::abs(point.longitude) <= 180.0 && Usable(point.height, -kFarthestMetres);
}

bool IsUsableSample(const FixSample& sample) {
    return IsUsablePosition(sample.Position(0.0)) &&
           Usable(sample.estimate.sigmaEast, 0.0) && Usable(sample.estimate.sigmaNorth, 0.0) &&
           Usable(sample.estimate.sigmaUp, 0.0);
}

std::optional<FixSample> FixSampleOf(const GnssFix& fix) {
    const std::optional<FixKind> kind = FixKindOf(fix.mode, fix.quality);
    if (!kind || !fix.latitude || !fix.longitude) return std::nullopt;
    FixSample sample;
    sample.time = fix.time;
    sample.latitude = *fix.latitude;
    sample.longitude = *fix.longitude;
    sample.height = fix.altitudeHae;
    sample.kind = *kind;
    sample.estimate = {fix.sigmaEast, fix.sigmaNorth, fix.sigmaUp};
    if (!IsUsableSample(sample)) return std::nullopt;
    return sample;
}

EnuOffset OffsetInFrame(const FixSample& fix, const LocalFrame& frame) {
    EnuOffset offset = frame.OffsetOf(fix.Position(frame.Origin().height));
    if (!fix.HasVertical()) offset.up.reset();
    return offset;
}

std::size_t FixCounts::Total() const { return std::accumulate(byKind.begin(), byKind.end(), std::size_t{0}); }

}  // namespace vexa
