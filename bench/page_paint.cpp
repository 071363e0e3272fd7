// Paint times of the Position, Signal, Sky and Plot pages with a full sky of twelve satellites,
// rendered into an image at device scale 1 and 3.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <memory>

#include "page_bench_support.h"
#include "receiver/product/receiver_context.h"
#include "uicore/display_preferences.h"
#include "views/graphic/view_sct.h"
#include "views/graphic/view_sky.h"
#include "views/nav_msg_view.h"
#include "views/signal_view.h"

namespace vexa {
namespace {

using bench::NoPrompts;
using bench::NoStore;

// Twelve satellites around the sky, eight of them in a 3D fix, near 37.39 N 121.97 W.
ModelSnapshot FullSky() {
    ModelSnapshot snapshot{NavData{}, TrackData{}};
    NavData& nav = *snapshot.nav;
    nav.X = -2694000;
    nav.Y = -4297000;
    nav.Z = 3854000;
    nav.VX = 20;
    nav.Mode1 = 0x84;
    nav.Hdop = 6;
    nav.SvCount = 8;
    for (std::size_t i = 0; i < kTrackChannels; ++i) {
        TrackChannel& channel = snapshot.track->Channels[i];
        channel.Prn = static_cast<std::uint8_t>(i < 11 ? 2 + 3 * i : 122);
        channel.Azimuth = static_cast<std::uint8_t>(i * 20);
        channel.Elevation = static_cast<std::uint8_t>(10 + i * 14);
        channel.State = 0x3F;
        for (std::uint8_t& sample : channel.Cn0) sample = static_cast<std::uint8_t>(30 + i);
        if (i < 8) nav.SvPrn[i] = channel.Prn;
    }
    return snapshot;
}

struct Fixture {
    Fixture() { context.LinkProtocol = kBinaryProtocol; }
    ReceiverContext context;
    AppSettings settings;
    NoStore store;
    NoPrompts prompts;
    DisplayPreferences preferences{settings, store, prompts};
    ModelSnapshot snapshot = FullSky();
    ModelReader read = [this] { return snapshot; };
    std::optional<GeodeticFix> fix = GeodeticFix{37.3875, -121.972, 20.0};
    GeodeticFixReader readFix = [this] { return fix; };
};

void PaintLoop(benchmark::State& state, QWidget& page) {
    const int scale = static_cast<int>(state.range(0));
    page.resize(238, 250);
    QImage image(page.size() * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    for (auto _ : state) {
        page.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PositionPage(benchmark::State& state) {
    Fixture fixture;
    CNavMsgView page(fixture.context, fixture.read, fixture.preferences);
    page.OnInitialUpdate();
    page.OnUpdate(MessageDelivered{MessageId::NavData});
    PaintLoop(state, page);
}

void BM_SignalPage(benchmark::State& state) {
    Fixture fixture;
    CSignalView page(fixture.context, fixture.read);
    page.OnInitialUpdate();
    page.OnUpdate(MessageDelivered{MessageId::NavData});
    PaintLoop(state, page);
}

void BM_SkyPage(benchmark::State& state) {
    Fixture fixture;
    CViewSky page(fixture.read);
    page.OnInitialUpdate();
    PaintLoop(state, page);
}

void BM_PlotPage(benchmark::State& state) {
    Fixture fixture;
    CViewSct page(fixture.preferences, fixture.readFix);
    page.OnInitialUpdate();
    for (int i = 0; i < 8; ++i) {
        fixture.fix->latitude += 0.00003;
        page.OnUpdate(MessageDelivered{MessageId::NavData});
    }
    PaintLoop(state, page);
}

BENCHMARK(BM_PositionPage)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SignalPage)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SkyPage)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlotPage)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vexa

int main(int argc, char** argv) { return vexa::bench::RunInApplication(argc, argv); }
