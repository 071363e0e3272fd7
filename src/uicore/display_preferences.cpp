#include "uicore/display_preferences.h"

#include <QDialog>

#include "uicore/prompts.h"
#include "uicore/settings_sections.h"

namespace vexa {

DisplayPreferences::DisplayPreferences(AppSettings& settings, SettingsSections& store, Prompts& prompts,
                                       DisplaySheetRunner showSheet)
    : settings_(settings), store_(store), prompts_(prompts), showSheet_(std::move(showSheet)) {}

bool DisplayPreferences::Confirmed(DisplaySheetPage page, QWidget* parent) {
    return showSheet_ && showSheet_(page, parent) == QDialog::Accepted;
}

void DisplayPreferences::EditUnits(QWidget* parent) {
    if (Confirmed(DisplaySheetPage::Units, parent))
        store_.SaveDisplaySettings();
    else
        store_.LoadDisplaySettings();
}

bool DisplayPreferences::EditPlot(QWidget* parent) {
    store_.LoadPlotSettings();
    if (Confirmed(DisplaySheetPage::Plot, parent)) {
        if (RingRadiiAcceptable(settings_.m_nRing1, settings_.m_nRing2, settings_.m_nRing3)) {
            store_.SavePlotSettings();
            return true;
        }
        prompts_.ShowMessage(parent, QStringLiteral("Radii changes are invalid."));
    }
    store_.LoadPlotSettings();
    return false;
}

}  // namespace vexa
