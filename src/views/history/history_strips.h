#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

#include "history/pixel_columns.h"
#include "views/history/strip_lines.h"

namespace vexa {

class HistoryRecorder;

// The history's strips on one time axis, drawn per pixel column: the C/N0 heat map (a row per
// satellite, grouped by constellation), satellites in view and used per constellation, the DOPs,
// the fix kind and the error from the reference. The wheel zooms the axis, dragging pans it;
// following keeps the newest epoch at the right edge.
class CHistoryStrips : public QWidget {
    Q_OBJECT
public:
    explicit CHistoryStrips(const HistoryRecorder& history, QWidget* parent = nullptr);

    // Reads the history again and repaints when anything shown changed.
    void Refresh();
    // The window's timer: reads again once the newest epoch is a pixel column further on (the
    // picture cannot change by less), so a long span is not read four times a second for nothing.
    void RefreshWhenAColumnIsDue();
    void SetFollow(bool follow);
    bool Following() const { return follow_; }
    // The labels of the heat map's rows, top to bottom ("G05", "E11").
    const QStringList& RowLabels() const { return rowLabels_; }
    // The width of the axis shown, in milliseconds.
    AxisMs Span() const { return span_; }
    // The values at a point of the widget, as the hover shows them.
    QString ValuesAt(QPoint at) const;

    QSize sizeHint() const override { return {900, 640}; }
    QSize minimumSizeHint() const override { return {320, 240}; }

signals:
    void FollowChanged(bool follow);
    void Hovered(const QString& values);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Strips {
        QRect legend, heat, counts, dops, fix, error, axis;
    };
    Strips Layout() const;
    int PlotWidth() const;
    // Returns whether anything shown changed.
    bool Read();
    void ClampRange();
    void PaintLegend(QPainter& painter, const QRect& area);
    void MakeHeatImage(QSize size);
    void DrawHeatColumns(int from, int to);
    void PaintHeat(QPainter& painter, const QRect& area) const;
    // The lines of a strip from the image kept for it.
    void PaintLines(QPainter& painter, const QRect& area, StripLines& image, std::vector<StripLine> lines) const;
    void PaintCounts(QPainter& painter, const QRect& area);
    void PaintDops(QPainter& painter, const QRect& area);
    void PaintFix(QPainter& painter, const QRect& area) const;
    void PaintError(QPainter& painter, const QRect& area);
    void PaintAxis(QPainter& painter, const Strips& strips) const;

    const HistoryRecorder& history_;
    bool follow_ = true;
    AxisMs from_ = 0;
    AxisMs span_ = 5 * 60 * 1000;
    std::optional<std::pair<AxisMs, AxisMs>> held_;  // the span of the axis the store holds
    PixelColumns view_;
    std::vector<SatelliteId> rows_;      // the store's rows
    std::vector<std::uint16_t> order_;   // the store's rows in the order shown
    QStringList rowLabels_;
    std::vector<std::pair<AxisMs, QString>> ticks_;
    std::vector<AxisMs> breaks_;
    bool hasError_ = false;
    QImage heatImage_;
    bool heatImageStale_ = true;
    std::vector<int> heatSource_;  // by pixel: the pixel of the last paint that showed its values, or -1
    int heatStart_ = 0;            // the heat image's column of the first pixel
    StripLines countLines_;
    StripLines dopLines_;
    StripLines errorLines_;
    QImage legendBar_;
    std::optional<QPoint> dragFrom_;
    AxisMs dragStart_ = 0;
};

}  // namespace vexa
