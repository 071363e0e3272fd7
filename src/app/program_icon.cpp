#include "app/program_icon.h"

#include <QPainter>
#include <QPixmap>

namespace vexa {

QIcon ProgramIcon() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 255), 2));
    painter.setBrush(QColor(20, 210, 210));
    painter.drawEllipse(QRect(3, 3, 26, 26));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRect(10, 3, 12, 26));
    painter.drawLine(3, 16, 29, 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 210, 20));
    painter.drawEllipse(QRect(18, 7, 8, 8));
    return QIcon(picture);
}

}  // namespace vexa
