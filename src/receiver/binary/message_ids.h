#pragma once

#include <array>
#include <cstdint>

namespace vexa {

// Every binary message id the program knows, in both directions. The id is payload byte 0
// (after the channel byte with the Osprey product).
enum class MessageId : std::uint8_t {
    // Sent by the receiver.
    NavData = 2,
    TrackData = 4,
    RawTrackData = 5,
    SwVersion = 6,
    ClockStatus = 7,
    SubframeData = 8,
    Throughput = 9,
    ErrorReport = 10,
    CommandAck = 11,
    CommandNak = 12,
    VisibleList = 13,
    OkToSend = 18,
    NavLibMeasurement = 28,
    NavLib29 = 29,
    NavLib30 = 30,
    NavLib31 = 31,
    GeoNavData = 41,
    TtffReport = 225,
    // Development text; NMEA sentences are delivered to the model under this id too.
    DevelopmentText = 255,

    // Sent to the receiver.
    Reset = 128,
    SwitchToNmea = 129,
    SwVersionPoll = 132,
    Command133 = 133,
    Command134 = 134,
    Command137 = 137,
    ElevationMask = 139,
    Command140 = 140,
    ClockStatusPoll = 144,
    PowerMode = 151,
    OutputRate = 166,
    PowerTiming = 167,
    Command170 = 170,
};

constexpr std::uint8_t ToWire(MessageId id) { return static_cast<std::uint8_t>(id); }
constexpr MessageId FromWire(std::uint8_t byte) { return static_cast<MessageId>(byte); }

// The four navigation-library messages, switched on and off together.
inline constexpr std::array<MessageId, 4> kNavLibIds = {MessageId::NavLibMeasurement, MessageId::NavLib29,
                                                         MessageId::NavLib30, MessageId::NavLib31};

constexpr bool IsNavLibId(int id) {
    return id >= ToWire(MessageId::NavLibMeasurement) && id <= ToWire(MessageId::NavLib31);
}

// Messages 180 to 199 carry bytes the program passes on unread.
inline constexpr int kFirstPassThroughId = 180;
inline constexpr int kLastPassThroughId = 199;

constexpr bool IsPassThroughId(int id) { return id >= kFirstPassThroughId && id <= kLastPassThroughId; }

// Copy-type messages: the record is the payload after the id, unchanged.
constexpr bool IsCopyTypeId(int id) {
    return id == ToWire(MessageId::SwVersion) || id == ToWire(MessageId::DevelopmentText) || IsPassThroughId(id);
}

}  // namespace vexa
