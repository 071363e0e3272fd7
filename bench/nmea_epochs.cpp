// The NMEA path alone: sentence reading, and cutting plus reading plus epoch building, over a
// generated multi-constellation stream. Reports the allocations per sentence, which must stay 0.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "receiver/frames/frame_receiver.h"
#include "receiver/nmea/nmea_epoch_builder.h"
#include "receiver/nmea/nmea_sentence.h"

// g++ takes the replaced operator delete's free() for a mismatch with operator new; both are ours.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

std::atomic<std::uint64_t> allocations{0};

}  // namespace

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace vexa {
namespace {

std::string Sentence(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "*%02X\r\n", sum);
    return "$" + body + checksum;
}

// An hour of a receiver tracking GPS, GLONASS, Galileo and BeiDou, one epoch a second.
std::string Stream() {
    std::string stream;
    for (int second = 0; second < 3600; ++second) {
        char time[16];
        std::snprintf(time, sizeof time, "%02d%02d%02d.00", 10, second / 60, second % 60);
        char position[64];
        std::snprintf(position, sizeof position, "5230.%04d,N,01322.%04d,E", second % 10000, (second * 7) % 10000);
        const std::string t = time;
        const std::string p = position;
        stream += Sentence("GNRMC," + t + ",A," + p + ",10.0,90.0,140325,,,A,V");
        stream += Sentence("GNVTG,90.0,T,,M,10.0,N,18.5,K,A");
        stream += Sentence("GNGGA," + t + "," + p + ",1,14,0.8,35.0,M,40.0,M,,");
        stream += Sentence("GNGSA,A,3,02,05,12,15,18,,,,,,,,1.5,0.8,1.2,1");
        stream += Sentence("GNGSA,A,3,70,75,78,,,,,,,,,,1.5,0.8,1.2,2");
        stream += Sentence("GNGSA,A,3,04,11,19,,,,,,,,,,1.5,0.8,1.2,3");
        stream += Sentence("GNGSA,A,3,21,23,26,,,,,,,,,,1.5,0.8,1.2,4");
        stream += Sentence("GPGSV,2,1,07,02,45,100,40,05,30,200,38,12,60,300,44,15,10,050,20,1");
        stream += Sentence("GPGSV,2,2,07,18,20,150,30,24,05,010,,46,30,190,33,1");
        stream += Sentence("GLGSV,1,1,04,70,50,010,39,75,25,110,35,78,40,210,31,80,05,210,,1");
        stream += Sentence("GAGSV,1,1,04,04,40,040,41,11,35,140,37,19,70,240,44,27,10,340,,7");
        stream += Sentence("GBGSV,1,1,04,21,55,250,42,23,15,330,28,26,45,030,40,30,05,120,,1");
    }
    return stream;
}

std::vector<std::string_view> Lines(const std::string& stream) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = stream.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.emplace_back(stream.data() + start, end - start + 1);
    }
    return lines;
}

void BM_NmeaReadSentences(benchmark::State& state) {
    const std::string stream = Stream();
    const std::vector<std::string_view> lines = Lines(stream);
    std::uint64_t before = 0;
    std::uint64_t parsed = 0;
    for (auto _ : state) {
        before = allocations.load();
        for (std::string_view line : lines) {
            const NmeaParseResult result = ParseNmeaSentence(line);
            parsed += result.status == NmeaParseStatus::Parsed;
            benchmark::DoNotOptimize(result);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
    state.counters["allocations_per_sentence"] =
        static_cast<double>(allocations.load() - before) / static_cast<double>(lines.size());
    benchmark::DoNotOptimize(parsed);
}
BENCHMARK(BM_NmeaReadSentences);

struct EpochCounter : FrameListener, GnssListener {
    void onFrame(std::span<std::uint8_t>) override {}
    void onSentence(std::span<const std::uint8_t> text) override {
        const NmeaParseResult result =
            ParseNmeaSentence(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
        if (result.status == NmeaParseStatus::Parsed) builder.add(result.sentence);
    }
    void onFix(const GnssFix& fix) override { fixes += fix.hasPosition(); }
    void onSky(const GnssSky& sky) override { satellites += sky.satellites.size(); }

    NmeaEpochBuilder builder{*this};
    std::uint64_t fixes = 0;
    std::uint64_t satellites = 0;
};

void BM_NmeaCutReadAndBuildEpochs(benchmark::State& state) {
    const std::string stream = Stream();
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size());
    const double sentences = static_cast<double>(Lines(stream).size());
    EpochCounter counter;
    FrameReceiver receiver(counter);
    receiver.feed(bytes);  // the first epochs size the builder's storage
    const std::uint64_t before = allocations.load();
    for (auto _ : state) {
        receiver.feed(bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
    const double allocated = static_cast<double>(allocations.load() - before);
    state.counters["allocations_per_sentence"] = allocated / (static_cast<double>(state.iterations()) * sentences);
    state.counters["fixes"] = static_cast<double>(counter.fixes);
}
BENCHMARK(BM_NmeaCutReadAndBuildEpochs);

}  // namespace
}  // namespace vexa
