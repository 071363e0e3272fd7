#include "history/history_csv.h"

#include <numeric>

#include "evaluation/fixed_text.h"
#include "receiver/fix/utc_text.h"

namespace vexa {

namespace {

constexpr int kDegreeDecimals = 9;
constexpr int kMetreDecimals = 3;
constexpr int kDopDecimals = 2;
constexpr int kSkyDecimals = 1;

void AppendTime(const std::optional<UtcTime>& time, std::string& out) {
    if (time) out += IsoUtcText(*time);
}

template <typename Number>
void AppendField(const std::optional<Number>& value, int decimals, std::string& out) {
    out += ',';
    if (value) out += FixedText(static_cast<double>(*value), decimals);
}

void AppendInteger(long long value, std::string& out) {
    out += ',';
    out += std::to_string(value);
}

void AppendSatelliteStart(const std::optional<UtcTime>& time, SatelliteId id, std::string& out) {
    AppendTime(time, out);
    AppendInteger(static_cast<int>(id.gnss), out);
    AppendInteger(id.svid, out);
}

int Sum(const std::array<std::uint8_t, kGnssSlots>& counts) { return std::accumulate(counts.begin(), counts.end(), 0); }

void AppendFix(const std::optional<FixBand>& fix, std::string& out) {
    out += ',';
    if (fix) out += FixBandName(*fix);
}

}  // namespace

void AppendSatelliteRows(const HistoryEpoch& epoch, std::string& out) {
    for (const HistorySatellite& satellite : epoch.satellites) {
        AppendSatelliteStart(epoch.time, satellite.id, out);
        AppendField(satellite.azimuth, kSkyDecimals, out);
        AppendField(satellite.elevation, kSkyDecimals, out);
        AppendField(satellite.cn0, kSkyDecimals, out);
        out += satellite.used ? ",1\n" : ",0\n";
    }
}

void AppendEpochRow(const HistoryEpoch& epoch, std::string& out) {
    AppendTime(epoch.time, out);
    AppendFix(epoch.fix, out);
    AppendInteger(epoch.InViewTotal(), out);
    AppendInteger(epoch.UsedTotal(), out);
    AppendField(epoch.hdop, kDopDecimals, out);
    AppendField(epoch.vdop, kDopDecimals, out);
    AppendField(epoch.pdop, kDopDecimals, out);
    AppendField(epoch.latitude, kDegreeDecimals, out);
    AppendField(epoch.longitude, kDegreeDecimals, out);
    AppendField(epoch.height, kMetreDecimals, out);
    const std::optional<EnuOffset>& error = epoch.error;
    AppendField(error ? std::optional(error->east) : std::nullopt, kMetreDecimals, out);
    AppendField(error ? std::optional(error->north) : std::nullopt, kMetreDecimals, out);
    AppendField(error ? error->up : std::nullopt, kMetreDecimals, out);
    out += '\n';
}

void AppendSatelliteRows(const HistoryColumn& column, const std::vector<SatelliteId>& rows, std::string& out) {
    for (const SatelliteCell& cell : column.cells) {
        if (cell.row >= rows.size()) continue;
        AppendSatelliteStart(column.firstTime, rows[cell.row], out);
        const bool hasAzimuth = cell.azimuth != SatelliteCell::kNoAzimuth;
        const bool hasElevation = cell.elevation != SatelliteCell::kNoElevation;
        AppendField(hasAzimuth ? std::optional<int>(cell.azimuth) : std::nullopt, kSkyDecimals, out);
        AppendField(hasElevation ? std::optional<int>(cell.elevation) : std::nullopt, kSkyDecimals, out);
        AppendField(cell.Cn0Mean(), kSkyDecimals, out);
        out += cell.used > 0 ? ",1\n" : ",0\n";
    }
}

void AppendEpochRow(const HistoryColumn& column, std::string& out) {
    AppendTime(column.firstTime, out);
    AppendFix(column.WorstFix(), out);
    AppendInteger(Sum(column.inView), out);
    AppendInteger(Sum(column.used), out);
    for (const Measure measure : {Measure::Hdop, Measure::Vdop, Measure::Pdop}) AppendField(column.Of(measure).Mean(), kDopDecimals, out);
    AppendField(column.Of(Measure::Latitude).Mean(), kDegreeDecimals, out);
    AppendField(column.Of(Measure::Longitude).Mean(), kDegreeDecimals, out);
    for (const Measure measure : {Measure::Height, Measure::East, Measure::North, Measure::Up}) {
        AppendField(column.Of(measure).Mean(), kMetreDecimals, out);
    }
    out += '\n';
}

}  // namespace vexa
