#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "receiver/binary/coordinate_conversion.h"
#include "receiver/binary/frame_dispatch.h"
#include "receiver/frames/frame_receiver.h"
#include "receiver/binary/renderer.h"

namespace vexa {
namespace {

std::vector<std::uint8_t> SampleCapture() {
    std::ifstream in(VEXA_SOURCE_DIR "/res/samples/demo.bin", std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

class CountingSink : public MessageSink {
public:
    void deliver(int id, const std::uint8_t*, std::size_t length) override { total += id + length; }
    std::size_t total = 0;
};

class RenderingSink : public MessageSink {
public:
    void deliver(int id, const std::uint8_t* record, std::size_t length) override {
        // An id without a rendering leaves the line as it was; the time is what is measured.
        (void)RenderMessage(id, record, length, line);
        benchmark::DoNotOptimize(line);
    }
    char line[kRenderBufferSize];
};

template <class Sink>
void ReceivePath(benchmark::State& state) {
    const std::vector<std::uint8_t> capture = SampleCapture();
    if (capture.empty()) {
        state.SkipWithError("res/samples/demo.bin not found");
        return;
    }
    ReceiverContext context;
    Sink sink;
    LocationClientLink noLocationClient;
    FrameDispatch dispatch(context, sink, noLocationClient);
    FrameReceiver receiver(dispatch);
    for (auto _ : state) {
        receiver.feed(capture);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * capture.size()));
}

// State machine, dispatch and decoding.
void BM_ReceiveAndDecode(benchmark::State& state) { ReceivePath<CountingSink>(state); }
BENCHMARK(BM_ReceiveAndDecode);

// The same, with every message rendered as the data log and the offline decoder do.
void BM_ReceiveDecodeAndRender(benchmark::State& state) { ReceivePath<RenderingSink>(state); }
BENCHMARK(BM_ReceiveDecodeAndRender);

void BM_NavToGeodetic(benchmark::State& state) {
    NavData nav{};
    nav.X = -2694045;
    nav.Y = -4297222;
    nav.Z = 3854241;
    nav.VX = 12;
    nav.VY = -40;
    nav.VZ = 7;
    double latitude, longitude, altitude, speed, heading;
    for (auto _ : state) {
        benchmark::DoNotOptimize(nav);
        NavToGeodetic(nav, &latitude, &longitude, &altitude, &speed, &heading);
        benchmark::DoNotOptimize(latitude);
        benchmark::DoNotOptimize(longitude);
        benchmark::DoNotOptimize(altitude);
        benchmark::DoNotOptimize(speed);
        benchmark::DoNotOptimize(heading);
    }
}
BENCHMARK(BM_NavToGeodetic);

}  // namespace
}  // namespace vexa
