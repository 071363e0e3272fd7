// Speed of the aided position exchange: the request's compression and fragmentation, the answer's
// decompression, and the decoding of the server's aiding data.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "location/messages/air_message.h"
#include "location/messages/message_ai3.h"
#include "location/messages/run_length.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Orbit records vary byte by byte, as real ones do, so little of them compresses.
std::uint8_t noise(std::size_t i) { return static_cast<std::uint8_t>((i * 2654435761U) >> 13); }

void compressAndFragmentFullRequest(benchmark::State& state) {
    vexa::MessageAI3_PositionRequest request;
    request.setHeader(1, 0);
    for (std::size_t slot = 0; slot < vexa::kSatelliteSlots; ++slot) {
        request.orbitSlots()[slot].present = true;
        for (std::size_t i = 0; i < vexa::kOrbitRecordLength; ++i) request.orbitSlots()[slot].record[i] = noise(slot * 64 + i);
        request.orbitSlots()[slot].record[0] = static_cast<std::uint8_t>(slot);
    }
    for (auto _ : state) benchmark::DoNotOptimize(request.getBytes());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * vexa::MessageAI3_PositionRequest::kPayloadLength);
}
BENCHMARK(compressAndFragmentFullRequest);

void decompressAnswer(benchmark::State& state) {
    Bytes answer(vexa::MessageAI3_Response::kAnswerLength, 0);
    for (std::size_t i = 0; i < 120; ++i) answer[i] = noise(i);
    Bytes compressed;
    vexa::encodeRunLength(answer, compressed);
    Bytes decompressed;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vexa::decodeRunLength(compressed, decompressed, 4096));
        benchmark::DoNotOptimize(decompressed.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * vexa::MessageAI3_Response::kAnswerLength);
}
BENCHMARK(decompressAnswer);

void appendBlock(Bytes& out, std::uint16_t type, const Bytes& body) {
    const auto length = static_cast<std::uint32_t>(body.size());
    out.insert(out.end(), {static_cast<std::uint8_t>(type >> 8), static_cast<std::uint8_t>(type),
                           static_cast<std::uint8_t>(length >> 24), static_cast<std::uint8_t>(length >> 16),
                           static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    out.insert(out.end(), body.begin(), body.end());
}

void decodeAidingBlock(benchmark::State& state) {
    Bytes orbit{32};
    for (std::size_t record = 0; record < 32; ++record) {
        orbit.push_back(static_cast<std::uint8_t>(record));
        for (std::size_t i = 1; i < vexa::kOrbitRecordLength; ++i) orbit.push_back(noise(record * 64 + i));
    }
    orbit.insert(orbit.end(), 13, 0);
    Bytes data{3, 0};
    appendBlock(data, 1, orbit);
    appendBlock(data, 2, {1, 0x05, 0x39, 0x00, 0x01, 0x51, 0x80});
    appendBlock(data, 9, Bytes(4096 - data.size() - 6, 0x77));
    for (auto _ : state) {
        vexa::OrbitSlots slots{};
        vexa::AidingTime time;
        benchmark::DoNotOptimize(vexa::decodeAirMessage(data, slots, time));
        benchmark::DoNotOptimize(slots.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(data.size()));
}
BENCHMARK(decodeAidingBlock);

}  // namespace
