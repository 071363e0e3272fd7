#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include "views/history/history_strips.h"

namespace vexa {

class HistoryRecorder;

// The History window: the strips, "Follow", the reference the errors are measured from and the
// values under the mouse. Not modal; it reads the history again four times a second while shown.
class CHistoryWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 250;

    CHistoryWindow(HistoryRecorder& history, QWidget* parent);

    // Puts more controls (a capture's replay bar) above the window's own.
    void AddControls(QWidget* controls);

    CHistoryStrips* Strips() const { return strips_; }
    QCheckBox* FollowBox() const { return follow_; }
    QLineEdit* ReferenceEdit() const { return reference_; }
    QLabel* ValuesLabel() const { return values_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SetReference();

    HistoryRecorder& history_;
    CHistoryStrips* strips_;
    QCheckBox* follow_;
    QLineEdit* reference_;
    QLabel* values_;
    QTimer refresh_;
};

}  // namespace vexa
