// Setup, "Serve metrics" as a lab user turns it on: the receiver's series on the page Prometheus
// scrapes, fetched over a real socket from the program started with its built-in receiver.
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHostAddress>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/demo_app.h"
#include "app/main_frame.h"
#include "app/qt_prompts.h"
#include "receiver/product/receiver_context.h"
#include "support/http_get.h"
#include "uicore/ui_context.h"
#include "user_at_the_screen.h"

namespace vexa::test {
namespace {

constexpr int kPatienceMs = 30000;

class MetricsJourney : public ::testing::Test {
protected:
    MetricsJourney() : user(kPatienceMs) {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
    }

    // The built-in receiver, connected without the dialogs; false when the start fails.
    bool Start(std::vector<std::string> more = {}) {
        std::vector<std::string> arguments = {"--simulate", "--connect", "--product", "Kestrel"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        const std::vector<std::string_view> views(arguments.begin(), arguments.end());
        const ParsedDemoOptions parsed = ParseDemoOptions(views);
        if (!parsed.error.empty()) {
            ADD_FAILURE() << parsed.error;
            return false;
        }
        const QString instance = QStringLiteral("vexa-metrics-journey-%1").arg(QCoreApplication::applicationPid());
        app = std::make_unique<CDemoApp>(parsed.options, prompts, instance);
        app->Ui().ports.sysfsRoot = folder.filePath("no-sysfs").toStdString();
        return app->InitInstance();
    }

    // The user's answer to the question "Serve metrics" asks: `address`, typed, and OK.
    void AnswerAddress(const QString& address) {
        user.Answer<QInputDialog>([address](QInputDialog& dialog) {
            UserAtTheScreen::Type(dialog.findChild<QLineEdit*>(), address);
            UserAtTheScreen::Click(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
        });
    }
    void ChooseServeMetrics() {
        UserAtTheScreen::ChooseMenuItem(Frame()->menuBar(), QStringLiteral("Setup"), QStringLiteral("Serve metrics"));
    }

    CMainFrame* Frame() const { return app->MainFrame(); }
    // The check mark as the user sees it: the Setup menu opened, then closed with Escape.
    bool ItemChecked() const {
        QMenuBar* bar = Frame()->menuBar();
        QAction* setup = bar->actions().constFirst();
        UserAtTheScreen::Click(bar, bar->actionGeometry(setup).center());
        QMenu* menu = setup->menu();
        UserAtTheScreen::RunUntil([menu] { return menu->isVisible(); }, 2000);
        const bool checked = Frame()->Action(CMainFrame::kServeMetrics)->isChecked();
        QTest::keyClick(menu, Qt::Key_Escape);
        UserAtTheScreen::RunUntil([menu] { return !menu->isVisible(); }, 2000);
        return checked;
    }

    QTemporaryDir folder;
    QtPrompts prompts;
    UserAtTheScreen user;
    std::unique_ptr<CDemoApp> app;
};

// On, the receiver's series scraped; the next start serves again where the user chose; off, the
// port is closed.
TEST_F(MetricsJourney, ServeTheReceiversSeriesAcrossAStartThenStop) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(UserAtTheScreen::RunUntil([&] { return app->Ui().receiver.LinkProtocol != kNotConnected; }, kPatienceMs));
    EXPECT_FALSE(ItemChecked()) << "off by default";
    const std::uint16_t port = FreePort();
    AnswerAddress(QStringLiteral("127.0.0.1:%1").arg(port));
    ChooseServeMetrics();
    ASSERT_TRUE(user.Done());
    EXPECT_TRUE(ItemChecked());

    // Labelled with the port in use: the next start's built-in receiver is on a new one.
    std::string page;
    const auto served = [&] {
        const std::string device = app->Ui().Settings().m_strSerialPort;
        page = HttpGet(port, "/metrics");
        return page.find("vexa_receiver_connected{device=\"" + device + "\"} 1") != std::string::npos &&
               page.find("vexa_satellites_in_view{device=\"" + device + "\",gnssid=\"0\"} ") != std::string::npos;
    };
    EXPECT_TRUE(UserAtTheScreen::RunUntil(served, kPatienceMs)) << page;

    app.reset();
    ASSERT_TRUE(Start());
    EXPECT_TRUE(ItemChecked());
    EXPECT_TRUE(UserAtTheScreen::RunUntil(served, kPatienceMs)) << page;

    ChooseServeMetrics();
    EXPECT_FALSE(ItemChecked());
    EXPECT_EQ(HttpGet(port, "/metrics"), "");
    EXPECT_TRUE(user.Surprises().isEmpty()) << user.Surprises().join(" | ").toStdString();
}

// A port in use, an address not this machine's, or no HOST:PORT at all: the address is named, the
// program goes on without metrics and the item stays unchecked.
TEST_F(MetricsJourney, AnAddressThatCannotBeServedIsNamedAndLeftUnchecked) {
    QTcpServer busy;
    ASSERT_TRUE(busy.listen(QHostAddress::LocalHost));
    const QString inUse = QStringLiteral("127.0.0.1:%1").arg(busy.serverPort());

    ::testing::internal::CaptureStderr();
    const bool started = Start({"--metrics", inUse.toStdString()});
    const std::string errors = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(started);
    EXPECT_NE(errors.find("vexademo: cannot serve metrics on " + inUse.toStdString()), std::string::npos) << errors;
    EXPECT_FALSE(ItemChecked());

    const struct {
        QString typed;
        QString shown;
    } cases[] = {
        {inUse, QStringLiteral("cannot serve metrics on ") + inUse},
        {QStringLiteral("192.0.2.7:9861"), QStringLiteral("cannot serve metrics on 192.0.2.7:9861")},
        {QStringLiteral("9861"), QStringLiteral("'9861' is not HOST:PORT")},
        {QStringLiteral("127.0.0.1:70000"), QStringLiteral("'127.0.0.1:70000' is not HOST:PORT")},
    };
    for (const auto& c : cases) {
        QString shown;
        AnswerAddress(c.typed);
        user.Answer<QMessageBox>([&shown](QMessageBox& box) {
            shown = box.text();
            UserAtTheScreen::Click(box.buttons().constFirst());
        });
        ChooseServeMetrics();
        ASSERT_TRUE(UserAtTheScreen::RunUntil([&] { return user.Done(); }, kPatienceMs)) << c.typed.toStdString();
        EXPECT_TRUE(shown.contains(c.shown)) << shown.toStdString();
        EXPECT_FALSE(ItemChecked()) << c.typed.toStdString();
    }
    EXPECT_FALSE(app->Ui().Settings().m_bServeMetrics);
    EXPECT_TRUE(user.Surprises().isEmpty()) << user.Surprises().join(" | ").toStdString();
}

}  // namespace
}  // namespace vexa::test
