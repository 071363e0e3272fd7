#include "receiver/nmea/nmea_sentence.h"

#include <algorithm>
#include <cmath>

#include "receiver/nmea/nmea_checksum.h"
#include "receiver/nmea/nmea_fields.h"

namespace vexa {
namespace {

constexpr int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool AllDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

int TwoDigits(std::string_view text, std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); }

// hhmmss with an optional fraction; a second of 60 is a leap second.
std::optional<NmeaTimeOfDay> TimeField(const NmeaFields& fields, std::size_t index) {
    const std::string_view text = fields.text(index);
    if (text.size() < 6 || !AllDigits(text.substr(0, 6))) return std::nullopt;
    const int hours = TwoDigits(text, 0);
    const int minutes = TwoDigits(text, 2);
    const int seconds = TwoDigits(text, 4);
    if (hours > 23 || minutes > 59 || seconds > 60) return std::nullopt;
    int milliseconds = 0;
    if (text.size() > 6) {
        const std::string_view fraction = text.substr(7);
        if (text[6] != '.' || !AllDigits(fraction)) return std::nullopt;
        int scale = 100;
        for (char c : fraction) {
            milliseconds += (c - '0') * scale;
            scale /= 10;
        }
    }
    return ((hours * 60 + minutes) * 60 + seconds) * 1000 + milliseconds;
}

bool ValidDate(const NmeaDate& date) {
    static constexpr int kDaysInMonth[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return date.month >= 1 && date.month <= 12 && date.day >= 1 && date.day <= kDaysInMonth[date.month - 1];
}

// ddmmyy; two-digit years from 80 on are of the last century, the receivers' epoch began in 1980.
std::optional<NmeaDate> DateField(const NmeaFields& fields, std::size_t index) {
    const std::string_view text = fields.text(index);
    if (text.size() != 6 || !AllDigits(text)) return std::nullopt;
    const int year = TwoDigits(text, 4);
    const NmeaDate date{year < 80 ? 2000 + year : 1900 + year, TwoDigits(text, 2), TwoDigits(text, 0)};
    if (!ValidDate(date)) return std::nullopt;
    return date;
}

// (d)ddmm.mmmm with its hemisphere letter.
std::optional<double> AngleField(const NmeaFields& fields, std::size_t index, int maxDegrees, char positive,
                                 char negative) {
    const std::optional<double> value = fields.number(index);
    const std::optional<char> hemisphere = fields.letter(index + 1);
    if (!value || !hemisphere || *value < 0.0) return std::nullopt;
    if (*hemisphere != positive && *hemisphere != negative) return std::nullopt;
    const double degrees = std::floor(*value / 100.0);
    const double minutes = *value - degrees * 100.0;
    if (minutes >= 60.0) return std::nullopt;
    const double angle = degrees + minutes / 60.0;
    if (angle > maxDegrees) return std::nullopt;
    return *hemisphere == positive ? angle : -angle;
}

// Latitude and longitude at index .. index + 3; both or nothing.
std::optional<NmeaPosition> PositionField(const NmeaFields& fields, std::size_t index) {
    const auto latitude = AngleField(fields, index, 90, 'N', 'S');
    const auto longitude = AngleField(fields, index + 2, 180, 'E', 'W');
    if (!latitude || !longitude) return std::nullopt;
    return NmeaPosition{*latitude, *longitude};
}

std::optional<bool> StatusField(const NmeaFields& fields, std::size_t index) {
    const std::optional<char> status = fields.letter(index);
    if (status == 'A') return true;
    if (status == 'V') return false;
    return std::nullopt;
}

std::optional<double> InRange(std::optional<double> value, double low, double high) {
    if (value && (*value < low || *value > high)) return std::nullopt;
    return value;
}

std::optional<int> InRange(std::optional<int> value, int low, int high) {
    if (value && (*value < low || *value > high)) return std::nullopt;
    return value;
}

GgaSentence ReadGga(const NmeaFields& f) {
    return GgaSentence{TimeField(f, 0),
                       PositionField(f, 1),
                       InRange(f.integer(5), 0, 9),
                       InRange(f.integer(6), 0, 99),
                       InRange(f.number(7), 0.0, 99.99),
                       f.number(8),
                       f.number(10)};
}

RmcSentence ReadRmc(const NmeaFields& f) {
    return RmcSentence{TimeField(f, 0),
                       StatusField(f, 1),
                       PositionField(f, 2),
                       InRange(f.number(6), 0.0, 1e6),
                       InRange(f.number(7), 0.0, 360.0),
                       DateField(f, 8),
                       f.letter(11)};
}

GllSentence ReadGll(const NmeaFields& f) {
    return GllSentence{PositionField(f, 0), TimeField(f, 4), StatusField(f, 5), f.letter(6)};
}

GnsSentence ReadGns(const NmeaFields& f) {
    GnsSentence gns{TimeField(f, 0), PositionField(f, 1), {}, InRange(f.integer(6), 0, 99),
                    InRange(f.number(7), 0.0, 99.99), f.number(8), f.number(9)};
    const std::string_view modes = f.text(5);
    if (modes.size() < gns.modes.size()) std::copy(modes.begin(), modes.end(), gns.modes.begin());
    return gns;
}

std::optional<NmeaSystem> SystemId(std::optional<int> id) {
    if (!id) return std::nullopt;
    switch (*id) {
    case 1: return NmeaSystem::Gps;
    case 2: return NmeaSystem::Glonass;
    case 3: return NmeaSystem::Galileo;
    case 4: return NmeaSystem::BeiDou;
    case 5: return NmeaSystem::Qzss;
    case 6: return NmeaSystem::Navic;
    default: return std::nullopt;
    }
}

GsaSentence ReadGsa(const NmeaFields& f) {
    GsaSentence gsa;
    gsa.fixType = InRange(f.integer(1), 1, 3);
    for (std::size_t slot = 0; slot < GsaSentence::kSlots; ++slot) {
        gsa.used[slot] = InRange(f.integer(2 + slot), 1, 999).value_or(0);
    }
    gsa.pdop = InRange(f.number(14), 0.0, 99.99);
    gsa.hdop = InRange(f.number(15), 0.0, 99.99);
    gsa.vdop = InRange(f.number(16), 0.0, 99.99);
    gsa.system = SystemId(f.integer(17));
    return gsa;
}

// Number of sentences, this one's number, satellites in view, then four fields per satellite and,
// from NMEA 4.10 on, one more field: the signal id.
std::optional<GsvSentence> ReadGsv(const NmeaFields& f) {
    GsvSentence gsv;
    const auto total = InRange(f.integer(0), 1, 99);
    const auto index = InRange(f.integer(1), 1, 99);
    if (!total || !index || *index > *total) return std::nullopt;
    gsv.total = *total;
    gsv.index = *index;
    gsv.inView = InRange(f.integer(2), 0, 999);
    const std::size_t satelliteFields = f.size() - 3;
    const std::size_t groups = std::min(satelliteFields / 4, GsvSentence::kSlots);
    for (std::size_t group = 0; group < groups; ++group) {
        const std::size_t at = 3 + group * 4;
        const auto number = InRange(f.integer(at), 1, 999);
        if (!number) continue;
        gsv.satellites[gsv.count++] = GsvSatellite{*number, InRange(f.number(at + 1), -90.0, 90.0),
                                                   InRange(f.number(at + 2), 0.0, 359.999),
                                                   InRange(f.number(at + 3), 0.0, 99.0)};
    }
    if (satelliteFields % 4 == 1) {
        const std::string_view signal = f.text(f.size() - 1);
        if (const int id = signal.size() == 1 ? HexValue(signal[0]) : -1; id > 0) gsv.signal = static_cast<std::uint8_t>(id);
    }
    return gsv;
}

VtgSentence ReadVtg(const NmeaFields& f) {
    return VtgSentence{InRange(f.number(0), 0.0, 360.0), InRange(f.number(4), 0.0, 1e6), InRange(f.number(6), 0.0, 2e6),
                       f.letter(8)};
}

ZdaSentence ReadZda(const NmeaFields& f) {
    ZdaSentence zda{TimeField(f, 0), std::nullopt};
    const auto day = f.integer(1);
    const auto month = f.integer(2);
    const auto year = InRange(f.integer(3), 1980, 9999);
    if (day && month && year && f.text(3).size() == 4) {
        const NmeaDate date{*year, *month, *day};
        if (ValidDate(date)) zda.date = date;
    }
    return zda;
}

// Time, range residuals' RMS, the error ellipse's major and minor axis and orientation, then the
// latitude, longitude and altitude errors. An error beyond 10,000 km is garbage, left empty.
GstSentence ReadGst(const NmeaFields& f) {
    constexpr double kLargestError = 1e7;
    return GstSentence{TimeField(f, 0), InRange(f.number(1), 0.0, kLargestError), InRange(f.number(5), 0.0, kLargestError),
                       InRange(f.number(6), 0.0, kLargestError), InRange(f.number(7), 0.0, kLargestError)};
}

NmeaSystem TalkerSystem(char first, char second) {
    if (first == 'G') {
        switch (second) {
        case 'P': return NmeaSystem::Gps;
        case 'L': return NmeaSystem::Glonass;
        case 'A': return NmeaSystem::Galileo;
        case 'B': return NmeaSystem::BeiDou;
        case 'Q': return NmeaSystem::Qzss;
        case 'I': return NmeaSystem::Navic;
        default: return NmeaSystem::Mixed;
        }
    }
    if (first == 'B' && second == 'D') return NmeaSystem::BeiDou;
    if (first == 'Q' && second == 'Z') return NmeaSystem::Qzss;
    return NmeaSystem::Mixed;
}

std::optional<NmeaType> TypeOf(std::string_view name) {
    if (name == "GGA") return NmeaType::Gga;
    if (name == "RMC") return NmeaType::Rmc;
    if (name == "GLL") return NmeaType::Gll;
    if (name == "GNS") return NmeaType::Gns;
    if (name == "GSA") return NmeaType::Gsa;
    if (name == "GSV") return NmeaType::Gsv;
    if (name == "VTG") return NmeaType::Vtg;
    if (name == "ZDA") return NmeaType::Zda;
    if (name == "GST") return NmeaType::Gst;
    return std::nullopt;
}

bool KnownTalker(char first, char second) {
    if (first == 'G') return second == 'P' || second == 'L' || second == 'A' || second == 'B' || second == 'Q' ||
                             second == 'I' || second == 'N';
    return (first == 'B' && second == 'D') || (first == 'Q' && second == 'Z');
}

}  // namespace

NmeaParseResult ParseNmeaSentence(std::string_view line) {
    NmeaParseResult result;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.size() < 7 || line.front() != '$') return result;
    std::string_view content = line.substr(1);

    // "*HH" closes the sentence when the receiver sends a checksum: the XOR of every byte between.
    if (const std::size_t star = content.rfind('*'); star != std::string_view::npos && star + 3 == content.size()) {
        const int high = HexValue(content[star + 1]);
        const int low = HexValue(content[star + 2]);
        if (high < 0 || low < 0) return result;
        if (NmeaChecksum(line.substr(0, 1 + star)) != (high << 4 | low)) {
            result.status = NmeaParseStatus::BadChecksum;
            return result;
        }
        content = content.substr(0, star);
    }
    if (content.find('*') != std::string_view::npos) return result;

    result.status = NmeaParseStatus::Ignored;
    if (content.size() < 6 || content[5] != ',') return result;
    const char first = content[0];
    const char second = content[1];
    const std::optional<NmeaType> type = TypeOf(content.substr(2, 3));
    if (!KnownTalker(first, second) || !type) return result;

    NmeaSentence& sentence = result.sentence;
    sentence.talker[0] = first;
    sentence.talker[1] = second;
    sentence.system = TalkerSystem(first, second);
    sentence.type = *type;
    const NmeaFields fields(content.substr(6));
    switch (*type) {
    case NmeaType::Gga: sentence.data = ReadGga(fields); break;
    case NmeaType::Rmc: sentence.data = ReadRmc(fields); break;
    case NmeaType::Gll: sentence.data = ReadGll(fields); break;
    case NmeaType::Gns: sentence.data = ReadGns(fields); break;
    case NmeaType::Gsa: sentence.data = ReadGsa(fields); break;
    case NmeaType::Gsv: {
        const auto gsv = ReadGsv(fields);
        if (!gsv) {
            result.status = NmeaParseStatus::Malformed;
            return result;
        }
        sentence.data = *gsv;
        break;
    }
    case NmeaType::Vtg: sentence.data = ReadVtg(fields); break;
    case NmeaType::Zda: sentence.data = ReadZda(fields); break;
    case NmeaType::Gst: sentence.data = ReadGst(fields); break;
    }
    result.status = NmeaParseStatus::Parsed;
    return result;
}

}  // namespace vexa
