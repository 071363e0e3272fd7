#include "views/tab_view.h"

#include <QGraphicsProxyWidget>
#include <QKeyEvent>
#include <QPushButton>
#include <algorithm>

#include "views/region_proxy.h"
#include "views/tab_strip.h"

namespace vexa {

namespace {

// Space between the tabs and the page.
constexpr int kPageGap = 4;

}  // namespace

CTabView::CTabView(QWidget* parent) : QWidget(parent), tabs_(new TabStrip(this)) {
    setFocusPolicy(Qt::StrongFocus);
    // No size until the owner gives one: pages keep their first rectangle until then.
    resize(0, 0);
    connect(tabs_, &TabStrip::ItemClicked, this, &CTabView::OnTabClicked);
}

int CTabView::AddView(const QString& label, QWidget* view) {
    const int index = tabs_->AddItem(label);
    view->setParent(this);
    views_.emplace_back(view);
    if (width() > 0 && height() > 0) LayoutPage(index);
    auto* firstChild = view->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    focus_.emplace_back(firstChild ? firstChild : view);
    if (index == 0) {
        current_ = 0;
        tabs_->SetCurrent(0);
        view->show();
    } else {
        view->hide();
    }
    return index;
}

bool CTabView::SelectTab(int index) {
    if (index < 0 || index >= TabCount()) return false;
    if (index == current_) return true;
    if (current_ >= 0) {
        RememberFocus(current_);
        if (views_[current_] && !ShowingAll()) views_[current_]->hide();
    }
    current_ = index;
    tabs_->SetCurrent(index);
    ShowPage(index);
    return true;
}

QWidget* CTabView::GetView(int index) const {
    if (index < 0 || index >= TabCount()) return nullptr;
    return views_[index];
}

void CTabView::LayoutPage(int index) {
    QWidget* view = GetView(index);
    if (!view) return;
    const int top = TabStrip::kItemHeight + kPageGap;
    if (!ShowingAll()) {
        view->setGeometry(0, top, width(), std::max(0, height() - top));
        return;
    }
    QWidget* cell = cells_[index];
    if (QGraphicsProxyWidget* proxy = cell->graphicsProxyWidget()) proxy->setGeometry(CellRect(index));
    else cell->setGeometry(CellRect(index));
    view->setGeometry(0, top, cell_.width(), std::max(0, cell_.height() - top));
    titles_[index]->setGeometry(0, 0, cell_.width(), TabStrip::kItemHeight);
}

QPushButton* CTabView::Title(int index) const {
    return index >= 0 && index < static_cast<int>(titles_.size()) ? titles_[index] : nullptr;
}

QRect CTabView::CellRect(int index) const {
    if (!ShowingAll() || index < 0 || index >= TabCount()) return {};
    return {QPoint((index % columns_) * cell_.width(), (index / columns_) * cell_.height()), cell_};
}

void CTabView::MakeCells() {
    QGraphicsProxyWidget* hostProxy = graphicsProxyWidget();
    for (int index = 0; index < TabCount(); ++index) {
        auto* cell = new QWidget(hostProxy != nullptr ? nullptr : this);
        cell->setPalette(palette());
        cell->setFont(font());
        titles_[index]->setParent(cell);
        titles_[index]->show();
        if (views_[index]) {
            views_[index]->setParent(cell);
            views_[index]->show();
        }
        if (hostProxy != nullptr) (new RegionProxy(hostProxy))->setWidget(cell);
        cell->show();
        cells_.push_back(cell);
    }
}

// A cell may be left from a click on its own title: it goes once that click has been handled.
void CTabView::ReturnPagesFromCells() {
    for (int index = 0; index < TabCount(); ++index) {
        titles_[index]->setParent(this);
        titles_[index]->hide();
        if (views_[index]) views_[index]->setParent(this);
    }
    for (QWidget* cell : cells_) {
        QObject* owner = cell->graphicsProxyWidget();
        if (owner == nullptr) owner = cell;
        cell->hide();
        owner->deleteLater();
    }
    cells_.clear();
}

void CTabView::ShowAll(int columns) {
    if (columns == columns_) return;
    const bool wasShowingAll = ShowingAll();
    if (!wasShowingAll) cell_ = size();
    columns_ = std::max(0, columns);
    while (static_cast<int>(titles_.size()) < TabCount()) {
        const int index = static_cast<int>(titles_.size());
        auto* title = new QPushButton(tabs_->Label(index), this);
        title->setFlat(true);
        title->setAccessibleName(tabs_->Label(index) + QStringLiteral(" page title"));
        title->setAccessibleDescription(QStringLiteral("Shows the ") + tabs_->Label(index) + QStringLiteral(" page alone"));
        connect(title, &QPushButton::clicked, this, [this, index] { OpenFromAll(index); });
        title->hide();
        titles_.push_back(title);
    }
    if (ShowingAll()) {
        if (cells_.empty()) MakeCells();
        const int rows = (TabCount() + columns_ - 1) / columns_;
        setFixedSize(cell_.width() * columns_, cell_.height() * rows);
        tabs_->hide();
        for (int index = 0; index < TabCount(); ++index) LayoutPage(index);
    } else {
        ReturnPagesFromCells();
        setFixedSize(cell_);
        tabs_->show();
        LayoutPage(current_);
        if (QWidget* view = GetView(current_)) view->show();
    }
    if (wasShowingAll != ShowingAll()) emit ShowingAllChanged(ShowingAll());
}

void CTabView::OpenFromAll(int index) {
    ShowAll(0);
    OnTabClicked(index);
}

void CTabView::OnSelChange(int index) {
    if (current_ < 0) return;
    ShowPage(index);
    QWidget* previousView = GetView(previous_);
    if (previousView && previousView != GetView(index)) previousView->hide();
}

void CTabView::ShowPage(int index) {
    LayoutPage(index);
    if (QWidget* view = GetView(index)) view->show();
    if (QWidget* focus = focus_[index]) focus->setFocus();
}

void CTabView::RestoreSelection(int index) {
    current_ = index;
    tabs_->SetCurrent(index);
}

void CTabView::resizeEvent(QResizeEvent*) {
    tabs_->setGeometry(0, 0, width(), TabStrip::kItemHeight);
    if (!ShowingAll()) {
        LayoutPage(current_);
        return;
    }
    for (int index = 0; index < TabCount(); ++index) LayoutPage(index);
}

void CTabView::focusInEvent(QFocusEvent*) {
    if (current_ >= 0 && focus_[current_]) focus_[current_]->setFocus();
}

void CTabView::PassKeyPresses(int index) {
    QWidget* view = GetView(index);
    if (!view) return;
    view->installEventFilter(this);
    for (QWidget* child : view->findChildren<QWidget*>()) child->installEventFilter(this);
}

bool CTabView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && ChangeTabByKey(static_cast<const QKeyEvent&>(*event))) return true;
    return QWidget::eventFilter(watched, event);
}

bool CTabView::ChangeTabByKey(const QKeyEvent& event) {
    if (current_ < 0 || ShowingAll()) return false;
    const bool control = event.modifiers().testFlag(Qt::ControlModifier);
    const bool plain = (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    int step = 0;
    if ((plain && event.key() == Qt::Key_Left) || (control && event.key() == Qt::Key_Backtab)) step = -1;
    else if ((plain && event.key() == Qt::Key_Right) || (control && event.key() == Qt::Key_Tab)) step = 1;
    else return false;
    OnTabClicked(std::clamp(current_ + step, 0, TabCount() - 1));
    return true;
}

void CTabView::OnTabClicked(int index) {
    if (index == current_) return;
    previous_ = current_;
    if (current_ >= 0) RememberFocus(current_);
    current_ = index;
    tabs_->SetCurrent(index);
    OnSelChange(index);
}

void CTabView::RememberFocus(int index) {
    QWidget* view = GetView(index);
    // The host's own focus widget: also right where the host is shown inside a scaled view.
    QWidget* focused = focusWidget();
    if (view && focused && view->isAncestorOf(focused)) focus_[index] = focused;
}

}  // namespace vexa
