#pragma once

// The four drawn pages under a tab host, shown side by side in a window at a fractional scale, as
// "All Pages" shows them; they read `snapshot` and the Plot page `fix`.
#include <QCoreApplication>
#include <initializer_list>
#include <memory>
#include <optional>

#include "page_test_support.h"
#include "receiver/product/receiver_context.h"
#include "uicore/display_preferences.h"
#include "views/graphic/view_sct.h"
#include "views/graphic/view_sky.h"
#include "views/nav_msg_view.h"
#include "views/scaled_view.h"
#include "views/signal_view.h"
#include "views/tab_view.h"

namespace vexa::testing_support {

// Paints come from posted events that post more: a few rounds deliver them all.
inline void SettlePaints() {
    for (int round = 0; round < 5; ++round) QCoreApplication::processEvents();
}

struct AllPagesRig {
    explicit AllPagesRig(ModelSnapshot first = {}) : snapshot(std::move(first)) {
        context.LinkProtocol = kNmeaProtocol;
        host->setFixedSize(240, 268);
        for (QWidget* page : std::initializer_list<QWidget*>{position, signal, sky, plot}) host->AddView(QStringLiteral("Page"), page);
        position->OnInitialUpdate();
        signal->OnInitialUpdate();
        sky->OnInitialUpdate();
        plot->OnInitialUpdate();
        view = std::make_unique<ScaledView>(host);
        host->ShowAll(2);
        view->resize(1000, 1080);
        view->show();
        SettlePaints();
    }

    ReceiverContext context;
    AppSettings settings;
    MemorySections store{settings};
    MessagePrompts prompts;
    DisplayPreferences preferences{settings, store, prompts};
    ModelSnapshot snapshot;
    ModelReader read = [this] { return snapshot; };
    std::optional<GeodeticFix> fix = GeodeticFix{37.3875, -121.972, 20.0};
    CTabView* host = new CTabView;
    CNavMsgView* position = new CNavMsgView(context, read, preferences);
    CSignalView* signal = new CSignalView(context, read);
    CViewSky* sky = new CViewSky(read);
    CViewSct* plot = new CViewSct(preferences, [this] { return fix; });
    std::unique_ptr<ScaledView> view;
};

}  // namespace vexa::testing_support
