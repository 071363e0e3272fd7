#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "link/sources/byte_source.h"

namespace vexa::test {

struct SourceReading {
    ReadOutcome last = ReadOutcome::kNothing;
    std::string bytes;
};

// Reads as the comm reader does, until `count` bytes came, the source ended, or `limit` passed.
inline SourceReading ReadUntil(ByteSource& source, std::size_t count,
                               std::chrono::milliseconds limit = std::chrono::seconds(15)) {
    WakeEvent wake;
    SourceReading reading;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (reading.bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
        source.WaitReadable(wake, std::chrono::milliseconds(200));
        std::uint8_t chunk[100];
        std::size_t got = 0;
        reading.last = source.Read(chunk, sizeof chunk, got);
        reading.bytes.append(reinterpret_cast<const char*>(chunk), got);
        if (reading.last == ReadOutcome::kEnded) break;
    }
    return reading;
}

}  // namespace vexa::test
