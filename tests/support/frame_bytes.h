#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace vexa::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

// A frame around a payload, written out by hand so the tests do not rely on the encoder.
inline Bytes Frame(const Bytes& payload, unsigned checksumTopBits = 0, std::uint8_t end2 = 0xB3) {
    unsigned sum = 0;
    for (std::uint8_t byte : payload) sum += byte;
    const unsigned checksum = (sum & 0x7FFF) | checksumTopBits;
    Bytes frame{0xA0, 0xA2, static_cast<std::uint8_t>(payload.size() >> 8),
                static_cast<std::uint8_t>(payload.size() & 0xFF)};
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame.push_back(static_cast<std::uint8_t>(checksum >> 8 & 0xFF));
    frame.push_back(static_cast<std::uint8_t>(checksum & 0xFF));
    frame.push_back(0xB0);
    frame.push_back(end2);
    return frame;
}

}  // namespace vexa::test
