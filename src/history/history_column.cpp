#include "history/history_column.h"

#include <algorithm>
#include <cmath>

namespace vexa {

namespace {

constexpr unsigned kCountLimit = std::numeric_limits<std::uint16_t>::max();

// A count stops at its limit; the sum counted with it is then scaled down with it, so that the
// ratio of the two (a mean, a share of epochs) stays that of everything merged.
template <class Sum>
void MergeCounted(std::uint16_t& count, Sum& sum, unsigned moreCount, Sum moreSum) {
    const unsigned total = count + moreCount;
    const double totalSum = static_cast<double>(sum) + static_cast<double>(moreSum);
    if (total <= kCountLimit) {
        count = static_cast<std::uint16_t>(total);
        sum = static_cast<Sum>(totalSum);
        return;
    }
    count = static_cast<std::uint16_t>(kCountLimit);
    sum = static_cast<Sum>(std::llround(totalSum * kCountLimit / total));
}

SatelliteCell CellOf(std::uint16_t row, const HistorySatellite& satellite) {
    SatelliteCell cell;
    cell.row = row;
    cell.epochs = 1;
    cell.used = satellite.used ? 1 : 0;
    if (satellite.cn0) {
        const auto cn0 = static_cast<std::uint8_t>(std::clamp(std::lround(*satellite.cn0), 0L, 255L));
        cell.cn0Count = 1;
        cell.cn0Sum = cn0;
        cell.cn0Min = cn0;
        cell.cn0Max = cn0;
    }
    if (satellite.elevation) cell.elevation = static_cast<std::int8_t>(std::clamp(std::lround(*satellite.elevation), -90L, 90L));
    if (satellite.azimuth) cell.azimuth = static_cast<std::uint16_t>(std::clamp(std::lround(*satellite.azimuth), 0L, 359L));
    return cell;
}

// Both lists are by row; the search goes on from the last cell met, so lists of the same
// satellites merge in one pass.
void MergeCells(std::vector<SatelliteCell>& cells, const std::vector<SatelliteCell>& more) {
    std::size_t at = 0;
    for (const SatelliteCell& cell : more) {
        while (at < cells.size() && cells[at].row < cell.row) ++at;
        if (at < cells.size() && cells[at].row == cell.row) {
            cells[at].Merge(cell);
        } else {
            cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(at), cell);
        }
        ++at;
    }
}

}  // namespace

void ValueRange::Add(double value) {
    min = std::min(min, static_cast<float>(value));
    max = std::max(max, static_cast<float>(value));
    sum += value;
    ++count;
}

void ValueRange::Merge(const ValueRange& other) {
    min = std::min(min, other.min);
    max = std::max(max, other.max);
    sum += other.sum;
    count += other.count;
}

std::optional<double> ValueRange::Mean() const {
    if (count == 0) return std::nullopt;
    return sum / count;
}

std::optional<double> SatelliteCell::Cn0Mean() const {
    if (cn0Count == 0) return std::nullopt;
    return static_cast<double>(cn0Sum) / cn0Count;
}

void SatelliteCell::Merge(const SatelliteCell& other) {
    if (other.cn0Count > 0) {
        cn0Min = cn0Count > 0 ? std::min(cn0Min, other.cn0Min) : other.cn0Min;
        cn0Max = cn0Count > 0 ? std::max(cn0Max, other.cn0Max) : other.cn0Max;
        MergeCounted(cn0Count, cn0Sum, other.cn0Count, other.cn0Sum);
    }
    MergeCounted(epochs, used, other.epochs, other.used);
    if (other.elevation != kNoElevation) elevation = other.elevation;
    if (other.azimuth != kNoAzimuth) azimuth = other.azimuth;
}

std::optional<FixBand> HistoryColumn::WorstFix() const {
    const auto worst = std::ranges::find_if(fixes, [](std::uint32_t count) { return count > 0; });
    if (worst == fixes.end()) return std::nullopt;
    return static_cast<FixBand>(worst - fixes.begin());
}

std::optional<FixBand> HistoryColumn::BestFix() const {
    for (std::size_t band = kFixBandCount; band-- > 0;) {
        if (fixes[band] > 0) return static_cast<FixBand>(band);
    }
    return std::nullopt;
}

void HistoryColumn::Add(AxisMs axis, const HistoryEpoch& epoch, const std::vector<std::uint16_t>& rows) {
    HistoryColumn single;
    single.first = single.last = axis;
    single.firstTime = epoch.time;
    single.epochs = 1;
    single.skies = epoch.hasSky ? 1 : 0;
    if (epoch.fix) single.fixes[static_cast<std::size_t>(*epoch.fix)] = 1;
    single.inView = epoch.InView();
    single.used = epoch.Used();
    auto add = [&single](Measure measure, const std::optional<double>& value) { single.measures[static_cast<std::size_t>(measure)].Add(value); };
    add(Measure::Hdop, epoch.hdop);
    add(Measure::Vdop, epoch.vdop);
    add(Measure::Pdop, epoch.pdop);
    add(Measure::Latitude, epoch.latitude);
    add(Measure::Longitude, epoch.longitude);
    add(Measure::Height, epoch.height);
    if (epoch.error) {
        add(Measure::East, epoch.error->east);
        add(Measure::North, epoch.error->north);
        add(Measure::Up, epoch.error->up);
        add(Measure::Horizontal, epoch.error->Horizontal());
        if (epoch.error->up) add(Measure::Vertical, std::abs(*epoch.error->up));
    }
    single.cells.reserve(epoch.satellites.size());
    for (std::size_t i = 0; i < epoch.satellites.size() && i < rows.size(); ++i) single.cells.push_back(CellOf(rows[i], epoch.satellites[i]));
    std::ranges::sort(single.cells, {}, &SatelliteCell::row);
    Merge(single);
}

void HistoryColumn::Merge(const HistoryColumn& other) {
    if (other.epochs == 0) return;
    // An empty column merged with another is that column.
    if (epochs == 0) {
        *this = other;
        return;
    }
    last = other.last;
    if (!firstTime) firstTime = other.firstTime;
    epochs += other.epochs;
    skies += other.skies;
    for (std::size_t band = 0; band < kFixBandCount; ++band) fixes[band] += other.fixes[band];
    for (std::size_t slot = 0; slot < kGnssSlots; ++slot) {
        inView[slot] = std::max(inView[slot], other.inView[slot]);
        used[slot] = std::max(used[slot], other.used[slot]);
    }
    for (std::size_t measure = 0; measure < kMeasureCount; ++measure) measures[measure].Merge(other.measures[measure]);
    MergeCells(cells, other.cells);
}

}  // namespace vexa
