#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "history/history_epoch.h"
#include "history/time_axis.h"

namespace vexa {

// The smallest, largest and mean of the values a stretch of epochs reported.
// The extremes are kept as floats (what is drawn), the sum exactly enough for a mean position.
struct ValueRange {
    float min = std::numeric_limits<float>::infinity();
    float max = -std::numeric_limits<float>::infinity();
    double sum = 0.0;
    std::uint32_t count = 0;

    void Add(double value);
    void Add(const std::optional<double>& value) {
        if (value) Add(*value);
    }
    void Merge(const ValueRange& other);
    std::optional<double> Mean() const;
    bool operator==(const ValueRange&) const = default;
};

// The values a column summarises besides the satellites.
enum class Measure : std::uint8_t { Hdop, Vdop, Pdop, Latitude, Longitude, Height, East, North, Up, Horizontal, Vertical };
inline constexpr std::size_t kMeasureCount = 11;

// One satellite over a column, C/N0 in whole dB-Hz (what receivers report). `epochs` counts those
// that reported it, `used` those that used it.
struct SatelliteCell {
    std::uint16_t row = 0;  // the satellite's row in the store
    std::uint16_t epochs = 0;
    std::uint16_t used = 0;
    std::uint16_t cn0Count = 0;
    std::uint32_t cn0Sum = 0;
    std::uint8_t cn0Min = 0;
    std::uint8_t cn0Max = 0;
    std::int8_t elevation = kNoElevation;  // degrees, the latest reported
    std::uint16_t azimuth = kNoAzimuth;    // degrees, the latest reported

    static constexpr std::int8_t kNoElevation = std::numeric_limits<std::int8_t>::min();
    static constexpr std::uint16_t kNoAzimuth = std::numeric_limits<std::uint16_t>::max();

    std::optional<double> Cn0Mean() const;
    void Merge(const SatelliteCell& other);
    bool operator==(const SatelliteCell&) const = default;
};

// A stretch of epochs summarised: one epoch, or a second or a minute of them further back.
struct HistoryColumn {
    AxisMs first = 0;  // the axis of its first and last epoch
    AxisMs last = 0;
    std::optional<UtcTime> firstTime;
    std::uint32_t epochs = 0;
    // Epochs that brought a sky: only they tell how many satellites are in view.
    std::uint32_t skies = 0;
    std::array<std::uint32_t, kFixBandCount> fixes{};  // epochs per fix kind
    std::array<std::uint8_t, kGnssSlots> inView{};     // the most in one epoch, per constellation
    std::array<std::uint8_t, kGnssSlots> used{};
    std::array<ValueRange, kMeasureCount> measures;
    std::vector<SatelliteCell> cells;  // by row

    const ValueRange& Of(Measure measure) const { return measures[static_cast<std::size_t>(measure)]; }
    std::optional<FixBand> WorstFix() const;
    std::optional<FixBand> BestFix() const;
    // Adds an epoch whose satellites sit in `rows` (one row per satellite, in order).
    void Add(AxisMs axis, const HistoryEpoch& epoch, const std::vector<std::uint16_t>& rows);
    void Merge(const HistoryColumn& other);
    std::size_t Bytes() const { return sizeof(*this) + cells.capacity() * sizeof(SatelliteCell); }
    bool operator==(const HistoryColumn&) const = default;
};

}  // namespace vexa
