#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "evaluation/local_frame.h"
#include "receiver/fix/gnss_fix.h"

namespace vexa {

// The kinds of fix counted apart: a differential or RTK solution is named for that, any other by
// its dimension.
enum class FixKind : std::uint8_t { TwoD, ThreeD, Dgps, RtkFloat, RtkFixed };

inline constexpr std::array kFixKinds = {FixKind::TwoD, FixKind::ThreeD, FixKind::Dgps, FixKind::RtkFloat,
                                         FixKind::RtkFixed};

// "2d", "3d", "dgps", "rtk_float", "rtk_fixed": the names the report files use.
std::string_view FixKindName(FixKind kind);

// The kind of a fix with a position; none for no fix.
std::optional<FixKind> FixKindOf(FixMode mode, FixQuality quality);

// The receiver's own 1-sigma error estimate of a fix (as NMEA GST reports it), in metres.
struct ReceiverErrorEstimate {
    std::optional<double> sigmaEast;
    std::optional<double> sigmaNorth;
    std::optional<double> sigmaUp;
};

// One fix as the evaluation keeps it.
struct FixSample {
    std::optional<UtcTime> time;
    double latitude = 0.0;   // degrees, north positive (WGS-84)
    double longitude = 0.0;  // degrees, east positive
    // Metres above the ellipsoid; empty when the receiver gave none. A 2D fix's height is held, not
    // measured, and never counts as a vertical error.
    std::optional<double> height;
    FixKind kind = FixKind::ThreeD;
    ReceiverErrorEstimate estimate;

    bool HasVertical() const { return height.has_value() && kind != FixKind::TwoD; }
    GeodeticPoint Position(double heightWhenUnknown) const { return {latitude, longitude, height.value_or(heightWhenUnknown)}; }
};

// Whether a position is usable: finite, latitude within +-90 and longitude within +-180 degrees,
// height within +-10,000 km.
bool IsUsablePosition(const GeodeticPoint& point);

// Whether the sample's values are usable: its position, and error estimates from 0 to 10,000 km.
bool IsUsableSample(const FixSample& sample);

// The sample of a fix with a usable position; none for no fix or for garbage from a receiver.
std::optional<FixSample> FixSampleOf(const GnssFix& fix);

// The fix's offset from the frame's origin. A fix without a measured height is placed at the
// origin's height: its horizontal offset holds, its up is empty.
EnuOffset OffsetInFrame(const FixSample& fix, const LocalFrame& frame);

// How many fixes of each kind.
struct FixCounts {
    std::array<std::size_t, kFixKinds.size()> byKind{};

    std::size_t Of(FixKind kind) const { return byKind[static_cast<std::size_t>(kind)]; }
    std::size_t Total() const;
};

}  // namespace vexa
