#include "views/region_proxy.h"

#include <QPaintEngine>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

namespace vexa {

void RegionProxy::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*) {
    QWidget* embedded = widget();
    if (embedded == nullptr || !embedded->isVisible()) return;
    const QRect exposed = (option->exposedRect & rect()).toAlignedRect();
    if (exposed.isEmpty()) return;
    QRegion region(exposed);
    // The region the view repaints, in device pixels, brought back to the widget's units.
    const QPaintEngine* engine = painter->paintEngine();
    if (engine != nullptr && !engine->systemClip().isEmpty() && painter->deviceTransform().isInvertible()) {
        QRegion repainted;
        const QTransform toWidget = painter->deviceTransform().inverted();
        for (const QRect& rect : engine->systemClip()) repainted += toWidget.mapRect(QRectF(rect)).toAlignedRect();
        region &= repainted;
    }
    if (region.isEmpty()) return;
    // The widget places the region's bounding rectangle at the offset given.
    embedded->render(painter, region.boundingRect().topLeft(), region);
}

}  // namespace vexa
