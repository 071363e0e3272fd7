#include "views/tab_strip.h"

#include <QMouseEvent>
#include <QPainter>

namespace vexa {

TabStrip::TabStrip(QWidget* parent) : QWidget(parent) {
    QFont tabFont(QStringLiteral("Arial"));
    tabFont.setPixelSize(10);
    setFont(tabFont);
}

int TabStrip::AddItem(const QString& label) {
    labels_.append(label);
    update();
    return Count() - 1;
}

void TabStrip::SetCurrent(int index) {
    current_ = index;
    update();
}

QRect TabStrip::ItemRect(int index) const {
    if (index < 0 || index >= Count()) return {};
    const int left = width() * index / Count();
    const int right = width() * (index + 1) / Count();
    return QRect(left, 0, right - left, kItemHeight);
}

void TabStrip::paintEvent(QPaintEvent*) {
    if (!painter_) return;
    QPainter painter(this);
    for (int index = 0; index < Count(); ++index) painter_(painter, index, ItemRect(index), index == current_);
}

void TabStrip::mousePressEvent(QMouseEvent* event) {
    for (int index = 0; index < Count(); ++index) {
        if (ItemRect(index).contains(event->position().toPoint())) {
            emit ItemClicked(index);
            return;
        }
    }
}

}  // namespace vexa
