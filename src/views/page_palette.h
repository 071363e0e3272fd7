#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>

namespace vexa {

// The drawing palette shared by the pages.
inline const QColor kPaletteRed(255, 0, 0);
inline const QColor kPaletteGreen(20, 210, 20);
inline const QColor kPaletteBlue(0, 0, 255);
inline const QColor kPaletteCyan(20, 210, 210);
inline const QColor kPaletteBlack(0, 0, 0);
inline const QColor kPaletteWhite(255, 255, 255);
inline const QColor kPaletteYellow(255, 255, 0);
inline const QColor kPaletteLightGrey(192, 192, 192);

// "Arial" at a height in pixels; the system's metric twin (Liberation Sans) stands in for it.
// Drawn without smoothing, like the pages' shapes, so that text pixels are the text's colour.
inline QFont ArialPixels(int pixels, bool bold = false) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleStrategy(QFont::NoAntialias);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// "Arial" whose cell, from the top of its ascent to the bottom of its descent, is at most
// `cellPixels` high: a font height that the pages give as a plain pixel count is a cell height.
inline QFont ArialCell(int cellPixels, bool bold = false) {
    int pixels = cellPixels;
    QFont font = ArialPixels(pixels, bold);
    while (pixels > 1 && QFontMetrics(font).height() > cellPixels) font.setPixelSize(--pixels);
    return font;
}

}  // namespace vexa
