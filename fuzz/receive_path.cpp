// Arbitrary bytes in arbitrary pieces through the receive state machine, the frame dispatch of
// one product, the decoder and the renderer. The same bytes fed whole must give the same messages.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "receiver/binary/frame_dispatch.h"
#include "receiver/frames/frame_receiver.h"
#include "receiver/binary/renderer.h"

namespace {

// Renders every message and keeps a digest of what arrived, in order.
class DigestSink : public vexa::MessageSink, public vexa::LocationClientLink {
public:
    void deliver(int id, const std::uint8_t* record, std::size_t length) override {
        if (length > vexa::RecordBuffer::kSize) __builtin_trap();
        char line[vexa::kRenderBufferSize];
        if (vexa::RenderMessage(id, record, length, line) == vexa::kResultOk && std::memchr(line, 0, sizeof line) == nullptr) {
            __builtin_trap();
        }
        add(static_cast<std::uint64_t>(id), record, length);
    }
    void postExternalSerial(const std::uint8_t* bytes, std::size_t length) override {
        if (bytes[0] != 0x01 && bytes[0] != 0x02) __builtin_trap();
        add(1000, bytes, length);
    }

    std::uint64_t digest = 1469598103934665603ull;

private:
    void add(std::uint64_t tag, const std::uint8_t* bytes, std::size_t length) {
        mix(tag);
        mix(length);
        for (std::size_t i = 0; i < length; ++i) mix(bytes[i]);
    }
    void mix(std::uint64_t value) { digest = (digest ^ value) * 1099511628211ull; }
};

struct Run {
    explicit Run(int product) { context.ProductSelection = product; }
    vexa::ReceiverContext context;
    DigestSink sink;
    vexa::FrameDispatch dispatch{context, sink, sink};
    vexa::FrameReceiver receiver{dispatch};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const int product = data[0] % 5;
    const std::uint8_t pieces[3] = {data[1], data[2], data[3]};
    const std::span<const std::uint8_t> stream(data + 4, size - 4);

    Run chunked(product);
    std::size_t offset = 0;
    for (std::size_t turn = 0; offset < stream.size(); ++turn) {
        const std::size_t piece = std::min<std::size_t>(1 + pieces[turn % 3], stream.size() - offset);
        chunked.receiver.feed(stream.subspan(offset, piece));
        offset += piece;
    }

    Run whole(product);
    whole.receiver.feed(stream);
    if (whole.sink.digest != chunked.sink.digest) __builtin_trap();
    if (whole.receiver.statistics().bytes != stream.size()) __builtin_trap();
    return 0;
}
