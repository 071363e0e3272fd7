#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "receiver/binary/message_ids.h"
#include "receiver/product/receiver_context.h"
#include "receiver/commands/reset_kind.h"

namespace vexa {

// One command ready for Send: the message id and its native parameter block.
struct CommandMessage {
    static constexpr std::size_t kMaxBlockSize = 24;
    int id = 0;
    std::array<std::uint8_t, kMaxBlockSize> block{};
    std::size_t length = 0;

    template <class Block>
    static CommandMessage Of(MessageId id, const Block& block);
};

// The resets also forget the time to first fix and the output toggles of the context.
CommandMessage ResetCommand(ResetKind kind, ReceiverContext& context);

// Turns the development output off when it has been arriving since the last toggle, on otherwise.
CommandMessage DebugOutputToggle(ReceiverContext& context);
// The same for the navigation library output: messages 28, 29, 30 and 31, in that order.
std::array<CommandMessage, 4> NavLibOutputToggle(ReceiverContext& context);

CommandMessage SoftwareVersionPoll();
CommandMessage ClockStatusPoll();

// The elevation masks the receiver takes, in degrees.
inline constexpr double kMinElevationMask = -20.0;
inline constexpr double kMaxElevationMask = 90.0;

// Masks in degrees, each within kMinElevationMask to kMaxElevationMask; nothing for values outside.
std::optional<CommandMessage> ElevationMaskCommand(double trackingDegrees, double navigationDegrees);

enum class PowerMode { AlwaysOn = 0, TimedPower = 1, FixOnDemand = 2 };

// The timed-power choices offered: on-time in steps from 200 to 900 ms, update rate 1 to 10 s.
inline constexpr int kMinOnTimeMs = 200;
inline constexpr int kMaxOnTimeMs = 900;
inline constexpr int kOnTimeStepMs = 100;
inline constexpr int kMinUpdateRateSeconds = 1;
inline constexpr int kMaxUpdateRateSeconds = 10;

// The Power Management dialog's values, with its defaults.
struct PowerSettings {
    PowerMode mode = PowerMode::AlwaysOn;
    int onTimeMs = 200;
    int updateRateSeconds = 1;
    std::uint32_t maxOffTimeMs = 30000;
    std::uint32_t maxSearchTimeMs = 300000;
    std::uint32_t fixOnDemandPeriodSeconds = 1800;
    bool adaptive = false;
};

// Message 151 (power mode) followed by 167 (timing).
std::array<CommandMessage, 2> PowerManagementCommands(const PowerSettings& settings);

// The binary protocol's request to switch the receiver to NMEA at 4800 baud.
CommandMessage SwitchToNmeaCommand();
inline constexpr int kNmeaSwitchBaud = 4800;

// The NMEA sentence that switches the receiver to the binary protocol at 57600 baud,
// for products that have one (Kestrel, Osprey, Merlin).
std::optional<std::string> SwitchToBinarySentence(int product);
inline constexpr int kBinarySwitchBaud = 57600;

template <class Block>
CommandMessage CommandMessage::Of(MessageId id, const Block& block) {
    static_assert(sizeof(Block) <= kMaxBlockSize);
    CommandMessage message;
    message.id = ToWire(id);
    message.length = sizeof(Block);
    std::memcpy(message.block.data(), &block, sizeof(Block));
    return message;
}

}  // namespace vexa
