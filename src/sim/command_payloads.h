#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "receiver/commands/command_blocks.h"

namespace vexa::sim {

// Reads the commands the host sends (payload with the id at byte 0) back into their parameter blocks.
// Each gives nothing when the payload is not exactly that command's length.
std::optional<ResetBlock> ReadResetCommand(std::span<const std::uint8_t> payload);
std::optional<SwitchToNmeaBlock> ReadSwitchToNmeaCommand(std::span<const std::uint8_t> payload);
std::optional<PollBlock> ReadPollCommand(std::span<const std::uint8_t> payload);
std::optional<ElevationMaskBlock> ReadElevationMaskCommand(std::span<const std::uint8_t> payload);
std::optional<PowerModeBlock> ReadPowerModeCommand(std::span<const std::uint8_t> payload);
std::optional<OutputRateBlock> ReadOutputRateCommand(std::span<const std::uint8_t> payload);
std::optional<PowerTimingBlock> ReadPowerTimingCommand(std::span<const std::uint8_t> payload);

}  // namespace vexa::sim
