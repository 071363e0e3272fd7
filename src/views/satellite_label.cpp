#include "views/satellite_label.h"

#include <cmath>

namespace vexa {

QString SatelliteLabel(SatelliteId id, const QFontMetrics& metrics, int width) {
    const QString number = QString::number(id.svid);
    const QString lettered = QChar::fromLatin1(ConstellationLetter(id.gnss)) + number;
    return metrics.horizontalAdvance(lettered) <= width ? lettered : number;
}

BoxLabel SatelliteBoxLabel(SatelliteId id, const QFont& font, int width, double pixelsPerUnit) {
    // The smallest text on the screen that still reads: the pages' labels are 10 pixels high and more.
    constexpr double kLegibleDevicePixels = 10.0;
    const QString lettered = QChar::fromLatin1(ConstellationLetter(id.gnss)) + QString::number(id.svid);
    const int smallest =
        pixelsPerUnit > 1.0 ? static_cast<int>(std::ceil(kLegibleDevicePixels / pixelsPerUnit)) : font.pixelSize();
    QFont smaller = font;
    for (int pixels = font.pixelSize(); pixels >= smallest && pixels > 0; --pixels) {
        smaller.setPixelSize(pixels);
        if (QFontMetrics(smaller).horizontalAdvance(lettered) <= width) return {lettered, smaller};
    }
    return {QString::number(id.svid), font};
}

const BoxLabel& SatelliteBoxLabels::For(SatelliteId id, int width, double pixelsPerUnit) {
    if (width != width_ || pixelsPerUnit != pixelsPerUnit_) {
        labels_.clear();
        width_ = width;
        pixelsPerUnit_ = pixelsPerUnit;
    }
    const auto key = std::make_pair(id.gnss, id.svid);
    auto found = labels_.find(key);
    if (found == labels_.end()) found = labels_.emplace(key, SatelliteBoxLabel(id, font_, width, pixelsPerUnit)).first;
    return found->second;
}

QString SystemName(GnssId gnss) {
    switch (gnss) {
    case GnssId::Gps: return QStringLiteral("GPS");
    case GnssId::Sbas: return QStringLiteral("SBAS");
    case GnssId::Galileo: return QStringLiteral("Galileo");
    case GnssId::BeiDou: return QStringLiteral("BeiDou");
    case GnssId::Qzss: return QStringLiteral("QZSS");
    case GnssId::Glonass: return QStringLiteral("GLONASS");
    case GnssId::Navic: return QStringLiteral("NavIC");
    }
    return QStringLiteral("?");
}

}  // namespace vexa
