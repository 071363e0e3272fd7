#include "views/tab_strip.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace vexa {

TabStrip::TabStrip(QWidget* parent) : QWidget(parent) {
    QFont tabFont(QStringLiteral("Arial"));
    tabFont.setPixelSize(10);
    setFont(tabFont);
    // Reached by the Tab key only: a click on a tab leaves the focus on the page.
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Pages"));
    setAccessibleDescription(QStringLiteral("The tabs of the pages; the left and right arrow keys change the page"));
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
    if (hasFocus() && current_ >= 0) {
        painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(ItemRect(current_).adjusted(2, 2, -3, -3));
    }
}

void TabStrip::keyPressEvent(QKeyEvent* event) {
    int wanted = -1;
    switch (event->key()) {
    case Qt::Key_Left: wanted = current_ - 1; break;
    case Qt::Key_Right: wanted = current_ + 1; break;
    case Qt::Key_Home: wanted = 0; break;
    case Qt::Key_End: wanted = Count() - 1; break;
    default: QWidget::keyPressEvent(event); return;
    }
    if (Count() > 0) emit ItemClicked(std::clamp(wanted, 0, Count() - 1));
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
