#include "app/display_preferences.h"

#include "app/pref_map_page.h"
#include "app/pref_units_page.h"
#include "app/preferences_sheet.h"
#include "app/prompts.h"
#include "app/settings_sections.h"

namespace vexa {

namespace {

const QString kSheetCaption = QStringLiteral("Display Properties");

int ExecSheet(CPreferencesSheet& sheet) { return sheet.exec(); }

}  // namespace

DisplayPreferences::DisplayPreferences(AppSettings& settings, SettingsSections& store, Prompts& prompts,
                                       SheetRunner run)
    : settings_(settings), store_(store), prompts_(prompts), run_(run ? std::move(run) : SheetRunner(ExecSheet)) {}

bool DisplayPreferences::RadiiValid(const AppSettings& settings) {
    return settings.m_nRing1 <= settings.m_nRing2 && settings.m_nRing2 <= settings.m_nRing3 && settings.m_nRing3 > 0;
}

void DisplayPreferences::EditUnits(QWidget* parent) {
    CPreferencesSheet sheet(kSheetCaption, parent);
    sheet.AddPage(new CPrefUnitsPage(settings_));
    if (run_(sheet) == QDialog::Accepted)
        store_.SaveDisplaySettings();
    else
        store_.LoadDisplaySettings();
}

bool DisplayPreferences::EditPlot(QWidget* parent) {
    store_.LoadPlotSettings();
    CPreferencesSheet sheet(kSheetCaption, parent);
    sheet.AddPage(new CPrefMapPage(settings_, prompts_));
    if (run_(sheet) == QDialog::Accepted) {
        if (RadiiValid(settings_)) {
            store_.SavePlotSettings();
            return true;
        }
        prompts_.ShowMessage(parent, QStringLiteral("Radii changes are invalid."));
    }
    store_.LoadPlotSettings();
    return false;
}

}  // namespace vexa
