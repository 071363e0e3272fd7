#include "app/demo_tab_view.h"

#include <QPainter>

#include "app/demo_pages.h"
#include "uicore/prompts.h"
#include "uicore/ui_context.h"
#include "views/debug_data_view.h"
#include "views/display_sheets.h"
#include "views/graphic/view_map.h"
#include "views/preferences_sheet.h"
#include "views/tab_strip.h"

namespace vexa {

namespace {

const QString kMapNotLoaded = QStringLiteral("MAP is NOT loaded.\r\nTo load MAP, select\r\nSetup | Load Map...");

const QColor kPressedTab(192, 192, 192);
const QColor kNoSignalPageTab(255, 255, 0);

}  // namespace

CDemoTabView::CDemoTabView(UiContext& ui, CFeedDoc& doc, QWidget* parent) : CTabView(parent), ui_(ui) {
    // The Position and Plot pages open their sheets as every dialog of the program is opened.
    ui_.displayPreferences.SetSheetRunner(
        DisplaySheets(ui.Settings(), ui.prompts, [&ui](CPreferencesSheet& sheet) { return ui.RunModal(sheet); }));
    Tabs()->SetItemPainter([this](QPainter& painter, int index, const QRect& itemRect, bool pressed) {
        DrawItem(painter, index, itemRect, pressed);
    });
    // Every page starts at the same rectangle; the first layout moves it below the tabs.
    // Screen readers name each page by its tab and tell what it shows.
    const auto add = [this](const QString& label, QWidget* page, const QString& description) {
        page->setGeometry(QRect(QPoint(4, 25), QPoint(229, 236)));
        page->setAccessibleName(label + QStringLiteral(" page"));
        page->setAccessibleDescription(description);
        AddView(label, page);
    };
    add(QStringLiteral("Position"), CreatePositionPage(ui, doc, this),
        QStringLiteral("The receiver's position, height, velocity, time, fix mode and time to first fix"));
    add(QStringLiteral("Signal"), CreateSignalPage(ui, doc, this),
        QStringLiteral("The signal strength (C/N0) of each satellite as a bar, with its number"));
    add(QStringLiteral("Sky"), CreateSkyPage(ui, doc, this),
        QStringLiteral("Where the satellites are in the sky, with each one's azimuth and elevation"));
    add(QStringLiteral("Plot"), CreatePlotPage(ui, doc, this),
        QStringLiteral("The latest positions around the plot's origin, inside rings of set radii"));
    add(QStringLiteral("Map"), CreateMapPage(ui, doc, this),
        QStringLiteral("The loaded map with the receiver's position on it"));
    add(QStringLiteral("Text"), new CDebugDataView(ui, doc, this),
        QStringLiteral("The receiver's messages and the program's notes as lines of text"));
    // The graphic pages have no use for the keys themselves: they leaf through the pages.
    for (int page : {kSignal, kSky, kPlot, kMap}) PassKeyPresses(page);
    SelectTab(kPosition);
}

CDebugDataView* CDemoTabView::TextView() const { return qobject_cast<CDebugDataView*>(GetView(kText)); }

CViewMap* CDemoTabView::MapPage() const { return qobject_cast<CViewMap*>(GetView(kMap)); }

void CDemoTabView::DrawItem(QPainter& painter, int index, const QRect& itemRect, bool pressed) const {
    QColor background = GetView(kSignal) ? ui_.FixStatusColour : kNoSignalPageTab;
    QRect fill = itemRect;
    if (pressed) background = kPressedTab;
    else fill.adjust(0, 0, 0, 2);
    painter.fillRect(fill, background);
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(itemRect, Qt::AlignCenter, Tabs()->Label(index).left(99));
}

void CDemoTabView::OnSelChange(int index) {
    if (index == kMap) {
        const CViewMap* map = MapPage();
        if (!map || !map->CartexView()->Control() || !map->CartexView()->MapLoaded()) {
            RestoreSelection(PreviousIndex());
            ui_.prompts.ShowMessage(this, kMapNotLoaded);
            return;
        }
    }
    CTabView::OnSelChange(index);
}

}  // namespace vexa
