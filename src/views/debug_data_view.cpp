#include "views/debug_data_view.h"

#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "uicore/feed_doc.h"
#include "uicore/ui_context.h"
#include "link/gps_comm.h"
#include "receiver/binary/message_ids.h"
#include "receiver/product/product_table.h"
#include "views/fitted_text.h"
#include "views/ttff_report.h"

namespace vexa {

namespace {

const QColor kLightGrey(192, 192, 192);

QRect FromEdges(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

}  // namespace

CDebugDataView::CDebugDataView(UiContext& ui, CFeedDoc& doc, QWidget* parent)
    : QWidget(parent),
      ui_(ui),
      list_(new QListWidget(this)),
      clearButton_(new QPushButton(QStringLiteral("Clear"), this)),
      debugButton_(new QRadioButton(QStringLiteral("Debug"), this)),
      nmeaButton_(new QRadioButton(QStringLiteral("NMEA"), this)) {
    QFont listFont(QStringLiteral("Arial"));
    listFont.setPixelSize(11);
    setFont(listFont);

    list_->setObjectName(QStringLiteral("1130"));
    list_->setGeometry(FromEdges(1, 0, 240, 220));
    list_->setUniformItemSizes(true);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);

    clearButton_->setObjectName(QStringLiteral("1031"));
    clearButton_->setGeometry(FromEdges(195, 220, 231, 239));
    debugButton_->setObjectName(QStringLiteral("1205"));
    debugButton_->setGeometry(FromEdges(10, 222, 65, 237));
    nmeaButton_->setObjectName(QStringLiteral("1206"));
    nmeaButton_->setGeometry(FromEdges(75, 222, 126, 237));
    for (QRadioButton* button : {debugButton_, nmeaButton_}) {
        FitButtonText(button);
        QPalette greyBackground = button->palette();
        greyBackground.setColor(QPalette::Window, kLightGrey);
        button->setPalette(greyBackground);
        button->setAutoFillBackground(true);
        button->hide();
    }

    // The user's own scrolling wins over the place lines added since the last repaint would scroll to.
    connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!settingTop_) shownTop_.reset();
    });
    connect(clearButton_, &QPushButton::clicked, this, &CDebugDataView::ClearList);
    connect(debugButton_, &QRadioButton::clicked, this, &CDebugDataView::OnFilterClicked);
    connect(nmeaButton_, &QRadioButton::clicked, this, &CDebugDataView::OnFilterClicked);
    connect(&doc, &CFeedDoc::ViewInitialUpdate, this, &CDebugDataView::OnInitialUpdate);
    connect(&doc, &CFeedDoc::ViewUpdate, this, &CDebugDataView::OnUpdate);
}

void CDebugDataView::OnInitialUpdate() {
    lastListRedrawTick_ = 0;
    // The list's client area: inside its frame, less the scroll bars it always shows.
    list_->ensurePolished();
    const QSize bars(list_->verticalScrollBar()->sizeHint().width(), list_->horizontalScrollBar()->sizeHint().height());
    m_rcList = QRect(QPoint(0, 0), list_->contentsRect().size() - bars);
    list_->clear();
    m_nFilter = kDebugFilter;
    debugButton_->setChecked(true);
}

void CDebugDataView::OnUpdate(const LinkUpdate& update) {
    if (!std::holds_alternative<TextLinesWaiting>(update)) return;
    GpsComm* comm = ui_.comm;
    if (!comm) return;
    QStringList lines;
    while (std::optional<std::string> line = comm->Model().NextTextLine()) {
        if (std::optional<QString> shown = TakeLine(std::move(*line))) lines.append(std::move(*shown));
    }
    // Lines that came faster than the page takes them are not shown; the page says how many.
    const std::uint64_t dropped = comm->Model().TextLinesDropped();
    if (dropped > linesDroppedShown_) {
        lines.append(QStringLiteral("(%1 lines not shown: they came faster than the page takes them)")
                         .arg(dropped - linesDroppedShown_));
        linesDroppedShown_ = dropped;
    }
    AddLines(lines);
}

std::optional<QString> CDebugDataView::TakeLine(std::string line) {
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    const std::string_view text(line);

    const int protocol = ui_.receiver.LinkProtocol;
    if (const ProductTraits* product = SupportedProduct(ui_.receiver.ProductSelection.load())) {
        if (!product->textFilter) {
            if (!debugButton_->isHidden()) ShowFilterButtons(false);
            if (protocol != kNmeaProtocol) {
                if (const auto ttff = TtffFromReportLine(text)) {
                    ui_.receiver.Ttff.set(*ttff, ReportedTtffSeconds(*ttff), TtffSource::Receiver);
                    ui_.receiver.TtffCounter.receiverReported();
                }
            }
        } else if (protocol == kNmeaProtocol) {
            if (!debugButton_->isHidden()) ShowFilterButtons(false);
        } else {
            if (debugButton_->isHidden()) ShowFilterButtons(true);
            if ((m_nFilter == kDebugFilter) == text.starts_with('$')) return std::nullopt;
        }
    }
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// At 20 epochs a second of four systems hundreds of lines come each second: the place the list will
// show is worked out here, and the list is laid out and scrolled to it only when it is shown (Redraw).
void CDebugDataView::AddLines(const QStringList& lines) {
    QStringList added;
    for (const QString& line : lines)
        if (!line.isEmpty()) added.append(line);
    if (added.isEmpty()) {
        RedrawIfDue();
        return;
    }
    list_->setUpdatesEnabled(false);
    // The list as it will be after the lines, one at a time: the oldest lines leave to keep
    // kMaxLines, and it follows the newest line unless the user has scrolled back from it.
    const int before = list_->count();
    int top = shownTop_ ? *shownTop_ : TopIndex();
    int count = before;
    int removed = 0;
    for (qsizetype line = 0; line < added.size(); ++line) {
        if (count >= kMaxLines) {
            --count;
            ++removed;
            top = std::max(top - 1, 0);
        }
        ++count;
        if (top >= count - VisibleLineCount() - 3) top = count - 1;
    }
    // Then done to the list at once: each row removed or added alone costs the views a notice.
    const int removedOld = std::min(removed, before);
    if (removedOld > 0) list_->model()->removeRows(0, removedOld);
    for (qsizetype line = removed - removedOld; line < added.size(); ++line) {
        auto* item = new QListWidgetItem(added[line]);
        item->setSizeHint(QSize(kHorizontalExtent, ItemHeight()));
        list_->addItem(item);
    }
    shownTop_ = top;
    RedrawIfDue();
}

void CDebugDataView::OnRedrawTimer() { RedrawIfDue(); }

void CDebugDataView::RedrawIfDue() {
    if (ui_.Ticks() - lastListRedrawTick_ >= kRedrawIntervalMs) Redraw();
}

void CDebugDataView::Redraw() {
    if (const std::optional<int> top = std::exchange(shownTop_, std::nullopt)) SetTopIndex(*top);
    list_->setUpdatesEnabled(true);
    list_->viewport()->update();
    lastListRedrawTick_ = ui_.Ticks();
}

void CDebugDataView::ClearList() {
    shownTop_.reset();
    list_->clear();
}

int CDebugDataView::TopIndex() const {
    // Scrolling to a line past the last page of lines shows the last page.
    if (shownTop_) return std::clamp(*shownTop_, 0, std::max(list_->count() - VisibleLineCount(), 0));
    if (list_->count() == 0) return 0;
    list_->doItemsLayout();
    return list_->verticalScrollBar()->value();
}

void CDebugDataView::SetTopIndex(int index) {
    settingTop_ = true;
    list_->doItemsLayout();
    list_->verticalScrollBar()->setValue(index);
    settingTop_ = false;
}

int CDebugDataView::ItemHeight() const { return list_->fontMetrics().height(); }

int CDebugDataView::VisibleLineCount() const { return m_rcList.height() / ItemHeight(); }

void CDebugDataView::ShowFilterButtons(bool shown) {
    debugButton_->setVisible(shown);
    nmeaButton_->setVisible(shown);
}

// The filter buttons belong to the binary protocol of a product with the text filter only.
void CDebugDataView::FollowFilterRule() {
    if (const ProductTraits* product = SupportedProduct(ui_.receiver.ProductSelection.load())) {
        ShowFilterButtons(product->textFilter && ui_.receiver.LinkProtocol != kNmeaProtocol);
    }
}

void CDebugDataView::OnFilterClicked() {
    m_nFilter = nmeaButton_->isChecked() ? kNmeaFilter : kDebugFilter;
    ClearList();
}

void CDebugDataView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The whole page as it is now: the tab host sizes the page after its first update.
    painter.fillRect(rect(), kLightGrey);
    FollowFilterRule();
}

}  // namespace vexa
