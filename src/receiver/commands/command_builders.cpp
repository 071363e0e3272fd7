#include "receiver/commands/command_builders.h"

#include <algorithm>
#include <cstdio>

#include "receiver/commands/command_blocks.h"
#include "receiver/nmea/nmea_checksum.h"
#include "receiver/product/product_table.h"

namespace vexa {
namespace {

std::uint8_t ResetConfiguration(ResetKind kind) {
    switch (kind) {
    case ResetKind::Hot:
        return 0x00;
    case ResetKind::Warm:
        return 0x02;
    case ResetKind::Cold:
        return 0x06;
    case ResetKind::Factory:
        return 0x08;
    }
    return 0x00;
}

// A toggle counter above its threshold means the output has been arriving: switch it off.
// Gives the rate to send.
std::uint8_t Toggle(std::atomic<int>& counter, int threshold) {
    if (counter.load() > threshold) {
        counter.store(0);
        return 0;
    }
    if (counter.load() < threshold) counter.store(threshold);
    return 1;
}

CommandMessage OutputRate(MessageId messageId, std::uint8_t rate) {
    return CommandMessage::Of(MessageId::OutputRate, OutputRateBlock{0, ToWire(messageId), rate});
}

bool IsValidMask(double degrees) { return degrees >= kMinElevationMask && degrees <= kMaxElevationMask; }

}  // namespace

CommandMessage ResetCommand(ResetKind kind, ReceiverContext& context) {
    ResetBlock block{};
    block.resetConfiguration = ResetConfiguration(kind);
    if (const ProductTraits* product = SupportedProduct(context.ProductSelection.load())) {
        block.resetConfiguration |= product->resetConfigurationFlag;
    }
    context.Ttff.set("");
    context.DebugToggleCount.store(0);
    context.NavLibToggleCount.store(0);
    context.NmeaChannelCount.store(0);
    return CommandMessage::Of(MessageId::Reset, block);
}

CommandMessage DebugOutputToggle(ReceiverContext& context) {
    return OutputRate(MessageId::DevelopmentText, Toggle(context.DebugToggleCount, kDebugToggleThreshold));
}

std::array<CommandMessage, 4> NavLibOutputToggle(ReceiverContext& context) {
    const std::uint8_t rate = Toggle(context.NavLibToggleCount, kNavLibToggleThreshold);
    return {OutputRate(kNavLibIds[0], rate), OutputRate(kNavLibIds[1], rate), OutputRate(kNavLibIds[2], rate),
            OutputRate(kNavLibIds[3], rate)};
}

CommandMessage SoftwareVersionPoll() { return CommandMessage::Of(MessageId::SwVersionPoll, PollBlock{0}); }

CommandMessage ClockStatusPoll() { return CommandMessage::Of(MessageId::ClockStatusPoll, PollBlock{0}); }

std::optional<CommandMessage> ElevationMaskCommand(double trackingDegrees, double navigationDegrees) {
    if (!IsValidMask(trackingDegrees) || !IsValidMask(navigationDegrees)) return std::nullopt;
    // The conversion truncates toward zero: 7.55 degrees becomes 75.
    return CommandMessage::Of(MessageId::ElevationMask, ElevationMaskBlock{static_cast<std::int16_t>(trackingDegrees * 10.0),
                                                                   static_cast<std::int16_t>(navigationDegrees * 10.0)});
}

std::array<CommandMessage, 2> PowerManagementCommands(const PowerSettings& settings) {
    PowerModeBlock mode{0, 1000, static_cast<std::uint32_t>(settings.onTimeMs)};
    switch (settings.mode) {
    case PowerMode::AlwaysOn:
        break;
    case PowerMode::TimedPower:
        // The dialog offers update rates 1 to 10; anything below 1 is taken as 1 rather than divided by.
        mode.dutyCycle = static_cast<std::int16_t>(settings.onTimeMs / std::max(settings.updateRateSeconds, 1));
        break;
    case PowerMode::FixOnDemand:
        mode.fixOnDemand = 1;
        mode.dutyCycle = 10;
        break;
    }
    const PowerTimingBlock timing{settings.maxOffTimeMs, settings.maxSearchTimeMs, settings.fixOnDemandPeriodSeconds,
                                  static_cast<std::uint16_t>(settings.adaptive ? 1 : 0)};
    return {CommandMessage::Of(MessageId::PowerMode, mode), CommandMessage::Of(MessageId::PowerTiming, timing)};
}

CommandMessage SwitchToNmeaCommand() {
    SwitchToNmeaBlock block{};
    block.mode = 2;
    const std::uint8_t rates[10] = {1, 0, 1, 5, 1, 0, 0, 0, 0, 0};
    for (std::size_t i = 0; i < 10; ++i) block.sentences[i] = {rates[i], 1};
    block.baudRate = kNmeaSwitchBaud;
    return CommandMessage::Of(MessageId::SwitchToNmea, block);
}

std::optional<std::string> SwitchToBinarySentence(int product) {
    const ProductTraits* traits = SupportedProduct(product);
    if (traits == nullptr) return std::nullopt;
    char sentence[64];
    std::snprintf(sentence, sizeof sentence, "$PVXA100,%d,%d,8,1,0", traits->binarySwitchMode, kBinarySwitchBaud);
    return WithNmeaChecksum(sentence);
}

}  // namespace vexa
