#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "history/pixel_columns.h"

namespace vexa {
namespace {

using std::chrono::milliseconds;

const UtcTime kStart = std::chrono::sys_days{std::chrono::year{2026} / 5 / 2} + std::chrono::hours(9);

// An epoch at `atMs` after `start` with three satellites whose C/N0 and use vary from epoch to epoch.
HistoryEpoch EpochAt(long long atMs, int seed, UtcTime start = kStart) {
    HistoryEpoch epoch;
    epoch.time = start + milliseconds(atMs);
    epoch.fix = seed % 7 == 0 ? FixBand::TwoD : FixBand::ThreeD;
    epoch.hdop = 0.7 + (seed % 13) * 0.1;
    for (std::uint16_t svid : {3, 17, 29}) {
        const float cn0 = static_cast<float>(20 + (seed * svid) % 31);
        epoch.satellites.push_back({{GnssId::Gps, svid}, 120.0F, 30.0F, cn0, (seed + svid) % 3 != 0});
    }
    return epoch;
}

void AddEpochs(HistoryStore& store, long long fromMs, long long toMs, long long stepMs, UtcTime start = kStart) {
    for (long long at = fromMs; at < toMs; at += stepMs) store.Add(EpochAt(at, static_cast<int>(at / stepMs), start));
}

// Ten minutes at 20 Hz, every epoch also kept whole; read at pixels of one or more summaries'
// length, a pixel's values are those of the epochs in it, whichever level they were read from.
TEST(PixelColumnsTest, ThePixelsOfTheSummariesHoldTheValuesOfEveryEpochInThem) {
    HistoryStore store(HistoryStore::Limits{.recentEpochs = 20000});
    AddEpochs(store, 0, 600000, 50);
    store.Add(EpochAt(600000, 0));  // closes the last epoch counted
    for (const AxisMs perPixel : {AxisMs{1000}, AxisMs{20000}, AxisMs{120000}}) {
        SCOPED_TRACE(perPixel);
        const int pixels = static_cast<int>(600000 / perPixel);
        const PixelColumns view = ColumnsPerPixel(store, 0, 600000, pixels);
        ASSERT_EQ(view.perPixel, perPixel);
        std::vector<HistoryColumn> detail(static_cast<std::size_t>(pixels));
        for (const KeptEpoch& kept : store.Recent()) {
            if (kept.axis < 600000) detail[static_cast<std::size_t>(kept.axis / perPixel)].Merge(kept.column);
        }
        for (std::size_t x = 0; x < detail.size(); ++x) {
            const HistoryColumn& read = view.pixels[x];
            const HistoryColumn& expected = detail[x];
            ASSERT_EQ(read.epochs, expected.epochs) << x;
            EXPECT_EQ(read.fixes, expected.fixes) << x;
            EXPECT_EQ(read.Of(Measure::Hdop).min, expected.Of(Measure::Hdop).min) << x;
            EXPECT_EQ(read.Of(Measure::Hdop).max, expected.Of(Measure::Hdop).max) << x;
            EXPECT_NEAR(*read.Of(Measure::Hdop).Mean(), *expected.Of(Measure::Hdop).Mean(), 1e-9) << x;
            ASSERT_EQ(read.cells.size(), expected.cells.size()) << x;
            for (std::size_t i = 0; i < read.cells.size(); ++i) {
                EXPECT_EQ(read.cells[i].cn0Min, expected.cells[i].cn0Min) << x;
                EXPECT_EQ(read.cells[i].cn0Max, expected.cells[i].cn0Max) << x;
                EXPECT_DOUBLE_EQ(*read.cells[i].Cn0Mean(), *expected.cells[i].Cn0Mean()) << x;
                EXPECT_EQ(read.cells[i].used, expected.cells[i].used) << x;
            }
        }
    }
}

// A view read again keeps the pixels whose summaries did not change: whatever changed, it shows
// what a view read afresh shows.
TEST(PixelColumnsTest, AViewReadAgainShowsWhatAFreshReadShows) {
    struct Step {
        const char* name;
        std::function<void(HistoryStore&)> change;
        AxisMs from, to;
    };
    const std::vector<Step> steps = {
        {"twenty minutes at 5 Hz, a pixel per three seconds", [](HistoryStore& store) { AddEpochs(store, 0, 1200000, 200); },
         0, 1200000},
        {"following: a second more, the view moved by a part of a pixel",
         [](HistoryStore& store) { AddEpochs(store, 1200000, 1201000, 200); }, 1010, 1201010},
        {"the open epoch replaced", [](HistoryStore& store) { store.ReplaceLatest(EpochAt(1200800, 5)); }, 1010, 1201010},
        {"panned back by whole pixels", [](HistoryStore&) {}, -200000, 1000000},
        {"zoomed in to a minute", [](HistoryStore& store) { AddEpochs(store, 1201000, 1203000, 200); }, 1143000, 1203000},
        {"cleared and filled again with the epochs of another day", [](HistoryStore& store) {
             store.Clear();
             AddEpochs(store, 0, 1203000, 200, kStart + std::chrono::days(1));
         }, 1143000, 1203000},
    };
    HistoryStore store;
    PixelColumns view;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.change(store);
        ReadColumnsPerPixel(view, store, step.from, step.to, 360);
        const PixelColumns fresh = ColumnsPerPixel(store, step.from, step.to, 360);
        ASSERT_EQ(view.from, fresh.from);
        ASSERT_EQ(view.pixels.size(), fresh.pixels.size());
        for (std::size_t x = 0; x < fresh.pixels.size(); ++x) EXPECT_TRUE(view.pixels[x] == fresh.pixels[x]) << x;
    }
}

}  // namespace
}  // namespace vexa
