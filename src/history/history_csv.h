#pragma once

#include <string>

#include "history/history_column.h"
#include "history/history_epoch.h"

namespace vexa {

// The rows of the two history files, as text. Times in ISO 8601 UTC, constellations and satellites
// numbered as the JSON reports number them; a value not reported is an empty field.
inline constexpr const char* kSatellitesCsvHeader = "time,gnssid,svid,az,el,cn0,used\n";
inline constexpr const char* kEpochsCsvHeader = "time,fix,in_view,used,hdop,vdop,pdop,lat,lon,height,east,north,up\n";

// One row per satellite of the epoch.
void AppendSatelliteRows(const HistoryEpoch& epoch, std::string& out);
void AppendEpochRow(const HistoryEpoch& epoch, std::string& out);

// The rows of a summarised stretch: its means, its worst fix, the most satellites in view and
// used in one of its epochs, a satellite as used when any of its epochs used it.
void AppendSatelliteRows(const HistoryColumn& column, const std::vector<SatelliteId>& rows, std::string& out);
void AppendEpochRow(const HistoryColumn& column, std::string& out);

}  // namespace vexa
