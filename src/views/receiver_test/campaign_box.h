#pragma once

#include <QGroupBox>
#include <array>
#include <optional>
#include <string>

#include "evaluation/campaign.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace vexa {

// The bytes of each reset kind's own reset text; empty: the link's reset command.
using ResetTexts = std::array<std::string, kResetKinds.size()>;

// The time-to-first-fix campaign's settings (reset kind or cycle, runs, run time-out, settle time,
// radius, a reset text per kind, power-cycle mode), Start and Stop, and its progress: a bar of the
// runs done and a line with the phase and the time left. The settings are locked while it runs.
class CampaignBox : public QGroupBox {
    Q_OBJECT
public:
    explicit CampaignBox(QWidget* parent = nullptr);

    // The settings as entered, or none after showing why they cannot run.
    std::optional<CampaignSettings> Settings();
    std::optional<ResetTexts> Texts();

    void ShowRunning(bool running);
    void ShowProgress(const CampaignProgress& progress);
    // A refusal or a problem, in the progress line.
    void ShowProblem(const QString& text);

    QComboBox* KindChoice() const { return kind_; }
    QSpinBox* Runs() const { return runs_; }
    QSpinBox* RunTimeout() const { return timeout_; }
    QSpinBox* Settle() const { return settle_; }
    QDoubleSpinBox* Radius() const { return radius_; }
    QPushButton* StartButton() const { return start_; }
    QProgressBar* Progress() const { return progress_; }
    QString ProgressText() const;

signals:
    void StartClicked();
    void StopClicked();

private:
    QComboBox* kind_;
    QSpinBox* runs_;
    QSpinBox* timeout_;
    QSpinBox* settle_;
    QDoubleSpinBox* radius_;
    QCheckBox* powerCycle_;
    std::array<QLineEdit*, kResetKinds.size()> texts_{};
    QPushButton* start_;
    QPushButton* stop_;
    QProgressBar* progress_;
    QLabel* state_;
};

}  // namespace vexa
