#include "views/history/history_window.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "evaluation/reference_point.h"
#include "history/history_recorder.h"

namespace vexa {

CHistoryWindow::CHistoryWindow(HistoryRecorder& history, QWidget* parent)
    : QWidget(parent, Qt::Window),
      history_(history),
      strips_(new CHistoryStrips(history, this)),
      follow_(new QCheckBox(QStringLiteral("Follow"), this)),
      reference_(new QLineEdit(this)),
      values_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("History"));
    follow_->setChecked(strips_->Following());
    follow_->setToolTip(QStringLiteral("Keep the newest epoch in view"));
    reference_->setPlaceholderText(QStringLiteral("reference LAT,LON,H"));
    reference_->setToolTip(QStringLiteral("The point the errors are measured from: decimal degrees and metres above the ellipsoid"));
    values_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    values_->setText(QStringLiteral("Wheel: zoom the time axis. Drag: pan. Hover: the values at that moment."));

    auto* controls = new QHBoxLayout;
    controls->addWidget(follow_);
    controls->addWidget(reference_);
    controls->addWidget(values_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(strips_, 1);

    connect(follow_, &QCheckBox::toggled, strips_, &CHistoryStrips::SetFollow);
    connect(strips_, &CHistoryStrips::FollowChanged, follow_, &QCheckBox::setChecked);
    connect(strips_, &CHistoryStrips::Hovered, values_, &QLabel::setText);
    connect(reference_, &QLineEdit::returnPressed, this, &CHistoryWindow::SetReference);
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, strips_, &CHistoryStrips::RefreshWhenAColumnIsDue);
}

void CHistoryWindow::AddControls(QWidget* controls) { static_cast<QVBoxLayout*>(layout())->insertWidget(0, controls); }

void CHistoryWindow::SetReference() {
    const QString text = reference_->text().trimmed();
    if (text.isEmpty()) {
        history_.SetReference(std::nullopt);
        values_->setText(QStringLiteral("No reference: the errors of the epochs to come are not measured."));
        return;
    }
    const ParsedReference parsed = ParseReferencePoint(text.toStdString());
    if (!parsed.point) {
        values_->setText(QString::fromStdString(parsed.message));
        return;
    }
    history_.SetReference(parsed.point);
    values_->setText(QStringLiteral("The errors of the epochs to come are measured from %1.").arg(text));
}

void CHistoryWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    strips_->Refresh();
    refresh_.start();
}

void CHistoryWindow::hideEvent(QHideEvent* event) {
    refresh_.stop();
    QWidget::hideEvent(event);
}

}  // namespace vexa
