#pragma once

#include <functional>

#include "uicore/display_preferences.h"

namespace vexa {

class CPreferencesSheet;

// Runs a sheet modally and gives its result; tests answer in the user's place.
using SheetRunner = std::function<int(CPreferencesSheet& sheet)>;

// The "Display Properties" sheets on the given settings, each run by `run` (exec() when empty).
DisplaySheetRunner DisplaySheets(AppSettings& settings, Prompts& prompts, SheetRunner run = {});

}  // namespace vexa
