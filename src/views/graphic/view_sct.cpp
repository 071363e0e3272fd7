#include "views/graphic/view_sct.h"

#include <QPainter>
#include <QPushButton>

#include "uicore/display_preferences.h"
#include "views/graphic/plot_view.h"
#include "views/page_palette.h"

namespace vexa {

namespace {

QPushButton* MakeButton(QWidget* page, const QString& text, int id, const QRect& rect) {
    auto* button = new QPushButton(text, page);
    button->setObjectName(QString::number(id));
    button->setGeometry(rect);
    return button;
}

}  // namespace

CViewSct::CViewSct(DisplayPreferences& preferences, GeodeticFixReader readFix, QWidget* parent)
    : QWidget(parent),
      preferences_(preferences),
      readFix_(readFix),
      properties_(MakeButton(this, QStringLiteral("Properties..."), kProperties, QRect(150, 218, 81, 19))),
      center_(MakeButton(this, QStringLiteral("Center"), kCenter, QRect(102, 218, 47, 19))),
      plot_(new CMapView(preferences.Settings(), preferences.Store(), std::move(readFix), this)) {
    plot_->setGeometry(QRect(QPoint(-1, -1), QPoint(239, 209)));
    connect(properties_, &QPushButton::clicked, this, &CViewSct::OnProperties);
    connect(center_, &QPushButton::clicked, this, &CViewSct::OnCenter);
}

void CViewSct::OnInitialUpdate() {
    plot_->OnInitialUpdate();
}

// The page itself draws only its ground: the plot repaints what a fix changed.
void CViewSct::OnUpdate(const LinkUpdate& update) { plot_->OnUpdate(update); }

void CViewSct::OnCenter() {
    const std::optional<GeodeticFix> fix = readFix_();
    if (fix && fix->latitude != 0.0 && fix->longitude != 0.0) plot_->SetOrigin(fix->latitude, fix->longitude);
}

void CViewSct::OnProperties() {
    if (preferences_.EditPlot(this)) plot_->Rebuild();
}

void CViewSct::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The whole page as it is now: the tab host sizes the page after its first update.
    painter.fillRect(rect(), kPaletteLightGrey);
}

}  // namespace vexa
