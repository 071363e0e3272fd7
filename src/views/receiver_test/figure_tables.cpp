#include "views/receiver_test/figure_tables.h"

#include <QHeaderView>
#include <QTableWidget>
#include <string>

#include "evaluation/figure_rows.h"
#include "evaluation/fixed_text.h"

namespace vexa {

namespace {

const QString kNoValue = QStringLiteral("\u2013");

QString Value(const std::optional<double>& value, int decimals) {
    return value ? QString::fromStdString(FixedText(*value, decimals)) : kNoValue;
}

QString Name(std::string_view name) { return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())); }

QTableWidget* MakeTable(QWidget* parent, const QStringList& columns, const QStringList& rows) {
    auto* table = new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(columns.size()), parent);
    table->setHorizontalHeaderLabels(columns);
    table->setVerticalHeaderLabels(rows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column) {
            auto* cell = new QTableWidgetItem(kNoValue);
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, cell);
        }
    }
    return table;
}

void Put(QTableWidget& table, int row, int column, const QString& text) { table.item(row, column)->setText(text); }

}  // namespace

QTableWidget* MakeErrorTable(QWidget* parent) {
    QStringList rows;
    for (const ErrorFigureRow& row : kErrorFigureRows) rows << QString::fromUtf8(row.name);
    return MakeTable(parent, {QStringLiteral("about the reference (accuracy)"), QStringLiteral("about the mean (precision)")}, rows);
}

void ShowErrorFigures(QTableWidget& table, const AccuracyFigures& figures) {
    int row = 0;
    for (const ErrorFigureRow& line : kErrorFigureRows) {
        int column = 0;
        for (const std::optional<ErrorFigures>* set : {&figures.accuracy, &figures.precision}) {
            Put(table, row, column++, *set ? Value(line.value(**set), kShownMetreDecimals) : kNoValue);
        }
        ++row;
    }
}

QString FixCountsText(const FixCounts& counts) {
    QString text = QStringLiteral("Fixes: %1").arg(counts.Total());
    for (const FixKind kind : kFixKinds) text += QStringLiteral(", %1 %2").arg(Name(FixKindName(kind))).arg(counts.Of(kind));
    return text;
}

QTableWidget* MakeTtffTable(QWidget* parent) {
    QStringList columns{QStringLiteral("runs"), QStringLiteral("failures")};
    for (const TtffFigureColumn& column : kTtffTimeColumns) columns << QString::fromUtf8(column.name);
    QStringList rows;
    for (const ResetKind kind : kResetKinds) rows << Name(ResetKindName(kind));
    return MakeTable(parent, columns, rows);
}

void ShowTtffFigures(QTableWidget& table, const TtffTracker& ttff) {
    int row = 0;
    for (const ResetKind kind : kResetKinds) {
        const TtffFigures& figures = ttff.Figures(kind);
        Put(table, row, 0, QString::number(figures.runs));
        Put(table, row, 1, QString::number(figures.failures));
        int column = 2;
        for (const TtffFigureColumn& time : kTtffTimeColumns) Put(table, row, column++, Value(time.value(figures), kShownSecondDecimals));
        ++row;
    }
}

}  // namespace vexa
