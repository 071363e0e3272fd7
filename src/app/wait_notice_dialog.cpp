#include "app/wait_notice_dialog.h"

#include <QPainter>

namespace vexa {

WaitNoticeDialog::WaitNoticeDialog(QWidget* owner) : QDialog(owner, Qt::FramelessWindowHint | Qt::Dialog) {
    setObjectName(QStringLiteral("134"));
    setModal(false);
    if (owner) setGeometry(owner->window()->geometry());
}

void WaitNoticeDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(255, 255, 255));

    // A small globe with a meridian and a parallel, above the two lines of text.
    const int size = std::min(width(), height()) / 4;
    const QRect globe(width() / 2 - size / 2, height() / 3 - size / 2, size, size);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 255), 2));
    painter.setBrush(QColor(20, 210, 210));
    painter.drawEllipse(globe);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(globe.adjusted(size / 4, 0, -size / 4, 0));
    painter.drawLine(globe.left(), globe.center().y(), globe.right(), globe.center().y());

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 0));
    const QRect below(0, globe.bottom() + 12, width(), 24);
    painter.drawText(below, Qt::AlignCenter, QStringLiteral("Please wait..."));
    font.setBold(false);
    font.setPixelSize(12);
    painter.setFont(font);
    painter.drawText(below.translated(0, 24), Qt::AlignCenter, QStringLiteral("Map resources are being loaded."));
}

}  // namespace vexa
