#pragma once

#include "uicore/app_settings.h"
#include "views/preference_page.h"

class QButtonGroup;

namespace vexa {

// The "Units" page: latitude/longitude format, speed and altitude units, each a radio group
// whose index is the setting's code.
class CPrefUnitsPage : public CPreferencePage {
    Q_OBJECT
public:
    CPrefUnitsPage(AppSettings& settings, QWidget* parent = nullptr);

    QString Title() const override { return QStringLiteral("Units"); }
    void LoadControls() override;
    bool SaveControls() override;

private:
    AppSettings& settings_;
    QButtonGroup* latLonFormat_;
    QButtonGroup* velocityUnits_;
    QButtonGroup* altitudeUnits_;
};

}  // namespace vexa
