#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cstdint>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "app/command_dialogs.h"
#include "app/demo_tab_view.h"
#include "app/main_frame.h"
#include "app/notify_bridge.h"
#include "link/gps_comm.h"
#include "link/location_client_host.h"
#include "receiver/product/receiver_context.h"
#include "uicore/app_settings.h"
#include "uicore/feed_doc.h"
#include "uicore/scripted_prompts.h"
#include "uicore/settings_store.h"
#include "uicore/ui_context.h"
#include "views/tab_strip.h"

namespace vexa::test {

// The user interface's program-wide values, with the settings in a fresh temporary folder, scripted
// prompts, a tick count the test moves, and modal dialogs answered by `answerDialog`
// (cancelled when it is empty).
class UiFixture : public ::testing::Test {
protected:
    UiFixture() {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
        store = std::make_unique<SettingsStore>(settings);
        ui = std::make_unique<UiContext>(receiver, *store, prompts);
        ui->ticks = [this] { return now; };
        ui->protocolSwitchWait = [](std::chrono::milliseconds) {};
        ui->runModal = [this](QDialog& dialog) { return answerDialog ? answerDialog(dialog) : int{QDialog::Rejected}; };
    }

    // The link, the document and the frame, as the program builds them.
    void BuildFrame(bool withLink = true) {
        if (withLink) {
            comm = GpsComm::Create(receiver);
            ui->comm = comm.get();
            location = std::make_unique<LocationClientHost>(*comm);
            InstallTunnelHook(*ui, location->client());
        }
        frame = std::make_unique<CMainFrame>(*ui, doc, bridge);
        doc.InitialUpdate();
    }

    void TearDown() override {
        frame.reset();
        ui->comm = nullptr;
        location.reset();
        comm.reset();
    }

    static void ProcessEvents() { QCoreApplication::processEvents(); }

    // The user's input, as events on the shown frame's widgets.
    // A menu item: a click on its menu's title in the menu bar, then one on the item.
    void ChooseMenuItem(int commandId) {
        QAction* item = frame->Action(commandId);
        QMenuBar* bar = frame->menuBar();
        for (QAction* title : bar->actions()) {
            QMenu* menu = title->menu();
            if (menu == nullptr || !menu->actions().contains(item)) continue;
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
            ASSERT_TRUE(menu->isVisible()) << title->text().toStdString();
            ASSERT_TRUE(item->isEnabled()) << item->text().toStdString();
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
            return;
        }
        FAIL() << "no menu holds item " << commandId;
    }
    void ClickTab(int index) {
        TabStrip* tabs = frame->TabHost()->Tabs();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->ItemRect(index).center());
    }
    // Everything in the field replaced by `text`, typed.
    static void TypeInto(QLineEdit* field, const QString& text) {
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    }

    QTemporaryDir settingsFolder;
    ReceiverContext receiver;
    AppSettings settings;
    std::unique_ptr<SettingsStore> store;
    ScriptedPrompts prompts;
    std::unique_ptr<UiContext> ui;
    std::uint32_t now = 100000;
    std::function<int(QDialog&)> answerDialog;

    // Updates are taken and shown at once, so that one ProcessEvents() shows them.
    NotifyBridge bridge{UpdatePace{std::chrono::milliseconds(0), std::chrono::milliseconds(0)}};
    std::unique_ptr<GpsComm> comm;
    std::unique_ptr<LocationClientHost> location;
    CFeedDoc doc;
    std::unique_ptr<CMainFrame> frame;
};

}  // namespace vexa::test
