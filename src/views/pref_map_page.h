#pragma once

#include "uicore/app_settings.h"
#include "views/preference_page.h"

class QLineEdit;

namespace vexa {

class Prompts;

// The "Plot" page: the plot's origin in degrees and the radii of its three rings in metres.
class CPrefMapPage : public CPreferencePage {
    Q_OBJECT
public:
    CPrefMapPage(AppSettings& settings, Prompts& prompts, QWidget* parent = nullptr);

    QString Title() const override { return QStringLiteral("Plot"); }
    void LoadControls() override;
    bool SaveControls() override;

    QLineEdit* Field(int id) const;

private:
    AppSettings& settings_;
    Prompts& prompts_;
    QLineEdit* originLat_;
    QLineEdit* originLon_;
    QLineEdit* ring1_;
    QLineEdit* ring2_;
    QLineEdit* ring3_;
};

}  // namespace vexa
