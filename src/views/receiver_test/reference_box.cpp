#include "views/receiver_test/reference_box.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "evaluation/fixed_text.h"

namespace vexa {

namespace {

constexpr int kDefaultSurveySeconds = 300;
constexpr int kLongestSurveySeconds = 7 * 24 * 3600;

QString Metres(double value) { return QString::fromStdString(FixedText(value, 3)) + QStringLiteral(" m"); }

QString PointText(const GeodeticPoint& point) {
    return QString::fromStdString(FixedText(point.latitude, 9) + ", " + FixedText(point.longitude, 9) + ", " +
                                  FixedText(point.height, 3) + " m");
}

QString SpreadText(const ErrorFigures& spread) {
    return QStringLiteral("spread CEP50 %1, CEP95 %2").arg(Metres(spread.cep50), Metres(spread.cep95));
}

}  // namespace

ReferenceBox::ReferenceBox(QWidget* parent)
    : QGroupBox(QStringLiteral("Reference point"), parent),
      entered_(new QRadioButton(QStringLiteral("Entered"), this)),
      survey_(new QRadioButton(QStringLiteral("Survey-in"), this)),
      none_(new QRadioButton(QStringLiteral("None (precision only)"), this)),
      point_(new QLineEdit(this)),
      seconds_(new QSpinBox(this)),
      use_(new QPushButton(QStringLiteral("Use"), this)),
      state_(new QLabel(this)) {
    auto* choices = new QButtonGroup(this);
    for (QRadioButton* choice : {entered_, survey_, none_}) choices->addButton(choice);
    none_->setChecked(true);
    point_->setPlaceholderText(QStringLiteral("latitude, longitude, height"));
    point_->setToolTip(QStringLiteral("Decimal degrees (WGS-84) and metres above the ellipsoid, e.g. 47.123456789, 8.5, 420.25"));
    point_->setAccessibleName(QStringLiteral("Reference latitude, longitude and height"));
    seconds_->setRange(1, kLongestSurveySeconds);
    seconds_->setValue(kDefaultSurveySeconds);
    seconds_->setSuffix(QStringLiteral(" s"));
    seconds_->setAccessibleName(QStringLiteral("Survey-in time"));
    state_->setWordWrap(true);
    state_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* form = new QFormLayout;
    auto* enteredRow = new QHBoxLayout;
    enteredRow->addWidget(entered_);
    enteredRow->addWidget(point_, 1);
    auto* surveyRow = new QHBoxLayout;
    surveyRow->addWidget(survey_);
    surveyRow->addWidget(seconds_);
    surveyRow->addStretch(1);
    auto* noneRow = new QHBoxLayout;
    noneRow->addWidget(none_);
    noneRow->addStretch(1);
    noneRow->addWidget(use_);
    form->addRow(enteredRow);
    form->addRow(surveyRow);
    form->addRow(noneRow);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(state_);

    // Typing a point or a time chooses what it belongs to, and Return in the point uses it.
    connect(point_, &QLineEdit::textEdited, entered_, [this] { entered_->setChecked(true); });
    connect(point_, &QLineEdit::returnPressed, this, &ReferenceBox::OnUse);
    connect(seconds_, &QSpinBox::valueChanged, survey_, [this] { survey_->setChecked(true); });
    connect(use_, &QPushButton::clicked, this, &ReferenceBox::OnUse);
    ShowState(QStringLiteral("No reference: the figures are about the fixes' own mean."));
}

QString ReferenceBox::StateText() const { return state_->text(); }

void ReferenceBox::ShowState(const QString& text, bool refusal) {
    state_->setText(text);
    state_->setStyleSheet(refusal ? QStringLiteral("color: #b00000;") : QString());
}

void ReferenceBox::OnUse() {
    if (entered_->isChecked()) {
        const ParsedReference parsed = ParseReferencePoint(point_->text().toStdString());
        if (!parsed.point) {
            // The reference in use stays; only the typed text is refused.
            ShowState(QStringLiteral("Not used: ") + QString::fromStdString(parsed.message), true);
            return;
        }
        surveying_.reset();
        ShowState(QStringLiteral("Reference (entered): ") + PointText(*parsed.point));
        emit ReferenceChanged(ReferencePoint{*parsed.point, ReferenceSource::Entered, std::nullopt});
        return;
    }
    if (survey_->isChecked()) {
        surveySeconds_ = seconds_->value();
        surveying_.emplace(std::chrono::seconds(surveySeconds_));
        ShowSurveyProgress();
        return;
    }
    surveying_.reset();
    ShowState(QStringLiteral("No reference: the figures are about the fixes' own mean."));
    emit ReferenceChanged(std::nullopt);
}

void ReferenceBox::OfferFix(const FixSample& fix) {
    if (!surveying_ || !surveying_->Add(fix)) return;
    if (const std::optional<ReferencePoint> result = surveying_->Result()) {
        surveying_.reset();
        ShowState(QStringLiteral("Reference (surveyed in from %1 fixes over %2 s): %3; %4")
                      .arg(result->survey->fixes)
                      .arg(QString::fromStdString(FixedText(result->survey->seconds, 1)), PointText(result->position),
                           SpreadText(result->survey->spread)));
        emit ReferenceChanged(result);
        return;
    }
    ShowSurveyProgress();
}

void ReferenceBox::ShowSurveyProgress() {
    QString text = QStringLiteral("Surveying in: %1 fixes, %2 of %3 s")
                       .arg(surveying_->Fixes())
                       .arg(QString::fromStdString(FixedText(surveying_->Elapsed(), 1)))
                       .arg(surveySeconds_);
    if (const std::optional<ErrorFigures> spread = surveying_->Spread()) text += QStringLiteral("; ") + SpreadText(*spread);
    ShowState(text);
}

}  // namespace vexa
