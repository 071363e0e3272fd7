#include "views/demo_pages.h"

#include <optional>

#include "app/feed_doc.h"
#include "app/ui_context.h"
#include "link/gps_comm.h"
#include "receiver/coordinate_conversion.h"
#include "views/graphic/view_map.h"
#include "views/light_grey_page.h"

namespace vexa {

namespace {

GeodeticFixReader ReadFixFrom(UiContext& ui) {
    return [&ui]() -> std::optional<GeodeticFix> {
        if (!ui.comm) return std::nullopt;
        std::optional<GeodeticFix> fix;
        ui.comm->Lock();
        if (const NavData* nav = ui.comm->GetNavData()) {
            GeodeticFix position;
            NavToGeodetic(*nav, &position.latitude, &position.longitude, &position.altitude, nullptr, nullptr);
            fix = position;
        }
        ui.comm->Unlock();
        return fix;
    };
}

}  // namespace

QWidget* CreatePositionPage(UiContext&, CFeedDoc&, QWidget* parent) { return new LightGreyPage(parent); }

QWidget* CreateSignalPage(UiContext&, CFeedDoc&, QWidget* parent) { return new LightGreyPage(parent); }

QWidget* CreateSkyPage(UiContext&, CFeedDoc&, QWidget* parent) { return new LightGreyPage(parent); }

QWidget* CreatePlotPage(UiContext&, CFeedDoc&, QWidget* parent) { return new LightGreyPage(parent); }

QWidget* CreateMapPage(UiContext& ui, CFeedDoc& doc, QWidget* parent) {
    auto* page = new CViewMap(ui.prompts, ReadFixFrom(ui), parent);
    QObject::connect(&doc, &CFeedDoc::ViewInitialUpdate, page, &CViewMap::OnInitialUpdate);
    QObject::connect(&doc, &CFeedDoc::ViewUpdate, page, &CViewMap::OnUpdate);
    return page;
}

}  // namespace vexa
