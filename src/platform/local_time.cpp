#include "platform/local_time.h"

#include <ctime>

namespace vexa {
namespace {

std::string FormatNow(const char* picture) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32] = {};
    std::strftime(text, sizeof text, picture, &local);
    return text;
}

}  // namespace

std::string LocalDateText() { return FormatNow("%m/%d/%Y"); }

std::string LocalTimeText() { return FormatNow("%H:%M:%S"); }

}  // namespace vexa
