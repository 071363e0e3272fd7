#pragma once

#include <QColor>

namespace vexa {

// The C/N0 colour scale of the history's heat map: dark blue at kWeakest dB-Hz and below, through
// green and yellow, to red at kStrongest and above.
inline constexpr double kWeakestCn0 = 15.0;
inline constexpr double kStrongestCn0 = 50.0;

QColor Cn0Colour(double cn0);
// The same colour as a pixel value, for images filled pixel by pixel.
QRgb Cn0Rgb(double cn0);

}  // namespace vexa
