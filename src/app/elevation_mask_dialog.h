#pragma once

#include <QDialog>

#include "app/command_sender.h"

class QLineEdit;

namespace vexa {

class Prompts;

// "Set Elevation Mask": the navigation mask in degrees, sent as message 139 on confirm. The
// tracking mask is kept but not offered. The values last confirmed are shown at the next opening.
class CElevationMaskDlg : public QDialog {
    Q_OBJECT
public:
    CElevationMaskDlg(CommandSender send, Prompts& prompts, QWidget* parent = nullptr);

    int exec() override;
    void OnInitDialog();
    void accept() override;

    QLineEdit* NavigationField() const { return navMask_; }
    QLineEdit* TrackingField() const { return trackMask_; }

    double m_dNavMask = 5.0;
    double m_dTrackMask = 5.0;

private:
    CommandSender send_;
    Prompts& prompts_;
    QLineEdit* navMask_;
    QLineEdit* trackMask_;
};

}  // namespace vexa
