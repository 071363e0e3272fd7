#include "views/nav_msg_view.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <iterator>

#include "receiver/binary/message_ids.h"
#include "receiver/product/receiver_context.h"
#include "uicore/display_preferences.h"
#include "views/nav_texts.h"
#include "views/page_palette.h"
#include "views/page_text.h"
#include "views/static_text.h"

namespace vexa {

namespace {

constexpr int kFirstId = CNavMsgView::kLatLon;
constexpr int kSpeed = 1042;
constexpr int kHeading = 1043;
constexpr int kAltitude = 1044;
constexpr int kMode = 1045;
constexpr int kHdop = 1046;
constexpr int kFix = 1047;
constexpr int kSatelliteCount = 1048;
constexpr int kSatelliteList = 1049;

struct StaticText {
    int id;
    QRect rect;
    Qt::Alignment alignment;
};

const StaticText kStaticTexts[] = {
    {kFirstId, RectLtrb(2, 5, 234, 58), Qt::AlignLeft},
    {kSpeed, RectLtrb(5, 90, 73, 110), Qt::AlignHCenter},
    {kHeading, RectLtrb(84, 90, 152, 110), Qt::AlignHCenter},
    {kAltitude, RectLtrb(163, 90, 231, 110), Qt::AlignHCenter},
    {kMode, RectLtrb(5, 130, 73, 150), Qt::AlignHCenter},
    {kHdop, RectLtrb(84, 130, 152, 150), Qt::AlignHCenter},
    {kFix, RectLtrb(163, 130, 231, 150), Qt::AlignHCenter},
    {kSatelliteCount, RectLtrb(5, 170, 35, 190), Qt::AlignHCenter},
    {kSatelliteList, RectLtrb(40, 170, 231, 190), Qt::AlignLeft},
};

struct PaintedLabel {
    QPoint at;
    const char* text;
};

const PaintedLabel kPaintedLabels[] = {
    {{7, 75}, "Speed:"}, {{86, 75}, "Heading:"}, {{165, 75}, "Altitude:"},
    {{7, 115}, "Mode:"}, {{86, 115}, "HDOP:"},   {{165, 115}, "Fix:"},
    {{7, 155}, "Satellites Used in Fix:"},
};

}  // namespace

CNavMsgView::CNavMsgView(ReceiverContext& context, ModelReader read, DisplayPreferences& preferences,
                         QWidget* parent)
    : QWidget(parent),
      context_(context),
      read_(std::move(read)),
      preferences_(preferences),
      largeFont_(ArialCell(24, true)),
      smallFont_(ArialCell(13)),
      properties_(new QPushButton(QStringLiteral("Properties..."), this)) {
    setFont(smallFont_);
    for (const StaticText& text : kStaticTexts)
        labels_[text.id - kFirstId] = MakeStaticText(this, text.id, text.rect, text.alignment);
    properties_->setObjectName(QString::number(kProperties));
    properties_->setGeometry(RectLtrb(150, 218, 231, 237));
    connect(properties_, &QPushButton::clicked, this, [this] { preferences_.EditUnits(window()); });
}

QLabel* CNavMsgView::Label(int id) const {
    const int index = id - kFirstId;
    return index >= 0 && index < static_cast<int>(std::size(labels_)) ? labels_[index] : nullptr;
}

QString CNavMsgView::Text(int id) const {
    const QLabel* label = Label(id);
    return label != nullptr ? label->text() : QString();
}

void CNavMsgView::OnInitialUpdate() {
    labels_[0]->setFont(largeFont_);
    Label(kSatelliteList)->setFont(smallFont_);
    labels_[0]->setText(kEmptyLatLon);
}

// Each label is given its blank text once: setting the text a label already shows repaints nothing
// (QLabel::clear, or a text set twice, would repaint it).
void CNavMsgView::Blank() {
    labels_[0]->setText(kEmptyLatLon);
    for (std::size_t id = 1; id < std::size(labels_); ++id)
        if (labels_[id] != nullptr) labels_[id]->setText(QString());
}

void CNavMsgView::OnUpdate(const LinkUpdate& update) {
    const int protocol = context_.LinkProtocol.load();
    if (protocol == kNmeaProtocol) {
        ShowNmeaFix(update);
        return;
    }
    if (protocol != kBinaryProtocol) {
        Blank();
        return;
    }
    if (!IsDelivered(update, MessageId::NavData)) return;
    const std::optional<NavData> nav = read_().nav;
    if (!nav) return;
    Show(FormatNavTexts(*nav, preferences_.Settings()));
}

// A new fix rewrites every field; other updates (every sentence brings one) leave the last fix shown,
// or blank the page while there is none yet.
void CNavMsgView::ShowNmeaFix(const LinkUpdate& update) {
    const std::optional<GnssFix> fix = read_().fix;
    if (!fix) {
        Blank();
    } else if (std::holds_alternative<FixUpdated>(update)) {
        Show(FormatFixTexts(*fix, preferences_.Settings()));
    }
}

void CNavMsgView::Show(const NavTexts& texts) {
    labels_[0]->setText(texts.latLon);
    Label(kSpeed)->setText(texts.speed);
    Label(kHeading)->setText(texts.heading);
    Label(kAltitude)->setText(texts.altitude);
    Label(kSatelliteCount)->setText(texts.satelliteCount);
    Label(kSatelliteList)->setText(texts.satelliteList);
    Label(kHdop)->setText(texts.hdop);
    Label(kFix)->setText(texts.fix);
    Label(kMode)->setText(texts.mode);
}

void CNavMsgView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The whole page as it is now: the tab host sizes the page after its first update.
    painter.fillRect(rect(), kPaletteLightGrey);
    for (const PaintedLabel& label : kPaintedLabels)
        DrawPageLabel(painter, smallFont_, label.at, QString::fromLatin1(label.text));
}

}  // namespace vexa
