// The receive path and the rendering over a long capture: the sample capture made 65,000 seconds
// long (about 36 MB, the bytes `vexa-make-sample FILE --seconds 65000` writes).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/result_codes.h"
#include "receiver/binary/frame_dispatch.h"
#include "receiver/frames/frame_receiver.h"
#include "receiver/binary/renderer.h"
#include "sim/sample_capture.h"

namespace vexa {
namespace {

constexpr int kLongCaptureSeconds = 65000;

const std::vector<std::uint8_t>& LongCapture() {
    static const std::vector<std::uint8_t> capture = MakeSampleCapture(nullptr, kLongCaptureSeconds);
    return capture;
}

class CountingSink : public MessageSink {
public:
    void deliver(int id, const std::uint8_t*, std::size_t length) override { total += id + length; }
    std::size_t total = 0;
};

struct DeliveredMessage {
    int id;
    std::vector<std::uint8_t> record;
};

// Every message of the capture as the frame dispatch delivers it.
class CollectingSink : public MessageSink {
public:
    void deliver(int id, const std::uint8_t* record, std::size_t length) override {
        messages.push_back({id, std::vector<std::uint8_t>(record, record + length)});
    }
    std::vector<DeliveredMessage> messages;
};

template <class Sink>
void Feed(Sink& sink, const std::vector<std::uint8_t>& capture) {
    ReceiverContext context;
    LocationClientLink noLocationClient;
    FrameDispatch dispatch(context, sink, noLocationClient);
    FrameReceiver receiver(dispatch);
    receiver.feed(capture);
}

// Frames cut, checked and decoded; sentences cut. Nothing rendered.
void BM_LongCaptureReceivePath(benchmark::State& state) {
    const std::vector<std::uint8_t>& capture = LongCapture();
    for (auto _ : state) {
        CountingSink sink;
        Feed(sink, capture);
        benchmark::DoNotOptimize(sink.total);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * capture.size()));
}
BENCHMARK(BM_LongCaptureReceivePath)->Unit(benchmark::kMillisecond);

// The message lines alone, from records already decoded: items are lines.
void BM_LongCaptureRendering(benchmark::State& state) {
    CollectingSink collected;
    Feed(collected, MakeSampleCapture(nullptr, kLongCaptureSeconds / 10));
    char line[kRenderBufferSize];
    std::int64_t lines = 0;
    for (auto _ : state) {
        for (const DeliveredMessage& message : collected.messages) {
            if (RenderMessage(message.id, message.record.data(), message.record.size(), line) == kResultOk) ++lines;
            benchmark::DoNotOptimize(line);
        }
    }
    state.SetItemsProcessed(lines);
}
BENCHMARK(BM_LongCaptureRendering)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexa
