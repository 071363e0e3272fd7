#pragma once

#include <QFontMetrics>
#include <QString>

#include "receiver/fix/gnss_fix.h"

namespace vexa {

// A satellite's number, led by its constellation's letter (G, R, E, C, J, S, I) when the two fit in
// `width` pixels of the font; the number alone otherwise.
QString SatelliteLabel(SatelliteId id, const QFontMetrics& metrics, int width);

}  // namespace vexa
