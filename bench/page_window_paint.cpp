// Full repaints of the pages shown scaled to a 1920 x 1080 window, one page alone and all six at
// once, how many pages repaint when only the sky's data changes, and the pages showing a 20 Hz
// receiver's states as the program does, ten times a second.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "page_bench_support.h"
#include "receiver/product/receiver_context.h"
#include "sim/sky.h"
#include "uicore/display_preferences.h"
#include "link/model/link_update.h"
#include "views/graphic/radar_view.h"
#include "views/graphic/view_sct.h"
#include "views/graphic/view_sky.h"
#include "views/nav_msg_view.h"
#include "views/scaled_view.h"
#include "views/signal_view.h"
#include "views/tab_view.h"

namespace vexa {
namespace {

using bench::NoPrompts;
using bench::NoStore;

// Forty satellites of four systems around the sky, a third of them used.
ModelSnapshot CrowdedSky() {
    ModelSnapshot snapshot;
    snapshot.sky = GnssSky{};
    const GnssId systems[] = {GnssId::Gps, GnssId::Glonass, GnssId::Galileo, GnssId::BeiDou};
    for (int i = 0; i < 40; ++i) {
        SkySatellite satellite;
        satellite.id = {systems[i % 4], static_cast<std::uint16_t>(1 + i)};
        satellite.elevation = 5.0 + (i * 37) % 85;
        satellite.azimuth = (i * 53) % 360;
        satellite.cn0 = 25.0 + i % 25;
        satellite.used = i % 3 == 0;
        snapshot.sky->satellites.push_back(satellite);
    }
    snapshot.fix = GnssFix{};
    return snapshot;
}

// The four drawn pages under a tab host, shown scaled in a 1920 x 1080 view.
struct Window {
    Window() {
        context.LinkProtocol = kNmeaProtocol;
        host = new CTabView;
        host->setFixedSize(240, 268);
        position = new CNavMsgView(context, read, preferences);
        signal = new CSignalView(context, read);
        sky = new CViewSky(read);
        plot = new CViewSct(preferences, readFix);
        for (QWidget* page : std::initializer_list<QWidget*>{position, signal, sky, plot}) host->AddView(QStringLiteral("Page"), page);
        position->OnInitialUpdate();
        signal->OnInitialUpdate();
        sky->OnInitialUpdate();
        plot->OnInitialUpdate();
        for (const LinkUpdate& hint : {LinkUpdate{FixUpdated{}}, LinkUpdate{SkyUpdated{}}}) {
            position->OnUpdate(hint);
            signal->OnUpdate(hint);
            sky->OnUpdate(hint);
            plot->OnUpdate(hint);
        }
        view = std::make_unique<ScaledView>(host);
        view->resize(1920, 1080);
    }

    ReceiverContext context;
    AppSettings settings;
    NoStore store;
    NoPrompts prompts;
    DisplayPreferences preferences{settings, store, prompts};
    ModelSnapshot snapshot = CrowdedSky();
    ModelReader read = [this] { return snapshot; };
    std::optional<GeodeticFix> fix = GeodeticFix{37.3875, -121.972, 20.0};
    GeodeticFixReader readFix = [this] { return fix; };
    CTabView* host;
    CNavMsgView* position;
    CSignalView* signal;
    CViewSky* sky;
    CViewSct* plot;
    std::unique_ptr<ScaledView> view;
};

void RepaintLoop(benchmark::State& state, Window& window) {
    QImage image(window.view->size(), QImage::Format_RGB32);
    // The widget's own render (the view's hides it), the way the window paints the view.
    QWidget& widget = *window.view;
    for (auto _ : state) {
        widget.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// One page alone at 1920 x 1080: 0 Position, 1 Signal, 2 Sky, 3 Plot.
void BM_PageAt1920x1080(benchmark::State& state) {
    Window window;
    window.host->SelectTab(static_cast<int>(state.range(0)));
    RepaintLoop(state, window);
}

void BM_AllPagesAt1920x1080(benchmark::State& state) {
    Window window;
    window.host->ShowAll(2);
    RepaintLoop(state, window);
}

// Counts the paints a page receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// All pages shown in a window; only the sky's data changes: the pages that show no sky repaint not.
void BM_PagesRepaintedWhenOnlyTheSkyChanges(benchmark::State& state) {
    Window window;
    window.host->ShowAll(2);
    window.view->show();
    QCoreApplication::processEvents();
    PaintCounter position, plot;
    window.position->installEventFilter(&position);
    window.plot->installEventFilter(&plot);
    for (auto _ : state) {
        window.sky->OnUpdate(SkyUpdated{});
        window.signal->OnUpdate(SkyUpdated{});
        window.position->OnUpdate(SkyUpdated{});
        window.plot->OnUpdate(SkyUpdated{});
        QCoreApplication::processEvents();
    }
    state.counters["position_paints"] = position.paints;
    state.counters["plot_paints"] = plot.paints;
}

// What a receiver of four systems reports over `showings` tenths of a second, NMEA-rounded: the
// simulator's drifting sky, C/N0 following the elevation with a little noise, the twelve highest
// used, and a fix wandering by a few centimetres.
std::vector<ModelSnapshot> FourSystemStates(int showings) {
    const sim::Constellation systems[] = {sim::Constellation::Gps, sim::Constellation::Glonass,
                                          sim::Constellation::Galileo, sim::Constellation::BeiDou};
    const GnssId ids[] = {GnssId::Gps, GnssId::Glonass, GnssId::Galileo, GnssId::BeiDou};
    std::mt19937 noise(7);
    std::uniform_int_distribution<int> jitter(-1, 1);
    std::vector<ModelSnapshot> states;
    for (int showing = 0; showing < showings; ++showing) {
        const double seconds = 600 + showing * 0.1;
        ModelSnapshot state;
        state.sky = GnssSky{};
        for (std::size_t s = 0; s < std::size(systems); ++s) {
            for (const sim::SatelliteInView& inView : sim::Sky(11, systems[s]).at(seconds)) {
                SkySatellite satellite;
                satellite.id = {ids[s], static_cast<std::uint16_t>(inView.number)};
                satellite.elevation = std::round(inView.elevationDeg);
                satellite.azimuth = std::fmod(std::round(inView.azimuthDeg), 360.0);
                satellite.cn0 = std::round(sim::CarrierToNoiseAt(inView.elevationDeg)) + jitter(noise);
                satellite.used = *satellite.elevation > 30;
                state.sky->satellites.push_back(satellite);
            }
        }
        GnssFix fix;
        fix.mode = FixMode::ThreeD;
        fix.quality = FixQuality::Standard;
        fix.latitude = 37.3875 + jitter(noise) * 1e-7;
        fix.longitude = -121.972 + jitter(noise) * 1e-7;
        fix.altitudeMsl = 20.0 + jitter(noise) * 0.1;
        fix.speed = 0.1;
        fix.track = 90.0;
        fix.hdop = 0.8;
        for (const SkySatellite& satellite : state.sky->satellites)
            if (satellite.used) fix.used.push_back(satellite.id);
        fix.satellitesUsed = static_cast<int>(fix.used.size());
        state.fix = fix;
        states.push_back(state);
    }
    return states;
}

// All pages shown side by side in a 1920 x 1080 window, each showing a 20 Hz receiver's next state
// as the program hands it on, ten times a second: the pages' update work and the repaints it causes.
void BM_AllPagesShowA20HzStream(benchmark::State& state) {
    Window window;
    window.host->ShowAll(2);
    window.view->show();
    QCoreApplication::processEvents();
    const std::vector<ModelSnapshot> states = FourSystemStates(600);
    PaintCounter widgets, skyPlot;
    for (QWidget* widget : window.host->findChildren<QWidget*>()) widget->installEventFilter(&widgets);
    window.sky->Plot()->installEventFilter(&skyPlot);
    std::size_t next = 0;
    for (auto _ : state) {
        window.snapshot = states[next++ % states.size()];
        for (const LinkUpdate& update : {LinkUpdate{MessageDelivered{MessageId::DevelopmentText}}, LinkUpdate{FixUpdated{}},
                                         LinkUpdate{SkyUpdated{}}}) {
            window.position->OnUpdate(update);
            window.signal->OnUpdate(update);
            window.sky->OnUpdate(update);
            window.plot->OnUpdate(update);
        }
        QCoreApplication::processEvents();
    }
    state.counters["widget_paints"] = benchmark::Counter(widgets.paints, benchmark::Counter::kAvgIterations);
    state.counters["sky_plot_paints"] = benchmark::Counter(skyPlot.paints, benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_PageAt1920x1080)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllPagesAt1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PagesRepaintedWhenOnlyTheSkyChanges)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllPagesShowA20HzStream)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vexa

int main(int argc, char** argv) { return vexa::bench::RunInApplication(argc, argv); }
