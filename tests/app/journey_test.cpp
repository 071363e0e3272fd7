#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest/QTest>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QWheelEvent>
#include <QTemporaryDir>
#include <QWindow>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "support/serial_server.h"
#include "app/command_line.h"
#include "app/demo_app.h"
#include "app/demo_tab_view.h"
#include "app/history_items.h"
#include "app/main_frame.h"
#include "app/product_dialog.h"
#include "app/qt_prompts.h"
#include "app/serial_comm_dialog.h"
#include "link/gps_comm.h"
#include "link/recording/fix_track.h"
#include "sim/receiver_simulator.h"
#include "uicore/ui_context.h"
#include "user_at_the_screen.h"
#include "views/debug_data_view.h"
#include "views/graphic/plot_view.h"
#include "views/graphic/radar_view.h"
#include "views/graphic/view_map.h"
#include "views/graphic/view_sct.h"
#include "views/graphic/view_sky.h"
#include "sim/sample_capture.h"
#include "views/history/history_window.h"
#include "views/history/replay_bar.h"
#include "views/nav_msg_view.h"
#include "views/nav_texts.h"
#include "views/receiver_test/campaign_box.h"
#include "views/receiver_test/receiver_test_window.h"
#include "views/receiver_test/reference_box.h"
#include "views/scaled_view.h"
#include "views/signal_bar.h"
#include "views/signal_view.h"
#include "views/tab_strip.h"

namespace vexa::test {
namespace {

const std::string kSampleMap = VEXA_SOURCE_DIR "/res/maps/VexaDemoPPC_Maps/VexaDemoPPC.gst";
const QString kSampleCapture = QStringLiteral(VEXA_SOURCE_DIR "/res/samples/demo.bin");
constexpr int kPatienceMs = 30000;

// How the user reaches the receiver in the Serial Comm dialog of the first start.
enum class Reach {
    kFirstListed,     // the port listed first, as offered (a first start: with "Auto")
    kNetworkSource,   // "Add Network Source...", then the tcp:// name of a serial server
    kReplayedCapture, // nothing to connect at first; then Setup, "Replay capture...", the sample capture
};

struct Journey {
    const char* name;
    std::vector<std::string> arguments;  // the program's, after its name
    Reach reach;
    QString baud;  // typed into the baud box before Connect; empty keeps the one offered
    std::optional<int> protocol;  // what the link runs once connected; either for a capture of both
    int firstPage;                // shown once connected
    bool developmentText = false;  // Command, "Debug Data Output": a binary receiver's lines for the Text page
};

void PrintTo(const Journey& journey, std::ostream* stream) { *stream << journey.name; }

// A new user's first run of the program as vexademo builds it, with its settings in a folder of its
// own, no serial devices but those the journey names, and real message boxes and file dialogs.
class JourneyTest : public ::testing::Test {
protected:
    JourneyTest() : user(kPatienceMs) {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
    }

    // Starts the program with these arguments and walks through its first questions as the user's
    // answers (queued before) say; false when the command line is refused or the program ends at once.
    bool Start(const std::vector<std::string>& arguments) {
        const std::vector<std::string_view> views(arguments.begin(), arguments.end());
        const ParsedDemoOptions parsed = ParseDemoOptions(views);
        if (!parsed.error.empty()) {
            ADD_FAILURE() << parsed.error;
            return false;
        }
        const QString instance = QStringLiteral("vexa-journey-%1").arg(QCoreApplication::applicationPid());
        app = std::make_unique<CDemoApp>(parsed.options, prompts, instance);
        app->Ui().ports.sysfsRoot = folder.filePath("no-sysfs").toStdString();
        return app->InitInstance();
    }

    // First start: Product Selection OK, then in Serial Comm the receiver reached as the journey says,
    // Connect and, once connected, Done.
    void AnswerTheFirstQuestions(Reach reach, const QString& baud, const QString& networkSource = {}) {
        user.Answer<CProductSelDlg>([](CProductSelDlg& dialog) {
            UserAtTheScreen::Click(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
        });
        if (reach == Reach::kReplayedCapture) {
            user.Answer<CSerialCommDlg>([](CSerialCommDlg& dialog) { UserAtTheScreen::Click(dialog.DoneButton()); });
            return;
        }
        if (reach == Reach::kNetworkSource) {
            user.Answer<CSerialCommDlg>([](CSerialCommDlg& dialog) { UserAtTheScreen::Click(dialog.AddSourceButton()); });
            user.Answer<QInputDialog>([networkSource](QInputDialog& dialog) {
                UserAtTheScreen::Type(dialog.findChild<QLineEdit*>(), networkSource);
                UserAtTheScreen::Click(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
            });
        }
        ConnectAndDone(baud);
    }

    void ConnectAndDone(const QString& baud) {
        user.Answer<CSerialCommDlg>([baud](CSerialCommDlg& dialog) {
            if (!baud.isEmpty()) UserAtTheScreen::Type(dialog.BaudCombo(), baud);
            UserAtTheScreen::Click(dialog.ConnectButton());
        });
        user.Answer<CSerialCommDlg>([](CSerialCommDlg& dialog) { UserAtTheScreen::Click(dialog.DoneButton()); },
                                    [](CSerialCommDlg& dialog) {
                                        return !dialog.Controller().Testing() &&
                                               dialog.Controller().Status().text.starts_with("Connected");
                                    });
    }

    // Setup, "Replay capture...", the sample capture typed into the file dialog, Open; then Connect and
    // Done in the Serial Comm dialog that follows, the capture chosen there.
    void ReplayTheSampleCapture() {
        user.Answer<QFileDialog>([](QFileDialog& dialog) {
            UserAtTheScreen::Type(dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), kSampleCapture);
            UserAtTheScreen::Click(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open));
        });
        ConnectAndDone({});
        UserAtTheScreen::ChooseMenuItem(Frame()->menuBar(), QStringLiteral("Setup"), QStringLiteral("Replay capture..."));
    }

    // Command, "Debug Data Output": the receiver's development text on the Text page.
    void TurnOnDevelopmentText() {
        UserAtTheScreen::ChooseMenuItem(Frame()->menuBar(), QStringLiteral("Command"), QStringLiteral("Debug Data Output"));
    }

    CMainFrame* Frame() const { return app->MainFrame(); }
    CDemoTabView* Tabs() const { return Frame()->TabHost(); }
    template <class Page>
    Page* PageAt(int index) const { return qobject_cast<Page*>(Tabs()->GetView(index)); }

    void ClickTab(int index) {
        TabStrip* strip = Tabs()->Tabs();
        UserAtTheScreen::Click(strip, strip->ItemRect(index).center());
    }

    // What each page shows once the receiver's data reached it: a position, satellites, a track, the
    // marker on the map, lines.
    bool ShowsData(int index) const {
        switch (index) {
        case CDemoTabView::kPosition: return PageAt<CNavMsgView>(index)->Text(CNavMsgView::kLatLon) != kEmptyLatLon;
        case CDemoTabView::kSignal: return SatellitesListed([this](int row) {
            return PageAt<CSignalView>(CDemoTabView::kSignal)->NumberLabel(row)->text();
        });
        case CDemoTabView::kSky: return SatellitesListed([this](int row) {
            return PageAt<CViewSky>(CDemoTabView::kSky)->BoxTexts(row).satellite;
        });
        case CDemoTabView::kPlot: return PageAt<CViewSct>(index)->Plot()->HistoryCount() > 0;
        case CDemoTabView::kMap: {
            const auto& marker = PageAt<CViewMap>(index)->CartexView()->PositionLayer();
            return marker && !marker->Features().empty();
        }
        case CDemoTabView::kText: return PageAt<CDebugDataView>(index)->List()->count() > 0;
        }
        return false;
    }
    // Four or more of the twelve places show a satellite.
    static bool SatellitesListed(const std::function<QString(int)>& numberAt) {
        int listed = 0;
        for (int row = 0; row < static_cast<int>(kTrackChannels); ++row) listed += !numberAt(row).trimmed().isEmpty();
        return listed >= 4;
    }

    // A click on every tab, in order: each opens its page, which shows the receiver's data.
    void ClickEveryTab() {
        for (int index = CDemoTabView::kPosition; index <= CDemoTabView::kText; ++index) {
            const QString label = Tabs()->Tabs()->Label(index);
            ClickTab(index);
            EXPECT_EQ(Tabs()->CurrentIndex(), index) << label.toStdString();
            EXPECT_TRUE(Tabs()->GetView(index)->isVisible()) << label.toStdString();
            EXPECT_TRUE(UserAtTheScreen::RunUntil([&] { return ShowsData(index); }, 15000))
                << label.toStdString() << " shows no data";
        }
    }

    QTemporaryDir folder;
    QtPrompts prompts;
    UserAtTheScreen user;
    std::unique_ptr<CDemoApp> app;
};

class Journeys : public JourneyTest, public ::testing::WithParamInterface<Journey> {};

TEST_P(Journeys, FirstStartConnectAndEveryPageShowsTheReceiver) {
    const Journey& journey = GetParam();
    // A receiver with a network port: the simulated one behind a serial server on loopback.
    std::unique_ptr<sim::ReceiverSimulator> networkReceiver;
    std::unique_ptr<SerialServer> serialServer;
    if (journey.reach == Reach::kNetworkSource) {
        sim::SimulatorOptions options;
        options.receiver.protocol = sim::Protocol::Nmea;
        options.receiver.baud = 4800;
        networkReceiver = std::make_unique<sim::ReceiverSimulator>(options);
        serialServer = std::make_unique<SerialServer>(networkReceiver->slavePath(), 4800);
        networkReceiver->start();
    }
    AnswerTheFirstQuestions(journey.reach, journey.baud,
                            serialServer ? QString::fromStdString(serialServer->Name()) : QString());
    ASSERT_TRUE(Start(journey.arguments));
    if (journey.reach == Reach::kReplayedCapture) ReplayTheSampleCapture();
    ASSERT_TRUE(user.Done()) << "surprises: " << user.Surprises().join(" | ").toStdString();
    const int protocol = app->Ui().receiver.LinkProtocol;
    EXPECT_NE(protocol, kNotConnected);
    EXPECT_EQ(protocol, journey.protocol.value_or(protocol));
    EXPECT_EQ(Tabs()->CurrentIndex(), journey.firstPage);
    if (journey.developmentText) TurnOnDevelopmentText();

    ClickEveryTab();
    EXPECT_TRUE(user.Surprises().isEmpty()) << user.Surprises().join(" | ").toStdString();
    if (networkReceiver) networkReceiver->stop();
}

INSTANTIATE_TEST_SUITE_P(
    NewUser, Journeys,
    ::testing::Values(
        Journey{"Binary", {"--simulate", "--map", kSampleMap}, Reach::kFirstListed, {}, kBinaryProtocol,
                CDemoTabView::kPosition, true},
        // Start-up opens the Text page for a receiver found talking NMEA; every other page opens from it.
        Journey{"Nmea", {"--simulate", "--sim-protocol", "nmea", "--map", kSampleMap}, Reach::kFirstListed,
                QStringLiteral("4800"), kNmeaProtocol, CDemoTabView::kText},
        Journey{"NmeaFourSystems",
                {"--simulate", "--sim-protocol", "nmea", "--sim-constellations", "gps,glonass,galileo,beidou", "--map",
                 kSampleMap},
                Reach::kFirstListed, QStringLiteral("38400"), kNmeaProtocol, CDemoTabView::kText},
        // The sample capture holds binary frames and NMEA sentences; it is connected after start-up.
        Journey{"ReplayedCapture", {"--map", kSampleMap}, Reach::kReplayedCapture, {}, std::nullopt,
                CDemoTabView::kPosition},
        Journey{"TcpSource", {"--map", kSampleMap}, Reach::kNetworkSource, {}, kNmeaProtocol, CDemoTabView::kText}),
    [](const ::testing::TestParamInfo<Journey>& info) { return std::string(info.param.name); });

// The receiver behind a fixed name goes away (unplugged) and comes back: the window says so, and the
// pages go on with the returned receiver's data without the user doing anything.
TEST_F(JourneyTest, UnplugAndReturn) {
    const std::string link = folder.filePath("receiver").toStdString();
    sim::SimulatorOptions options;
    auto receiver = std::make_unique<sim::ReceiverSimulator>(options);
    std::filesystem::create_symlink(receiver->slavePath(), link);
    receiver->start();
    AnswerTheFirstQuestions(Reach::kFirstListed, {});
    ASSERT_TRUE(Start({"--port", link, "--map", kSampleMap}));
    ASSERT_TRUE(user.Done()) << "surprises: " << user.Surprises().join(" | ").toStdString();
    TurnOnDevelopmentText();
    ClickEveryTab();

    receiver.reset();
    std::filesystem::remove(link);
    EXPECT_TRUE(UserAtTheScreen::RunUntil([&] { return Frame()->windowTitle() == "VexaDemoPPC - Not connected"; }, 10000));

    receiver = std::make_unique<sim::ReceiverSimulator>(options);
    std::filesystem::create_symlink(receiver->slavePath(), link);
    receiver->start();
    EXPECT_TRUE(UserAtTheScreen::RunUntil([&] { return Frame()->windowTitle() == "VexaDemoPPC"; }, 15000));
    ClickTab(CDemoTabView::kPlot);
    const CMapView* plot = PageAt<CViewSct>(CDemoTabView::kPlot)->Plot();
    const int track = plot->HistoryCount();
    EXPECT_TRUE(UserAtTheScreen::RunUntil([&] { return plot->HistoryCount() > track; }, 15000))
        << "the returned receiver's fixes reach the page";
    EXPECT_TRUE(user.Surprises().isEmpty()) << user.Surprises().join(" | ").toStdString();
    receiver->stop();
}

// Tools, "Receiver Test...": the window opens beside the frame. The user types the simulated
// receiver's home as the reference and uses it, sets two hot starts (a radius that takes in its
// walk, a short settle) and starts them with the mouse: the progress bar moves as the runs end,
// and the fixes are measured about the point.
TEST_F(JourneyTest, ReceiverTestCampaign) {
    AnswerTheFirstQuestions(Reach::kFirstListed, {});
    ASSERT_TRUE(Start({"--simulate"}));
    ASSERT_TRUE(user.Done()) << "surprises: " << user.Surprises().join(" | ").toStdString();
    UserAtTheScreen::ChooseMenuItem(Frame()->menuBar(), QStringLiteral("Tools"), QStringLiteral("Receiver Test..."));
    auto* window = Frame()->findChild<ReceiverTestWindow*>();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(UserAtTheScreen::RunUntil([&] { return window->isVisible(); }, 5000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    ReferenceBox* reference = window->Reference();
    UserAtTheScreen::Type(reference->PointEdit(), QStringLiteral("37.3875, -121.9720, 25"));
    UserAtTheScreen::Click(reference->UseButton());
    EXPECT_TRUE(reference->StateText().startsWith(QStringLiteral("Reference (entered)"))) << reference->StateText().toStdString();

    CampaignBox* campaign = window->CampaignControls();
    const auto retype = [](QWidget* box, const QString& text) {
        UserAtTheScreen::Click(box);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        UserAtTheScreen::Type(box, text);
    };
    QComboBox* kind = campaign->KindChoice();
    UserAtTheScreen::Type(kind, QStringLiteral("hot"));
    retype(campaign->Runs(), QStringLiteral("2"));
    retype(campaign->RunTimeout(), QStringLiteral("60"));
    retype(campaign->Settle(), QStringLiteral("1"));
    retype(campaign->Radius(), QStringLiteral("500"));
    EXPECT_EQ(kind->currentText(), QStringLiteral("hot"));
    UserAtTheScreen::Click(campaign->StartButton());

    QProgressBar* progress = campaign->Progress();
    EXPECT_EQ(progress->maximum(), 2) << campaign->ProgressText().toStdString();
    EXPECT_TRUE(UserAtTheScreen::RunUntil([&] { return progress->value() >= 1; }, 30000)) << campaign->ProgressText().toStdString();
    EXPECT_TRUE(UserAtTheScreen::RunUntil([&] { return progress->value() == 2 && campaign->StartButton()->isEnabled(); }, 30000))
        << campaign->ProgressText().toStdString();
    EXPECT_TRUE(campaign->ProgressText().startsWith(QStringLiteral("Finished"))) << campaign->ProgressText().toStdString();
    const TtffFigures& hot = window->Ttff().Figures(ResetKind::Hot);
    EXPECT_EQ(hot.runs, 2u);
    EXPECT_EQ(hot.failures, 0u);
    // The simulated receiver fixes two seconds after a hot start: no fix from before a reset counts.
    EXPECT_GT(hot.min.value_or(0.0), 1.0);
    EXPECT_TRUE(hot.receiverMean) << "the receiver reports its own time to first fix after each reset";
    EXPECT_TRUE(window->Accuracy().Figures().accuracy.has_value()) << "the fixes are measured about the reference";
    EXPECT_TRUE(user.Surprises().isEmpty()) << user.Surprises().join(" | ").toStdString();
}

// On a desktop the user drags the window larger: the pages fill it at the new scale, a tab is
// clicked where it is now drawn, and the next start opens at that size.
TEST_F(JourneyTest, ResizeTheWindowClickATabAndStartAgainAtThatSize) {
    const std::vector<std::string> arguments = {"--simulate", "--connect", "--product", "Kestrel"};
    ASSERT_TRUE(Start(arguments));
    const QSize desktop(960, 1040);
    Frame()->windowHandle()->resize(desktop);
    // The pages are scaled once the window's layout has reached the view, which may come after the resize.
    ASSERT_TRUE(UserAtTheScreen::RunUntil([&] { return Frame()->size() == desktop && Frame()->Zoom()->Scale() > 3.0; }, 5000));
    const double scale = Frame()->Zoom()->Scale();

    TabStrip* strip = Tabs()->Tabs();
    const QPointF skyTab = strip->mapTo(Tabs(), QPointF(strip->ItemRect(CDemoTabView::kSky).center()));
    UserAtTheScreen::Click(Frame()->Zoom()->viewport(), Frame()->Zoom()->FromContent(skyTab));
    EXPECT_EQ(Tabs()->CurrentIndex(), CDemoTabView::kSky);
    EXPECT_TRUE(UserAtTheScreen::RunUntil([&] { return ShowsData(CDemoTabView::kSky); }, 15000));

    UserAtTheScreen::ChooseMenuItem(Frame()->menuBar(), QStringLiteral("Setup"), QStringLiteral("Exit"));
    app.reset();
    ASSERT_TRUE(Start(arguments));
    EXPECT_EQ(Frame()->size(), desktop);
    EXPECT_TRUE(UserAtTheScreen::RunUntil([&] { return Frame()->Zoom()->Scale() == scale; }, 5000))
        << Frame()->Zoom()->Scale() << " instead of " << scale;
}

// View, "All Pages": the six pages side by side, three to a row in a wide window and two in a tall
// one, each live; a page's title opens it alone again.
TEST_F(JourneyTest, AllPagesSideBySideThenOneAloneByItsTitle) {
    ASSERT_TRUE(Start({"--simulate", "--connect", "--product", "Kestrel"}));
    const auto resize = [this](QSize size) {
        Frame()->windowHandle()->resize(size);
        return UserAtTheScreen::RunUntil([&] { return Frame()->size() == size; }, 5000);
    };
    ASSERT_TRUE(resize({1200, 700}));
    UserAtTheScreen::ChooseMenuItem(Frame()->menuBar(), QStringLiteral("View"), QStringLiteral("All Pages"));
    ASSERT_TRUE(Tabs()->ShowingAll());
    for (int index = CDemoTabView::kPosition; index <= CDemoTabView::kText; ++index)
        EXPECT_TRUE(Tabs()->GetView(index)->isVisible()) << index;
    EXPECT_EQ(Tabs()->CellRect(CDemoTabView::kSky).y(), Tabs()->CellRect(CDemoTabView::kPosition).y());
    EXPECT_TRUE(UserAtTheScreen::RunUntil(
        [&] { return ShowsData(CDemoTabView::kSignal) && ShowsData(CDemoTabView::kSky) && ShowsData(CDemoTabView::kPlot); },
        15000));

    ASSERT_TRUE(resize({700, 1200}));
    EXPECT_GT(Tabs()->CellRect(CDemoTabView::kSky).y(), Tabs()->CellRect(CDemoTabView::kPosition).y());
    // The Tab key walks on from page to page.
    QPushButton* skyTitle = Tabs()->Title(CDemoTabView::kSky);
    const auto reached = [skyTitle] { return skyTitle->window()->focusWidget() == skyTitle; };
    for (int presses = 0; presses < 20 && !reached(); ++presses) {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused != nullptr ? focused : Frame()->Zoom(), Qt::Key_Tab);
    }
    EXPECT_TRUE(reached());
    const QRect title =
        Tabs()->Title(CDemoTabView::kSky)->geometry().translated(Tabs()->CellRect(CDemoTabView::kSky).topLeft());
    UserAtTheScreen::Click(Frame()->Zoom()->viewport(), Frame()->Zoom()->FromContent(QPointF(title.center())));
    EXPECT_FALSE(Tabs()->ShowingAll());
    EXPECT_EQ(Tabs()->CurrentIndex(), CDemoTabView::kSky);
    EXPECT_FALSE(Tabs()->GetView(CDemoTabView::kPosition)->isVisible());
    EXPECT_FALSE(Frame()->Action(CMainFrame::kAllPages)->isChecked());
}

// Without a mouse: the Tab key reaches the page tabs, the arrow keys change the page, and a screen
// reader finds a name and a description for every page and chart.
TEST_F(JourneyTest, TheKeyboardReachesThePagesAndScreenReadersNameThem) {
    ASSERT_TRUE(Start({"--simulate", "--connect", "--product", "Kestrel"}));
    Frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    TabStrip* strip = Tabs()->Tabs();
    for (int presses = 0; presses < 40 && !strip->hasFocus(); ++presses) {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused != nullptr ? focused : Frame(), Qt::Key_Tab);
    }
    ASSERT_TRUE(strip->hasFocus());
    for (int index = Tabs()->CurrentIndex() + 1; index <= CDemoTabView::kSky; ++index) {
        QTest::keyClick(strip, Qt::Key_Right);
        EXPECT_EQ(Tabs()->CurrentIndex(), index);
    }

    std::vector<QWidget*> named;
    for (int index = CDemoTabView::kPosition; index <= CDemoTabView::kText; ++index) named.push_back(Tabs()->GetView(index));
    named.push_back(PageAt<CViewSky>(CDemoTabView::kSky)->Plot());
    named.push_back(PageAt<CViewSct>(CDemoTabView::kPlot)->Plot());
    for (QWidget* bar : PageAt<CSignalView>(CDemoTabView::kSignal)->findChildren<CSignalBar*>()) named.push_back(bar);
    named.push_back(strip);
    for (QWidget* widget : named) {
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(reader, nullptr) << widget->metaObject()->className();
        EXPECT_FALSE(reader->text(QAccessible::Name).isEmpty()) << widget->metaObject()->className();
        EXPECT_FALSE(reader->text(QAccessible::Description).isEmpty()) << reader->text(QAccessible::Name).toStdString();
    }
}

// Setup, "History...": the window opens beside the pages with a row for every satellite the
// simulated four-system receiver reports; hovering shows a satellite's C/N0, the wheel zooms and
// "Follow" is let go and taken again with clicks.
TEST_F(JourneyTest, HistoryShowsARowPerSatellite) {
    AnswerTheFirstQuestions(Reach::kFirstListed, QStringLiteral("38400"));
    ASSERT_TRUE(Start({"--simulate", "--sim-protocol", "nmea", "--sim-constellations", "gps,glonass,galileo,beidou"}));
    ASSERT_TRUE(user.Done()) << "surprises: " << user.Surprises().join(" | ").toStdString();
    UserAtTheScreen::ChooseMenuItem(Frame()->menuBar(), QStringLiteral("Setup"), QStringLiteral("History..."));
    CHistoryWindow* window = Frame()->History().Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    CHistoryStrips* strips = window->Strips();

    auto everySatelliteHasARow = [&] {
        const std::optional<GnssSky> sky = app->Ui().comm->Model().LatestSky();
        if (!sky || sky->satellites.size() < 4) return false;
        return std::ranges::all_of(sky->satellites, [&](const SkySatellite& satellite) {
            const QString label = QStringLiteral("%1%2").arg(QChar(ConstellationLetter(satellite.id.gnss))).arg(satellite.id.svid, 2, 10, QChar('0'));
            return strips->RowLabels().contains(label);
        });
    };
    ASSERT_TRUE(UserAtTheScreen::RunUntil(everySatelliteHasARow, 15000)) << strips->RowLabels().join(' ').toStdString();
    for (const QChar letter : {QChar('G'), QChar('R'), QChar('E'), QChar('C')}) {
        EXPECT_TRUE(std::ranges::any_of(strips->RowLabels(), [letter](const QString& label) { return label.startsWith(letter); })) << letter.toLatin1();
    }

    // The newest moment, near the right edge, at the first row of the heat map. Just after the
    // start that pixel may still hold the first epoch, begun mid-cycle and so without its sky: the
    // user moves the mouse a little until the satellite's values show.
    const QPoint newest(strips->width() - 30, 30);
    int nudge = 0;
    EXPECT_TRUE(UserAtTheScreen::RunUntil([&] {
        QTest::mouseMove(strips, newest + QPoint(nudge ^= 1, 0));
        return window->ValuesLabel()->text().contains(QStringLiteral("dB-Hz"));
    }, 5000)) << window->ValuesLabel()->text().toStdString();

    const AxisMs span = strips->Span();
    QWheelEvent wheel(QPointF(newest), strips->mapToGlobal(QPointF(newest)), {}, QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(strips, &wheel);
    EXPECT_LT(strips->Span(), span) << "the wheel zooms in";

    UserAtTheScreen::Click(window->FollowBox(), QPoint(8, window->FollowBox()->height() / 2));
    EXPECT_FALSE(strips->Following());
    UserAtTheScreen::Click(window->FollowBox(), QPoint(8, window->FollowBox()->height() / 2));
    EXPECT_TRUE(strips->Following());

    // Setup, "Export History...", a prefix typed into the file dialog: both files, with their headers.
    const QString prefix = folder.filePath(QStringLiteral("history"));
    user.Answer<QFileDialog>([prefix](QFileDialog& dialog) {
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);  // the name offered, replaced by the one typed
        UserAtTheScreen::Type(name, prefix);
        QTest::keyClick(name, Qt::Key_Return);
    });
    UserAtTheScreen::ChooseMenuItem(Frame()->menuBar(), QStringLiteral("Setup"), QStringLiteral("Export History..."));
    ASSERT_TRUE(UserAtTheScreen::RunUntil([&] { return user.Done(); }, 10000));
    std::ifstream satellites((prefix + QStringLiteral("-satellites.csv")).toStdString());
    std::ifstream epochs((prefix + QStringLiteral("-epochs.csv")).toStdString());
    std::string header;
    EXPECT_TRUE(std::getline(satellites, header) && header == "time,gnssid,svid,az,el,cn0,used") << header;
    EXPECT_TRUE(std::getline(epochs, header) && header == "time,fix,in_view,used,hdop,vdop,pdop,lat,lon,height,east,north,up") << header;
    EXPECT_TRUE(user.Surprises().isEmpty()) << user.Surprises().join(" | ").toStdString();
}

// vexademo --replay: Setup, "History..." shows the capture's replay bar; Pause stops the fixes,
// Resume and the Setup menu's items play on and slower, and clicks on the seek bar move the capture
// there and back, each place starting a track segment of its own.
TEST_F(JourneyTest, AReplayIsPausedResumedAndMovedFromTheHistoryWindow) {
    const std::string capture = folder.filePath(QStringLiteral("four-systems.nmea")).toStdString();
    const std::vector<std::uint8_t> bytes = MakeNmeaCapture(400);
    std::ofstream(capture, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(Start({"--replay", capture, "--speed", "10"}));  // connected at start, no question asked
    ASSERT_TRUE(user.Done()) << "surprises: " << user.Surprises().join(" | ").toStdString();
    UserAtTheScreen::ChooseMenuItem(Frame()->menuBar(), QStringLiteral("Setup"), QStringLiteral("History..."));
    ASSERT_NE(Frame()->History().Window(), nullptr);
    auto* bar = Frame()->History().Window()->findChild<CReplayBar*>();
    ASSERT_NE(bar, nullptr);
    GpsComm& link = *app->Ui().comm;
    auto fixes = [&] { return Frame()->Track()->Points().size(); };
    ASSERT_TRUE(UserAtTheScreen::RunUntil([&] { return bar->isVisible() && fixes() >= 2; }, 15000));

    UserAtTheScreen::Click(bar->PauseButton());
    EXPECT_EQ(bar->PauseButton()->text(), QStringLiteral("Resume"));
    const std::size_t paused = fixes();
    EXPECT_FALSE(UserAtTheScreen::RunUntil([&] { return fixes() != paused; }, 2500)) << "fixes came while paused";
    EXPECT_TRUE(bar->PlaceLabel()->text().contains(QStringLiteral("paused"))) << bar->PlaceLabel()->text().toStdString();
    UserAtTheScreen::Click(bar->PauseButton());
    EXPECT_TRUE(UserAtTheScreen::RunUntil([&] { return fixes() > paused; }, 10000));

    UserAtTheScreen::ChooseMenuItem(Frame()->menuBar(), QStringLiteral("Setup"), QStringLiteral("Replay Slower"));
    EXPECT_EQ(link.Playback()->speed, 5.0);
    UserAtTheScreen::ChooseMenuItem(Frame()->menuBar(), QStringLiteral("Setup"), QStringLiteral("Pause Replay"));
    EXPECT_TRUE(link.Playback()->paused);
    UserAtTheScreen::ChooseMenuItem(Frame()->menuBar(), QStringLiteral("Setup"), QStringLiteral("Resume Replay"));
    EXPECT_FALSE(link.Playback()->paused);

    QSlider* seek = bar->SeekBar();
    auto segments = [&] {
        const std::vector<TrackPoint> track = Frame()->Track()->Points();
        return std::ranges::count_if(track, [](const TrackPoint& point) { return point.startsSegment; });
    };
    auto placeNear = [&](double fraction) {
        const PlaybackState state = *link.Playback();
        return std::abs(static_cast<double>(state.position) / static_cast<double>(state.size) - fraction) < 0.05;
    };
    for (const double fraction : {0.75, 0.2}) {
        const auto before = segments();
        UserAtTheScreen::Click(seek, QPoint(static_cast<int>(seek->width() * fraction), seek->height() / 2));
        EXPECT_TRUE(placeNear(fraction)) << fraction << ": " << bar->PlaceLabel()->text().toStdString();
        EXPECT_TRUE(UserAtTheScreen::RunUntil([&] { return segments() > before; }, 10000)) << fraction;
    }
    EXPECT_TRUE(user.Surprises().isEmpty()) << user.Surprises().join(" | ").toStdString();
}

}  // namespace
}  // namespace vexa::test
