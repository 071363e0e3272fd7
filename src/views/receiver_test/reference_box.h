#pragma once

#include <QGroupBox>
#include <optional>

#include "evaluation/fix_sample.h"
#include "evaluation/reference_point.h"
#include "evaluation/survey_in.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace vexa {

// The reference point of a receiver test: a point typed in (latitude, longitude, height above the
// WGS-84 ellipsoid, refused with a message when off the earth or not a number), one surveyed in from
// the receiver's own fixes over a chosen time (its spread shown as it grows), or none (precision
// only). "Use" applies the choice; the box then says what the figures are measured about.
class ReferenceBox : public QGroupBox {
    Q_OBJECT
public:
    explicit ReferenceBox(QWidget* parent = nullptr);

    // A fix for the survey-in, when one is running.
    void OfferFix(const FixSample& fix);

    QRadioButton* NoneChoice() const { return none_; }
    QLineEdit* PointEdit() const { return point_; }
    QPushButton* UseButton() const { return use_; }
    // What the box says: the reference in use, the survey's progress, or why a point was refused.
    QString StateText() const;

signals:
    // The figures are to be measured about this point from now on (none: about the fixes' own mean).
    void ReferenceChanged(const std::optional<vexa::ReferencePoint>& reference);

private:
    void OnUse();
    void ShowState(const QString& text, bool refusal = false);
    void ShowSurveyProgress();

    QRadioButton* entered_;
    QRadioButton* survey_;
    QRadioButton* none_;
    QLineEdit* point_;
    QSpinBox* seconds_;
    QPushButton* use_;
    QLabel* state_;
    std::optional<SurveyIn> surveying_;
    int surveySeconds_ = 0;  // of the survey running
};

}  // namespace vexa
