#include "views/scaled_view.h"

#include <QEvent>
#include <QGraphicsProxyWidget>
#include <QKeyEvent>
#include <QResizeEvent>
#include <algorithm>

#include "views/page_palette.h"
#include "views/region_proxy.h"

namespace vexa {

namespace {

QGraphicsProxyWidget* Embed(QGraphicsScene& scene, QWidget* content) {
    auto* proxy = new RegionProxy;
    proxy->setWidget(content);
    scene.addItem(proxy);
    return proxy;
}

}  // namespace

ScaledView::ScaledView(QWidget* content, QWidget* parent)
    : QGraphicsView(parent), content_(content), proxy_(Embed(scene_, content)) {
    setScene(&scene_);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBackgroundBrush(kPaletteLightGrey);
    setAlignment(Qt::AlignCenter);
    // Only the region a widget asks to repaint is drawn again: pages whose data did not change are not.
    setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
    setMinimumSize(content->size());
    setFocusPolicy(Qt::StrongFocus);
    scene_.setFocusItem(proxy_);
    content->installEventFilter(this);
}

// The proxy keeps the size limits the content had when it was embedded: a content that changes its
// fixed size (a grid of every page) gives the proxy its new limits and size here.
bool ScaledView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == content_ && event->type() == QEvent::Resize) {
        const QSizeF size = content_->size();
        if (proxy_->size() != size) {
            proxy_->setMinimumSize(size);
            proxy_->setMaximumSize(size);
            proxy_->resize(size);
        }
        FitContent();
    }
    return QGraphicsView::eventFilter(watched, event);
}

QPoint ScaledView::FromContent(QPointF contentPoint) const {
    return mapFromScene(proxy_->mapToScene(contentPoint));
}

double ScaledView::PixelsPerUnit(const QWidget& widget) {
    const QGraphicsProxyWidget* proxy = widget.window()->graphicsProxyWidget();
    if (proxy == nullptr || proxy->scene() == nullptr || proxy->scene()->views().isEmpty())
        return widget.devicePixelRatioF();
    const QGraphicsView* view = proxy->scene()->views().constFirst();
    return view->transform().m11() * view->devicePixelRatioF();
}

bool ScaledView::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        const bool plain = (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == Qt::NoModifier;
        if (plain && (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab))
            return MoveFocusInContent(key.key() == Qt::Key_Tab && !key.modifiers().testFlag(Qt::ShiftModifier));
    }
    return QGraphicsView::event(event);
}

std::vector<QWidget*> ScaledView::TabStops() const {
    std::vector<QWidget*> windows{content_};
    for (QGraphicsItem* item : proxy_->childItems()) {
        const auto* beside = dynamic_cast<const QGraphicsProxyWidget*>(item);
        if (beside != nullptr && beside->isVisible() && beside->widget() != nullptr) windows.push_back(beside->widget());
    }
    std::vector<QWidget*> stops;
    for (QWidget* window : windows) {
        QWidget* candidate = window;
        do {
            const bool inside = candidate == window || window->isAncestorOf(candidate);
            if (inside && candidate->isEnabled() && candidate->isVisibleTo(window) &&
                (candidate->focusPolicy() & Qt::TabFocus) != 0)
                stops.push_back(candidate);
            candidate = candidate->nextInFocusChain();
        } while (candidate != window);
    }
    return stops;
}

// The Tab key walks the content's focus chain, as it would in a window of its own, and on through the
// windows embedded beside it.
bool ScaledView::MoveFocusInContent(bool next) {
    const std::vector<QWidget*> stops = TabStops();
    if (stops.empty()) return false;
    QWidget* focused = nullptr;
    if (const auto* proxy = dynamic_cast<const QGraphicsProxyWidget*>(scene_.focusItem()); proxy && proxy->widget())
        focused = proxy->widget()->focusWidget() != nullptr ? proxy->widget()->focusWidget() : proxy->widget();
    const auto at = std::find(stops.begin(), stops.end(), focused);
    const auto count = static_cast<std::ptrdiff_t>(stops.size());
    std::ptrdiff_t index = at == stops.end() ? (next ? -1 : count) : at - stops.begin();
    index = ((index + (next ? 1 : -1)) % count + count) % count;
    stops[static_cast<std::size_t>(index)]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void ScaledView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    FitContent();
}

void ScaledView::FitContent() {
    const QSizeF content = proxy_->size();
    if (content.isEmpty()) return;
    const double scale = std::min(width() / content.width(), height() / content.height());
    setSceneRect(proxy_->geometry());
    setTransform(QTransform::fromScale(scale, scale));
    if (scale == scale_) return;
    scale_ = scale;
    emit ScaleChanged(scale);
}

}  // namespace vexa
