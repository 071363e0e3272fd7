// A day of history at 20 epochs a second with 80 satellites in view: the time to record it, the
// memory it holds (counter "store_MB", and "rss_MB" the process's growth while recording), and
// the time to read it per pixel column for a 1600-pixel-wide window showing the whole day.
#include <benchmark/benchmark.h>

#include <fstream>
#include <random>
#include <string>

#include "history/pixel_columns.h"

namespace vexa {
namespace {

constexpr int kEpochsPerSecond = 20;
constexpr int kSecondsPerDay = 86400;
constexpr int kSatellites = 80;
constexpr int kPixels = 1600;

const UtcTime kStart = std::chrono::sys_days{std::chrono::year{2026} / 6 / 1};

double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * 4096.0 / 1e6;
}

// 80 satellites of four constellations whose signals drift slowly, and a fix with its DOPs.
HistoryEpoch EpochAt(int index, std::mt19937& random) {
    static constexpr std::array kSystems = {GnssId::Gps, GnssId::Galileo, GnssId::BeiDou, GnssId::Glonass};
    std::uniform_real_distribution<float> noise(-1.5F, 1.5F);
    HistoryEpoch epoch;
    epoch.time = kStart + std::chrono::milliseconds(static_cast<long long>(index) * 1000 / kEpochsPerSecond);
    epoch.fix = FixBand::ThreeD;
    epoch.hdop = 0.8;
    epoch.vdop = 1.2;
    epoch.pdop = 1.5;
    epoch.latitude = 47.3769;
    epoch.longitude = 8.5417;
    epoch.height = 408.0;
    epoch.error = EnuOffset{0.4, -0.3, 0.9};
    epoch.hasSky = true;
    epoch.satellites.reserve(kSatellites);
    for (int i = 0; i < kSatellites; ++i) {
        const SatelliteId id{kSystems[static_cast<std::size_t>(i % 4)], static_cast<std::uint16_t>(1 + i / 4)};
        const float slow = 10.0F * std::sin(static_cast<float>(index) / 20000.0F + static_cast<float>(i));
        epoch.satellites.push_back({id, static_cast<float>(i * 4 % 360), 35.0F, 38.0F + slow + noise(random), i % 3 != 0});
    }
    return epoch;
}

HistoryStore& DayStore() {
    static HistoryStore store;
    return store;
}

void RecordADay(benchmark::State& state) {
    for (auto _ : state) {
        const double before = ResidentMegabytes();
        HistoryStore& store = DayStore();
        std::mt19937 random(7);
        for (int i = 0; i < kSecondsPerDay * kEpochsPerSecond; ++i) store.Add(EpochAt(i, random));
        state.counters["store_MB"] = static_cast<double>(store.Bytes()) / 1e6;
        state.counters["rss_MB"] = ResidentMegabytes() - before;
        state.counters["epochs"] = static_cast<double>(store.EpochCount());
    }
}
BENCHMARK(RecordADay)->Iterations(1)->Unit(benchmark::kSecond);

// What a frame reads: for each pixel column the C/N0 of every row and the fix, merged from the
// columns that fall in it.
void ReadADayPerPixel(benchmark::State& state) {
    const HistoryStore& store = DayStore();
    const auto span = store.Span();
    if (!span) {
        state.SkipWithError("RecordADay runs first");
        return;
    }
    for (auto _ : state) {
        const PixelColumns view = ColumnsPerPixel(store, span->first, span->second, kPixels);
        benchmark::DoNotOptimize(view.pixels.data());
    }
}
BENCHMARK(ReadADayPerPixel)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexa
