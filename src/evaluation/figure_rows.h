#pragma once

#include <array>
#include <optional>

#include "evaluation/error_figures.h"
#include "evaluation/ttff_tracker.h"

namespace vexa {

// The figures in the order and with the names (units in brackets) every table of them shows, in
// the report and in the window; a value that cannot be given is empty.

struct ErrorFigureRow {
    const char* name;  // "CEP50 (m)"
    std::optional<double> (*value)(const ErrorFigures& figures);
};
extern const std::array<ErrorFigureRow, 12> kErrorFigureRows;

// The times of a reset kind's figures, after its runs and failures.
struct TtffFigureColumn {
    const char* name;  // "median (s)"
    std::optional<double> (*value)(const TtffFigures& figures);
    const char* key;  // in machine-read files: "median_s"
};
extern const std::array<TtffFigureColumn, 8> kTtffTimeColumns;

// Decimals shown: a millimetre for errors, a hundredth of a second for times to first fix.
inline constexpr int kShownMetreDecimals = 3;
inline constexpr int kShownSecondDecimals = 2;

}  // namespace vexa
