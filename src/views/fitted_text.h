#pragma once

#include <QFont>
#include <QLabel>
#include <QRect>
#include <QSize>
#include <QString>

class QAbstractButton;
class QPainter;

namespace vexa {

// The font, made smaller a pixel at a time, in which `text` laid out with `flags` fits into
// `room`; the font itself when the text already fits. Below a readable size it stops shrinking.
QFont FontToFit(const QFont& font, const QString& text, const QSize& room, int flags = 0);

// The part of a check box, radio button or push button that its caption is drawn in, beside the
// button's mark and inside its frame.
QRect CaptionRoom(const QAbstractButton* button);

// Gives a check box, radio button or push button with a fixed caption the largest font, up to its
// own, in which the caption fits beside the button's mark; call it once the button has its size.
void FitButtonText(QAbstractButton* button);

// A static text that shrinks its text to fit its box instead of cutting it off; a fixed box
// can then show its longest value at any font size the page chose.
class FittedLabel : public QLabel {
    Q_OBJECT
public:
    explicit FittedLabel(QWidget* parent = nullptr);

    // The font the text is drawn in: the label's own font, or a smaller one when it does not fit.
    QFont DrawnFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawFrame(QPainter& painter);
};

}  // namespace vexa
