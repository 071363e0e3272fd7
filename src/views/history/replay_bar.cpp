#include "views/history/replay_bar.h"

#include <QHBoxLayout>
#include <QProxyStyle>
#include <QSignalBlocker>

#include "link/gps_comm.h"
#include "link/sources/replay_name.h"
#include "receiver/fix/utc_text.h"

namespace vexa {
namespace {

// A click on the bar moves to the place clicked, not one page towards it.
class JumpToClickStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* returned) const override {
        if (hint == SH_Slider_AbsoluteSetButtons) return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

QString PlaceText(const PlaybackState& state, const std::optional<GnssFix>& fix) {
    const double percent = state.size == 0 ? 0 : 100.0 * static_cast<double>(state.position) / static_cast<double>(state.size);
    QString text = QStringLiteral("%1 %").arg(percent, 0, 'f', 1);
    if (fix && fix->time) {
        // "2026-03-14T12:00:05.250Z" shown as "2026-03-14 12:00:05 UTC".
        const std::string utc = IsoUtcText(*fix->time);
        text += QStringLiteral("  ") + QString::fromStdString(utc.substr(0, 10) + " " + utc.substr(11, 8) + " UTC");
    }
    if (!state.open) return text + QStringLiteral("  (ended)");
    return state.paused ? text + QStringLiteral("  (paused)") : text;
}

}  // namespace

CReplayBar::CReplayBar(GpsComm& link, QWidget* parent)
    : QWidget(parent),
      link_(link),
      pause_(new QPushButton(QStringLiteral("Pause"), this)),
      speed_(new QDoubleSpinBox(this)),
      seek_(new QSlider(Qt::Horizontal, this)),
      place_(new QLabel(this)) {
    pause_->setToolTip(QStringLiteral("Stop reading the capture; nothing received is lost"));
    speed_->setRange(ReplayPace::kSlowest, ReplayPace::kFastest);
    speed_->setDecimals(1);
    speed_->setStepType(QAbstractSpinBox::AdaptiveDecimalStepType);
    speed_->setSuffix(QStringLiteral("x"));
    speed_->setKeyboardTracking(false);
    speed_->setToolTip(QStringLiteral("Replay speed: times the capture's line rate"));
    seek_->setRange(0, kSeekSteps);
    seek_->setPageStep(kSeekSteps / 20);
    auto* jumpToClick = new JumpToClickStyle;
    jumpToClick->setParent(seek_);
    seek_->setStyle(jumpToClick);
    seek_->setToolTip(QStringLiteral("Place in the capture: playing goes on from the next message there"));
    place_->setMinimumWidth(place_->fontMetrics().horizontalAdvance(QStringLiteral("100.0 %  2026-12-31 23:59:59 UTC  (paused)")));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Replay:"), this));
    layout->addWidget(pause_);
    layout->addWidget(speed_);
    layout->addWidget(seek_, 1);
    layout->addWidget(place_);

    connect(pause_, &QPushButton::clicked, this, &CReplayBar::TogglePause);
    connect(speed_, &QDoubleSpinBox::valueChanged, this, &CReplayBar::ChooseSpeed);
    // Dragged, the bar seeks where it is let go; clicked, keyed or wheeled, at once.
    connect(seek_, &QSlider::sliderReleased, this, &CReplayBar::SeekToBar);
    connect(seek_, &QSlider::valueChanged, this, [this] {
        if (!seek_->isSliderDown()) SeekToBar();
    });
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &CReplayBar::Refresh);
    refresh_.start();
    Refresh();
}

void CReplayBar::Refresh() {
    const std::optional<PlaybackState> state = link_.Playback();
    setVisible(state.has_value());
    if (!state) return;
    size_ = state->size;
    pause_->setText(state->paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    for (QWidget* control : {static_cast<QWidget*>(pause_), static_cast<QWidget*>(speed_), static_cast<QWidget*>(seek_)}) {
        control->setEnabled(state->open);
    }
    if (!speed_->hasFocus()) {
        const QSignalBlocker quiet(speed_);
        speed_->setValue(state->speed);
    }
    if (!seek_->isSliderDown() && size_ > 0) {
        const QSignalBlocker quiet(seek_);
        seek_->setValue(static_cast<int>(state->position * kSeekSteps / size_));
    }
    place_->setText(PlaceText(*state, link_.Model().LatestFix()));
}

void CReplayBar::TogglePause() {
    const std::optional<PlaybackState> state = link_.Playback();
    if (state) static_cast<void>(link_.PausePlayback(!state->paused));  // an ended capture has nothing to pause
    Refresh();
}

void CReplayBar::ChooseSpeed(double speed) {
    static_cast<void>(link_.SetPlaybackSpeed(speed));  // refused only once the capture is gone
    Refresh();
}

void CReplayBar::SeekToBar() {
    if (size_ == 0) return;
    const auto byte = static_cast<std::uint64_t>(seek_->value()) * size_ / kSeekSteps;
    static_cast<void>(link_.SeekPlayback(byte));  // an ended capture stays where it ended
    Refresh();
}

}  // namespace vexa
