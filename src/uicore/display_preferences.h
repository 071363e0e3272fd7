#pragma once

#include <functional>

#include "uicore/app_settings.h"

class QWidget;

namespace vexa {

class Prompts;
class SettingsSections;

// The pages of the "Display Properties" sheet.
enum class DisplaySheetPage { Units, Plot };

// Shows the "Display Properties" sheet with one page, which edits the settings in place, and gives
// the sheet's result (QDialog::Accepted or not).
using DisplaySheetRunner = std::function<int(DisplaySheetPage page, QWidget* parent)>;

// The display settings of the Position and Plot pages and their sections of the settings store.
// Confirming a sheet saves the section, anything else reloads it, which undoes the edits.
class DisplayPreferences {
public:
    DisplayPreferences(AppSettings& settings, SettingsSections& store, Prompts& prompts,
                       DisplaySheetRunner showSheet = {});

    AppSettings& Settings() { return settings_; }
    SettingsSections& Store() { return store_; }

    // The sheets are widgets of the pages' library; until they are handed in, an edit changes nothing.
    void SetSheetRunner(DisplaySheetRunner showSheet) { showSheet_ = std::move(showSheet); }

    // The "Units" page, from the Position view.
    void EditUnits(QWidget* parent);
    // The "Plot" page, from the Plot view; true when new radii or origin were saved and the plot
    // is to be rebuilt.
    bool EditPlot(QWidget* parent);

private:
    bool Confirmed(DisplaySheetPage page, QWidget* parent);

    AppSettings& settings_;
    SettingsSections& store_;
    Prompts& prompts_;
    DisplaySheetRunner showSheet_;
};

}  // namespace vexa
