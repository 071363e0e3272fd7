#pragma once

#include "evaluation/accuracy_tracker.h"
#include "evaluation/ttff_tracker.h"

#include <QString>

class QTableWidget;
class QWidget;

namespace vexa {

// The live figures of a receiver test as tables, named and ordered as the report names them
// (figure_rows.h); a figure that cannot be given yet shows a dash.

// The accuracy (about the reference) and precision (about the mean) columns.
QTableWidget* MakeErrorTable(QWidget* parent);
void ShowErrorFigures(QTableWidget& table, const AccuracyFigures& figures);
// "Fixes: 120, 2d 0, 3d 120, dgps 0, rtk_float 0, rtk_fixed 0".
QString FixCountsText(const FixCounts& counts);

// A row per reset kind: runs, failures and the times.
QTableWidget* MakeTtffTable(QWidget* parent);
void ShowTtffFigures(QTableWidget& table, const TtffTracker& ttff);

}  // namespace vexa
