#include "views/receiver_test/campaign_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <chrono>

#include "evaluation/reset_text.h"

namespace vexa {

namespace {

constexpr int kMostRuns = 100000;
constexpr int kLongestSeconds = 24 * 3600;
constexpr int kDefaultRuns = 10;
constexpr int kDefaultTimeoutSeconds = 300;
constexpr int kDefaultSettleSeconds = 10;
constexpr double kDefaultRadius = 10.0;

QString Name(std::string_view name) { return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())); }

QSpinBox* SecondsBox(QWidget* parent, int lowest, int value, const QString& name) {
    auto* box = new QSpinBox(parent);
    box->setRange(lowest, kLongestSeconds);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" s"));
    box->setAccessibleName(name);
    return box;
}

// "1 h 02 min", "4 min 05 s", "12 s".
QString Duration(std::chrono::milliseconds left) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left).count();
    if (seconds >= 3600) return QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'));
    if (seconds >= 60) return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1 s").arg(seconds);
}

QString PhaseText(CampaignPhase phase) {
    switch (phase) {
    case CampaignPhase::Idle: return QStringLiteral("Not started.");
    case CampaignPhase::Running: return QStringLiteral("Reset sent, waiting for the fixes");
    case CampaignPhase::Settling: return QStringLiteral("Settling before the next run");
    case CampaignPhase::AwaitingLink: return QStringLiteral("The receiver went away; the next run starts when it returns");
    case CampaignPhase::AwaitingPowerOff: return QStringLiteral("Switch the receiver off (or unplug it)");
    case CampaignPhase::AwaitingReturn: return QStringLiteral("Switch the receiver on (or plug it in); the run is timed from its return");
    case CampaignPhase::Finished: return QStringLiteral("Finished");
    case CampaignPhase::Stopped: return QStringLiteral("Stopped");
    }
    return {};
}

}  // namespace

CampaignBox::CampaignBox(QWidget* parent)
    : QGroupBox(QStringLiteral("Time to first fix campaign"), parent),
      kind_(new QComboBox(this)),
      runs_(new QSpinBox(this)),
      timeout_(SecondsBox(this, 1, kDefaultTimeoutSeconds, QStringLiteral("Run time-out"))),
      settle_(SecondsBox(this, 0, kDefaultSettleSeconds, QStringLiteral("Settle time"))),
      radius_(new QDoubleSpinBox(this)),
      powerCycle_(new QCheckBox(QStringLiteral("Power-cycle: I switch the receiver off and on"), this)),
      start_(new QPushButton(QStringLiteral("Start"), this)),
      stop_(new QPushButton(QStringLiteral("Stop"), this)),
      progress_(new QProgressBar(this)),
      state_(new QLabel(this)) {
    for (const ResetKind kind : kResetKinds) kind_->addItem(Name(ResetKindName(kind)));
    kind_->addItem(QStringLiteral("cycle"));
    kind_->setCurrentText(Name(ResetKindName(ResetKind::Cold)));
    kind_->setAccessibleName(QStringLiteral("Reset kind"));
    runs_->setRange(1, kMostRuns);
    runs_->setValue(kDefaultRuns);
    runs_->setAccessibleName(QStringLiteral("Runs"));
    radius_->setRange(0.01, 100000.0);
    radius_->setDecimals(2);
    radius_->setValue(kDefaultRadius);
    radius_->setSuffix(QStringLiteral(" m"));
    radius_->setToolTip(QStringLiteral("Each run also times the first fix within this distance of the reference point"));
    powerCycle_->setToolTip(QStringLiteral("No reset is sent: each run is timed from the receiver coming back"));
    state_->setWordWrap(true);
    progress_->setRange(0, kDefaultRuns);
    progress_->setValue(0);
    progress_->setFormat(QStringLiteral("%v of %m runs"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Reset:"), kind_);
    form->addRow(QStringLiteral("Runs:"), runs_);
    form->addRow(QStringLiteral("Run time-out:"), timeout_);
    form->addRow(QStringLiteral("Settle:"), settle_);
    form->addRow(QStringLiteral("Within radius:"), radius_);
    for (std::size_t i = 0; i < kResetKinds.size(); ++i) {
        texts_[i] = new QLineEdit(this);
        texts_[i]->setPlaceholderText(QStringLiteral("the link's reset command"));
        texts_[i]->setToolTip(QStringLiteral("Bytes your receiver takes as this reset, sent as typed; \\r \\n \\t \\\\ and \\xHH "
                                             "stand for the bytes they name"));
        const QString kind = Name(ResetKindName(kResetKinds[i]));
        texts_[i]->setAccessibleName(kind + QStringLiteral(" reset text"));
        form->addRow(kind + QStringLiteral(" reset text:"), texts_[i]);
    }
    form->addRow(powerCycle_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(progress_);
    layout->addWidget(state_);

    connect(start_, &QPushButton::clicked, this, &CampaignBox::StartClicked);
    connect(stop_, &QPushButton::clicked, this, &CampaignBox::StopClicked);
    ShowRunning(false);
    state_->setText(PhaseText(CampaignPhase::Idle));
}

std::optional<CampaignSettings> CampaignBox::Settings() {
    CampaignSettings settings;
    const std::optional<CampaignPlan> plan = ParseCampaignPlan(kind_->currentText().toStdString());
    if (!plan) return std::nullopt;
    settings.plan = *plan;
    settings.runs = static_cast<std::size_t>(runs_->value());
    settings.runTimeout = std::chrono::seconds(timeout_->value());
    settings.settle = std::chrono::seconds(settle_->value());
    settings.radius = radius_->value();
    settings.powerCycle = powerCycle_->isChecked();
    if (const std::string why = WhyNotACampaign(settings); !why.empty()) {
        ShowProblem(QStringLiteral("Not started: ") + QString::fromStdString(why));
        return std::nullopt;
    }
    return settings;
}

std::optional<ResetTexts> CampaignBox::Texts() {
    ResetTexts texts;
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        const QString typed = texts_[i]->text();
        if (typed.isEmpty()) continue;
        // Latin-1: each character typed below 256 is the byte of that value.
        const ParsedResetText parsed = ParseResetText(typed.toLatin1().toStdString());
        if (!parsed.bytes) {
            ShowProblem(QStringLiteral("Not started: ") + Name(ResetKindName(kResetKinds[i])) + QStringLiteral(" reset text: ") +
                        QString::fromStdString(parsed.problem));
            return std::nullopt;
        }
        texts[i] = *parsed.bytes;
    }
    return texts;
}

void CampaignBox::ShowRunning(bool running) {
    for (QWidget* setting : std::initializer_list<QWidget*>{kind_, runs_, timeout_, settle_, radius_, powerCycle_}) setting->setEnabled(!running);
    for (QLineEdit* text : texts_) text->setEnabled(!running);
    start_->setEnabled(!running);
    stop_->setEnabled(running);
}

void CampaignBox::ShowProgress(const CampaignProgress& progress) {
    progress_->setRange(0, static_cast<int>(progress.runsTotal));
    progress_->setValue(static_cast<int>(progress.runsDone));
    QString text = PhaseText(progress.phase);
    const bool ended = progress.phase == CampaignPhase::Finished || progress.phase == CampaignPhase::Stopped;
    text += QStringLiteral(": %1 of %2 runs done").arg(progress.runsDone).arg(progress.runsTotal);
    if (!ended) text += QStringLiteral(", about %1 left").arg(Duration(progress.timeLeft));
    state_->setStyleSheet(QString());
    state_->setText(text + QStringLiteral("."));
}

void CampaignBox::ShowProblem(const QString& text) {
    state_->setStyleSheet(QStringLiteral("color: #b00000;"));
    state_->setText(text);
}

QString CampaignBox::ProgressText() const { return state_->text(); }

}  // namespace vexa
