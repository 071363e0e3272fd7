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
    // The recent epochs, then the seconds, ten seconds and minutes.
    static constexpr std::size_t kLevels = 4;
    // A stretch of the axis whose columns are read from one level.
    struct ColumnSource {
        std::size_t level = 0;
        AxisMs from = 0;
        AxisMs to = 0;
        bool operator==(const ColumnSource&) const = default;
    };

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
    // Where VisitColumns reads the columns from `from` to `to`, oldest first. The open epoch comes
    // after them also where the summaries are read.
    std::vector<ColumnSource> SourcesOf(AxisMs from, AxisMs to, AxisMs resolution) const;
    // The point of the axis from which a level's columns may still change: its last column (the open
    // epoch, the summary still filling) and whatever comes after it. The columns before never change
    // while they are held; a level without columns may change anywhere.
    AxisMs ChangingFrom(std::size_t level) const;
    // How often the store was cleared: what was read before a clear tells nothing of what it holds.
    std::uint64_t Clears() const { return clears_; }
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
    std::uint64_t clears_ = 0;
};

}  // namespace vexa
