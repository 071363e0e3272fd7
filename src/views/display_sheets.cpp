#include "views/display_sheets.h"

#include "views/pref_map_page.h"
#include "views/pref_units_page.h"
#include "views/preferences_sheet.h"

namespace vexa {

DisplaySheetRunner DisplaySheets(AppSettings& settings, Prompts& prompts, SheetRunner run) {
    if (!run) run = [](CPreferencesSheet& sheet) { return sheet.exec(); };
    return [&settings, &prompts, run = std::move(run)](DisplaySheetPage page, QWidget* parent) {
        CPreferencesSheet sheet(QStringLiteral("Display Properties"), parent);
        if (page == DisplaySheetPage::Units)
            sheet.AddPage(new CPrefUnitsPage(settings));
        else
            sheet.AddPage(new CPrefMapPage(settings, prompts));
        return run(sheet);
    };
}

}  // namespace vexa
