#include <gtest/gtest.h>

#include <vector>

#include "history/history_recorder.h"
#include "history/history_store.h"

namespace vexa {
namespace {

using std::chrono::milliseconds;

const UtcTime kNoon = std::chrono::sys_days{std::chrono::year{2026} / 3 / 14} + std::chrono::hours(12);

// A hand-made epoch: its time (none for -1) in milliseconds after noon, and its satellites' C/N0.
struct MadeEpoch {
    long long atMs;
    std::vector<std::pair<SatelliteId, float>> satellites;
    bool restartsBefore = false;  // the output started afresh before it (a replay moved elsewhere)
};

HistoryEpoch Made(const MadeEpoch& made) {
    HistoryEpoch epoch;
    if (made.atMs != -1) epoch.time = kNoon + milliseconds(made.atMs);
    epoch.fix = FixBand::ThreeD;
    epoch.hdop = 1.0;
    for (const auto& [id, cn0] : made.satellites) epoch.satellites.push_back({id, 90.0F, 45.0F, cn0, cn0 > 35.0F});
    return epoch;
}

std::vector<MadeEpoch> Every(long long stepMs, int count, std::vector<std::pair<SatelliteId, float>> satellites) {
    std::vector<MadeEpoch> epochs;
    for (int i = 0; i < count; ++i) epochs.push_back({i * stepMs, satellites});
    return epochs;
}

constexpr SatelliteId kG5{GnssId::Gps, 5};
constexpr SatelliteId kE11{GnssId::Galileo, 11};
constexpr SatelliteId kR3{GnssId::Glonass, 3};

struct StoreCase {
    const char* name;
    std::vector<MadeEpoch> epochs;
    HistoryStore::Limits limits;
    std::vector<AxisMs> firstAxes;  // where the first epochs sit on the axis
    std::size_t breaks;
    std::size_t rows;
    std::size_t recent;
    std::size_t seconds;  // summary columns, the open epoch not yet among them
};

TEST(HistoryStoreTest, PlacesKeepsAndBoundsEpochs) {
    const HistoryStore::Limits small{.recentEpochs = 10, .secondColumns = 3, .minuteColumns = 2, .satelliteRows = 2};
    const std::vector<StoreCase> cases = {
        {"a second at 20 Hz", Every(50, 21, {{kG5, 40.0F}}), {}, {0, 50, 100}, 0, 1, 21, 1},
        {"the recent epochs and the summaries are bounded", Every(1000, 100, {{kG5, 40.0F}}), small, {}, 0, 1, 10, 3},
        {"time going backwards is a break; the axis goes on by a step",
         {{0, {}}, {1000, {}}, {-3600000, {}}, {-3599000, {}}}, {}, {0, 1000, 2000, 3000}, 1, 0, 4, 3},
        {"output started afresh is a break even a little ahead",
         {{0, {}}, {1000, {}}, {30000, {}, true}, {31000, {}}}, {}, {0, 1000, 2000, 3000}, 1, 0, 4, 3},
        {"time jumping two days ahead is a break", {{0, {}}, {1000, {}}, {172801000, {}}}, {}, {0, 1000, 2000}, 1, 0, 3, 2},
        {"an epoch without time is placed a step after the one before",
         {{0, {}}, {200, {}}, {-1, {}}, {-1, {}}, {800, {}}}, {}, {0, 200, 400, 600, 800}, 0, 0, 5, 1},
        {"a satellite never seen before gets a row; beyond the limit none",
         {{0, {{kG5, 40.0F}}}, {1000, {{kG5, 41.0F}, {kE11, 30.0F}}}, {2000, {{kR3, 33.0F}, {kE11, 31.0F}}}},
         small, {0, 1000, 2000}, 0, 2, 3, 2},
    };
    for (const StoreCase& test : cases) {
        SCOPED_TRACE(test.name);
        HistoryStore store(test.limits);
        for (const MadeEpoch& made : test.epochs) {
            if (made.restartsBefore) store.BreakHere();
            store.Add(Made(made));
        }
        for (std::size_t i = 0; i < test.firstAxes.size(); ++i) EXPECT_EQ(store.Recent()[i].axis, test.firstAxes[i]) << i;
        EXPECT_EQ(store.Axis().Breaks().size(), test.breaks);
        EXPECT_EQ(store.Rows().size(), test.rows);
        EXPECT_EQ(store.Recent().size(), test.recent);
        EXPECT_EQ(store.Seconds().columns.size(), test.seconds);
        EXPECT_LE(store.Minutes().columns.size(), test.limits.minuteColumns);
    }
}

TEST(HistoryStoreTest, SummarisesASecondAsItsMinimumMaximumAndMean) {
    HistoryStore store;
    for (int i = 0; i < 21; ++i) store.Add(Made({i * 50, {{kG5, i % 2 == 0 ? 30.0F : 40.0F}, {kE11, 44.0F}}}));
    const HistoryColumn& second = store.Seconds().columns.at(0);
    EXPECT_EQ(second.epochs, 20U);
    ASSERT_EQ(second.cells.size(), 2U);
    const SatelliteCell& g5 = second.cells[0];
    EXPECT_EQ(store.Rows()[g5.row], kG5);
    EXPECT_EQ(g5.cn0Min, 30);
    EXPECT_EQ(g5.cn0Max, 40);
    EXPECT_DOUBLE_EQ(*g5.Cn0Mean(), 35.0);
    EXPECT_EQ(g5.used, 10);
    EXPECT_EQ(second.inView[static_cast<std::size_t>(GnssId::Galileo)], 1);
    EXPECT_DOUBLE_EQ(*second.Of(Measure::Hdop).Mean(), 1.0);
    EXPECT_EQ(second.WorstFix(), FixBand::ThreeD);
}

// A pixel of a long view merges more epochs than a cell counts: its mean and share of use stay right.
TEST(HistoryStoreTest, CellsMergedPastTheirCountKeepTheirMeanAndShareOfUse) {
    SatelliteCell strong{.epochs = 60000, .used = 60000, .cn0Count = 60000, .cn0Sum = 60000 * 40};
    const SatelliteCell weak{.epochs = 60000, .used = 0, .cn0Count = 60000, .cn0Sum = 60000 * 30};
    strong.Merge(weak);
    EXPECT_DOUBLE_EQ(*strong.Cn0Mean(), 35.0);
    EXPECT_EQ(strong.epochs, 65535);
    EXPECT_NEAR(strong.used, 65535 / 2, 1);
}

TEST(HistoryStoreTest, ASkyJoinsTheFixOfItsTimeAndASkyAloneIsAnEpoch) {
    HistoryRecorder recorder;
    GnssFix fix;
    fix.time = kNoon;
    fix.mode = FixMode::ThreeD;
    fix.latitude = 47.0;
    fix.longitude = 8.0;
    fix.altitudeHae = 400.0;
    GnssSky sky;
    sky.time = kNoon;
    sky.pdop = 1.8;
    // The same satellite on two signals is one satellite, with its stronger signal.
    sky.satellites = {{kG5, 1, 120.0, 30.0, 38.0, true}, {kG5, 7, 120.0, 30.0, 41.0, false}, {kE11, 1, 10.0, 5.0, 22.0, false}};
    recorder.SetReference(GeodeticPoint{47.0, 8.0, 400.0});
    recorder.onFix(fix);
    recorder.onSky(sky);
    sky.time = kNoon + std::chrono::seconds(1);
    recorder.onSky(sky);
    recorder.Read([](const HistoryStore& store) {
        ASSERT_EQ(store.Recent().size(), 2U);
        const HistoryEpoch& joined = store.Recent()[0].epoch;
        ASSERT_EQ(joined.satellites.size(), 2U);
        EXPECT_EQ(joined.satellites[0].cn0, 41.0F);
        EXPECT_TRUE(joined.satellites[0].used);
        EXPECT_EQ(joined.pdop, 1.8);
        ASSERT_TRUE(joined.error);
        EXPECT_NEAR(joined.error->Horizontal(), 0.0, 1e-6);
        EXPECT_FALSE(store.Recent()[1].epoch.fix);
    });
}

// After a restart the first fix may come without its sky: its column tells no satellites in view
// (the strip leaves a gap there instead of dropping to zero), and the line goes on after it.
TEST(HistoryStoreTest, AFixWithoutItsSkyAfterARestartTellsNoSatellitesInView) {
    HistoryRecorder recorder;
    GnssSky sky;
    sky.satellites = {{kG5, 1, 120.0, 30.0, 38.0, true}, {kE11, 1, 10.0, 5.0, 22.0, false}};
    GnssFix fix;
    fix.mode = FixMode::ThreeD;
    for (int second = 0; second < 3; ++second) {
        fix.time = sky.time = kNoon + std::chrono::seconds(second);
        if (second == 1) recorder.onRestart();
        recorder.onFix(fix);
        if (second != 1) recorder.onSky(sky);
    }
    recorder.Read([](const HistoryStore& store) {
        ASSERT_EQ(store.Recent().size(), 3U);
        EXPECT_EQ(store.Axis().Breaks().size(), 1U);
        const std::vector<std::uint32_t> skies = {store.Recent()[0].column.skies, store.Recent()[1].column.skies,
                                                  store.Recent()[2].column.skies};
        EXPECT_EQ(skies, (std::vector<std::uint32_t>{1, 0, 1}));
        EXPECT_EQ(store.Recent()[2].column.inView[static_cast<std::size_t>(GnssId::Galileo)], 1);
        EXPECT_EQ(store.Seconds().columns.at(0).skies, 1U);
    });
}

}  // namespace
}  // namespace vexa
