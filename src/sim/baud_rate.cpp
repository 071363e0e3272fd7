#include "sim/baud_rate.h"

#include <array>
#include <utility>

namespace vexa::sim {
namespace {

constexpr std::array<std::pair<int, speed_t>, 9> kRates{{
    {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
}};

}  // namespace

bool IsSupportedBaud(int baud) {
    return SpeedOfBaud(baud).has_value();
}

std::optional<speed_t> SpeedOfBaud(int baud) {
    for (const auto& [rate, speed] : kRates) {
        if (rate == baud) return speed;
    }
    return std::nullopt;
}

int BaudOfSpeed(speed_t speed) {
    for (const auto& [rate, known] : kRates) {
        if (known == speed) return rate;
    }
    return 0;
}

}  // namespace vexa::sim
