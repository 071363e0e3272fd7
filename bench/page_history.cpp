// The History window's frame with a day at 20 epochs a second and 80 satellites: reading the
// columns per pixel and painting every strip, 1600 x 900 pixels, the whole day in view. Three
// frames: one repainted with nothing new, one after a wheel notch (every pixel read afresh), and
// one while following a live receiver (a refresh's epochs arrived since the last frame), also at
// the five minutes a window opens with (no notch), whose recent epochs are full; and the read of
// the columns alone while following.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QWheelEvent>
#include <array>
#include <cmath>
#include <memory>

#include "history/history_recorder.h"
#include "page_bench_support.h"
#include "views/history/history_strips.h"

namespace vexa {
namespace {

constexpr int kEpochsPerSecond = 20;
constexpr int kRefreshEpochs = 5;  // the window refreshes four times a second

// One epoch told to the recorder as a link tells it: a fix, then its sky of 80 satellites.
void RecordEpoch(HistoryRecorder& recorder, int epoch) {
    static constexpr std::array kSystems = {GnssId::Gps, GnssId::Galileo, GnssId::BeiDou, GnssId::Glonass};
    const UtcTime start = std::chrono::sys_days{std::chrono::year{2026} / 6 / 1};
    GnssFix fix;
    fix.mode = FixMode::ThreeD;
    fix.quality = FixQuality::Standard;
    fix.hdop = 0.8;
    fix.vdop = 1.3;
    fix.pdop = 1.5;
    fix.time = start + std::chrono::milliseconds(epoch * 1000LL / kEpochsPerSecond);
    fix.latitude = 47.3769 + 1e-6 * std::sin(epoch / 900.0);
    fix.longitude = 8.5417;
    fix.altitudeHae = 408.0 + std::cos(epoch / 700.0);
    GnssSky sky;
    sky.time = fix.time;
    sky.satellites.resize(80);
    for (int i = 0; i < 80; ++i) {
        SkySatellite& satellite = sky.satellites[static_cast<std::size_t>(i)];
        satellite.id = {kSystems[static_cast<std::size_t>(i % 4)], static_cast<std::uint16_t>(1 + i / 4)};
        satellite.azimuth = i * 4.5;
        satellite.elevation = 10.0 + i % 70;
        satellite.cn0 = 35.0 + 12.0 * std::sin(epoch / 30000.0 + i);
        satellite.used = (epoch / 20000 + i) % 3 != 0;
    }
    recorder.onFix(fix);
    recorder.onSky(sky);
}

struct Day {
    HistoryRecorder recorder;
    int epochs = 0;
};

Day& RecordedDay() {
    static const std::unique_ptr<Day> day = [] {
        auto made = std::make_unique<Day>();
        made->recorder.SetReference(GeodeticPoint{47.3769, 8.5417, 408.0});
        for (; made->epochs < 86400 * kEpochsPerSecond; ++made->epochs) RecordEpoch(made->recorder, made->epochs);
        return made;
    }();
    return *day;
}

void Wheel(CHistoryStrips& strips, int notches) {
    QWheelEvent wheel(QPointF(800, 300), QPointF(800, 300), {}, QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&strips, &wheel);
}

// The strips at 1600 x 900 zoomed out with the wheel, as a user does: 25 notches show 22 hours
// (a pixel of ten-second summaries), 30 notches 67 hours, the whole day (a pixel of minutes).
struct DayInView {
    explicit DayInView(const benchmark::State& state) {
        strips.resize(1600, 900);
        Wheel(strips, -static_cast<int>(state.range(0)));
    }
    Day& day = RecordedDay();
    CHistoryStrips strips{day.recorder};
    QImage frame{strips.size(), QImage::Format_ARGB32_Premultiplied};
};

void PaintADay(benchmark::State& state) {
    DayInView view(state);
    for (auto _ : state) {
        view.strips.Refresh();
        view.strips.render(&view.frame);
    }
    state.counters["span_h"] = static_cast<double>(view.strips.Span()) / 3.6e6;
}
BENCHMARK(PaintADay)->Arg(25)->Arg(30)->Unit(benchmark::kMillisecond);

void ZoomADay(benchmark::State& state) {
    DayInView view(state);
    int notch = 1;
    for (auto _ : state) {
        Wheel(view.strips, notch);
        notch = -notch;
        view.strips.render(&view.frame);
    }
}
BENCHMARK(ZoomADay)->Arg(25)->Arg(30)->Unit(benchmark::kMillisecond);

// A refresh's epochs, arrived since the last frame, outside the time measured.
void RecordARefresh(benchmark::State& state, Day& day) {
    state.PauseTiming();
    for (int i = 0; i < kRefreshEpochs; ++i) RecordEpoch(day.recorder, day.epochs++);
    state.ResumeTiming();
}

// The last two add to the day. The read alone, as the window's timer does it once the newest
// epoch is a pixel column further on.
void ReadFollowingADay(benchmark::State& state) {
    DayInView view(state);
    for (auto _ : state) {
        RecordARefresh(state, view.day);
        view.strips.Refresh();
    }
}
BENCHMARK(ReadFollowingADay)->Arg(0)->Arg(25)->Unit(benchmark::kMicrosecond);

void FollowADay(benchmark::State& state) {
    DayInView view(state);
    for (auto _ : state) {
        RecordARefresh(state, view.day);
        view.strips.Refresh();
        view.strips.render(&view.frame);
    }
}
BENCHMARK(FollowADay)->Arg(0)->Arg(25)->Arg(30)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexa

int main(int argc, char** argv) { return vexa::bench::RunInApplication(argc, argv); }
