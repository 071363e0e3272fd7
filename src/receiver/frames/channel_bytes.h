#pragma once

#include <cstdint>

// With the Osprey product every binary payload, in and out, starts with a channel byte saying which
// logical channel of the link carries it.

namespace vexa {

inline constexpr std::uint8_t kAi3Channel = 0x01;     // the location client's AI3 messages
inline constexpr std::uint8_t kFChannel = 0x02;       // the location client's F messages
inline constexpr std::uint8_t kMasChannel = 0xAA;     // the assistance server's messages (never on the link)
inline constexpr std::uint8_t kStatChannel = 0xBB;    // the receiver's statistics: time-to-first-fix reports
inline constexpr std::uint8_t kNmeaChannel = 0xDD;    // NMEA sentences
inline constexpr std::uint8_t kBinaryChannel = 0xEE;  // the receiver's binary messages and the commands (XTN)

}  // namespace vexa
