#include "views/satellite_label.h"

namespace vexa {

QString SatelliteLabel(SatelliteId id, const QFontMetrics& metrics, int width) {
    const QString number = QString::number(id.svid);
    const QString lettered = QChar::fromLatin1(ConstellationLetter(id.gnss)) + number;
    return metrics.horizontalAdvance(lettered) <= width ? lettered : number;
}

}  // namespace vexa
