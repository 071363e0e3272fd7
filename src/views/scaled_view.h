#pragma once

#include <QGraphicsScene>
#include <QGraphicsView>
#include <vector>

class QGraphicsProxyWidget;

namespace vexa {

// Shows a widget of fixed size scaled to fill the view, keeping its proportions, with the spare
// space around it in the page grey. The widget is drawn through the view's scaled painter, so text
// and lines are drawn at the view's resolution; mouse and keys reach it mapped back to its units.
class ScaledView : public QGraphicsView {
    Q_OBJECT
public:
    explicit ScaledView(QWidget* content, QWidget* parent = nullptr);

    QWidget* Content() const { return content_; }
    // The view's pixels per content unit.
    double Scale() const { return scale_; }
    // Where a point of the content lies in the view.
    QPoint FromContent(QPointF contentPoint) const;
    // The device pixels a widget's unit takes on the screen: its scaled view's scale (when it is
    // shown in one) times the screen's pixel ratio.
    static double PixelsPerUnit(const QWidget& widget);

signals:
    void ScaleChanged(double scale);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitContent();
    bool MoveFocusInContent(bool next);
    // The widgets the Tab key stops at, in order: the content's own, then those of the windows
    // embedded beside it (the cells of a grid of every page).
    std::vector<QWidget*> TabStops() const;

    QGraphicsScene scene_;
    QWidget* content_;
    QGraphicsProxyWidget* proxy_;
    double scale_ = 1.0;
};

}  // namespace vexa
