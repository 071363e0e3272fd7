#include "history/history_store.h"

#include <algorithm>
#include <limits>

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
    tiers_[0] = {kSecond, limits.secondColumns, {}};
    tiers_[1] = {10 * kSecond, limits.tenSecondColumns, {}};
    tiers_[2] = {kMinute, limits.minuteColumns, {}};
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

void HistoryStore::Clear() {
    const std::uint64_t clears = clears_ + 1;
    *this = HistoryStore(limits_);
    clears_ = clears;
}

void HistoryStore::Summarise(const KeptEpoch& kept) {
    for (SummaryTier& tier : tiers_) AddTo(tier, kept.column);
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
    for (const SummaryTier& tier : tiers_) {
        if (!tier.columns.empty()) first = std::min(first, tier.columns.front().first);
    }
    return std::pair(first, recent_.back().axis);
}

std::vector<HistoryStore::ColumnSource> HistoryStore::SourcesOf(AxisMs from, AxisMs to, AxisMs resolution) const {
    std::vector<ColumnSource> sources;
    if (recent_.empty() || from > to) return sources;
    // Each level serves from where it starts; the part before that comes from the next coarser one.
    std::size_t level = 0;
    if (resolution >= kSecond) {
        level = 1;
        while (level < tiers_.size() && tiers_[level].span <= resolution) ++level;
    }
    AxisMs end = to;
    for (; level < kLevels && end >= from; ++level) {
        if (level > 0 && tiers_[level - 1].columns.empty()) continue;
        const AxisMs start = level == 0 ? recent_.front().axis : tiers_[level - 1].columns.front().first;
        sources.push_back({level, std::max(from, start), end});
        end = std::min(end, start - 1);
    }
    std::ranges::reverse(sources);
    return sources;
}

AxisMs HistoryStore::ChangingFrom(std::size_t level) const {
    if (level == 0) return recent_.empty() ? std::numeric_limits<AxisMs>::min() : recent_.back().axis;
    const SummaryTier& tier = tiers_[level - 1];
    return tier.columns.empty() ? std::numeric_limits<AxisMs>::min() : tier.columns.back().first;
}

void HistoryStore::VisitColumns(AxisMs from, AxisMs to, AxisMs resolution,
                                const std::function<void(const HistoryColumn&)>& visit) const {
    if (recent_.empty() || from > to) return;
    for (const ColumnSource& source : SourcesOf(from, to, resolution)) {
        if (source.level == 0) {
            VisitRange(recent_, source.from, source.to, [](const KeptEpoch& kept) { return kept.axis; }, visit,
                       [](const KeptEpoch& kept) -> const HistoryColumn& { return kept.column; });
        } else {
            VisitRange(tiers_[source.level - 1].columns, source.from, source.to, [](const HistoryColumn& column) { return column.first; },
                       visit, [](const HistoryColumn& column) -> const HistoryColumn& { return column; });
        }
    }
    // The tiers hold the epochs before the open one.
    const KeptEpoch& open = recent_.back();
    if (resolution >= kSecond && latestOpen_ && open.axis >= from && open.axis <= to) visit(open.column);
}

const KeptEpoch* HistoryStore::RecentAt(AxisMs axis) const {
    const auto after = std::ranges::upper_bound(recent_, axis, {}, &KeptEpoch::axis);
    if (after == recent_.begin()) return nullptr;
    return &*std::prev(after);
}

std::size_t HistoryStore::Bytes() const {
    std::size_t bytes = sizeof(*this);
    for (const SummaryTier& tier : tiers_) bytes += TierBytes(tier);
    bytes += rows_.capacity() * sizeof(SatelliteId) + rowOf_.size() * (sizeof(std::uint32_t) + sizeof(std::uint16_t) + 2 * sizeof(void*));
    for (const KeptEpoch& kept : recent_) {
        bytes += sizeof(KeptEpoch) + kept.epoch.satellites.capacity() * sizeof(HistorySatellite) + kept.column.Bytes() - sizeof(HistoryColumn);
    }
    return bytes;
}

}  // namespace vexa
