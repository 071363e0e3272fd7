#pragma once

#include <cstdint>

namespace vexa {

// Native parameter blocks of the receiver commands, as the command encoder reads them.
// Field order is the wire order; the encoder writes each field big-endian.

// 128: the four resets.
struct ResetBlock {
    std::int32_t ecefX;
    std::int32_t ecefY;
    std::int32_t ecefZ;
    std::int32_t clockDrift;
    std::uint32_t timeOfWeek;
    std::uint16_t week;
    std::uint8_t channelCount;
    std::uint8_t resetConfiguration;
};

// 129: switch to NMEA output. The baud rate sits at block bytes 22 and 23.
struct SwitchToNmeaBlock {
    struct Sentence {
        std::uint8_t rate;
        std::uint8_t checksum;
    };
    std::uint8_t mode;
    Sentence sentences[10];
    std::uint16_t baudRate;
};

// 132 and 144: the polls.
struct PollBlock {
    std::uint8_t control;
};

// 139: elevation masks in 0.1 degree.
struct ElevationMaskBlock {
    std::int16_t tracking;
    std::int16_t navigation;
};

// 151: power mode.
struct PowerModeBlock {
    std::uint16_t fixOnDemand;
    std::int16_t dutyCycle;  // 0.1 %
    std::uint32_t onTimeMs;
};

// 166: switch one output message on or off.
struct OutputRateBlock {
    std::uint8_t mode;
    std::uint8_t messageId;
    std::uint8_t rate;
};

// 167: low-power acquisition timing.
struct PowerTimingBlock {
    std::uint32_t maxOffTimeMs;
    std::uint32_t maxSearchTimeMs;
    std::uint32_t fixOnDemandPeriodSeconds;
    std::uint16_t adaptive;
};

// 133, 134, 137, 140 and 170 have no menu command; their blocks hold the fields with native alignment.
struct Block133 {
    std::uint8_t first;
    std::uint32_t value;
    std::uint8_t last;
};
struct Block134 {
    std::uint32_t value;
    std::uint8_t bytes[4];
};
struct Block137 {
    std::uint8_t bytes[4];
};
struct Block140 {
    std::uint8_t bytes[2];
};
struct Block170 {
    std::uint8_t first;
    std::uint32_t values[2];
};

}  // namespace vexa
