#include "views/pref_units_page.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>
#include <initializer_list>
#include <utility>

namespace vexa {

namespace {

// A group box of radio buttons, numbered in the order given; each button is named by its id.
QButtonGroup* AddRadioGroup(QWidget* page, QVBoxLayout* layout, const QString& title,
                            std::initializer_list<std::pair<int, QString>> buttons) {
    auto* box = new QGroupBox(title, page);
    auto* boxLayout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(page);
    int index = 0;
    for (const auto& [id, text] : buttons) {
        auto* button = new QRadioButton(text, box);
        button->setObjectName(QString::number(id));
        boxLayout->addWidget(button);
        group->addButton(button, index++);
    }
    layout->addWidget(box);
    return group;
}

void CheckIndex(QButtonGroup* group, int index) {
    // An index that names no button leaves the group without a checked button.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(group->id(button) == index);
    group->setExclusive(true);
}

void ReadIndex(const QButtonGroup* group, int& setting) {
    if (group->checkedId() >= 0) setting = group->checkedId();
}

}  // namespace

CPrefUnitsPage::CPrefUnitsPage(AppSettings& settings, QWidget* parent) : CPreferencePage(parent), settings_(settings) {
    setObjectName(QStringLiteral("131"));
    auto* layout = new QVBoxLayout(this);
    latLonFormat_ = AddRadioGroup(this, layout, QStringLiteral("Lat/Lon Format:"),
                                  {{1010, QStringLiteral("XX.XXXXX\u00B0")},
                                   {1011, QStringLiteral("XX\u00B0XX.XXX'")}});
    velocityUnits_ = AddRadioGroup(this, layout, QStringLiteral("Speed Units:"),
                                   {{1014, QStringLiteral("m/s")},
                                    {1012, QStringLiteral("mph")},
                                    {1013, QStringLiteral("kph")}});
    altitudeUnits_ = AddRadioGroup(this, layout, QStringLiteral("Altitude Units:"),
                                   {{1016, QStringLiteral("meters")}, {1015, QStringLiteral("feet")}});
}

void CPrefUnitsPage::LoadControls() {
    CheckIndex(latLonFormat_, settings_.m_nLatLonFormat);
    CheckIndex(velocityUnits_, settings_.m_nVelocityUnits);
    CheckIndex(altitudeUnits_, settings_.m_nAltitudeUnits);
}

bool CPrefUnitsPage::SaveControls() {
    ReadIndex(latLonFormat_, settings_.m_nLatLonFormat);
    ReadIndex(velocityUnits_, settings_.m_nVelocityUnits);
    ReadIndex(altitudeUnits_, settings_.m_nAltitudeUnits);
    return true;
}

}  // namespace vexa
