#pragma once

#include <QColor>
#include <QWidget>

namespace vexa {

// A vertical signal bar: black above, the bar colour below, its height in proportion to the
// position within the range.
class CSignalBar : public QWidget {
    Q_OBJECT
public:
    explicit CSignalBar(QWidget* parent = nullptr);

    void SetRange(int lower, int upper);
    // Clamps to the range; gives the previous position.
    int SetPos(int position);
    void SetColour(const QColor& colour);

    int Pos() const { return position_; }
    QColor Colour() const { return colour_; }
    // Height in pixels of the coloured part for the current position and size.
    int BarHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int lower_ = 0;
    int upper_ = 100;
    int position_ = 10;
    QColor colour_;
};

}  // namespace vexa
