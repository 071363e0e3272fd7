#include "app/demo_pages.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "uicore/feed_doc.h"
#include "uicore/ui_context.h"
#include "views/graphic/view_map.h"
#include "views/graphic/view_sct.h"
#include "views/graphic/view_sky.h"
#include "views/model_readers.h"
#include "views/nav_msg_view.h"
#include "views/signal_view.h"

namespace vexa {

namespace {

// The readers go through ui.comm at every call: the link may be missing (it could not be created).
ModelReader ReadSnapshotFrom(UiContext& ui) {
    return [&ui] { return ui.comm ? SnapshotReader(*ui.comm)() : ModelSnapshot{}; };
}

GeodeticFixReader ReadFixFrom(UiContext& ui) {
    return [&ui]() -> std::optional<GeodeticFix> {
        if (!ui.comm) return std::nullopt;
        return ReadFixFrom(*ui.comm)();
    };
}

template <typename Page>
Page* ConnectToDoc(Page* page, CFeedDoc& doc) {
    QObject::connect(&doc, &CFeedDoc::ViewInitialUpdate, page, &Page::OnInitialUpdate);
    QObject::connect(&doc, &CFeedDoc::ViewUpdate, page, &Page::OnUpdate);
    return page;
}

}  // namespace

QWidget* CreatePositionPage(UiContext& ui, CFeedDoc& doc, QWidget* parent) {
    return ConnectToDoc(new CNavMsgView(ui.receiver, ReadSnapshotFrom(ui), ui.displayPreferences, parent), doc);
}

QWidget* CreateSignalPage(UiContext& ui, CFeedDoc& doc, QWidget* parent) {
    // The program's tick count when one is given (tests move it), else the steady clock's.
    TickSource ticks = [&ui] { return ui.ticks ? static_cast<std::int64_t>(ui.ticks()) : SteadyTicks(); };
    auto* page = ConnectToDoc(new CSignalView(ui.receiver, ReadSnapshotFrom(ui), parent, std::move(ticks)), doc);
    // The tab host, the page's parent, paints its tabs in the fix status colour.
    QObject::connect(page, &CSignalView::FixStatusColourChanged, page, [&ui, parent](const QColor& colour) {
        ui.FixStatusColour = colour;
        if (parent) parent->update();
    });
    return page;
}

QWidget* CreateSkyPage(UiContext& ui, CFeedDoc& doc, QWidget* parent) {
    return ConnectToDoc(new CViewSky(ReadSnapshotFrom(ui), parent), doc);
}

QWidget* CreatePlotPage(UiContext& ui, CFeedDoc& doc, QWidget* parent) {
    return ConnectToDoc(new CViewSct(ui.displayPreferences, ReadFixFrom(ui), parent), doc);
}

QWidget* CreateMapPage(UiContext& ui, CFeedDoc& doc, QWidget* parent) {
    return ConnectToDoc(new CViewMap(ui.prompts, ReadFixFrom(ui), parent), doc);
}

}  // namespace vexa
