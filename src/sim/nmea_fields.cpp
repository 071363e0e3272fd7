#include "sim/nmea_fields.h"

#include <cmath>

#include "sim/text_format.h"

namespace vexa::sim {
namespace {

// ddmm.mmmm,N or dddmm.mmmm,E
std::string AngleFields(double degrees, int degreeDigits, char positive, char negative) {
    const double magnitude = std::fabs(degrees);
    int whole = static_cast<int>(magnitude);
    double minutes = std::round((magnitude - whole) * 60.0 * 10000.0) / 10000.0;
    if (minutes >= 60.0) {
        ++whole;
        minutes -= 60.0;
    }
    return FormatText("%0*d%07.4f,%c", degreeDigits, whole, minutes, degrees < 0 ? negative : positive);
}

}  // namespace

bool Due(int rate, std::int64_t second) {
    return rate > 0 && second % rate == 0;
}

std::string TimeField(const UtcTime& utc, int decimals) {
    const double scale = std::pow(10.0, decimals);
    // An epoch a twentieth into its second, added to a time of day of some 1.7e9 seconds, lands up to
    // a few tenths of a microsecond below its hundredth; that must not cost it the hundredth.
    constexpr double kHair = 1e-3;  // of the last digit shown
    return FormatText("%02d%02d%0*.*f", utc.hour, utc.minute, decimals + 3, decimals,
                      std::floor(utc.second * scale + kHair) / scale);
}

std::string DateField(const UtcTime& utc) {
    return FormatText("%02d%02d%02d", utc.day, utc.month, utc.year % 100);
}

std::string PositionFields(const ReceiverSnapshot& snapshot) {
    if (!snapshot.hasFix()) return ",,,";
    return AngleFields(snapshot.position.latitudeDeg, 2, 'N', 'S') + "," +
           AngleFields(snapshot.position.longitudeDeg, 3, 'E', 'W');
}

std::optional<std::string> Gst(const ReceiverSnapshot& snapshot, const UtcTime& utc, std::string_view talker, int timeDecimals) {
    if (!snapshot.hasFix() || !snapshot.errorSigma) return std::nullopt;
    const double horizontal = snapshot.errorSigma->horizontalSigma;
    const double vertical = snapshot.errorSigma->verticalSigma;
    return "$" + std::string(talker) + "GST," + TimeField(utc, timeDecimals) +
           FormatText(",%.2f,%.2f,%.2f,0.0,%.2f,%.2f,%.2f", std::hypot(horizontal, horizontal, vertical), horizontal,
                      horizontal, horizontal, horizontal, vertical);
}

int AverageCn0(const ChannelReport& channel) {
    int sum = 0;
    for (const auto sample : channel.cn0) sum += sample;
    return sum / kCn0Samples;
}

}  // namespace vexa::sim
