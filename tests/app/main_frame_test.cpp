#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "support/frame_bytes.h"
#include "support/log_file_text.h"
#include "support/pseudo_terminal.h"
#include "support/listening_only_port.h"
#include "app/command_dialogs.h"
#include "app/demo_tab_view.h"
#include "app/product_dialog.h"
#include "app/serial_comm_dialog.h"
#include "link/link_log.h"
#include "link/link_recording.h"
#include "link/recording/fix_track.h"
#include "location/messages/message_f.h"
#include "platform/result_codes.h"
#include "receiver/binary/message_writer.h"
#include "ui_fixture.h"
#include "views/debug_data_view.h"

#include <QListWidget>
#include <QRadioButton>
#include <chrono>
#include <thread>

namespace vexa::test {
namespace {

using Frame = CMainFrame;

class MainFrameTest : public UiFixture {
protected:
    QList<int> CommandIds() {
        QList<int> ids;
        for (QAction* action : frame->CommandMenu()->actions()) ids.append(action->isSeparator() ? 0 : action->data().toInt());
        return ids;
    }
    void ChooseProduct(int product) {
        answerDialog = [product](QDialog& dialog) {
            static_cast<CProductSelDlg&>(dialog).Button(product)->setChecked(true);
            return int{QDialog::Accepted};
        };
        frame->RunCommand(Frame::kSelectProduct);
    }
};

const QList<int> kFullCommandMenu{Frame::kHotStart, Frame::kWarmStart, Frame::kColdStart, Frame::kFactoryReset, 0,
                                  Frame::kDebugOutput, Frame::kNavLibOutput, 0, Frame::kPowerManagement,
                                  Frame::kElevationMask};
const QList<int> kOspreyCommandMenu{Frame::kHotStart, Frame::kWarmStart, Frame::kColdStart, Frame::kFactoryReset, 0,
                                    Frame::kDebugOutput, Frame::kNavLibOutput, Frame::kNmeaChannel};

// Every menu as the user meets it at start, then the Command popup for the Osprey: the items in
// order, "-" a separator, "*" a checkable item.
TEST_F(MainFrameTest, TheMenusListTheirItemsInOrder) {
    BuildFrame();
    const auto menus = [this] {
        QStringList shown;
        for (QAction* title : frame->menuBar()->actions()) {
            QStringList items;
            for (QAction* item : title->menu()->actions()) {
                items << (item->isSeparator() ? QStringLiteral("-") : item->text() + (item->isCheckable() ? "*" : ""));
            }
            shown << title->text() + ": " + items.join(", ");
        }
        return shown;
    };
    const QString setup = "Setup: Select Product..., Serial Comm..., Replay capture..., Switch to NMEA, Load Map..., "
                          "Start Logging..., Export Track..., History..., Export History..., Pause Replay, Replay Faster, "
                          "Replay Slower, Start Recording..., Serve metrics*, Exit";
    const QString resets = "Command: Hot Start, Warm Start, Cold Start, Factory Reset, -, Debug Data Output*, "
                           "Nav Library Output*, ";
    EXPECT_EQ(menus(), (QStringList{setup, resets + "-, Power Management..., SV Elevation Mask...",
                                    "Poll: SW Version, Clock Status", "View: All Pages*", "Tools: Receiver Test...",
                                    "Help: About"}));
    ChooseProduct(kOsprey);
    EXPECT_EQ(menus()[1], resets + "NMEA Channel*");
}

TEST_F(MainFrameTest, MenuStatesFollowTheLinkAndTheProduct) {
    BuildFrame(false);
    struct Case {
        int product;
        int protocol;
        const char* switchText;
    };
    const Case cases[] = {
        {kKestrel, kNotConnected, "Switch to NMEA"}, {kKestrel, kBinaryProtocol, "Switch to NMEA"},
        {kKestrel, kNmeaProtocol, "Switch to Vexa Binary"}, {kOsprey, kNotConnected, "Switch to NMEA"},
        {kOsprey, kBinaryProtocol, "Switch to NMEA"}, {kOsprey, kNmeaProtocol, "Switch to VexaLoc"},
        {kMerlin, kNotConnected, "Switch to NMEA"}, {kMerlin, kBinaryProtocol, "Switch to NMEA"},
        {kMerlin, kNmeaProtocol, "Switch to Vexa Binary"},
    };
    for (const Case& c : cases) {
        receiver.ProductSelection = c.product;
        receiver.LinkProtocol = c.protocol;
        receiver.DebugToggleCount = 11;
        frame->UpdateMenuStates();
        const std::string legend = "product " + std::to_string(c.product) + " protocol " + std::to_string(c.protocol);
        const bool binary = c.protocol == kBinaryProtocol;
        for (int id : {Frame::kHotStart, Frame::kWarmStart, Frame::kColdStart, Frame::kFactoryReset, Frame::kDebugOutput,
                       Frame::kNavLibOutput, Frame::kNmeaChannel, Frame::kPowerManagement, Frame::kElevationMask,
                       Frame::kSwVersion, Frame::kClockStatus}) {
            EXPECT_EQ(frame->Action(id)->isEnabled(), binary) << legend << " item " << id;
        }
        EXPECT_EQ(frame->Action(Frame::kDebugOutput)->isChecked(), binary) << legend;
        EXPECT_EQ(frame->Action(Frame::kSwitchProtocol)->isEnabled(), c.protocol != kNotConnected) << legend;
        EXPECT_EQ(frame->Action(Frame::kSwitchProtocol)->text().toStdString(), c.switchText) << legend;
        for (int id : {Frame::kSelectProduct, Frame::kSerialComm, Frame::kLoadMap, Frame::kLogging, Frame::kExit,
                       Frame::kAbout}) {
            EXPECT_TRUE(frame->Action(id)->isEnabled()) << legend << " item " << id;
        }
        for (int id : {Frame::kPauseReplay, Frame::kReplayFaster, Frame::kReplaySlower}) {
            EXPECT_FALSE(frame->Action(id)->isEnabled()) << legend << " item " << id << ": no capture plays";
        }
    }
}

TEST_F(MainFrameTest, TheToggleChecksFollowTheirCounters) {
    BuildFrame(false);
    receiver.LinkProtocol = kBinaryProtocol;
    struct Case {
        int debug, navLib, nmea;
        bool debugChecked, navLibChecked, nmeaChecked;
    };
    for (const Case& c : {Case{10, 20, 5, false, false, false}, Case{11, 21, 6, true, true, true},
                          Case{0, 0, 0, false, false, false}}) {
        receiver.DebugToggleCount = c.debug;
        receiver.NavLibToggleCount = c.navLib;
        receiver.NmeaChannelCount = c.nmea;
        frame->UpdateMenuStates();
        EXPECT_EQ(frame->Action(Frame::kDebugOutput)->isChecked(), c.debugChecked) << c.debug;
        EXPECT_EQ(frame->Action(Frame::kNavLibOutput)->isChecked(), c.navLibChecked) << c.navLib;
        EXPECT_EQ(frame->Action(Frame::kNmeaChannel)->isChecked(), c.nmeaChecked) << c.nmea;
    }
}

TEST_F(MainFrameTest, AtProgramStartOneMessageOfAnOutputChecksItsItem) {
    receiver.ProductSelection = kOsprey;
    BuildFrame();
    Bytes navLib29(26, 0);
    navLib29[0] = 29;
    const Bytes stream = Join({test::Frame(Join({{0xEE, 255}, Text("Sim dev line")})),
                               test::Frame(Join({{0xEE}, navLib29})),
                               test::Frame(Join({{0xDD}, Text("$GPGSA,A,3*00\r\n")}))});
    receiver.LinkProtocol = kBinaryProtocol;
    frame->UpdateMenuStates();
    for (int id : {Frame::kDebugOutput, Frame::kNavLibOutput, Frame::kNmeaChannel})
        EXPECT_FALSE(frame->Action(id)->isChecked()) << id;
    comm->Receive(stream);
    frame->UpdateMenuStates();
    for (int id : {Frame::kDebugOutput, Frame::kNavLibOutput, Frame::kNmeaChannel})
        EXPECT_TRUE(frame->Action(id)->isChecked()) << id;
}

TEST_F(MainFrameTest, TheCommandPopupFollowsTheProduct) {
    BuildFrame(false);
    EXPECT_EQ(CommandIds(), kFullCommandMenu);
    ChooseProduct(kOsprey);
    EXPECT_EQ(receiver.ProductSelection, kOsprey);
    EXPECT_EQ(CommandIds(), kOspreyCommandMenu);
    ChooseProduct(kOsprey);
    EXPECT_EQ(CommandIds(), kOspreyCommandMenu);
    ChooseProduct(kKestrel);
    EXPECT_EQ(CommandIds(), kFullCommandMenu);
    ChooseProduct(kMerlin);
    EXPECT_EQ(CommandIds(), kFullCommandMenu);
}

TEST_F(MainFrameTest, ProductSelectionIsRefusedWhileConnectedAndKeptWhenCancelled) {
    BuildFrame(false);
    answerDialog = [](QDialog& dialog) {
        auto& products = static_cast<CProductSelDlg&>(dialog);
        EXPECT_TRUE(products.Button(kHarrier)->isHidden());
        EXPECT_FALSE(products.Button(kVexaLoc)->isEnabled());
        EXPECT_TRUE(products.Button(kMerlin)->isChecked());
        products.Button(kOsprey)->setChecked(true);
        return int{QDialog::Rejected};
    };
    receiver.ProductSelection = kMerlin;
    frame->RunCommand(Frame::kSelectProduct);
    EXPECT_EQ(receiver.ProductSelection, kMerlin);

    int shown = 0;
    answerDialog = [&shown](QDialog&) { return ++shown, int{QDialog::Accepted}; };
    receiver.LinkProtocol = kNmeaProtocol;
    frame->RunCommand(Frame::kSelectProduct);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(prompts.messages, QStringList{"Please disconnect from GPS receiver first."});
}

// The resets as they reach the receiver: the last payload byte holds the reset flags.
TEST_F(MainFrameTest, ResetFlagsReachTheWireWithTheOspreyBit) {
    PseudoTerminal receiverEnd;
    BuildFrame();
    ASSERT_EQ(comm->Connect(receiverEnd.SlavePath(), 57600), kResultOk);
    struct Case {
        int product;
        int command;
        std::uint8_t flags;
    };
    for (const Case& c : {Case{kKestrel, Frame::kHotStart, 0x00}, Case{kKestrel, Frame::kColdStart, 0x06},
                          Case{kOsprey, Frame::kHotStart, 0x80}, Case{kOsprey, Frame::kWarmStart, 0x82},
                          Case{kMerlin, Frame::kFactoryReset, 0x08}, Case{kOsprey, Frame::kFactoryReset, 0x88}}) {
        receiver.ProductSelection = c.product;
        receiver.LinkProtocol = kBinaryProtocol;
        receiver.DebugToggleCount = 12;
        receiver.Ttff.set("31.2");
        frame->RunCommand(c.command);
        const std::size_t payloadLength = c.product == kOsprey ? 26 : 25;  // the Osprey adds a channel byte
        const auto frameBytes = receiverEnd.Receive(payloadLength + 8);
        ASSERT_EQ(frameBytes.size(), payloadLength + 8) << c.command;
        EXPECT_EQ(frameBytes[frameBytes.size() - 5], c.flags) << "product " << c.product << " item " << c.command;
        EXPECT_EQ(receiver.DebugToggleCount, 0);
        EXPECT_EQ(receiver.Ttff.text(), "");
    }
}

// A source that only listens refuses every command of the menus and says why, once per choice.
TEST_F(MainFrameTest, CommandsToASourceThatOnlyListensAreRefusedWithItsReason) {
    PseudoTerminal receiverEnd;
    BuildFrame();
    ASSERT_EQ(comm->ConnectSource(std::make_unique<ListeningOnlyPort>(receiverEnd.SlavePath()), 57600), kResultOk);
    receiver.LinkProtocol = kBinaryProtocol;
    const int commands[] = {Frame::kHotStart, Frame::kDebugOutput, Frame::kSwVersion, Frame::kPowerManagement,
                            Frame::kSwitchProtocol};
    for (int command : commands) frame->RunCommand(command);
    EXPECT_EQ(prompts.messages, QStringList(std::size(commands), ListeningOnlyPort::kReason));
    EXPECT_TRUE(receiverEnd.Receive(1, std::chrono::milliseconds(100)).empty());
    EXPECT_EQ(receiver.LinkProtocol, kBinaryProtocol) << "no protocol switch was made";
}

TEST_F(MainFrameTest, TheNmeaChannelToggleSwitchesTheTunnelByItsCounter) {
    BuildFrame();
    std::vector<bool> switched;
    ui->setNmeaTunnel = [&switched](bool enable) { switched.push_back(enable); };
    receiver.NmeaChannelCount = 5;
    frame->RunCommand(Frame::kNmeaChannel);
    EXPECT_EQ(receiver.NmeaChannelCount, 5);
    receiver.NmeaChannelCount = 6;
    frame->RunCommand(Frame::kNmeaChannel);
    EXPECT_EQ(receiver.NmeaChannelCount, 0);
    frame->RunCommand(Frame::kNmeaChannel);
    EXPECT_EQ(receiver.NmeaChannelCount, 5);
    EXPECT_EQ(switched, (std::vector<bool>{true, false, true}));
}

// Joined to the link, the toggle reaches the receiver as the location client's channel requests.
TEST_F(MainFrameTest, TheNmeaChannelOpensAndClosesTheReceiversTunnel) {
    PseudoTerminal receiverEnd;
    InstallCommandHooks(*ui);
    BuildFrame();
    ASSERT_EQ(comm->Connect(receiverEnd.SlavePath(), 57600), kResultOk);
    receiver.ProductSelection = kOsprey;
    receiver.LinkProtocol = kBinaryProtocol;
    const auto bytesOf = [](Message&& message) {
        return std::vector<std::uint8_t>(message.getBytes(), message.getBytes() + message.getLength());
    };
    const std::vector<std::uint8_t> open = bytesOf(MessageF_ChannelOpen(0xDD));
    const std::vector<std::uint8_t> close = bytesOf(MessageF_ChannelClose(0xDD));

    frame->RunCommand(Frame::kNmeaChannel);
    EXPECT_EQ(receiverEnd.Receive(open.size()), open);
    receiver.NmeaChannelCount = 6;
    frame->RunCommand(Frame::kNmeaChannel);
    EXPECT_EQ(receiverEnd.Receive(close.size()), close);
}

TEST_F(MainFrameTest, TheProtocolSwitchSelectsTextOrPositionAndEmptiesTheList) {
    PseudoTerminal receiverEnd;
    BuildFrame();
    ASSERT_EQ(comm->Connect(receiverEnd.SlavePath(), 57600), kResultOk);
    CDemoTabView* tabs = frame->TabHost();
    CDebugDataView* text = tabs->TextView();

    receiver.LinkProtocol = kBinaryProtocol;
    text->AddLines({"before the switch"});
    frame->RunCommand(Frame::kSwitchProtocol);
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kText);
    EXPECT_EQ(text->List()->count(), 0);
    EXPECT_EQ(settings.m_nBaudRate, 4800);
    EXPECT_EQ(receiverEnd.SlaveSpeed(), B4800);

    receiver.LinkProtocol = kNmeaProtocol;
    text->AddLines({"$GPGGA"});
    frame->RunCommand(Frame::kSwitchProtocol);
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kPosition);
    EXPECT_EQ(text->List()->count(), 0);
    EXPECT_EQ(settings.m_nBaudRate, 57600);
    const auto sentence = receiverEnd.Receive(64, std::chrono::milliseconds(500));
    EXPECT_NE(std::string(sentence.begin(), sentence.end()).find("$PVXA100,0,57600,8,1,0*"), std::string::npos);
}

TEST_F(MainFrameTest, LoggingAsksAgainUntilAFileOpensAndStopsOnTheNextChoice) {
    BuildFrame();
    const QString good = settingsFolder.filePath("run.gps");
    prompts.fileAnswers = {settingsFolder.filePath("missing/folder/run.gps"), good};
    frame->RunCommand(Frame::kLogging);
    ASSERT_EQ(prompts.fileRequests.size(), 2u);
    EXPECT_EQ(prompts.fileRequests[0].title, "Specify a Name for the Log File");
    EXPECT_EQ(prompts.fileRequests[0].initialName, "vexacore.gps");
    EXPECT_EQ(prompts.fileRequests[0].nameFilters.first(), "GPS Files (*.gps)");
    EXPECT_EQ(prompts.fileRequests[1].initialName, settingsFolder.filePath("missing/folder/run.gps"));
    EXPECT_EQ(prompts.messages, QStringList{"Could not open specified file. Please try again.\n" +
                                            settingsFolder.filePath("missing/folder/run.gps") + ": the folder " +
                                            settingsFolder.filePath("missing/folder") + " does not exist"});
    EXPECT_TRUE(frame->Log()->IsOpen());
    EXPECT_EQ(frame->Action(Frame::kLogging)->text(), "Stop Logging");
    store->LoadLogFileName();
    EXPECT_EQ(settings.m_strLogFileName, good.toStdString());

    frame->RunCommand(Frame::kLogging);
    EXPECT_FALSE(frame->Log()->IsOpen());
    EXPECT_EQ(frame->Action(Frame::kLogging)->text(), "Start Logging...");
    QFile log(good);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("Log file closed"));
}

// "Export Track..." writes the fixes so far as GPX; without any it says so, and a file that cannot
// be written is named with the reason.
TEST_F(MainFrameTest, ExportTrackWritesTheFixesOrSaysWhyNot) {
    BuildFrame();
    frame->RunCommand(Frame::kExportTrack);
    EXPECT_TRUE(prompts.fileRequests.empty());
    EXPECT_EQ(prompts.messages, QStringList{"There is no track to export: no fix with a position has arrived yet."});

    PseudoTerminal receiverEnd;
    ASSERT_EQ(comm->Connect(receiverEnd.SlavePath(), 57600), kResultOk);
    NavData nav{};
    nav.X = -2686716;
    nav.Y = -4304323;
    nav.Z = 3851666;
    nav.Mode1 = 4;
    nav.Hdop = 5;
    nav.SvCount = 5;
    receiverEnd.Send(test::Frame(MessagePayload(nav)));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (frame->Track()->Points().empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(frame->Track()->Points().size(), 1u);

    const QString missing = settingsFolder.filePath("missing/track.gpx");
    const QString good = settingsFolder.filePath("track.gpx");
    prompts.messages.clear();
    prompts.fileAnswers = {missing, good};
    frame->RunCommand(Frame::kExportTrack);
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    EXPECT_EQ(prompts.fileRequests[0].title, "Export Track");
    EXPECT_EQ(prompts.fileRequests[0].nameFilters.first(), "GPX Files (*.gpx)");
    EXPECT_EQ(prompts.messages, QStringList{"The track could not be written.\n" + missing + ": the folder " +
                                            settingsFolder.filePath("missing") + " does not exist"});
    frame->RunCommand(Frame::kExportTrack);
    QFile gpx(good);
    ASSERT_TRUE(gpx.open(QIODevice::ReadOnly));
    const QByteArray text = gpx.readAll();
    EXPECT_TRUE(text.contains("<gpx version=\"1.1\""));
    EXPECT_EQ(text.count("<trkpt "), 1);
    EXPECT_TRUE(text.contains("<sat>5</sat>"));
}

TEST_F(MainFrameTest, CancellingTheLogDialogLeavesLoggingOffAndTheSettingAlone) {
    BuildFrame();
    frame->RunCommand(Frame::kLogging);
    EXPECT_FALSE(frame->Log()->IsOpen());
    store->LoadLogFileName();
    EXPECT_EQ(settings.m_strLogFileName, "vexacore.gps");
}

TEST_F(MainFrameTest, RecordingAsksAgainUntilAFileIsCreatedAndKeepsEveryByteUntilStopped) {
    BuildFrame();
    PseudoTerminal receiverEnd;
    ASSERT_EQ(comm->Connect(receiverEnd.SlavePath(), 57600), kResultOk);
    const QString good = settingsFolder.filePath("drive.bin");
    const QString bad = settingsFolder.filePath("missing/drive.bin");
    prompts.fileAnswers = {bad, good};
    EXPECT_EQ(frame->Action(Frame::kRecording)->text(), "Start Recording...");
    frame->RunCommand(Frame::kRecording);
    ASSERT_EQ(prompts.fileRequests.size(), 2u);
    EXPECT_EQ(prompts.fileRequests[0].title, "Specify a Name for the Recording");
    EXPECT_EQ(prompts.fileRequests[0].nameFilters.first(), "Raw Captures (*.bin)");
    EXPECT_EQ(prompts.fileRequests[1].initialName, bad);
    EXPECT_EQ(prompts.messages, QStringList{"Could not create the recording. Please try again.\n" + bad +
                                            ": the folder " + settingsFolder.filePath("missing") + " does not exist"});
    EXPECT_EQ(frame->Action(Frame::kRecording)->text(), "Stop Recording");
    // Independent of the data log.
    EXPECT_EQ(frame->Action(Frame::kLogging)->text(), "Start Logging...");

    const Bytes sent = Join({Text("$GPGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0*30\r\n"), Bytes{0xA0, 0x00, 0xB3},
                             test::Frame(Bytes{0x12, 0x01})});
    receiverEnd.Send(sent);
    const auto readSoFar = [this] { return comm->CountsAtLastPause().received.bytes; };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (readSoFar() < sent.size() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    frame->RunCommand(Frame::kRecording);
    EXPECT_FALSE(frame->Recording()->Active());
    EXPECT_EQ(frame->Action(Frame::kRecording)->text(), "Start Recording...");
    QFile recording(good);
    ASSERT_TRUE(recording.open(QIODevice::ReadOnly));
    const QByteArray kept = recording.readAll();
    EXPECT_EQ(Bytes(kept.begin(), kept.end()), sent);

    // The next recording offers the last file again.
    frame->RunCommand(Frame::kRecording);
    EXPECT_EQ(prompts.fileRequests.back().initialName, good);
}

TEST_F(MainFrameTest, AReplayedCaptureBecomesTheSelectedPortOfTheSerialCommList) {
    BuildFrame();
    const QString capture = settingsFolder.filePath("drive.bin");
    QFile file(capture);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("$GPGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0*30\r\n");
    file.close();
    const QString notes = settingsFolder.filePath("notes.txt");
    QFile notesFile(notes);
    ASSERT_TRUE(notesFile.open(QIODevice::WriteOnly));
    notesFile.write("nothing a receiver sends\n");
    notesFile.close();

    std::vector<SerialPortEntry> listed;
    QString selected;
    answerDialog = [&](QDialog& dialog) {
        auto& serialComm = static_cast<CSerialCommDlg&>(dialog);
        listed = serialComm.Ports();
        selected = serialComm.PortCombo()->currentText();
        return int{QDialog::Rejected};
    };
    prompts.fileAnswers = {notes, capture, capture};
    frame->RunCommand(Frame::kReplayCapture);
    EXPECT_EQ(prompts.fileRequests.back().title, "Choose a Capture to Replay");
    EXPECT_EQ(prompts.messages, QStringList{"Could not replay the capture.\n" + notes +
                                            ": not a receiver capture (no binary frame or NMEA sentence at its start)"});
    EXPECT_TRUE(listed.empty());

    const std::string name = "replay:" + capture.toStdString();
    for (int time = 0; time < 2; ++time) {
        frame->RunCommand(Frame::kReplayCapture);
        ASSERT_FALSE(listed.empty());
        EXPECT_EQ(listed.front().devicePath, name);
        // Chosen twice, listed once.
        EXPECT_EQ(std::count_if(listed.begin(), listed.end(), [&](const auto& port) { return port.devicePath == name; }), 1);
        EXPECT_EQ(selected.toStdString(), listed.front().displayName);
    }
}

// The port stored from an earlier connection must not take the place of the capture just chosen.
TEST_F(MainFrameTest, AReplayedCaptureIsChosenOverTheStoredPortAndConnectPlaysIt) {
    PseudoTerminal storedReceiver;
    ui->ports.sysfsRoot = settingsFolder.filePath("no-sysfs").toStdString();
    ui->ports.extraPaths = {storedReceiver.SlavePath()};
    settings.m_strSerialPort = storedReceiver.SlavePath();
    store->SaveDisplaySettings();
    const QString capture = settingsFolder.filePath("drive.bin");
    QFile file(capture);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("$GPGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0*30\r\n");
    file.close();
    BuildFrame();
    frame->show();

    QString chosen;
    answerDialog = [&](QDialog& dialog) {
        auto& serialComm = static_cast<CSerialCommDlg&>(dialog);
        serialComm.show();
        chosen = serialComm.PortCombo()->currentText();
        QTest::mouseClick(serialComm.ConnectButton(), Qt::LeftButton);
        return int{QDialog::Rejected};
    };
    prompts.fileAnswers = {capture};
    ChooseMenuItem(Frame::kReplayCapture);
    EXPECT_EQ(chosen, "replay:" + capture);
    EXPECT_EQ(comm->CommandsRefused(), "a replayed capture takes no commands");
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
}

// The poll answers arrive as link updates; a box shows only while its poll is pending.
TEST_F(MainFrameTest, PollAnswersShowOnlyWhilePending) {
    BuildFrame();
    std::vector<LinkUpdate> updates;
    QObject::connect(&doc, &CFeedDoc::ViewUpdate, [&updates](const LinkUpdate& update) { updates.push_back(update); });
    SwVersion version{};
    std::memcpy(version.Text, "VX3.2.4", 7);
    ClockStatus clock{1300, 3456789, 9, 96000, 123456, 345678901};

    comm->DeliverMessage(6, reinterpret_cast<const std::uint8_t*>(&version), sizeof version);
    comm->DeliverMessage(7, reinterpret_cast<const std::uint8_t*>(&clock), sizeof clock);
    ProcessEvents();
    EXPECT_EQ(updates, (std::vector<LinkUpdate>{MessageDelivered{MessageId::SwVersion}, MessageDelivered{MessageId::ClockStatus}}));
    EXPECT_TRUE(prompts.messages.isEmpty());

    receiver.LinkProtocol = kBinaryProtocol;
    frame->RunCommand(Frame::kSwVersion);
    frame->RunCommand(Frame::kClockStatus);
    comm->DeliverMessage(6, reinterpret_cast<const std::uint8_t*>(&version), sizeof version);
    comm->DeliverMessage(7, reinterpret_cast<const std::uint8_t*>(&clock), sizeof clock);
    comm->DeliverMessage(6, reinterpret_cast<const std::uint8_t*>(&version), sizeof version);
    ProcessEvents();
    EXPECT_EQ(prompts.captions, (QStringList{"SW Version", "Clock Status"}));
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[0], "VX3.2.4");
    EXPECT_EQ(prompts.messages[1],
              "GPS week = 1300\nGPS time = 34567.89 s\nsv cnt = 9\nclk offset = 96000 Hz\nclk bias = 123456 ns\n"
              "est. time = 345678.901 s");
}

// A receiver that never pauses gives the reader no moment to write the log out; the frame's
// one-second timer does, so a program killed loses at most the last second.
TEST_F(MainFrameTest, TheDataLogReachesItsFileEverySecondAlsoWhileTheReceiverNeverPauses) {
    BuildFrame();
    const std::string path = settingsFolder.filePath("drive.gps").toStdString();
    ASSERT_EQ(frame->Log()->Open(path), kResultOk);
    const ClockStatus clock{1300, 3456789, 9, 96000, 123456, 345678901};
    comm->DeliverMessage(7, reinterpret_cast<const std::uint8_t*>(&clock), sizeof clock);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadFile(path).find("Week:1300") != std::string::npos; }, 5000))
        << ReadFile(path);
}

TEST_F(MainFrameTest, ALinkMessageTextIsShownInABox) {
    BuildFrame();
    frame->OnLinkUpdate(MessageToShow{"Disk is full. Log file will be closed."});
    EXPECT_EQ(prompts.messages, QStringList{"Disk is full. Log file will be closed."});
}

TEST_F(MainFrameTest, TheClientAreaIs240By268BelowTheMenu) {
    BuildFrame(false);
    EXPECT_EQ(frame->centralWidget()->size(), QSize(240, 268));
    EXPECT_EQ(frame->windowTitle(), "VexaDemoPPC");
}

}  // namespace
}  // namespace vexa::test
