#include "receiver/binary/message_ids.h"
#include "sim/command_payloads.h"

namespace vexa::sim {
namespace {

// Reads big-endian fields one after another; the caller has checked the length.
class BigEndianReader {
public:
    explicit BigEndianReader(std::span<const std::uint8_t> body) : body_(body) {}

    std::uint8_t u8() { return body_[at_++]; }
    std::uint16_t u16() {
        const std::uint16_t high = u8();
        return static_cast<std::uint16_t>(high << 8 | u8());
    }
    std::uint32_t u32() {
        const std::uint32_t high = u16();
        return high << 16 | u16();
    }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }

private:
    std::span<const std::uint8_t> body_;
    std::size_t at_ = 0;
};

// The body after the id, when the payload is the command `id` and `length` bytes long in all.
std::optional<BigEndianReader> Body(std::span<const std::uint8_t> payload, MessageId id, std::size_t length) {
    if (payload.size() != length || payload[0] != ToWire(id)) return std::nullopt;
    return BigEndianReader(payload.subspan(1));
}

}  // namespace

std::optional<ResetBlock> ReadResetCommand(std::span<const std::uint8_t> payload) {
    auto body = Body(payload, MessageId::Reset, 25);
    if (!body) return std::nullopt;
    ResetBlock block{};
    block.ecefX = body->i32();
    block.ecefY = body->i32();
    block.ecefZ = body->i32();
    block.clockDrift = body->i32();
    block.timeOfWeek = body->u32();
    block.week = body->u16();
    block.channelCount = body->u8();
    block.resetConfiguration = body->u8();
    return block;
}

std::optional<SwitchToNmeaBlock> ReadSwitchToNmeaCommand(std::span<const std::uint8_t> payload) {
    auto body = Body(payload, MessageId::SwitchToNmea, 24);
    if (!body) return std::nullopt;
    SwitchToNmeaBlock block{};
    block.mode = body->u8();
    for (auto& sentence : block.sentences) {
        sentence.rate = body->u8();
        sentence.checksum = body->u8();
    }
    block.baudRate = body->u16();
    return block;
}

std::optional<PollBlock> ReadPollCommand(std::span<const std::uint8_t> payload) {
    if (payload.size() != 2 || (payload[0] != ToWire(MessageId::SwVersionPoll) && payload[0] != ToWire(MessageId::ClockStatusPoll))) return std::nullopt;
    return PollBlock{payload[1]};
}

std::optional<ElevationMaskBlock> ReadElevationMaskCommand(std::span<const std::uint8_t> payload) {
    auto body = Body(payload, MessageId::ElevationMask, 5);
    if (!body) return std::nullopt;
    ElevationMaskBlock block{};
    block.tracking = body->i16();
    block.navigation = body->i16();
    return block;
}

std::optional<PowerModeBlock> ReadPowerModeCommand(std::span<const std::uint8_t> payload) {
    auto body = Body(payload, MessageId::PowerMode, 9);
    if (!body) return std::nullopt;
    PowerModeBlock block{};
    block.fixOnDemand = body->u16();
    block.dutyCycle = body->i16();
    block.onTimeMs = body->u32();
    return block;
}

std::optional<OutputRateBlock> ReadOutputRateCommand(std::span<const std::uint8_t> payload) {
    auto body = Body(payload, MessageId::OutputRate, 4);
    if (!body) return std::nullopt;
    OutputRateBlock block{};
    block.mode = body->u8();
    block.messageId = body->u8();
    block.rate = body->u8();
    return block;
}

std::optional<PowerTimingBlock> ReadPowerTimingCommand(std::span<const std::uint8_t> payload) {
    auto body = Body(payload, MessageId::PowerTiming, 15);
    if (!body) return std::nullopt;
    PowerTimingBlock block{};
    block.maxOffTimeMs = body->u32();
    block.maxSearchTimeMs = body->u32();
    block.fixOnDemandPeriodSeconds = body->u32();
    block.adaptive = body->u16();
    return block;
}

}  // namespace vexa::sim
