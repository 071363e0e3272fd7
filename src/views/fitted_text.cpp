#include "views/fitted_text.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <qdrawutil.h>

namespace vexa {

namespace {

constexpr int kSmallestReadablePixels = 6;

bool Fits(const QFont& font, const QString& text, const QSize& room, int flags) {
    const QRectF box = QFontMetricsF(font).boundingRect(QRectF(QPointF(0, 0), QSizeF(room)), flags, text);
    return box.width() <= room.width() && box.height() <= room.height();
}

// A font fitted for a text in a room, as FontToFit gives it.
struct FitKey {
    QString text;
    QFont font;
    QSize room;
    int flags = 0;
    bool operator==(const FitKey&) const = default;
};

size_t qHash(const FitKey& key, size_t seed) {
    return qHashMulti(seed, key.text, key.font, key.room.width(), key.room.height(), key.flags);
}

}  // namespace

QFont FontToFit(const QFont& font, const QString& text, const QSize& room, int flags) {
    QFont fitted = font;
    // A font given in points shrinks in whole pixels.
    int pixels = QFontInfo(font).pixelSize();
    while (pixels > kSmallestReadablePixels && !Fits(fitted, text, room, flags)) fitted.setPixelSize(--pixels);
    return fitted;
}

QRect CaptionRoom(const QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button)) contents = QStyle::SE_CheckBoxContents;
    if (qobject_cast<const QRadioButton*>(button)) contents = QStyle::SE_RadioButtonContents;
    return button->style()->subElementRect(contents, &option, button);
}

void FitButtonText(QAbstractButton* button) {
    button->setFont(FontToFit(button->font(), button->text(), CaptionRoom(button).size()));
}

FittedLabel::FittedLabel(QWidget* parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

// Fitting measures the text in every size it tries. The fonts fitted are kept for every label at
// once: the boxes of a page show the same few dozen texts in turn as satellites change places.
QFont FittedLabel::DrawnFont() const {
    static QHash<FitKey, QFont> fitted;
    FitKey key{text(), font(), contentsRect().size(), static_cast<int>(alignment())};
    if (const auto found = fitted.constFind(key); found != fitted.cend()) return *found;
    if (fitted.size() > 4096) fitted.clear();  // texts that do not come again: keep the memory bounded
    const QFont drawn = FontToFit(key.font, key.text, key.room, key.flags);
    fitted.insert(std::move(key), drawn);
    return drawn;
}

// The plain box and the sunken panel most labels have, drawn as the style draws them, without making
// the style's options at every paint: a label is painted again whenever a neighbour is.
void FittedLabel::DrawFrame(QPainter& painter) {
    if (frameShape() == QFrame::Box && frameShadow() == QFrame::Plain) {
        qDrawPlainRect(&painter, frameRect(), palette().color(foregroundRole()), lineWidth());
    } else if (frameShape() == QFrame::Panel && frameShadow() == QFrame::Sunken) {
        QPalette colours = palette();
        colours.setCurrentColorGroup(!isEnabled() ? QPalette::Disabled : isActiveWindow() ? QPalette::Active : QPalette::Inactive);
        qDrawShadePanel(&painter, frameRect(), colours, true, lineWidth());
    } else {
        drawFrame(&painter);
    }
}

void FittedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawFrame(painter);
    painter.setFont(DrawnFont());
    style()->drawItemText(&painter, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), text(), foregroundRole());
}

}  // namespace vexa
