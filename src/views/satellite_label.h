#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <cstdint>
#include <map>
#include <utility>

#include "receiver/fix/gnss_fix.h"

namespace vexa {

// A satellite's number, led by its constellation's letter (G, R, E, C, J, S, I) when the two fit in
// `width` pixels of the font; the number alone otherwise.
QString SatelliteLabel(SatelliteId id, const QFontMetrics& metrics, int width);

// A box's satellite label and the font it is drawn in.
struct BoxLabel {
    QString text;
    QFont font;
};

// The label of a box `width` page units wide whose font is `font`, on a screen that draws
// `pixelsPerUnit` device pixels per page unit: led by the letter in the box's font when that fits;
// on a larger scale, in the largest smaller font that fits and stays at least as large on the screen
// as a legible label; the number alone in the box's font otherwise.
BoxLabel SatelliteBoxLabel(SatelliteId id, const QFont& font, int width, double pixelsPerUnit);

// SatelliteBoxLabel for a page's boxes of one font, kept per satellite: finding the font measures
// the label in every size down to the smallest, and the boxes are filled at every epoch.
class SatelliteBoxLabels {
public:
    explicit SatelliteBoxLabels(QFont font) : font_(std::move(font)) {}
    const BoxLabel& For(SatelliteId id, int width, double pixelsPerUnit);

private:
    QFont font_;
    int width_ = -1;
    double pixelsPerUnit_ = 0;
    std::map<std::pair<GnssId, std::uint16_t>, BoxLabel> labels_;  // for width_ and pixelsPerUnit_
};

// The system's name as a user reads it ("GPS", "GLONASS", "Galileo" ...).
QString SystemName(GnssId gnss);

}  // namespace vexa
