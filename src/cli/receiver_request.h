#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "receiver/commands/command_builders.h"

namespace vexa {

// A receiver command given with --send, as the menus and dialogs would send it.
enum class RequestKind {
    HotStart,
    WarmStart,
    ColdStart,
    FactoryReset,
    DebugOutput,
    NavLibOutput,
    PollVersion,
    PollClock,
    SwitchProtocol,
    ElevationMask,
    Power,
};

struct ReceiverRequest {
    RequestKind kind = RequestKind::HotStart;
    std::string text;  // as the user wrote it
    // The elevation mask dialog's navigation mask; its tracking mask cannot be edited.
    double navigationMaskDegrees = 5.0;
    PowerSettings power;
};

// The tracking mask that the elevation mask dialog always sends.
inline constexpr double kTrackingMaskDegrees = 5.0;

// "hot-start", "warm-start", "cold-start", "factory-reset", "debug-output", "navlib-output",
// "poll-version", "poll-clock", "switch-protocol", "elevation-mask=DEG", "power=always",
// "power=timed,ON_MS,RATE_S" or "power=fod,PERIOD_S", with the dialogs' limits; nothing otherwise.
std::optional<ReceiverRequest> ParseReceiverRequest(std::string_view text);

// Only the protocol switch may be sent while the receiver talks NMEA.
inline bool NeedsBinaryProtocol(RequestKind kind) { return kind != RequestKind::SwitchProtocol; }

}  // namespace vexa
