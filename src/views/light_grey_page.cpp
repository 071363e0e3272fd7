#include "views/light_grey_page.h"

#include <QPainter>

namespace vexa {

LightGreyPage::LightGreyPage(QWidget* parent) : QWidget(parent) {}

void LightGreyPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(192, 192, 192));
}

}  // namespace vexa
