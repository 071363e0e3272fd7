#pragma once

#include <optional>
#include <termios.h>

namespace vexa::sim {

// The rates a receiver's UART offers.
bool IsSupportedBaud(int baud);
std::optional<speed_t> SpeedOfBaud(int baud);
// 0 for a speed outside the table (including B0, a hung-up line).
int BaudOfSpeed(speed_t speed);

}  // namespace vexa::sim
