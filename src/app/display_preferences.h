#pragma once

#include <QDialog>
#include <functional>

#include "app/app_settings.h"

class QWidget;

namespace vexa {

class CPreferencesSheet;
class Prompts;
class SettingsSections;

// Runs a sheet modally and gives its result; tests answer in the user's place.
using SheetRunner = std::function<int(CPreferencesSheet& sheet)>;

// The two "Display Properties" sheets. The pages edit the settings block in place; confirming
// saves the section, anything else reloads it, which undoes the edits.
class DisplayPreferences {
public:
    DisplayPreferences(AppSettings& settings, SettingsSections& store, Prompts& prompts, SheetRunner run = {});

    AppSettings& Settings() { return settings_; }
    SettingsSections& Store() { return store_; }

    // The "Units" page, from the Position view.
    void EditUnits(QWidget* parent);
    // The "Plot" page, from the Plot view; true when new radii or origin were saved and the plot
    // is to be rebuilt.
    bool EditPlot(QWidget* parent);

    // The rule the ring radii must follow: ordered, and the outer ring wider than 0.
    static bool RadiiValid(const AppSettings& settings);

private:
    AppSettings& settings_;
    SettingsSections& store_;
    Prompts& prompts_;
    SheetRunner run_;
};

}  // namespace vexa
