#pragma once

#include <QGraphicsProxyWidget>

namespace vexa {

// Embeds a widget in a graphics scene and, when the view repaints, draws only the widget's children
// that lie in the region the view repaints, not every child inside that region's bounding rectangle:
// pages that changed far apart on a scaled screen do not paint the unchanged pages between them.
class RegionProxy : public QGraphicsProxyWidget {
    Q_OBJECT
public:
    using QGraphicsProxyWidget::QGraphicsProxyWidget;

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
};

}  // namespace vexa
