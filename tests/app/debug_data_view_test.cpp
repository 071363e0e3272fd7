#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <string>

#include "support/frame_bytes.h"
#include "support/pseudo_terminal.h"
#include "app/demo_tab_view.h"
#include "platform/result_codes.h"
#include "ui_fixture.h"
#include "views/debug_data_view.h"

namespace vexa::test {
namespace {

class DebugDataViewTest : public UiFixture {
protected:
    void SetUp() override {
        BuildFrame();
        frame->show();
        text = frame->TabHost()->TextView();
    }

    // One text line as the link delivers it (message 255), through the notification to the page.
    void Receive(const std::string& line) {
        comm->DeliverMessage(255, reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
        ProcessEvents();
    }
    QStringList Lines() const {
        QStringList lines;
        for (int row = 0; row < text->List()->count(); ++row) lines.append(text->List()->item(row)->text());
        return lines;
    }
    // Lines come one per update, or many in one as at high rates.
    void AddLines(int first, int last, bool batched = false) {
        QStringList lines;
        for (int index = first; index <= last; ++index) lines.append(QStringLiteral("line %1").arg(index));
        if (batched) return text->AddLines(lines);
        for (const QString& line : lines) text->AddLines({line});
    }

    CDebugDataView* text = nullptr;
};

TEST_F(DebugDataViewTest, TheListKeepsTheNewestHundredLines) {
    AddLines(0, 100);
    ASSERT_EQ(text->List()->count(), 100);
    EXPECT_EQ(text->List()->item(0)->text(), "line 1");
    EXPECT_EQ(text->List()->item(99)->text(), "line 100");
    text->AddLines({QString()});
    EXPECT_EQ(text->List()->count(), 100);
}

TEST_F(DebugDataViewTest, TheListFollowsTheNewestLineUnlessScrolledBack) {
    const int visible = text->VisibleLineCount();
    ASSERT_GT(visible, 5);
    for (const bool batched : {false, true}) {
        SCOPED_TRACE(batched ? "lines in one batch" : "a line at a time");
        text->ClearList();
        AddLines(1, 60, batched);
        EXPECT_EQ(text->TopIndex(), 60 - visible);

        // Back far enough: new lines do not move the view. (The user scrolls the list as last shown.)
        text->Redraw();
        text->List()->verticalScrollBar()->setValue(10);
        AddLines(61, 100, batched);
        EXPECT_EQ(text->TopIndex(), 10);
        // Entry 0 goes, and the view keeps showing the same lines.
        AddLines(101, 102, batched);
        EXPECT_EQ(text->TopIndex(), 8);
        EXPECT_EQ(text->List()->item(8)->text(), "line 11");

        // Close to the end counts as following.
        text->Redraw();
        text->List()->verticalScrollBar()->setValue(100 - visible - 2);
        AddLines(103, 110, batched);
        EXPECT_EQ(text->TopIndex(), 100 - visible);
    }
}

TEST_F(DebugDataViewTest, RedrawsAreThrottledToOnePer900Milliseconds) {
    text->AddLines({"first"});
    EXPECT_TRUE(text->List()->updatesEnabled());
    now += 100;
    text->AddLines({"second"});
    EXPECT_FALSE(text->List()->updatesEnabled());
    now += 700;
    frame->OnRedrawTimer();
    EXPECT_FALSE(text->List()->updatesEnabled());
    now += 100;
    frame->OnRedrawTimer();
    EXPECT_TRUE(text->List()->updatesEnabled());
    now += 500;
    text->AddLines({"third"});
    EXPECT_FALSE(text->List()->updatesEnabled());
    now += 400;
    text->AddLines({"fourth"});
    EXPECT_TRUE(text->List()->updatesEnabled());
}

TEST_F(DebugDataViewTest, LinesArriveThroughTheLinkWithLineEndsBlanked) {
    receiver.LinkProtocol = kBinaryProtocol;
    Receive("first line\r\n");
    Receive("second\rline");
    EXPECT_EQ(Lines(), (QStringList{"first line  ", "second line"}));
    // Other updates bring no line.
    frame->OnLinkUpdate(MessageDelivered{MessageId::NavData});
    comm->DeliverMessage(255, reinterpret_cast<const std::uint8_t*>("third"), 5);
    frame->OnLinkUpdate(MessageDelivered{MessageId::TrackData});
    EXPECT_EQ(text->List()->count(), 2);
    ProcessEvents();
    EXPECT_EQ(text->List()->count(), 3);
    text->ClearButton()->click();
    EXPECT_EQ(text->List()->count(), 0);
}

TEST_F(DebugDataViewTest, NothingIsTakenWhileNotConnected) {
    Receive("while not connected");
    EXPECT_EQ(text->List()->count(), 0);
}

TEST_F(DebugDataViewTest, TheOspreyFilterChoosesDebugTextOrSentences) {
    receiver.ProductSelection = kOsprey;
    receiver.LinkProtocol = kBinaryProtocol;
    Receive("debug one");
    EXPECT_FALSE(text->DebugButton()->isHidden());
    EXPECT_FALSE(text->NmeaButton()->isHidden());
    Receive("$GPGGA,1");
    Receive("debug two");
    EXPECT_EQ(Lines(), (QStringList{"debug one", "debug two"}));

    text->NmeaButton()->click();
    EXPECT_EQ(text->FilterChoice(), CDebugDataView::kNmeaFilter);
    EXPECT_EQ(text->List()->count(), 0);
    Receive("debug three");
    Receive("$GPRMC,2");
    EXPECT_EQ(Lines(), QStringList{"$GPRMC,2"});

    // In NMEA every line is taken and the buttons go.
    receiver.LinkProtocol = kNmeaProtocol;
    Receive("$GPGSV,3");
    EXPECT_TRUE(text->DebugButton()->isHidden());
    EXPECT_EQ(Lines(), (QStringList{"$GPRMC,2", "$GPGSV,3"}));
}

// Frames nobody could decode and the receiver's replies show with the debug text, not with the
// sentences: the Osprey on its command channel (EE), with either filter.
TEST_F(DebugDataViewTest, UnknownFramesAndRepliesShowUnderTheDebugFilter) {
    receiver.ProductSelection = kOsprey;
    const auto frames = test::Join({test::Frame({0xEE, 77, 0x01, 0x02}), test::Frame({0xEE, 11, 0x84}),
                                    test::Frame({0xDD, '$', 'G', 'P', 'X', '\r', '\n'})});
    comm->Receive(frames);
    ProcessEvents();
    // After the location client's own line about the binary link.
    const QStringList lines = Lines();
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{"Unknown MID 77, 2 bytes: 01 02", "Ack: 0x84"}));

    text->NmeaButton()->click();
    comm->Receive(frames);
    ProcessEvents();
    EXPECT_EQ(Lines(), QStringList{"$GPX  "});
}

TEST_F(DebugDataViewTest, TheFilterButtonsBelongToTheOspreyOnly) {
    receiver.LinkProtocol = kBinaryProtocol;
    for (int product : {kKestrel, kMerlin}) {
        receiver.ProductSelection = product;
        text->DebugButton()->show();
        Receive("$GPGGA and text alike");
        EXPECT_TRUE(text->DebugButton()->isHidden()) << product;
        EXPECT_TRUE(text->NmeaButton()->isHidden()) << product;
    }
    EXPECT_EQ(text->List()->count(), 2);
}

// Without the Osprey's filter, frames nobody decodes would flood the page: they show only while the
// receiver's debug output is on (its menu item checked), which the user turns on and off.
TEST_F(DebugDataViewTest, UnknownFramesShowOnlyWhileDebugOutputIsOn) {
    PseudoTerminal receiverEnd;
    const Bytes unknownThenAck = Join({Frame({77, 0x01, 0x02}), Frame({11, 0x84})});
    const auto count = [this](const QString& line) { return static_cast<int>(Lines().count(line)); };
    const QString unknown = QStringLiteral("Unknown MID 77, 2 bytes: 01 02");
    const QString ack = QStringLiteral("Ack: 0x84");
    for (int product : {kKestrel, kMerlin}) {
        receiver.ProductSelection = product;
        receiver.DebugToggleCount = kDebugToggleThreshold;
        text->ClearList();
        ASSERT_EQ(comm->Connect(receiverEnd.SlavePath(), 57600), kResultOk);
        const auto receive = [&](const Bytes& frames, int acks) {
            receiverEnd.Send(frames);
            return QTest::qWaitFor([&] { return count(ack) == acks; }, 5000);
        };
        ASSERT_TRUE(receive(unknownThenAck, 1));
        EXPECT_EQ(count(unknown), 0) << product;

        ChooseMenuItem(CMainFrame::kDebugOutput);
        ASSERT_TRUE(receive(Join({Frame(Join({{255}, Text("tracking 7")})), unknownThenAck}), 2));
        EXPECT_EQ(count(unknown), 1) << product;

        ChooseMenuItem(CMainFrame::kDebugOutput);
        ASSERT_TRUE(receive(unknownThenAck, 3));
        EXPECT_EQ(count(unknown), 1) << product;
        (void)comm->Disconnect();
    }
}

TEST_F(DebugDataViewTest, CheckReportsSetTheTimeToFirstFixForKestrelAndMerlinOnBinary) {
    const std::string report = "SpecCheck results: a b c d e f 32.5";
    struct Case {
        int product;
        int protocol;
        bool taken;
    };
    for (const Case& c : {Case{kKestrel, kBinaryProtocol, true}, Case{kMerlin, kBinaryProtocol, true},
                          Case{kKestrel, kNmeaProtocol, false}, Case{kOsprey, kBinaryProtocol, false}}) {
        receiver.ProductSelection = c.product;
        receiver.LinkProtocol = c.protocol;
        receiver.Ttff.set("");
        receiver.Ttff.setChanged(false);
        text->ClearList();
        Receive(report);
        EXPECT_EQ(receiver.Ttff.text(), c.taken ? "32.5" : "") << c.product << " " << c.protocol;
        EXPECT_EQ(receiver.Ttff.changed(), c.taken);
        EXPECT_EQ(Lines(), QStringList{QString::fromStdString(report)}) << c.product << " " << c.protocol;
    }
}

}  // namespace
}  // namespace vexa::test
