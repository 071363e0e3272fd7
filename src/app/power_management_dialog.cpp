#include "app/power_management_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "uicore/field_text.h"
#include "uicore/prompts.h"

namespace vexa {

namespace {

constexpr int kAlwaysOn = 1170;
constexpr int kAdaptive = 1173;
constexpr int kUpdateRate = 1174;
constexpr int kOnTime = 1175;
constexpr int kMaxOffTime = 1176;
constexpr int kMaxSearchTime = 1177;
constexpr int kFixOnDemandPeriod = 1178;
constexpr int kUpdateRateLabel = 1179;
constexpr int kFixOnDemandLabel = 1183;

template <class Control>
Control* Named(Control* control, int id) {
    control->setObjectName(QString::number(id));
    return control;
}

}  // namespace

CPowerManagementDlg::CPowerManagementDlg(CommandSender send, Prompts& prompts, QWidget* parent)
    : QDialog(parent), send_(std::move(send)), prompts_(prompts) {
    setObjectName(QStringLiteral("139"));
    setWindowTitle(QStringLiteral("Power Management"));
    auto* layout = new QVBoxLayout(this);

    auto* modeBox = new QGroupBox(QStringLiteral("Power Mode"), this);
    auto* modeLayout = new QVBoxLayout(modeBox);
    mode_ = new QButtonGroup(this);
    const QString modeNames[] = {QStringLiteral("Always on"), QStringLiteral("TimedPower"),
                                 QStringLiteral("Fix-on-Demand")};
    for (int index = 0; index < 3; ++index) {
        auto* button = Named(new QRadioButton(modeNames[index], modeBox), kAlwaysOn + index);
        modeLayout->addWidget(button);
        mode_->addButton(button, index);
    }
    layout->addWidget(modeBox);
    adaptive_ = Named(new QCheckBox(QStringLiteral("Adaptive mode"), this), kAdaptive);
    layout->addWidget(adaptive_);

    auto* grid = new QGridLayout;
    const QString labels[] = {QStringLiteral("Update rate (sec.):"), QStringLiteral("On-time (ms):"),
                              QStringLiteral("Maximum off-time (ms):"), QStringLiteral("Maximum search time (ms):"),
                              QStringLiteral("Fix-on-Demand period (sec.):")};
    for (int row = 0; row < 5; ++row)
        grid->addWidget(Named(new QLabel(labels[row], this), kUpdateRateLabel + row), row, 0);
    updateRate_ = Named(new QComboBox(this), kUpdateRate);
    for (int rate = kMinUpdateRateSeconds; rate <= kMaxUpdateRateSeconds; ++rate) {
        updateRate_->addItem(QString::number(rate));
    }
    onTime_ = Named(new QComboBox(this), kOnTime);
    for (int onTime = kMinOnTimeMs; onTime <= kMaxOnTimeMs; onTime += kOnTimeStepMs) {
        onTime_->addItem(QString::number(onTime));
    }
    maxOffTime_ = Named(new QLineEdit(this), kMaxOffTime);
    maxSearchTime_ = Named(new QLineEdit(this), kMaxSearchTime);
    fixOnDemandPeriod_ = Named(new QLineEdit(this), kFixOnDemandPeriod);
    QWidget* fields[] = {updateRate_, onTime_, maxOffTime_, maxSearchTime_, fixOnDemandPeriod_};
    for (int row = 0; row < 5; ++row) grid->addWidget(fields[row], row, 1);
    layout->addLayout(grid);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPowerManagementDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPowerManagementDlg::reject);
    layout->addWidget(buttons);

    connect(mode_, &QButtonGroup::idClicked, this, [this] {
        if (ReadControls()) EnableForMode();
    });
}

QWidget* CPowerManagementDlg::Control(int id) const { return findChild<QWidget*>(QString::number(id)); }

int CPowerManagementDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

void CPowerManagementDlg::OnInitDialog() {
    m_nPowerMode = 0;
    m_strUpdateRate = QStringLiteral("1");
    m_strOnTime = QStringLiteral("200");
    m_nMaxOffTime = 30000;
    m_nMaxSearchTime = 300000;
    m_nFixOnDemandPeriod = 1800;
    MoveIntoControls();
    EnableForMode();
}

void CPowerManagementDlg::MoveIntoControls() {
    if (QAbstractButton* button = mode_->button(m_nPowerMode)) button->setChecked(true);
    adaptive_->setChecked(m_bAdaptive != 0);
    updateRate_->setCurrentText(m_strUpdateRate);
    onTime_->setCurrentText(m_strOnTime);
    maxOffTime_->setText(QString::number(m_nMaxOffTime));
    maxSearchTime_->setText(QString::number(m_nMaxSearchTime));
    fixOnDemandPeriod_->setText(QString::number(m_nFixOnDemandPeriod));
}

bool CPowerManagementDlg::ReadControls() {
    for (QLineEdit* edit : {maxOffTime_, maxSearchTime_, fixOnDemandPeriod_}) {
        if (!IntegerField(edit->text())) {
            prompts_.ShowMessage(this, QStringLiteral("Please enter an integer."));
            edit->setFocus();
            return false;
        }
    }
    m_nPowerMode = mode_->checkedId();
    m_bAdaptive = adaptive_->isChecked() ? 1 : 0;
    m_strUpdateRate = updateRate_->currentText();
    m_strOnTime = onTime_->currentText();
    m_nMaxOffTime = *IntegerField(maxOffTime_->text());
    m_nMaxSearchTime = *IntegerField(maxSearchTime_->text());
    m_nFixOnDemandPeriod = *IntegerField(fixOnDemandPeriod_->text());
    return true;
}

void CPowerManagementDlg::EnableForMode() {
    const bool timedPower = m_nPowerMode == 1;
    const bool fixOnDemand = m_nPowerMode == 2;
    for (int id = kAdaptive; id <= kMaxSearchTime; ++id) Control(id)->setEnabled(timedPower);
    for (int id = kUpdateRateLabel; id < kFixOnDemandLabel; ++id) Control(id)->setEnabled(timedPower);
    fixOnDemandPeriod_->setEnabled(fixOnDemand);
    Control(kFixOnDemandLabel)->setEnabled(fixOnDemand);
}

void CPowerManagementDlg::accept() {
    if (!ReadControls()) return;
    PowerSettings settings;
    settings.mode = static_cast<PowerMode>(m_nPowerMode);
    settings.updateRateSeconds = m_strUpdateRate.toInt();
    settings.onTimeMs = m_strOnTime.toInt();
    settings.maxOffTimeMs = static_cast<std::uint32_t>(m_nMaxOffTime);
    settings.maxSearchTimeMs = static_cast<std::uint32_t>(m_nMaxSearchTime);
    settings.fixOnDemandPeriodSeconds = static_cast<std::uint32_t>(m_nFixOnDemandPeriod);
    settings.adaptive = m_bAdaptive != 0;
    // A command that does not go out shows by the receiver's missing answer, as from the menus.
    for (const CommandMessage& message : PowerManagementCommands(settings)) (void)SendCommand(send_, message);
    QDialog::accept();
}

}  // namespace vexa
