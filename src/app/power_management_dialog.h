#pragma once

#include <QDialog>

#include "app/command_sender.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vexa {

class Prompts;

// "Power Management": continuous, TimedPower or Fix-on-Demand with their timing, sent as
// messages 151 and 167 on confirm. Every opening starts from the defaults, except "Adaptive mode",
// which keeps its last confirmed state.
class CPowerManagementDlg : public QDialog {
    Q_OBJECT
public:
    CPowerManagementDlg(CommandSender send, Prompts& prompts, QWidget* parent = nullptr);

    // Sets the defaults into the controls, then runs the dialog modally.
    int exec() override;
    void OnInitDialog();
    void accept() override;

    // A control by its id.
    QWidget* Control(int id) const;

    int m_nPowerMode = -1;
    int m_bAdaptive = 0;
    QString m_strUpdateRate;
    QString m_strOnTime;
    int m_nMaxOffTime = 0;
    int m_nMaxSearchTime = 0;
    int m_nFixOnDemandPeriod = 0;

private:
    void MoveIntoControls();
    bool ReadControls();
    void EnableForMode();

    CommandSender send_;
    Prompts& prompts_;
    QButtonGroup* mode_;
    QCheckBox* adaptive_;
    QComboBox* updateRate_;
    QComboBox* onTime_;
    QLineEdit* maxOffTime_;
    QLineEdit* maxSearchTime_;
    QLineEdit* fixOnDemandPeriod_;
};

}  // namespace vexa
