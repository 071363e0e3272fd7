// Every page and dialog, each field holding its longest realistic text, at the screen scales of
// desktops, whole and fractional: no text may be cut off by the control that shows it.
#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QStyle>
#include <QStyleOption>

#include "../views/page_test_support.h"
#include "app/command_dialogs.h"
#include "app/demo_tab_view.h"
#include "receiver/binary/message_ids.h"
#include "sim/geodesy.h"
#include "ui_fixture.h"
#include "views/debug_data_view.h"
#include "views/fitted_text.h"
#include "receiver/binary/nav_mode_bits.h"
#include "views/nav_msg_view.h"
#include "views/tab_strip.h"

namespace vexa::test {
namespace {

// Set in the child runs: the scale the run was started at.
constexpr char kScaleVariable[] = "VEXA_TEXT_FIT_SCALE";

// A text and where it is drawn: its font, the room its control gives it and the layout flags.
struct DrawnText {
    QString text;
    QFont font;
    QRectF room;
    int flags = 0;
};

// The texts a control draws, found as Qt's own painting of the control places them.
QList<DrawnText> TextsOf(QWidget* control) {
    QStyle* style = control->style();
    if (auto* fitted = qobject_cast<FittedLabel*>(control))
        return {{fitted->text(), fitted->DrawnFont(), fitted->contentsRect(), int(fitted->alignment())}};
    if (auto* label = qobject_cast<QLabel*>(control)) {
        if (label->text().isEmpty()) return {};
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const int margin = label->margin();
        return {{label->text(), label->font(), label->contentsRect().adjusted(margin, margin, -margin, -margin), flags}};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return {{button->text(), button->font(), CaptionRoom(button), Qt::AlignCenter}};
    if (auto* box = qobject_cast<QGroupBox*>(control)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect title = style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        // The title is laid out in a rectangle made to its size; it must stay on the box.
        return {{box->title(), box->font(), QRectF(title).intersected(box->rect()), Qt::AlignCenter}};
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QRect field = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
        QList<DrawnText> items;
        for (int index = 0; index < combo->count(); ++index)
            items.append({combo->itemText(index), combo->font(), field, Qt::AlignLeft | Qt::AlignVCenter});
        return items;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
        const QMargins margins = edit->textMargins();
        // A line edit keeps 2 pixels clear left and right and 1 above and below its text.
        const QRect field = style->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                                .marginsRemoved(margins)
                                .adjusted(2, 1, -2, -1);
        return {{edit->text(), edit->font(), field, Qt::AlignLeft | Qt::AlignVCenter}};
    }
    if (auto* strip = qobject_cast<TabStrip*>(control)) {
        QList<DrawnText> labels;
        for (int index = 0; index < strip->Count(); ++index)
            labels.append({strip->Label(index), strip->font(), strip->ItemRect(index), Qt::AlignCenter});
        return labels;
    }
    return {};
}

// One line per text of `window` whose laid-out box leaves its room.
QStringList CutOffTexts(QWidget* window) {
    QStringList cut;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(window)) continue;
        for (const DrawnText& drawn : TextsOf(control)) {
            if (drawn.text.isEmpty()) continue;
            const QRectF box = QFontMetricsF(drawn.font).boundingRect(drawn.room, drawn.flags, drawn.text);
            if (drawn.room.contains(box)) continue;
            cut.append(QStringLiteral("%1 / %2 \"%3\" (%4 px): text %5x%6 at %7,%8 in room %9x%10 at %11,%12")
                           .arg(QString::fromLatin1(control->parentWidget()->metaObject()->className()),
                                control->objectName(), drawn.text)
                           .arg(drawn.font.pixelSize())
                           .arg(box.width()).arg(box.height()).arg(box.x()).arg(box.y())
                           .arg(drawn.room.width()).arg(drawn.room.height()).arg(drawn.room.x()).arg(drawn.room.y()));
        }
    }
    return cut;
}

class TextFit : public UiFixture {
protected:
    void SetUp() override {
        ui->ports.sysfsRoot = settingsFolder.filePath(QStringLiteral("no-sysfs")).toStdString();
        ui->ports.simulatedReceiver = SerialPortEntry{"sim", std::string(kSimulatedReceiverName)};
        ui->ports.extraPaths = {"/dev/ttyUSB0", "/dev/rfcomm0"};
        InstallCommandHooks(*ui);
        BuildFrame();
        receiver.LinkProtocol = kBinaryProtocol;
        frame->show();
        // Every dialog is looked at while it is up, then cancelled.
        answerDialog = [this](QDialog& dialog) {
            FillFields(dialog);
            dialog.show();
            ProcessEvents();
            cut += CutOffTexts(&dialog);
            dialog.hide();
            return int{QDialog::Rejected};
        };
    }

    CDemoTabView* Tabs() const { return frame->TabHost(); }

    // The longest realistic entries of the dialogs' edit fields.
    static void FillFields(QDialog& dialog) {
        static const std::pair<const char*, const char*> kLongest[] = {
            {"1141", "-12.5"},   {"1140", "-12.5"},     {"1176", "300000"}, {"1177", "900000"},
            {"1178", "86400"},   {"1021", "-33.99999"}, {"1022", "-179.99999"},
            {"1023", "100000"}, {"1024", "200000"},     {"1025", "500000"},
        };
        for (const auto& [id, text] : kLongest)
            if (auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(id))) edit->setText(QString::fromLatin1(text));
    }

    // A fix far south-west, high and fast, in the degraded mode with the longest texts, with twelve
    // two-digit satellites in it.
    void DeliverLongestFix() {
        const sim::Geodetic at{-33.99999, -178.99949, 11999.0};
        const sim::Vector3 position = sim::GeodeticToEcef(at);
        // 277.7 m/s is 999.7 kph, heading just west of north.
        const sim::Vector3 velocity = sim::EnuToEcef(at, {-4.8, 277.66, 0.0});
        NavData nav{};
        nav.X = static_cast<std::int32_t>(position.x);
        nav.Y = static_cast<std::int32_t>(position.y);
        nav.Z = static_cast<std::int32_t>(position.z);
        nav.VX = static_cast<std::int16_t>(std::lround(velocity.x * 8));
        nav.VY = static_cast<std::int16_t>(std::lround(velocity.y * 8));
        nav.VZ = static_cast<std::int16_t>(std::lround(velocity.z * 8));
        nav.Mode1 = kDgpsUsed | kTimedPowerMode | 2;
        nav.Hdop = 255;
        nav.SvCount = 12;
        for (int i = 0; i < 12; ++i) nav.SvPrn[i] = static_cast<std::uint8_t>(10 + 2 * i);
        comm->DeliverMessage(2, reinterpret_cast<const std::uint8_t*>(&nav), sizeof nav);
    }

    // Twelve channels with three-digit azimuths, the highest elevations, and a few three-digit
    // satellite numbers among the two-digit ones.
    void DeliverLongestTracks() {
        TrackData track{};
        for (int i = 0; i < static_cast<int>(kTrackChannels); ++i) {
            TrackChannel& channel = track.Channels[i];
            channel.Prn = static_cast<std::uint8_t>(i < 9 ? 10 + 2 * i : 120 + 9 * (i - 9));
            channel.Azimuth = static_cast<std::uint8_t>(239 - i);
            channel.Elevation = static_cast<std::uint8_t>(180 - 2 * i);
            channel.State = 0x33;
            std::fill(std::begin(channel.Cn0), std::end(channel.Cn0), std::uint8_t{55});
        }
        comm->DeliverMessage(4, reinterpret_cast<const std::uint8_t*>(&track), sizeof track);
    }

    void LookAtEveryPage() {
        for (int page = 0; page < Tabs()->TabCount(); ++page) {
            Tabs()->LayoutPage(page);
            Tabs()->GetView(page)->show();
        }
        cut += CutOffTexts(Tabs());
    }

    QStringList cut;
};

TEST_F(TextFit, EveryPageAndDialogHoldsItsLongestTexts) {
    if (!qEnvironmentVariableIsSet(kScaleVariable)) GTEST_SKIP() << "run at each scale by TextFitAtScales";
    ASSERT_NEAR(frame->devicePixelRatioF(), qEnvironmentVariable(kScaleVariable).toDouble(), 1e-3);

    receiver.Ttff.set("999.9 sec");
    DeliverLongestTracks();
    DeliverLongestFix();
    // The Text page shows its filter buttons to the Osprey only, as it paints; the sky plot fills
    // its page's boxes as it paints.
    receiver.ProductSelection = kOsprey;
    Tabs()->GetView(CDemoTabView::kText)->grab();
    Tabs()->GetView(CDemoTabView::kSky)->grab();
    // Each choice of units gives the position page other texts.
    for (int latLon : {0, 1}) {
        for (int altitude : {0, 1}) {
            for (int velocity : {0, 1, 2}) {
                settings.m_nLatLonFormat = latLon;
                settings.m_nAltitudeUnits = altitude;
                settings.m_nVelocityUnits = velocity;
                doc.UpdateAllViews(MessageDelivered{MessageId::NavData});
                LookAtEveryPage();
            }
        }
    }

    // The product can be chosen only while no receiver is connected.
    receiver.LinkProtocol = kNotConnected;
    receiver.ProductSelection = kKestrel;
    for (int command : {CMainFrame::kSelectProduct, CMainFrame::kSerialComm, CMainFrame::kPowerManagement,
                        CMainFrame::kElevationMask, CMainFrame::kAbout})
        frame->RunCommand(command);
    ui->displayPreferences.EditUnits(frame.get());
    ui->displayPreferences.EditPlot(frame.get());

    cut.removeDuplicates();
    EXPECT_TRUE(cut.isEmpty()) << cut.join(QLatin1Char('\n')).toStdString();
}

// Each scale needs a program of its own: Qt takes its scale factor once, at start. The screen is a
// common desktop's, so that a window is never squeezed to fit a screen smaller than a user's.
TEST(TextFitAtScales, WholeAndFractionalScales) {
    QTemporaryDir folder;
    QFile screens(folder.filePath(QStringLiteral("screens.json")));
    ASSERT_TRUE(screens.open(QIODevice::WriteOnly));
    screens.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920, "height": 1080}]})");
    screens.close();
    for (double scale : {1.0, 1.5, 2.37, 4.0}) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
        environment.insert(QString::fromLatin1(kScaleVariable), QString::number(scale));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("-platform"), QStringLiteral("offscreen:configfile=") + screens.fileName(),
                     QStringLiteral("--gtest_filter=TextFit.EveryPageAndDialogHoldsItsLongestTexts")});
        ASSERT_TRUE(child.waitForFinished(-1));
        const QString output = QString::fromLocal8Bit(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << "at scale " << scale << ":\n" << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("[       OK ]"))) << "at scale " << scale << ":\n"
                                                                     << output.toStdString();
    }
}

}  // namespace
}  // namespace vexa::test
