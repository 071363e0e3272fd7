#include "link/model/poll_answer_text.h"

#include <cstdio>
#include <cstring>

namespace vexa {

std::string SwVersionText(const SwVersion& version) {
    // The receiver need not terminate its text; the record's size bounds it.
    return std::string(version.Text, strnlen(version.Text, sizeof version.Text));
}

std::string ClockStatusText(const ClockStatus& status) {
    // The counts are unsigned in the record and are shown as the record holds them.
    char text[256];
    const int length = std::snprintf(text, sizeof text,
                                     "GPS week = %ld\nGPS time = %.2lf s\nsv cnt = %ld\nclk offset = %ld Hz\n"
                                     "clk bias = %ld ns\nest. time = %.3lf s",
                                     static_cast<long>(status.Week), status.TOW * 0.01, static_cast<long>(status.SVCnt),
                                     static_cast<long>(status.ClockDrift), static_cast<long>(status.ClockBias),
                                     status.EstGPSTime * 0.001);
    return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace vexa
