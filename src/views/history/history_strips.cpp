#include "views/history/history_strips.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>

#include "history/history_recorder.h"
#include "receiver/fix/utc_text.h"
#include "views/history/cn0_colour.h"

namespace vexa {

namespace {

constexpr int kLabelWidth = 52;
constexpr int kRightMargin = 8;
constexpr int kLegendHeight = 18;
constexpr int kLineStripHeight = 64;
constexpr int kFixHeight = 14;
constexpr int kAxisHeight = 18;
constexpr int kGap = 6;
constexpr AxisMs kShortestSpan = 2000;
constexpr AxisMs kLongestSpan = 40LL * 24 * 3600 * 1000;
constexpr double kZoomPerNotch = 1.25;
constexpr int kHoverReach = 10;  // pixels

// Each constellation's colour in the count strip, by its JSON number.
QColor SystemColour(std::size_t slot) {
    static constexpr std::array<QRgb, kGnssSlots> kColours = {0x1f77b4, 0x7f7f7f, 0x2ca02c, 0xd62728,
                                                              0x000000, 0x9467bd, 0xff7f0e, 0x8c564b};
    return QColor(kColours[slot]);
}

QColor FixColour(FixBand band) {
    static constexpr std::array<QRgb, kFixBandCount> kColours = {0xb0b0b0, 0xf0b030, 0x3070d0, 0x20a0a0, 0xa050d0, 0x209020};
    return QColor(kColours[static_cast<std::size_t>(band)]);
}

// A satellite in view but not used: its colour mixed halfway with white.
QRgb Paler(QRgb colour) { return qRgb((qRed(colour) + 255) / 2, (qGreen(colour) + 255) / 2, (qBlue(colour) + 255) / 2); }

const char* FixText(FixBand band) {
    static constexpr std::array<const char*, kFixBandCount> kTexts = {"no fix", "2D", "3D", "DGPS", "RTK float", "RTK fixed"};
    return kTexts[static_cast<std::size_t>(band)];
}

int SystemOrder(GnssId gnss) {
    const auto at = std::ranges::find(kHistoryGnss, gnss);
    return static_cast<int>(at - kHistoryGnss.begin());
}

QString SatelliteLabel(SatelliteId id) {
    return QStringLiteral("%1%2").arg(QChar(ConstellationLetter(id.gnss))).arg(id.svid, 2, 10, QChar('0'));
}

// A tick step of 1, 2 or 5 times a power of ten seconds (or of minutes and hours) near `wanted`.
AxisMs TickStep(AxisMs wanted) {
    static constexpr std::array<AxisMs, 19> kSteps = {100,    200,    500,     1000,    2000,    5000,    10000,
                                                      15000,  30000,  60000,   120000,  300000,  600000,  900000,
                                                      1800000, 3600000, 7200000, 21600000, 43200000};
    for (const AxisMs step : kSteps) {
        if (step >= wanted) return step;
    }
    return 86400000;
}

// The image row of `value` in a line strip `height` pixels high with `top` at its top, rounded
// half up (it is never negative).
int RowOf(double value, double top, int height) {
    return static_cast<int>((height - 1) - std::clamp(value / top, 0.0, 1.0) * (height - 2) + 0.5);
}

// The rows of a strip's lines: `value(pixel, line)` is the line's value where the pixel has any.
// One pass over the pixels fills every line.
template <typename Value>
void FillRows(std::vector<StripLine>& lines, const PixelColumns& view, int height, double top, Value value) {
    for (StripLine& line : lines) line.rows.assign(view.pixels.size(), StripLine::kNoRow);
    for (std::size_t x = 0; x < view.pixels.size(); ++x) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (const std::optional<double> got = value(view.pixels[x], i)) lines[i].rows[x] = RowOf(*got, top, height);
        }
    }
}

// A line per measure through its means, in its colour, and the top of their scale.
struct MeasureLines {
    std::vector<StripLine> lines;
    double top = 0.0;
};

// The top is the largest mean shown rounded up, from `least` to `most`. The means are taken in
// one pass over the pixels.
MeasureLines MeasureLinesOf(const PixelColumns& view, int height, std::initializer_list<std::pair<Measure, QRgb>> measures,
                            double least, double most) {
    std::vector<std::vector<std::optional<double>>> means(measures.size(), std::vector<std::optional<double>>(view.pixels.size()));
    double top = least;
    for (std::size_t x = 0; x < view.pixels.size(); ++x) {
        std::size_t i = 0;
        for (const auto& [measure, colour] : measures) {
            means[i][x] = view.pixels[x].Of(measure).Mean();
            if (means[i][x]) top = std::max(top, *means[i][x]);
            ++i;
        }
    }
    MeasureLines made{{}, std::min(std::ceil(top), most)};
    std::size_t i = 0;
    for (const auto& [measure, colour] : measures) {
        StripLine& line = made.lines.emplace_back(StripLine{colour | 0xff000000U, false, std::vector<int>(view.pixels.size(), StripLine::kNoRow)});
        for (std::size_t x = 0; x < view.pixels.size(); ++x) {
            if (means[i][x]) line.rows[x] = RowOf(*means[i][x], made.top, height);
        }
        ++i;
    }
    return made;
}

// The strip's frame, its title at the left and its top value.
void PaintStripFrame(QPainter& painter, const QRect& area, const QString& title, double top) {
    painter.setPen(QColor(0xc8c8c8));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    const QRect label(0, area.top(), kLabelWidth - 4, area.height());
    painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter | Qt::TextWordWrap, title);
    painter.drawText(QRect(0, area.top(), kLabelWidth - 4, 12), Qt::AlignRight | Qt::AlignTop, QString::number(top, 'g', 3));
}

// The C/N0 scale as a line of its colour per pixel.
void PaintLegendBar(QPainter& painter, const QRect& bar) {
    for (int x = 0; x < bar.width(); ++x) {
        const double cn0 = kWeakestCn0 + (kStrongestCn0 - kWeakestCn0) * x / std::max(bar.width() - 1, 1);
        painter.setPen(Cn0Colour(cn0));
        painter.drawLine(bar.left() + x, bar.top(), bar.left() + x, bar.bottom());
    }
}

}  // namespace

CHistoryStrips::CHistoryStrips(const HistoryRecorder& history, QWidget* parent) : QWidget(parent), history_(history) {
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CHistoryStrips::SetFollow(bool follow) {
    if (follow_ == follow) return;
    follow_ = follow;
    emit FollowChanged(follow);
    Refresh();
}

int CHistoryStrips::PlotWidth() const { return std::max(width() - kLabelWidth - kRightMargin, 1); }

void CHistoryStrips::Refresh() {
    if (Read()) update();
}

void CHistoryStrips::RefreshWhenAColumnIsDue() {
    std::optional<std::pair<AxisMs, AxisMs>> span;
    history_.Read([&](const HistoryStore& store) { span = store.Span(); });
    if (held_ && span && span->first == held_->first && span->second - held_->second < view_.perPixel) return;
    Refresh();
}

void CHistoryStrips::ClampRange() {
    span_ = std::clamp(span_, kShortestSpan, kLongestSpan);
    if (!held_) return;
    // Following, the newest epoch sits just inside the right edge; else at least half the view holds epochs.
    if (follow_) {
        from_ = held_->second - span_ + span_ / 50;
        return;
    }
    from_ = std::clamp(from_, held_->first - span_ / 2, std::max(held_->first, held_->second - span_ / 2));
}

bool CHistoryStrips::Read() {
    const int width = PlotWidth();
    std::vector<AxisMs> breaks;
    std::vector<std::pair<AxisMs, QString>> ticks;
    history_.Read([&](const HistoryStore& store) {
        held_ = store.Span();
        ClampRange();
        ReadColumnsPerPixel(view_, store, from_, from_ + span_, width);
        if (rows_.size() != store.Rows().size()) rows_ = store.Rows();
        for (const TimeBreak& timeBreak : store.Axis().Breaks()) {
            if (timeBreak.axis >= from_ && timeBreak.axis <= from_ + span_) breaks.push_back(timeBreak.axis);
        }
        const AxisMs step = TickStep(span_ * 110 / width);
        for (AxisMs tick = (from_ / step + 1) * step; tick < from_ + span_; tick += step) {
            const std::optional<UtcTime> utc = store.Axis().UtcAt(tick);
            const std::string text = utc ? IsoUtcText(*utc) : std::string();
            // "2026-03-14T12:00:00.000Z": the clock time, with tenths below a second's step.
            const QString shown = text.empty() ? QString() : QString::fromStdString(text.substr(11, step < 1000 ? 10 : 8));
            ticks.emplace_back(tick, shown);
        }
    });
    // The ticks sit at pixels of the view, so the same ticks on unmoved pixels are drawn where they were.
    bool changed = ticks != ticks_ || breaks != breaks_;
    ticks_ = std::move(ticks);
    breaks_ = std::move(breaks);
    // The heat image's columns follow the pixels that kept their values.
    std::vector<int> source(view_.pixels.size(), -1);
    for (std::size_t x = 0; x < source.size(); ++x) {
        const int before = view_.unchangedFrom[x];
        changed = changed || before != static_cast<int>(x);
        if (before >= 0 && static_cast<std::size_t>(before) < heatSource_.size()) source[x] = heatSource_[static_cast<std::size_t>(before)];
    }
    heatSource_ = std::move(source);
    if (order_.size() != rows_.size()) {
        changed = true;
        heatImageStale_ = true;
        order_.resize(rows_.size());
        for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<std::uint16_t>(i);
        std::ranges::sort(order_, {}, [this](std::uint16_t row) { return std::pair(SystemOrder(rows_[row].gnss), rows_[row].svid); });
        rowLabels_.clear();
        for (const std::uint16_t row : order_) rowLabels_ << SatelliteLabel(rows_[row]);
    }
    const bool hadError = hasError_;
    hasError_ = std::ranges::any_of(view_.pixels, [](const HistoryColumn& pixel) { return pixel.Of(Measure::Horizontal).count > 0; });
    return changed || hasError_ != hadError;
}

CHistoryStrips::Strips CHistoryStrips::Layout() const {
    Strips strips;
    const int left = kLabelWidth;
    const int plotWidth = PlotWidth();
    int bottom = height() - kAxisHeight;
    strips.axis = QRect(left, bottom, plotWidth, kAxisHeight);
    auto take = [&](int strip) {
        const QRect area(left, bottom - strip, plotWidth, strip);
        bottom -= strip + kGap;
        return area;
    };
    if (hasError_) strips.error = take(kLineStripHeight);
    strips.fix = take(kFixHeight);
    strips.dops = take(kLineStripHeight);
    strips.counts = take(kLineStripHeight);
    strips.legend = QRect(left, 2, plotWidth, kLegendHeight);
    strips.heat = QRect(left, kLegendHeight + 6, plotWidth, std::max(bottom + kGap - kLegendHeight - 6 - kGap, 10));
    return strips;
}

void CHistoryStrips::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    const Strips strips = Layout();
    MakeHeatImage(strips.heat.size());
    PaintLegend(painter, strips.legend);
    PaintHeat(painter, strips.heat);
    PaintCounts(painter, strips.counts);
    PaintDops(painter, strips.dops);
    PaintFix(painter, strips.fix);
    if (hasError_) PaintError(painter, strips.error);
    PaintAxis(painter, strips);
}

void CHistoryStrips::PaintLegend(QPainter& painter, const QRect& area) {
    const int barWidth = std::min(area.width() / 2, 240);
    const QRect bar(area.left() + 60, area.top() + 2, barWidth, 8);
    // Drawn pixel for pixel, the bar's lines are drawn once per width into an image with a pixel's
    // margin for their ends.
    if (painter.deviceTransform().type() > QTransform::TxTranslate) {
        PaintLegendBar(painter, bar);
    } else {
        if (legendBar_.width() != barWidth + 2) {
            legendBar_ = QImage(barWidth + 2, bar.height() + 2, QImage::Format_ARGB32_Premultiplied);
            legendBar_.fill(Qt::transparent);
            QPainter lines(&legendBar_);
            PaintLegendBar(lines, bar.translated(1 - bar.left(), 1 - bar.top()));
        }
        painter.drawImage(bar.topLeft() - QPoint(1, 1), legendBar_);
    }
    painter.setPen(Qt::black);
    painter.drawText(QRect(area.left(), area.top(), 58, area.height()), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("C/N0 dB-Hz"));
    for (double cn0 = kWeakestCn0; cn0 <= kStrongestCn0; cn0 += 5.0) {
        const int x = bar.left() + static_cast<int>((cn0 - kWeakestCn0) / (kStrongestCn0 - kWeakestCn0) * (bar.width() - 1));
        painter.drawText(QRect(x - 10, bar.bottom() + 1, 20, 10), Qt::AlignHCenter | Qt::AlignTop, QString::number(cn0));
    }
    painter.drawText(QRect(bar.right() + 16, area.top(), area.width() - barWidth - 76, area.height()),
                     Qt::AlignLeft | Qt::AlignTop, QStringLiteral("bar on top: used; pale: in view, not used"));
}

// The heat map as an image of the strip's size, its columns in a ring: the columns whose pixels
// kept their values since they were drawn stay where they are and the ring's start moves where the
// pixels went (following, the view moves by whole pixels); only the others are drawn again.
void CHistoryStrips::MakeHeatImage(QSize size) {
    if (size.isEmpty()) return;
    if (heatImageStale_ || heatImage_.size() != size) {
        heatImageStale_ = false;
        if (heatImage_.size() != size) heatImage_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
        heatSource_.assign(heatSource_.size(), -1);
        heatStart_ = 0;
    }
    const int columns = size.width();
    auto sourceOf = [this, columns](int x) {
        const int source = static_cast<std::size_t>(x) < heatSource_.size() ? heatSource_[static_cast<std::size_t>(x)] : -1;
        return source < columns ? source : -1;
    };
    // The pixels move together, so one shift moves every column kept.
    std::optional<int> shift;
    for (int x = 0; x < columns && !shift; ++x) {
        if (sourceOf(x) >= 0) shift = sourceOf(x) - x;
    }
    if (shift) heatStart_ = ((heatStart_ + *shift) % columns + columns) % columns;
    // The pixel at the ring's end: a stretch of pixels across it is two stretches of the image.
    const int wrap = columns - heatStart_;
    for (int x = 0; x < columns;) {
        const bool stale = !shift || sourceOf(x) != x + *shift;
        int end = x + 1;
        while (end < columns && end != wrap && (!shift || sourceOf(end) != end + *shift) == stale) ++end;
        if (stale) DrawHeatColumns(x, end);
        x = end;
    }
    heatSource_.resize(view_.pixels.size());
    for (std::size_t x = 0; x < heatSource_.size(); ++x) heatSource_[x] = static_cast<int>(x);
}

// The heat image's columns of the pixels `from` to `to` (exclusive, not across the ring's end),
// drawn a row of satellites at a time: each row's line of colours is made once and copied to the
// image lines the row covers, its top line marking the pixels where the satellite was used.
void CHistoryStrips::DrawHeatColumns(int from, int to) {
    const QSize size = heatImage_.size();
    const int at = (from + heatStart_) % size.width();
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(heatImage_.scanLine(y));
        std::fill(line + at, line + at + (to - from), QRgb{0});
    }
    if (order_.empty()) return;
    const std::size_t first = static_cast<std::size_t>(from);
    const std::size_t width = std::min(view_.pixels.size(), static_cast<std::size_t>(to)) - std::min(first, view_.pixels.size());
    if (width == 0) return;
    std::vector<std::size_t> placeOf(rows_.size(), 0);
    for (std::size_t place = 0; place < order_.size(); ++place) placeOf[order_[place]] = place;
    std::vector<QRgb> colours(order_.size() * width, 0);
    std::vector<std::uint8_t> used(order_.size() * width, 0);
    for (std::size_t x = 0; x < width; ++x) {
        for (const SatelliteCell& cell : view_.pixels[first + x].cells) {
            const std::optional<double> cn0 = cell.Cn0Mean();
            if (!cn0 || cell.row >= placeOf.size()) continue;
            const QRgb colour = Cn0Rgb(*cn0);
            const std::size_t at = placeOf[cell.row] * width + x;
            colours[at] = cell.used == 0 ? Paler(colour) : colour;
            used[at] = cell.used > 0 ? 1 : 0;
        }
    }
    const double rowHeight = static_cast<double>(size.height()) / static_cast<double>(order_.size());
    const bool marked = rowHeight >= 4.0;
    // Rows thinner than a pixel share image lines: there a row's colours only cover where it has any.
    const bool overlapping = rowHeight < 1.0;
    std::vector<QRgb> topLine(width);
    for (std::size_t place = 0; place < order_.size(); ++place) {
        const QRgb* line = colours.data() + place * width;
        const int top = static_cast<int>(std::lround(static_cast<double>(place) * rowHeight));
        const int bottom = std::min(std::max(top + 1, static_cast<int>(std::lround(static_cast<double>(place + 1) * rowHeight))), size.height());
        std::copy(line, line + width, topLine.begin());
        if (marked) {
            for (std::size_t x = 0; x < width; ++x) {
                if (used[place * width + x] != 0) topLine[x] = qRgb(0, 0, 0);
            }
        }
        for (int y = top; y < bottom; ++y) {
            const QRgb* source = y == top ? topLine.data() : line;
            auto* target = reinterpret_cast<QRgb*>(heatImage_.scanLine(y)) + at;
            if (!overlapping) {
                std::copy(source, source + width, target);
                continue;
            }
            for (std::size_t x = 0; x < width; ++x) {
                if (source[x] != 0) target[x] = source[x];
            }
        }
    }
}

void CHistoryStrips::PaintHeat(QPainter& painter, const QRect& area) const {
    painter.setPen(QColor(0xc8c8c8));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    if (order_.empty()) {
        painter.setPen(Qt::gray);
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("No satellites yet"));
        return;
    }
    const double rowHeight = static_cast<double>(area.height()) / static_cast<double>(order_.size());
    const int wrap = heatImage_.width() - heatStart_;
    painter.drawImage(area.topLeft(), heatImage_, QRect(heatStart_, 0, wrap, heatImage_.height()));
    if (heatStart_ > 0) painter.drawImage(area.topLeft() + QPoint(wrap, 0), heatImage_, QRect(0, 0, heatStart_, heatImage_.height()));
    // The rows' labels where they fit, and a line between constellations.
    painter.setPen(Qt::black);
    const int labelEvery = std::max(1, static_cast<int>(std::ceil(10.0 / rowHeight)));
    for (std::size_t place = 0; place < order_.size(); ++place) {
        const double top = area.top() + static_cast<double>(place) * rowHeight;
        if (place > 0 && rows_[order_[place]].gnss != rows_[order_[place - 1]].gnss) {
            painter.setPen(QColor(0x808080));
            painter.drawLine(QPointF(0, top), QPointF(area.right(), top));
            painter.setPen(Qt::black);
        }
        if (static_cast<int>(place) % labelEvery == 0) {
            painter.drawText(QRectF(0, top, kLabelWidth - 4, std::max(rowHeight, 10.0)), Qt::AlignRight | Qt::AlignVCenter,
                             rowLabels_[static_cast<qsizetype>(place)]);
        }
    }
}

void CHistoryStrips::PaintLines(QPainter& painter, const QRect& area, StripLines& image, std::vector<StripLine> lines) const {
    std::vector<bool> epochs(view_.pixels.size());
    for (std::size_t x = 0; x < epochs.size(); ++x) epochs[x] = view_.pixels[x].epochs > 0;
    image.Update(area.size(), StripGrid{view_.perPixel, view_.from / view_.perPixel}, std::move(lines), std::move(epochs));
    painter.drawImage(area.topLeft(), image.Image());
}

void CHistoryStrips::PaintCounts(QPainter& painter, const QRect& area) {
    int most = 4;
    std::array<bool, kGnssSlots> seen{};
    for (const HistoryColumn& pixel : view_.pixels) {
        for (std::size_t slot = 0; slot < kGnssSlots; ++slot) {
            most = std::max<int>(most, pixel.inView[slot]);
            seen[slot] = seen[slot] || pixel.inView[slot] > 0;
        }
    }
    PaintStripFrame(painter, area, QStringLiteral("in view\nused"), most);
    // Per constellation seen, its line in view and its dashed line used.
    std::vector<std::size_t> systems;
    std::vector<StripLine> lines;
    for (std::size_t slot = 0; slot < kGnssSlots; ++slot) {
        if (!seen[slot]) continue;
        systems.push_back(slot);
        lines.push_back({SystemColour(slot).rgb(), false, {}});
        lines.push_back({SystemColour(slot).rgb(), true, {}});
    }
    FillRows(lines, view_, area.height(), most, [&systems](const HistoryColumn& pixel, std::size_t line) -> std::optional<double> {
        const std::size_t slot = systems[line / 2];
        // A fix without its sky (the first after a restart) leaves a gap rather than a drop to zero.
        if (line % 2 == 0) {
            if (pixel.skies == 0) return std::nullopt;
            return pixel.inView[slot];
        }
        if (pixel.skies == 0 && pixel.used[slot] == 0) return std::nullopt;
        return pixel.used[slot];
    });
    PaintLines(painter, area, countLines_, std::move(lines));
    int legendX = area.left() + 4;
    for (const std::size_t slot : systems) {
        painter.setPen(SystemColour(slot));
        painter.drawText(QPoint(legendX, area.top() + 11), QString(QChar(ConstellationLetter(static_cast<GnssId>(slot)))));
        legendX += 12;
    }
}

void CHistoryStrips::PaintDops(QPainter& painter, const QRect& area) {
    MeasureLines made = MeasureLinesOf(view_, area.height(), {{Measure::Hdop, 0x1f77b4}, {Measure::Vdop, 0xd62728}, {Measure::Pdop, 0x2ca02c}}, 2.0, 20.0);
    PaintStripFrame(painter, area, QStringLiteral("DOP"), made.top);
    PaintLines(painter, area, dopLines_, std::move(made.lines));
    painter.setPen(Qt::black);
    painter.drawText(QPoint(area.left() + 4, area.top() + 11), QStringLiteral("HDOP blue, VDOP red, PDOP green"));
}

void CHistoryStrips::PaintFix(QPainter& painter, const QRect& area) const {
    // A run of pixels of one fix kind is one rectangle.
    for (std::size_t x = 0; x < view_.pixels.size();) {
        const std::optional<FixBand> worst = view_.pixels[x].WorstFix();
        std::size_t end = x + 1;
        while (end < view_.pixels.size() && view_.pixels[end].WorstFix() == worst) ++end;
        if (worst) painter.fillRect(QRect(area.left() + static_cast<int>(x), area.top(), static_cast<int>(end - x), area.height()), FixColour(*worst));
        x = end;
    }
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, area.top(), kLabelWidth - 4, area.height()), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("fix"));
}

void CHistoryStrips::PaintError(QPainter& painter, const QRect& area) {
    MeasureLines made = MeasureLinesOf(view_, area.height(), {{Measure::Horizontal, 0x1f77b4}, {Measure::Vertical, 0xd62728}}, 1.0, 1e6);
    PaintStripFrame(painter, area, QStringLiteral("error m"), made.top);
    PaintLines(painter, area, errorLines_, std::move(made.lines));
    painter.setPen(Qt::black);
    painter.drawText(QPoint(area.left() + 4, area.top() + 11), QStringLiteral("horizontal blue, vertical red"));
}

void CHistoryStrips::PaintAxis(QPainter& painter, const Strips& strips) const {
    painter.setPen(Qt::black);
    for (const auto& [tick, text] : ticks_) {
        const int x = strips.axis.left() + static_cast<int>(view_.XOf(tick));
        painter.drawLine(x, strips.axis.top(), x, strips.axis.top() + 3);
        painter.drawText(QRect(x - 40, strips.axis.top() + 3, 80, kAxisHeight - 3), Qt::AlignHCenter | Qt::AlignTop, text);
    }
    // Where the receiver's time broke, across every strip.
    painter.setPen(QPen(QColor(0xd62728), 1, Qt::DashLine));
    for (const AxisMs at : breaks_) {
        const int x = strips.axis.left() + static_cast<int>(view_.XOf(at));
        painter.drawLine(x, strips.heat.top(), x, strips.axis.top());
    }
}

QString CHistoryStrips::ValuesAt(QPoint at) const {
    const int pointed = at.x() - kLabelWidth;
    const int width = static_cast<int>(view_.pixels.size());
    if (pointed < 0 || pointed >= width) return {};
    // Zoomed in, epochs lie pixels apart: the nearest within reach is meant.
    int x = pointed;
    for (int reach = 1; reach <= kHoverReach && view_.pixels[static_cast<std::size_t>(x)].epochs == 0; ++reach) {
        if (pointed - reach >= 0 && view_.pixels[static_cast<std::size_t>(pointed - reach)].epochs > 0) x = pointed - reach;
        else if (pointed + reach < width && view_.pixels[static_cast<std::size_t>(pointed + reach)].epochs > 0) x = pointed + reach;
    }
    const HistoryColumn& pixel = view_.pixels[static_cast<std::size_t>(x)];
    if (pixel.epochs == 0) return QStringLiteral("no epoch here");
    QString text = pixel.firstTime ? QString::fromStdString(IsoUtcText(*pixel.firstTime)) : QStringLiteral("no time");
    if (const std::optional<FixBand> fix = pixel.WorstFix()) text += QStringLiteral("  ") + FixText(*fix);
    int inView = 0;
    int used = 0;
    for (std::size_t slot = 0; slot < kGnssSlots; ++slot) {
        inView += pixel.inView[slot];
        used += pixel.used[slot];
    }
    text += pixel.skies > 0 ? QStringLiteral("  in view %1, used %2").arg(inView).arg(used) : QStringLiteral("  used %1").arg(used);
    const std::array<std::pair<Measure, const char*>, 3> dops = {{{Measure::Hdop, "HDOP"}, {Measure::Vdop, "VDOP"}, {Measure::Pdop, "PDOP"}}};
    for (const auto& [measure, name] : dops) {
        if (const std::optional<double> mean = pixel.Of(measure).Mean()) text += QStringLiteral("  %1 %2").arg(QLatin1String(name)).arg(*mean, 0, 'f', 1);
    }
    if (const std::optional<double> horizontal = pixel.Of(Measure::Horizontal).Mean()) text += QStringLiteral("  error %1 m").arg(*horizontal, 0, 'f', 2);
    const Strips strips = Layout();
    if (strips.heat.contains(at) && !order_.empty()) {
        const auto place = static_cast<std::size_t>((at.y() - strips.heat.top()) * static_cast<int>(order_.size()) / std::max(strips.heat.height(), 1));
        const std::uint16_t row = order_[std::min(place, order_.size() - 1)];
        text += QStringLiteral("  %1").arg(SatelliteLabel(rows_[row]));
        const auto cell = std::ranges::find(pixel.cells, row, &SatelliteCell::row);
        if (cell != pixel.cells.end() && cell->Cn0Mean()) {
            text += QStringLiteral(" %1 dB-Hz%2").arg(*cell->Cn0Mean(), 0, 'f', 0).arg(cell->used > 0 ? QStringLiteral(" used") : QString());
        } else {
            text += QStringLiteral(" not seen");
        }
    }
    return text;
}

void CHistoryStrips::resizeEvent(QResizeEvent*) { Read(); }

void CHistoryStrips::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0) return;
    const double x = std::clamp(event->position().x() - kLabelWidth, 0.0, static_cast<double>(PlotWidth()));
    const AxisMs pivot = from_ + static_cast<AxisMs>(x / PlotWidth() * static_cast<double>(span_));
    const auto span = static_cast<AxisMs>(static_cast<double>(span_) * std::pow(kZoomPerNotch, -notches));
    span_ = std::clamp(span, kShortestSpan, kLongestSpan);
    from_ = pivot - static_cast<AxisMs>(x / PlotWidth() * static_cast<double>(span_));
    event->accept();
    Refresh();
}

void CHistoryStrips::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragFrom_ = event->position().toPoint();
    dragStart_ = from_;
}

void CHistoryStrips::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (dragFrom_ && (event->buttons() & Qt::LeftButton)) {
        const int moved = at.x() - dragFrom_->x();
        if (moved != 0 && follow_) SetFollow(false);
        from_ = dragStart_ - static_cast<AxisMs>(static_cast<double>(moved) / PlotWidth() * static_cast<double>(span_));
        Refresh();
    }
    emit Hovered(ValuesAt(at));
}

void CHistoryStrips::mouseReleaseEvent(QMouseEvent*) { dragFrom_.reset(); }

}  // namespace vexa
