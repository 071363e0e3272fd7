// The accuracy figures of a long test: a million fixes added and summarised once (and the figures
// alone, from the kept fixes), and fixes added one at a time with the figures asked for every 1000
// fixes, as a live window does.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "evaluation/accuracy_tracker.h"

namespace vexa {
namespace {

const GeodeticPoint kMark{47.3769, 8.5417, 408.2};

// Fixes about the mark with a metre-sized Gaussian spread and a bias, one in ten without a height.
const std::vector<FixSample>& Fixes() {
    static const std::vector<FixSample> fixes = [] {
        std::vector<FixSample> made;
        std::mt19937_64 random(7);
        std::normal_distribution<double> horizontal(0.0, 2.0);
        std::normal_distribution<double> vertical(0.0, 3.0);
        const LocalFrame frame(kMark);
        for (int i = 0; i < 1000000; ++i) {
            const GeodeticPoint point = frame.PointAt({0.8 + horizontal(random), horizontal(random), vertical(random)});
            FixSample fix;
            fix.latitude = point.latitude;
            fix.longitude = point.longitude;
            if (i % 10 != 0) fix.height = point.height;
            fix.kind = i % 10 == 0 ? FixKind::TwoD : FixKind::ThreeD;
            made.push_back(fix);
        }
        return made;
    }();
    return fixes;
}

void SummariseFixes(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::vector<FixSample>& fixes = Fixes();
    for (auto _ : state) {
        AccuracyTracker tracker;
        tracker.SetReference(ReferencePoint{kMark, ReferenceSource::Entered, std::nullopt});
        for (std::size_t i = 0; i < count; ++i) tracker.Add(fixes[i]);
        benchmark::DoNotOptimize(tracker.Figures().accuracy->cep95);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(SummariseFixes)->Arg(1000000)->Unit(benchmark::kMillisecond);

void FiguresOfKeptFixes(benchmark::State& state) {
    const std::vector<FixSample>& fixes = Fixes();
    AccuracyTracker tracker;
    tracker.SetReference(ReferencePoint{kMark, ReferenceSource::Entered, std::nullopt});
    for (std::size_t i = 0; i < static_cast<std::size_t>(state.range(0)); ++i) tracker.Add(fixes[i]);
    for (auto _ : state) {
        // A new reference drops the kept figures; measuring the fixes again is left out of the time.
        state.PauseTiming();
        tracker.SetReference(ReferencePoint{kMark, ReferenceSource::Entered, std::nullopt});
        state.ResumeTiming();
        benchmark::DoNotOptimize(tracker.Figures().accuracy->cep95);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(FiguresOfKeptFixes)->Arg(1000000)->Unit(benchmark::kMillisecond);

void FiguresEvery1000Fixes(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::vector<FixSample>& fixes = Fixes();
    for (auto _ : state) {
        AccuracyTracker tracker;
        tracker.SetReference(ReferencePoint{kMark, ReferenceSource::Entered, std::nullopt});
        for (std::size_t i = 0; i < count; ++i) {
            tracker.Add(fixes[i]);
            if ((i + 1) % 1000 == 0) benchmark::DoNotOptimize(tracker.Figures().accuracy->cep95);
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(FiguresEvery1000Fixes)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexa
