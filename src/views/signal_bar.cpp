#include "views/signal_bar.h"

#include <QPainter>
#include <algorithm>

#include "views/page_palette.h"

namespace vexa {

CSignalBar::CSignalBar(QWidget* parent) : QWidget(parent), colour_(kPaletteRed) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CSignalBar::SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    update();
}

int CSignalBar::SetPos(int position) {
    const int previous = position_;
    const int clamped = std::clamp(position, std::min(lower_, upper_), std::max(lower_, upper_));
    if (clamped != position_) {
        position_ = clamped;
        update();
    }
    return previous;
}

void CSignalBar::SetColour(const QColor& colour) {
    if (colour == colour_) return;
    colour_ = colour;
    update();
}

int CSignalBar::BarHeight() const {
    if (upper_ <= lower_) return 0;
    return (position_ - lower_) * height() / (upper_ - lower_);
}

void CSignalBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int h = BarHeight();
    painter.fillRect(0, 0, width(), height() - h, kPaletteBlack);
    painter.fillRect(0, height() - h, width(), h, colour_);
}

}  // namespace vexa
