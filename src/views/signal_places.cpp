#include "views/signal_places.h"

#include <algorithm>
#include <tuple>

#include "receiver/binary/records.h"

namespace vexa {

std::vector<SkySatellite> SatellitesForTwelvePlaces(const GnssSky& sky) {
    std::vector<SkySatellite> satellites = sky.satellites;
    const auto rank = [](const SkySatellite& satellite) {
        // Ties fall to the constellation and number, so the places do not shuffle from one sky to the next.
        return std::make_tuple(!satellite.used, !satellite.cn0.has_value(), -satellite.cn0.value_or(0.0),
                               satellite.id.gnss, satellite.id.svid);
    };
    const std::size_t places = std::min(satellites.size(), kTrackChannels);
    std::partial_sort(satellites.begin(), satellites.begin() + static_cast<std::ptrdiff_t>(places), satellites.end(),
                      [&](const SkySatellite& a, const SkySatellite& b) { return rank(a) < rank(b); });
    satellites.resize(places);
    return satellites;
}

}  // namespace vexa
