#include "views/pref_map_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

#include "uicore/field_text.h"
#include "uicore/prompts.h"

namespace vexa {

namespace {

QLineEdit* AddField(QGroupBox* box, QGridLayout* grid, int row, int id, const QString& before, const QString& after) {
    auto* edit = new QLineEdit(box);
    edit->setObjectName(QString::number(id));
    if (!before.isEmpty()) grid->addWidget(new QLabel(before, box), row, 0);
    grid->addWidget(edit, row, 1);
    if (!after.isEmpty()) grid->addWidget(new QLabel(after, box), row, 2);
    return edit;
}

std::optional<double> ReadDouble(const QLineEdit* edit) { return NumberField(edit->text()); }
std::optional<int> ReadInt(const QLineEdit* edit) { return IntegerField(edit->text()); }

}  // namespace

CPrefMapPage::CPrefMapPage(AppSettings& settings, Prompts& prompts, QWidget* parent)
    : CPreferencePage(parent), settings_(settings), prompts_(prompts) {
    setObjectName(QStringLiteral("132"));
    auto* layout = new QVBoxLayout(this);

    auto* origin = new QGroupBox(QStringLiteral("Origin"), this);
    auto* originGrid = new QGridLayout(origin);
    originLat_ = AddField(origin, originGrid, 0, 1021, QStringLiteral("Lat:"), {});
    originLon_ = AddField(origin, originGrid, 1, 1022, QStringLiteral("Lon:"), {});
    layout->addWidget(origin);

    auto* radii = new QGroupBox(QStringLiteral("Ring Radii"), this);
    auto* radiiGrid = new QGridLayout(radii);
    ring1_ = AddField(radii, radiiGrid, 0, 1023, {}, QStringLiteral("m"));
    ring2_ = AddField(radii, radiiGrid, 1, 1024, {}, QStringLiteral("m"));
    ring3_ = AddField(radii, radiiGrid, 2, 1025, {}, QStringLiteral("m"));
    layout->addWidget(radii);
}

QLineEdit* CPrefMapPage::Field(int id) const {
    for (QLineEdit* edit : {originLat_, originLon_, ring1_, ring2_, ring3_})
        if (edit->objectName() == QString::number(id)) return edit;
    return nullptr;
}

void CPrefMapPage::LoadControls() {
    originLat_->setText(NumberText(settings_.m_dOriginLat));
    originLon_->setText(NumberText(settings_.m_dOriginLon));
    ring1_->setText(QString::number(settings_.m_nRing1));
    ring2_->setText(QString::number(settings_.m_nRing2));
    ring3_->setText(QString::number(settings_.m_nRing3));
}

bool CPrefMapPage::SaveControls() {
    // Every field is checked before any setting changes, so a refused entry changes nothing.
    // The origin is a place on the earth: "nan", "inf" and degrees beyond it convert but are none.
    const struct {
        QLineEdit* edit;
        double limit;
        QString refusal;
    } origin[] = {
        {originLat_, 90.0, QStringLiteral("Please enter a latitude between -90 and 90.")},
        {originLon_, 180.0, QStringLiteral("Please enter a longitude between -180 and 180.")},
    };
    for (const auto& [edit, limit, refusal] : origin) {
        const std::optional<double> degrees = ReadDouble(edit);
        if (!degrees || !(std::fabs(*degrees) <= limit)) {
            prompts_.ShowMessage(this, degrees ? refusal : QStringLiteral("Please enter a number."));
            edit->setFocus();
            return false;
        }
    }
    for (QLineEdit* edit : {ring1_, ring2_, ring3_}) {
        if (!ReadInt(edit)) {
            prompts_.ShowMessage(this, QStringLiteral("Please enter an integer."));
            edit->setFocus();
            return false;
        }
    }
    settings_.m_dOriginLat = *ReadDouble(originLat_);
    settings_.m_dOriginLon = *ReadDouble(originLon_);
    settings_.m_nRing1 = *ReadInt(ring1_);
    settings_.m_nRing2 = *ReadInt(ring2_);
    settings_.m_nRing3 = *ReadInt(ring3_);
    return true;
}

}  // namespace vexa
