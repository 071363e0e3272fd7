// Arbitrary bytes through the sentence cutter, the NMEA sentence reader and the epoch builder. The
// same bytes fed whole, one byte at a time and in pieces of the input's choosing must give the
// same fixes and skies, and no fix may hold an impossible position.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "receiver/frames/frame_receiver.h"
#include "receiver/nmea/nmea_epoch_builder.h"
#include "receiver/nmea/nmea_sentence.h"

namespace {

class Digest : public vexa::FrameListener, public vexa::GnssListener {
public:
    void onFrame(std::span<std::uint8_t>) override {}
    void onSentence(std::span<const std::uint8_t> text) override {
        const auto parsed =
            vexa::ParseNmeaSentence(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
        mix(static_cast<std::uint64_t>(parsed.status));
        if (parsed.status == vexa::NmeaParseStatus::Parsed) builder.add(parsed.sentence);
    }
    void onFix(const vexa::GnssFix& fix) override {
        if (fix.hasPosition() && (std::fabs(*fix.latitude) > 90.0 || std::fabs(*fix.longitude) > 180.0)) {
            __builtin_trap();
        }
        mix(static_cast<std::uint64_t>(fix.mode));
        mixNumber(fix.latitude.value_or(999.0));
        mixNumber(fix.longitude.value_or(999.0));
        mix(static_cast<std::uint64_t>(fix.time ? fix.time->time_since_epoch().count() : -1));
        mix(fix.used.size());
        for (const auto& sigma : {fix.sigmaEast, fix.sigmaNorth, fix.sigmaUp}) {
            if (sigma && !(*sigma >= 0.0)) __builtin_trap();
            mixNumber(sigma.value_or(-1.0));
        }
    }
    void onSky(const vexa::GnssSky& sky) override {
        if (sky.satellites.size() > vexa::NmeaEpochBuilder::kMaxSatellites) __builtin_trap();
        mix(sky.satellites.size());
        for (const vexa::SkySatellite& satellite : sky.satellites) {
            mix(static_cast<std::uint64_t>(satellite.id.gnss) << 16 | satellite.id.svid);
            mix(satellite.used ? 1u : 0u);
            mixNumber(satellite.cn0.value_or(-1.0));
        }
    }

    vexa::NmeaEpochBuilder builder{*this};
    vexa::FrameReceiver receiver{*this};
    std::uint64_t value = 1469598103934665603ull;

private:
    void mixNumber(double number) { mix(static_cast<std::uint64_t>(std::llround(number * 1e6))); }
    void mix(std::uint64_t number) { value = (value ^ number) * 1099511628211ull; }
};

std::uint64_t Fed(std::span<const std::uint8_t> stream, const std::uint8_t* pieces, std::size_t pieceCount) {
    Digest digest;
    std::size_t offset = 0;
    for (std::size_t turn = 0; offset < stream.size(); ++turn) {
        const std::size_t piece =
            std::min<std::size_t>(pieceCount == 0 ? stream.size() : 1 + pieces[turn % pieceCount], stream.size() - offset);
        digest.receiver.feed(stream.subspan(offset, piece));
        offset += piece;
    }
    digest.builder.finish();
    return digest.value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::uint8_t pieces[3] = {data[0], data[1], data[2]};
    const std::uint8_t single = 0;
    const std::span<const std::uint8_t> stream(data + 3, size - 3);
    const std::uint64_t whole = Fed(stream, nullptr, 0);
    if (Fed(stream, &single, 1) != whole) __builtin_trap();
    if (Fed(stream, pieces, 3) != whole) __builtin_trap();
    return 0;
}
