#pragma once

#include <functional>
#include <optional>
#include <variant>

#include "link/model/link_update.h"
#include "receiver/fix/gnss_fix.h"
#include "receiver/binary/message_ids.h"

namespace vexa {

// The receiver's latest position as the views show it.
struct GeodeticFix {
    double latitude = 0.0;   // degrees, north positive
    double longitude = 0.0;  // degrees, east positive
    double altitude = 0.0;   // metres above the ellipsoid
};

// Reads the latest position: with the binary protocol the navigation record, converted, while it
// holds a fix (before its first fix the receiver reports X = Y = Z = 0, which would read as the
// north pole); with NMEA the latest fix that has a position. Nothing while there is none.
using GeodeticFixReader = std::function<std::optional<GeodeticFix>()>;

// A new position for the pages that follow it: a navigation message or a new NMEA fix.
constexpr bool IsPositionUpdate(const LinkUpdate& update) {
    return IsDelivered(update, MessageId::NavData) || std::holds_alternative<FixUpdated>(update);
}

class GpsComm;

// The reader of the receiver link's position; the link must outlive it.
GeodeticFixReader ReadFixFrom(GpsComm& comm);

}  // namespace vexa
