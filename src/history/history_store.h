#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "history/epoch_assembler.h"
#include "history/history_column.h"
#include "history/time_axis.h"

namespace vexa {

// A summary of every epoch over stretches of one length: a column per second or per minute of the
// axis, the oldest forgotten beyond `capacity` columns.
struct SummaryTier {
    AxisMs span = 0;
    std::size_t capacity = 0;
    std::deque<HistoryColumn> columns;
};

// An epoch kept whole, with its place on the axis and its column (its satellites by row).
struct KeptEpoch {
    AxisMs axis = 0;
    HistoryEpoch epoch;
    HistoryColumn column;
};

// What the receiver did over time, in bounded memory: the recent epochs whole, and every epoch
// summarised per second and per minute further back. The newest epoch stays open (a sky that
// follows its fix may still join it) and is summarised when the next one comes.
class HistoryStore : public EpochSink {
public:
    struct Limits {
        std::size_t recentEpochs = 6000;     // five minutes at 20 epochs a second
        std::size_t secondColumns = 90000;   // a day and an hour
        std::size_t tenSecondColumns = 9000;
        std::size_t minuteColumns = 44640;   // a month
        std::size_t satelliteRows = 1024;    // satellites never seen before beyond this are left out
    };
    static constexpr AxisMs kSecond = 1000;
    static constexpr AxisMs kMinute = 60000;

    HistoryStore() : HistoryStore(Limits{}) {}
    explicit HistoryStore(const Limits& limits);

    void Add(const HistoryEpoch& epoch) override;
    void ReplaceLatest(const HistoryEpoch& epoch) override;
    void Clear();
    // What comes next continues nothing held: the axis breaks before it.
    void BreakHere() { axis_.BreakHere(); }

    const std::deque<KeptEpoch>& Recent() const { return recent_; }
    const SummaryTier& Seconds() const { return tiers_.front(); }
    const SummaryTier& Minutes() const { return tiers_.back(); }
    const std::vector<SatelliteId>& Rows() const { return rows_; }
    const TimeAxis& Axis() const { return axis_; }
    std::uint64_t EpochCount() const { return epochCount_; }
    // The first and last point of the axis still held; none while empty.
    std::optional<std::pair<AxisMs, AxisMs>> Span() const;
    // The columns from `from` to `to` of the axis at the coarsest detail no coarser than
    // `resolution` (milliseconds per pixel): the recent epochs, each a column, below a second, else
    // the seconds, ten seconds or minutes; where that detail no longer reaches, the next coarser.
    void VisitColumns(AxisMs from, AxisMs to, AxisMs resolution, const std::function<void(const HistoryColumn&)>& visit) const;
    // The recent epoch at or just before `axis`; none where the recent epochs do not reach.
    const KeptEpoch* RecentAt(AxisMs axis) const;
    // The memory held, near enough to hold to a bound.
    std::size_t Bytes() const;

private:
    std::vector<std::uint16_t> RowsOf(HistoryEpoch& epoch);
    void Summarise(const KeptEpoch& kept);
    void Rebuild(KeptEpoch& kept);
    static void AddTo(SummaryTier& tier, const HistoryColumn& column);

    Limits limits_;
    TimeAxis axis_;
    std::vector<SatelliteId> rows_;
    std::unordered_map<std::uint32_t, std::uint16_t> rowOf_;
    std::deque<KeptEpoch> recent_;
    bool latestOpen_ = false;
    std::array<SummaryTier, 3> tiers_;  // seconds, ten seconds, minutes
    std::uint64_t epochCount_ = 0;
};

}  // namespace vexa
