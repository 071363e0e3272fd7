// The frame machine alone: frames and sentences cut and checked, nothing decoded.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "receiver/frames/frame_receiver.h"

namespace vexa {
namespace {

// The sample capture repeated to about a megabyte, so one pass is long against the loop.
std::vector<std::uint8_t> BinaryStream() {
    std::ifstream in(VEXA_SOURCE_DIR "/res/samples/demo.bin", std::ios::binary);
    const std::vector<std::uint8_t> capture((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::uint8_t> stream;
    while (!capture.empty() && stream.size() < (1u << 20)) stream.insert(stream.end(), capture.begin(), capture.end());
    return stream;
}

// Ten minutes of sentences from a receiver tracking two constellations.
std::vector<std::uint8_t> SentenceStream() {
    std::string stream;
    for (int second = 0; second < 600; ++second) {
        char line[128];
        std::snprintf(line, sizeof line, "$GNGGA,10%02d%02d.00,5230.%04d,N,01322.%04d,E,1,14,0.8,35.0,M,40.0,M,,*5A\r\n",
                      second / 60, second % 60, second, second * 7 % 10000);
        stream += line;
        stream += "$GNRMC,101500.00,A,5230.0000,N,01322.0000,E,10.0,90.0,140325,,,A,V*3B\r\n";
        for (int page = 1; page <= 4; ++page) {
            std::snprintf(line, sizeof line, "$GPGSV,4,%d,14,02,45,120,40,05,30,210,38,12,60,300,44,15,10,040,30,1*6C\r\n",
                          page);
            stream += line;
        }
    }
    return {stream.begin(), stream.end()};
}

class Counter : public FrameListener {
public:
    void onFrame(std::span<std::uint8_t> payload) override { total += payload.size(); }
    void onSentence(std::span<const std::uint8_t> text) override { total += text.size(); }
    std::size_t total = 0;
};

void Cut(benchmark::State& state, const std::vector<std::uint8_t>& stream) {
    if (stream.empty()) {
        state.SkipWithError("res/samples/demo.bin not found");
        return;
    }
    Counter counter;
    FrameReceiver receiver(counter);
    for (auto _ : state) {
        receiver.feed(stream);
        benchmark::DoNotOptimize(counter.total);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
}

void BM_CutFrames(benchmark::State& state) { Cut(state, BinaryStream()); }
BENCHMARK(BM_CutFrames);

void BM_CutSentences(benchmark::State& state) { Cut(state, SentenceStream()); }
BENCHMARK(BM_CutSentences);

}  // namespace
}  // namespace vexa
