// Full repaints of the pages shown scaled to a 1920 x 1080 window, one page alone and all six at
// once, and how many pages repaint when only the sky's data changes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <memory>

#include "page_bench_support.h"
#include "receiver/product/receiver_context.h"
#include "uicore/display_preferences.h"
#include "link/model/link_update.h"
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

BENCHMARK(BM_PageAt1920x1080)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllPagesAt1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PagesRepaintedWhenOnlyTheSkyChanges)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexa

int main(int argc, char** argv) { return vexa::bench::RunInApplication(argc, argv); }
