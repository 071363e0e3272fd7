#include "history/history_store.h"

#include <algorithm>

namespace vexa {

namespace {

std::uint32_t KeyOf(SatelliteId id) { return static_cast<std::uint32_t>(id.gnss) << 16 | id.svid; }

AxisMs BucketOf(AxisMs axis, AxisMs span) { return axis >= 0 ? axis / span : (axis - span + 1) / span; }

template <typename Columns, typename Axis>
void VisitRange(const Columns& columns, AxisMs from, AxisMs to, Axis axisOf,
                const std::function<void(const HistoryColumn&)>& visit, auto columnOf) {
    auto at = std::ranges::lower_bound(columns, from, {}, axisOf);
    for (; at != columns.end() && axisOf(*at) <= to; ++at) visit(columnOf(*at));
}

std::size_t TierBytes(const SummaryTier& tier) {
    std::size_t bytes = 0;
    for (const HistoryColumn& column : tier.columns) bytes += column.Bytes();
    return bytes;
}

}  // namespace

HistoryStore::HistoryStore(const Limits& limits) : limits_(limits) {
    seconds_.span = kSecond;
    seconds_.capacity = limits.secondColumns;
    minutes_.span = kMinute;
    minutes_.capacity = limits.minuteColumns;
}

std::vector<std::uint16_t> HistoryStore::RowsOf(HistoryEpoch& epoch) {
    std::vector<std::uint16_t> rows;
    rows.reserve(epoch.satellites.size());
    std::erase_if(epoch.satellites, [&](const HistorySatellite& satellite) {
        const auto [at, added] = rowOf_.try_emplace(KeyOf(satellite.id), static_cast<std::uint16_t>(rows_.size()));
        if (added) {
            if (rows_.size() >= limits_.satelliteRows) {
                rowOf_.erase(at);
                return true;
            }
            rows_.push_back(satellite.id);
        }
        rows.push_back(at->second);
        return false;
    });
    return rows;
}

void HistoryStore::Rebuild(KeptEpoch& kept) {
    const std::vector<std::uint16_t> rows = RowsOf(kept.epoch);
    kept.column = HistoryColumn{};
    kept.column.Add(kept.axis, kept.epoch, rows);
    kept.column.cells.shrink_to_fit();
}

void HistoryStore::Add(const HistoryEpoch& epoch) {
    if (latestOpen_) Summarise(recent_.back());
    KeptEpoch& kept = recent_.emplace_back(KeptEpoch{axis_.Place(epoch.time), epoch, {}});
    Rebuild(kept);
    latestOpen_ = true;
    ++epochCount_;
    while (recent_.size() > limits_.recentEpochs) recent_.pop_front();
}

void HistoryStore::ReplaceLatest(const HistoryEpoch& epoch) {
    if (!latestOpen_) return Add(epoch);
    KeptEpoch& latest = recent_.back();
    latest.epoch = epoch;
    Rebuild(latest);
}

void HistoryStore::Clear() { *this = HistoryStore(limits_); }

void HistoryStore::Summarise(const KeptEpoch& kept) {
    AddTo(seconds_, kept.column);
    AddTo(minutes_, kept.column);
    latestOpen_ = false;
}

void HistoryStore::AddTo(SummaryTier& tier, const HistoryColumn& column) {
    if (tier.columns.empty() || BucketOf(tier.columns.back().first, tier.span) != BucketOf(column.first, tier.span)) {
        if (!tier.columns.empty()) tier.columns.back().cells.shrink_to_fit();
        tier.columns.emplace_back();
        while (tier.columns.size() > tier.capacity) tier.columns.pop_front();
    }
    tier.columns.back().Merge(column);
}

std::optional<std::pair<AxisMs, AxisMs>> HistoryStore::Span() const {
    if (recent_.empty()) return std::nullopt;
    AxisMs first = recent_.front().axis;
    if (!seconds_.columns.empty()) first = std::min(first, seconds_.columns.front().first);
    if (!minutes_.columns.empty()) first = std::min(first, minutes_.columns.front().first);
    return std::pair(first, recent_.back().axis);
}

void HistoryStore::VisitColumns(AxisMs from, AxisMs to, AxisMs resolution,
                                const std::function<void(const HistoryColumn&)>& visit) const {
    if (recent_.empty() || from > to) return;
    auto columnFirst = [](const HistoryColumn& column) { return column.first; };
    auto itself = [](const HistoryColumn& column) -> const HistoryColumn& { return column; };
    // The part each finer tier holds starts where it starts; older parts come from a coarser tier.
    const AxisMs recentStart = recent_.front().axis;
    const AxisMs secondsStart = seconds_.columns.empty() ? recentStart : seconds_.columns.front().first;
    const bool useRecent = resolution < kSecond;
    const bool useSeconds = resolution < kMinute;

    const AxisMs minutesEnd = useSeconds ? std::min(to, secondsStart - 1) : to;
    VisitRange(minutes_.columns, from, minutesEnd, columnFirst, visit, itself);
    if (!useSeconds) {
        // Epochs not yet summarised: the open one.
        if (latestOpen_ && recent_.back().axis > minutesEnd) visit(recent_.back().column);
        return;
    }
    const AxisMs secondsFrom = std::max(from, secondsStart);
    const AxisMs secondsEnd = useRecent ? std::min(to, recentStart - 1) : to;
    VisitRange(seconds_.columns, secondsFrom, secondsEnd, columnFirst, visit, itself);
    if (!useRecent) {
        if (latestOpen_ && recent_.back().axis >= secondsFrom && recent_.back().axis <= to) visit(recent_.back().column);
        return;
    }
    VisitRange(recent_, std::max(from, recentStart), to, [](const KeptEpoch& kept) { return kept.axis; }, visit,
               [](const KeptEpoch& kept) -> const HistoryColumn& { return kept.column; });
}

const KeptEpoch* HistoryStore::RecentAt(AxisMs axis) const {
    const auto after = std::ranges::upper_bound(recent_, axis, {}, &KeptEpoch::axis);
    if (after == recent_.begin()) return nullptr;
    return &*std::prev(after);
}

std::size_t HistoryStore::Bytes() const {
    std::size_t bytes = sizeof(*this) + TierBytes(seconds_) + TierBytes(minutes_);
    bytes += rows_.capacity() * sizeof(SatelliteId) + rowOf_.size() * (sizeof(std::uint32_t) + sizeof(std::uint16_t) + 2 * sizeof(void*));
    for (const KeptEpoch& kept : recent_) {
        bytes += sizeof(KeptEpoch) + kept.epoch.satellites.capacity() * sizeof(HistorySatellite) + kept.column.Bytes() - sizeof(HistoryColumn);
    }
    return bytes;
}

}  // namespace vexa
