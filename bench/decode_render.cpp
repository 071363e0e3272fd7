// Decoding a second's worth of typical receiver output, and rendering the two busiest lines.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "receiver/binary/decoder.h"
#include "receiver/binary/message_writer.h"
#include "receiver/binary/records.h"
#include "receiver/binary/renderer.h"

namespace {

vexa::NavData SampleNav() {
    vexa::NavData nav{};
    nav.X = -2430112;
    nav.Y = -4703589;
    nav.Z = 3544287;
    nav.VX = -13;
    nav.VY = 27;
    nav.VZ = -4;
    nav.Mode1 = 4;
    nav.Hdop = 6;
    nav.Week = 1234;
    nav.Tow = 31522500;
    nav.SvCount = 8;
    const std::uint8_t prns[12] = {3, 6, 9, 14, 17, 19, 22, 28};
    std::memcpy(nav.SvPrn, prns, sizeof prns);
    return nav;
}

vexa::TrackData SampleTrack() {
    vexa::TrackData track{};
    track.Week = 1234;
    track.Tow = 31522500;
    track.ChannelCount = 12;
    for (std::size_t c = 0; c < vexa::kTrackChannels; ++c) {
        vexa::TrackChannel& channel = track.Channels[c];
        channel.Prn = static_cast<std::uint8_t>(c * 2 + 3);
        channel.Azimuth = static_cast<std::uint8_t>(c * 20);
        channel.Elevation = static_cast<std::uint8_t>(20 + c * 10);
        channel.State = 0xBF;
        for (auto& cn0 : channel.Cn0) cn0 = static_cast<std::uint8_t>(30 + c);
    }
    return track;
}

std::vector<std::vector<std::uint8_t>> OneSecondOfOutput() {
    vexa::VisibleList visible{};
    visible.Count = 12;
    for (std::size_t i = 0; i < 12; ++i) visible.Satellites[i] = {static_cast<std::uint8_t>(i + 1), 90, 45};
    vexa::TtffReport ttff{};
    ttff.SubId = vexa::kTtffSubId;
    ttff.TimeToFirstFix = 345;
    return {
        vexa::MessagePayload(SampleNav()),
        vexa::MessagePayload(SampleTrack()),
        vexa::MessagePayload(vexa::ClockStatus{1234, 31522500, 8, 96250, 101000, 315225}),
        vexa::MessagePayload(vexa::Throughput{12, 5, 3, 40}),
        vexa::MessagePayload(visible),
        vexa::MessagePayload(vexa::GeoNavData{}),
        vexa::MessagePayload(ttff),
        vexa::TextPayload(255, "Track state: 12 channels, 8 in solution, clock drift 96250 Hz"),
        vexa::TextPayload(255, "Nav: 4 SVs above mask, KF converged, DOP ok"),
        vexa::TextPayload(255, "Ephemeris collected for SV 17"),
    };
}

void DecodeMix(benchmark::State& state) {
    const auto payloads = OneSecondOfOutput();
    std::size_t bytes = 0;
    for (const auto& payload : payloads) bytes += payload.size();
    vexa::RecordBuffer record;
    vexa::ReceiverContext context;
    for (auto _ : state) {
        for (const auto& payload : payloads) {
            benchmark::DoNotOptimize(vexa::DecodeMessage(payload, record, context));
            benchmark::ClobberMemory();
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(DecodeMix);

template <class Record>
void RenderRecord(benchmark::State& state, int id, const Record& record) {
    char line[vexa::kRenderBufferSize];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            vexa::RenderMessage(id, reinterpret_cast<const std::uint8_t*>(&record), sizeof record, line));
        benchmark::ClobberMemory();
    }
}

void RenderNavigation(benchmark::State& state) { RenderRecord(state, 2, SampleNav()); }
BENCHMARK(RenderNavigation);

void RenderTracker(benchmark::State& state) { RenderRecord(state, 4, SampleTrack()); }
BENCHMARK(RenderTracker);

}  // namespace
