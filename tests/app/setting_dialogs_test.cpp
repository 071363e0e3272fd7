#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <vector>

#include "../views/page_test_support.h"
#include "support/frame_bytes.h"
#include "app/elevation_mask_dialog.h"
#include "app/power_management_dialog.h"
#include "receiver/commands/command_encoder.h"

namespace vexa {
namespace {

using test::Bytes;
using test::Join;

// Keeps the payload of every frame the dialogs send, as it goes on the wire.
struct RecordingLink {
    CommandSender Sender() {
        return [this](int id, const void* block, std::size_t length) {
            std::uint8_t frame[64];
            const EncodeResult result = EncodeMessage(id, block, length, frame, false);
            EXPECT_EQ(result.code, kResultOk);
            payloads.emplace_back(frame + 4, frame + result.frameLength - 4);
            return result.code;
        };
    }
    std::vector<Bytes> payloads;
};

Bytes Be32(std::uint32_t value) {
    return {std::uint8_t(value >> 24), std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)};
}

Bytes Be16(std::uint16_t value) { return {std::uint8_t(value >> 8), std::uint8_t(value)}; }

class PowerManagement : public testing::Test {
protected:
    PowerManagement() { dialog.OnInitDialog(); }
    void Choose(int mode, const char* updateRate, const char* onTime) {
        static_cast<QAbstractButton*>(dialog.Control(1170 + mode))->click();
        static_cast<QComboBox*>(dialog.Control(1174))->setCurrentText(updateRate);
        static_cast<QComboBox*>(dialog.Control(1175))->setCurrentText(onTime);
    }

    RecordingLink link;
    testing_support::MessagePrompts prompts;
    CPowerManagementDlg dialog{link.Sender(), prompts};
};

TEST_F(PowerManagement, ModeWordAndTimingGoOutAs151Then167) {
    struct Case {
        int mode;
        const char* updateRate;
        const char* onTime;
        std::uint16_t duty;
        std::uint16_t fixOnDemand;
        std::uint32_t onTimeWord;
    } cases[] = {
        {1, "1", "200", 200, 0, 200}, {1, "3", "200", 66, 0, 200}, {1, "2", "300", 150, 0, 300},
        {1, "10", "900", 90, 0, 900}, {0, "7", "800", 1000, 0, 800}, {2, "1", "200", 10, 1, 200},
    };
    for (const Case& c : cases) {
        link.payloads.clear();
        dialog.OnInitDialog();
        Choose(c.mode, c.updateRate, c.onTime);
        dialog.accept();
        ASSERT_EQ(link.payloads.size(), 2u);
        // On the wire: the fix-on-demand flag, the duty cycle, the on-time.
        EXPECT_EQ(link.payloads[0], Join({{151}, Be16(c.fixOnDemand), Be16(c.duty), Be32(c.onTimeWord)}))
            << c.mode << " " << c.updateRate << " " << c.onTime;
        EXPECT_EQ(link.payloads[1], Join({{167}, Be32(30000), Be32(300000), Be32(1800), {0, 0}}));
    }
}

TEST_F(PowerManagement, ControlsAreEnabledForTheirModeOnly) {
    const int timedPowerControls[] = {1173, 1174, 1175, 1176, 1177, 1179, 1180, 1181, 1182};
    const int fixOnDemandControls[] = {1178, 1183};
    for (int mode = 0; mode < 3; ++mode) {
        static_cast<QAbstractButton*>(dialog.Control(1170 + mode))->click();
        for (int id : timedPowerControls) EXPECT_EQ(dialog.Control(id)->isEnabled(), mode == 1) << id;
        for (int id : fixOnDemandControls) EXPECT_EQ(dialog.Control(id)->isEnabled(), mode == 2) << id;
    }
}

TEST_F(PowerManagement, ReopeningRestoresDefaultsButKeepsAdaptiveMode) {
    Choose(1, "5", "600");
    static_cast<QAbstractButton*>(dialog.Control(1173))->click();
    static_cast<QLineEdit*>(dialog.Control(1176))->setText("1234");
    dialog.accept();
    EXPECT_EQ(link.payloads[1], Join({{167}, Be32(1234), Be32(300000), Be32(1800), {0, 1}}));

    dialog.OnInitDialog();
    EXPECT_TRUE(static_cast<QAbstractButton*>(dialog.Control(1170))->isChecked());
    EXPECT_EQ(static_cast<QComboBox*>(dialog.Control(1174))->currentText(), "1");
    EXPECT_EQ(static_cast<QComboBox*>(dialog.Control(1175))->currentText(), "200");
    EXPECT_EQ(static_cast<QLineEdit*>(dialog.Control(1176))->text(), "30000");
    EXPECT_TRUE(static_cast<QAbstractButton*>(dialog.Control(1173))->isChecked());
    EXPECT_EQ(static_cast<QComboBox*>(dialog.Control(1174))->count(), 10);
    EXPECT_EQ(static_cast<QComboBox*>(dialog.Control(1175))->count(), 8);
}

TEST_F(PowerManagement, ANonIntegerKeepsTheDialogOpenAndSendsNothing) {
    static_cast<QLineEdit*>(dialog.Control(1177))->setText("5 min");
    dialog.accept();
    EXPECT_TRUE(link.payloads.empty());
    EXPECT_EQ(prompts.messages, QStringList{"Please enter an integer."});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

class ElevationMask : public testing::Test {
protected:
    RecordingLink link;
    testing_support::MessagePrompts prompts;
    CElevationMaskDlg dialog{link.Sender(), prompts};
};

TEST_F(ElevationMask, MasksGoOutAsTenthsTruncated) {
    struct Case {
        const char* navigation;
        Bytes payload;
    } cases[] = {
        {"7.5", {139, 0, 50, 0, 75}},     {"7.55", {139, 0, 50, 0, 75}},
        {"-20.0", {139, 0, 50, 0xFF, 0x38}}, {"90", {139, 0, 50, 0x03, 0x84}},
        {"-0.55", {139, 0, 50, 0xFF, 0xFB}},
    };
    for (const Case& c : cases) {
        link.payloads.clear();
        dialog.OnInitDialog();
        dialog.NavigationField()->setText(c.navigation);
        dialog.accept();
        ASSERT_EQ(link.payloads.size(), 1u) << c.navigation;
        EXPECT_EQ(link.payloads[0], c.payload) << c.navigation;
    }
}

TEST_F(ElevationMask, OutOfRangeOrNotANumberIsRefused) {
    for (const char* text : {"90.5", "-20.01", "abc", "nan", "inf"}) {
        prompts.messages.clear();
        dialog.OnInitDialog();
        dialog.NavigationField()->setText(text);
        dialog.accept();
        EXPECT_EQ(prompts.messages.size(), 1) << text;
        EXPECT_NE(dialog.result(), QDialog::Accepted) << text;
    }
    EXPECT_TRUE(link.payloads.empty());
    EXPECT_EQ(dialog.m_dNavMask, 5.0);
}

TEST_F(ElevationMask, TrackingIsHiddenAndTheConfirmedValueIsShownAgain) {
    EXPECT_TRUE(dialog.TrackingField()->isHidden());
    EXPECT_FALSE(dialog.TrackingField()->isEnabled());
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.NavigationField()->text(), "5");
    dialog.NavigationField()->setText("12.5");
    dialog.accept();
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.NavigationField()->text(), "12.5");
    dialog.NavigationField()->setText("30");
    dialog.reject();
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.NavigationField()->text(), "12.5");
}

}  // namespace
}  // namespace vexa
