#pragma once

#include <cstdint>
#include <vector>

namespace vexa {

// Counts of what the sample capture holds, for checking a decode of it.
struct SampleCaptureContents {
    int seconds = 0;
    int frames = 0;           // complete frames with good checksum and end sequence
    int sentences = 0;
    int refusedFrames = 0;    // bad length, checksum or end sequence
};

inline constexpr int kSampleCaptureSeconds = 60;

// `seconds` of 1 Hz receiver output in the binary protocol with NMEA sentences in between and three
// broken frames a minute, near the simulator's default origin. Always the same bytes; a longer
// capture begins with the bytes of a shorter one.
std::vector<std::uint8_t> MakeSampleCapture(SampleCaptureContents* contents = nullptr,
                                            int seconds = kSampleCaptureSeconds);

// `seconds` of the simulated receiver's NMEA output while it tracks GPS, GLONASS, Galileo and BeiDou,
// from the time of the first second of MakeSampleCapture on.
std::vector<std::uint8_t> MakeNmeaCapture(int seconds);

}  // namespace vexa
