#include "app/command_dialogs.h"

#include <QPointer>

#include "app/elevation_mask_dialog.h"
#include "app/power_management_dialog.h"
#include "link/gps_comm.h"
#include "location/session/location_client.h"
#include "platform/result_codes.h"
#include "uicore/ui_context.h"

namespace vexa {

namespace {

CommandSender SendThrough(UiContext& ui) {
    return [&ui](int id, const void* block, std::size_t length) {
        return ui.comm ? ui.comm->Send(id, block, length) : kResultCommFailure;
    };
}

// The dialog belongs to the window that first asked for it; a new one is made if that window goes.
template <typename Dialog>
std::function<void(QWidget*)> ShowKeptDialog(UiContext& ui) {
    return [&ui, dialog = QPointer<Dialog>()](QWidget* parent) mutable {
        if (!dialog) dialog = new Dialog(SendThrough(ui), ui.prompts, parent);
        ui.RunModal(*dialog);
    };
}

}  // namespace

void InstallCommandHooks(UiContext& ui) {
    ui.showPowerManagement = ShowKeptDialog<CPowerManagementDlg>(ui);
    ui.showElevationMask = ShowKeptDialog<CElevationMaskDlg>(ui);
}

void InstallTunnelHook(UiContext& ui, LocationClient& client) {
    ui.setNmeaTunnel = [&client](bool enable) { client.setNmea(enable); };
}

}  // namespace vexa
