#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "evaluation/chart.h"

namespace vexa {

// Paints one chart of the evaluation (evaluation_charts.h) with QPainter, placed as the report's
// SVG places it (chart_layout.h) and filling the widget's width and height; without a chart it
// says why there is none.
class ChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit ChartWidget(QString emptyText, QWidget* parent = nullptr);

    void SetChart(std::optional<Chart> chart);
    const std::optional<Chart>& Shown() const { return chart_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString emptyText_;
    std::optional<Chart> chart_;
};

}  // namespace vexa
