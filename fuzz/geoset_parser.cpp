// Geoset files come from the user's disk: any bytes must parse without harm, and what comes out
// must keep the parser's promises.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "maps/geoset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vexa::Geoset geoset = vexa::ParseGeoset(text, "/maps");
    int previous = 0;
    for (const vexa::GeosetTable& table : geoset.tables) {
        if (table.number <= previous || table.file.empty()) std::abort();
        if (table.style.lineWidth && (*table.style.lineWidth < 1 || *table.style.lineWidth > 20)) std::abort();
        previous = table.number;
    }
    if (geoset.center && !(std::abs(geoset.center->x) <= 180.0 && std::abs(geoset.center->y) <= 90.0)) std::abort();
    if (geoset.zoomMetres && !(*geoset.zoomMetres > 0.0)) std::abort();
    return 0;
}
