#include "views/receiver_test/chart_widget.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <utility>

#include "evaluation/chart_layout.h"

namespace vexa {

namespace {

QColor Colour(ChartColour colour) { return {colour.red, colour.green, colour.blue}; }

QString Text(const std::string& text) { return QString::fromStdString(text); }

enum class Anchor { Start, Middle, End };

// Text placed as SVG places it: by its baseline, at its start, middle or end.
void DrawText(QPainter& painter, double x, double baseline, const QString& text, Anchor anchor) {
    const double advance = QFontMetricsF(painter.font()).horizontalAdvance(text);
    const double left = anchor == Anchor::Start ? x : anchor == Anchor::Middle ? x - advance / 2.0 : x - advance;
    painter.drawText(QPointF(left, baseline), text);
}

QFont PixelFont(const QFont& base, double pixels, bool bold = false, bool italic = false) {
    QFont font = base;
    font.setPixelSize(static_cast<int>(pixels));
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void DrawGrid(QPainter& painter, const Chart& chart, const ChartLayout& layout) {
    const ChartPlotArea& area = layout.plot;
    painter.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), 1.0));
    for (const ChartTick& tick : chart.x.ticks) {
        painter.drawLine(QPointF(area.X(tick.at), area.top), QPointF(area.X(tick.at), area.top + area.height));
    }
    for (const ChartTick& tick : chart.y.ticks) {
        painter.drawLine(QPointF(area.left, area.Y(tick.at)), QPointF(area.left + area.width, area.Y(tick.at)));
    }
    painter.setPen(QColor(0x33, 0x33, 0x33));
    for (const ChartTick& tick : chart.x.ticks) DrawText(painter, area.X(tick.at), layout.xTickLabelBaseline, Text(tick.label), Anchor::Middle);
    for (const ChartTick& tick : chart.y.ticks) {
        DrawText(painter, layout.yTickLabelRight, area.Y(tick.at) + ChartLayout::kTickLabelDrop, Text(tick.label), Anchor::End);
    }
    DrawText(painter, layout.xTitle.x, layout.xTitle.y, Text(chart.x.title), Anchor::Middle);
    painter.save();
    painter.translate(layout.yTitle.x, layout.yTitle.y);
    painter.rotate(-90.0);
    DrawText(painter, 0.0, 0.0, Text(chart.y.title), Anchor::Middle);
    painter.restore();
}

void DrawCross(QPainter& painter, QPointF at, double half) {
    painter.drawLine(at + QPointF(-half, -half), at + QPointF(half, half));
    painter.drawLine(at + QPointF(-half, half), at + QPointF(half, -half));
}

void DrawSeries(QPainter& painter, const ChartSeries& series, const ChartPlotArea& area) {
    const QColor colour = Colour(series.colour);
    switch (series.mark) {
    case SeriesMark::Dot:
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        for (const ChartPoint& point : series.points) {
            if (IsFinite(point)) painter.drawEllipse(QPointF(area.X(point.x), area.Y(point.y)), ChartLayout::kDotRadius, ChartLayout::kDotRadius);
        }
        painter.setBrush(Qt::NoBrush);
        break;
    case SeriesMark::Cross:
        painter.setPen(QPen(colour, 1.5));
        for (const ChartPoint& point : series.points) {
            if (IsFinite(point)) DrawCross(painter, QPointF(area.X(point.x), area.Y(point.y)), ChartLayout::kCrossHalf);
        }
        break;
    case SeriesMark::Line:
    case SeriesMark::Steps: {
        QPolygonF line;
        for (const ChartPoint& point : JoinedPoints(series)) line << QPointF(area.X(point.x), area.Y(point.y));
        painter.setPen(QPen(colour, 1.5));
        painter.drawPolyline(line);
        break;
    }
    }
}

void DrawData(QPainter& painter, const Chart& chart, const ChartPlotArea& area) {
    painter.save();
    painter.setClipRect(QRectF(area.left, area.top, area.width, area.height));
    for (const ChartBar& bar : chart.bars) {
        const QRectF rect(QPointF(area.X(bar.from), area.Y(bar.height)), QPointF(area.X(bar.to), area.Y(0.0)));
        painter.setPen(Qt::white);
        painter.setBrush(Colour(bar.colour));
        painter.drawRect(rect);
    }
    painter.setBrush(Qt::NoBrush);
    for (const ChartSeries& series : chart.series) DrawSeries(painter, series, area);
    for (const ChartCircle& circle : chart.circles) {
        painter.setPen(QPen(Colour(circle.colour), 2.0));
        painter.drawEllipse(QPointF(area.X(circle.centre.x), area.Y(circle.centre.y)), circle.radius * area.xPerUnit,
                            circle.radius * area.yPerUnit);
    }
    painter.restore();
}

void DrawLegend(QPainter& painter, const Chart& chart, const ChartLayout& layout) {
    const double left = layout.legendLeft;
    double y = layout.legendFirstBaseline;
    for (const ChartLegendEntry& entry : ChartLegend(chart)) {
        const QColor swatch = Colour(entry.colour);
        if (entry.mark == SeriesMark::Dot) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(swatch);
            painter.drawEllipse(QPointF(left + 9.0, y - 4.0), 3.0, 3.0);
            painter.setBrush(Qt::NoBrush);
        } else if (entry.mark == SeriesMark::Cross) {
            painter.setPen(QPen(swatch, 1.5));
            DrawCross(painter, QPointF(left + 9.0, y - 4.0), ChartLayout::kCrossHalf);
        } else {
            painter.setPen(QPen(swatch, 2.0));
            painter.drawLine(QPointF(left, y - 4.0), QPointF(left + 18.0, y - 4.0));
        }
        painter.setPen(QColor(0x22, 0x22, 0x22));
        DrawText(painter, left + 24.0, y, Text(entry.name), Anchor::Start);
        y += layout.legendLineSpacing;
    }
}

}  // namespace

ChartWidget::ChartWidget(QString emptyText, QWidget* parent) : QWidget(parent), emptyText_(std::move(emptyText)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ChartWidget::SetChart(std::optional<Chart> chart) {
    chart_ = std::move(chart);
    update();
}

QSize ChartWidget::sizeHint() const { return {720, 420}; }

QSize ChartWidget::minimumSizeHint() const { return {360, 240}; }

void ChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    if (!chart_) {
        painter.setPen(Qt::darkGray);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, emptyText_);
        return;
    }
    const Chart& chart = *chart_;
    const ChartLayout layout = LayOutChart(chart, width(), PlotHeightFor(chart, height()));
    const QFont base = font();
    painter.setFont(PixelFont(base, ChartLayout::kTitleFontPixels, true));
    painter.setPen(QColor(0x22, 0x22, 0x22));
    DrawText(painter, layout.title.x, layout.title.y, Text(chart.title), Anchor::Middle);
    painter.setFont(PixelFont(base, ChartLayout::kFontPixels));
    DrawGrid(painter, chart, layout);
    DrawData(painter, chart, layout.plot);
    painter.setPen(QColor(0x44, 0x44, 0x44));
    painter.drawRect(QRectF(layout.plot.left, layout.plot.top, layout.plot.width, layout.plot.height));
    if (layout.hasLegend) DrawLegend(painter, chart, layout);
    if (!chart.note.empty()) {
        painter.setFont(PixelFont(base, ChartLayout::kFontPixels, false, true));
        painter.setPen(QColor(0x66, 0x66, 0x66));
        DrawText(painter, layout.note.x, layout.note.y, Text(chart.note), Anchor::Start);
    }
}

}  // namespace vexa
