// The History window's frame with a day at 20 epochs a second and 80 satellites: reading the
// columns per pixel and painting every strip, 1600 x 900 pixels, the whole day in view.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QWheelEvent>
#include <cmath>
#include <memory>

#include "history/history_recorder.h"
#include "views/history/history_strips.h"

namespace vexa {
namespace {

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "bench_page_history";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QApplication>(argc, argv);
    }();
}

// A day told to the recorder as a link tells it: a fix, then its sky of 80 satellites.
const HistoryRecorder& RecordedDay() {
    static const std::unique_ptr<HistoryRecorder> recorder = [] {
        auto made = std::make_unique<HistoryRecorder>();
        made->SetReference(GeodeticPoint{47.3769, 8.5417, 408.0});
        static constexpr std::array kSystems = {GnssId::Gps, GnssId::Galileo, GnssId::BeiDou, GnssId::Glonass};
        const UtcTime start = std::chrono::sys_days{std::chrono::year{2026} / 6 / 1};
        GnssFix fix;
        fix.mode = FixMode::ThreeD;
        fix.quality = FixQuality::Standard;
        fix.hdop = 0.8;
        fix.vdop = 1.3;
        fix.pdop = 1.5;
        GnssSky sky;
        sky.satellites.resize(80);
        for (int epoch = 0; epoch < 86400 * 20; ++epoch) {
            fix.time = start + std::chrono::milliseconds(epoch * 50LL);
            fix.latitude = 47.3769 + 1e-6 * std::sin(epoch / 900.0);
            fix.longitude = 8.5417;
            fix.altitudeHae = 408.0 + std::cos(epoch / 700.0);
            sky.time = fix.time;
            for (int i = 0; i < 80; ++i) {
                SkySatellite& satellite = sky.satellites[static_cast<std::size_t>(i)];
                satellite.id = {kSystems[static_cast<std::size_t>(i % 4)], static_cast<std::uint16_t>(1 + i / 4)};
                satellite.azimuth = i * 4.5;
                satellite.elevation = 10.0 + i % 70;
                satellite.cn0 = 35.0 + 12.0 * std::sin(epoch / 30000.0 + i);
                satellite.used = (epoch / 20000 + i) % 3 != 0;
            }
            made->onFix(fix);
            made->onSky(sky);
        }
        return made;
    }();
    return *recorder;
}

void PaintADay(benchmark::State& state) {
    EnsureApplication();
    CHistoryStrips strips(RecordedDay());
    strips.resize(1600, 900);
    // Zoomed out to the whole day with the wheel, as a user does.
    QWheelEvent wheel(QPointF(800, 300), QPointF(800, 300), {}, QPoint(0, -120 * 30), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&strips, &wheel);
    QImage frame(strips.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        strips.Refresh();
        strips.render(&frame);
    }
    state.counters["span_h"] = static_cast<double>(strips.Span()) / 3.6e6;
}
BENCHMARK(PaintADay)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexa
