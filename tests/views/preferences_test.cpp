#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>

#include "page_test_support.h"
#include "uicore/display_preferences.h"
#include "views/display_sheets.h"
#include "views/pref_map_page.h"
#include "views/pref_units_page.h"
#include "views/preferences_sheet.h"

namespace vexa {
namespace {

using testing_support::MemorySections;

class Preferences : public testing::Test {
protected:
    AppSettings settings;
    MemorySections store{settings};
    testing_support::MessagePrompts prompts;
    std::function<int(CPreferencesSheet&)> answerSheet;
    DisplayPreferences preferences{
        settings, store, prompts, DisplaySheets(settings, prompts, [this](CPreferencesSheet& s) { return answerSheet(s); })};
};

// Confirms the plot page with the given field texts.
auto ConfirmPlot(std::map<int, QString> fields) {
    return [fields](CPreferencesSheet& sheet) {
        auto* page = static_cast<CPrefMapPage*>(sheet.Page());
        for (const auto& [id, text] : fields) page->Field(id)->setText(text);
        sheet.accept();
        return sheet.result();
    };
}

TEST_F(Preferences, RingRadiiMustBeOrderedAndEachPositive) {
    struct Case {
        const char* ring1;
        const char* ring2;
        const char* ring3;
        bool accepted;
    } cases[] = {
        {"10", "10", "10", true}, {"10", "30", "20", false}, {"0", "0", "0", false},
        {"-5", "0", "5", false},  {"5", "5", "-1", false},   {"1", "2", "2147483647", true},
        {"0", "5", "10", false},
    };
    for (const Case& c : cases) {
        prompts.messages.clear();
        store.stored = AppSettings{};
        answerSheet = ConfirmPlot({{1023, c.ring1}, {1024, c.ring2}, {1025, c.ring3}});
        EXPECT_EQ(preferences.EditPlot(nullptr), c.accepted) << c.ring1 << " " << c.ring2 << " " << c.ring3;
        EXPECT_EQ(store.stored.m_nRing3, c.accepted ? QString(c.ring3).toInt() : 30);
        EXPECT_EQ(settings.m_nRing3, store.stored.m_nRing3);
        EXPECT_EQ(prompts.messages, c.accepted ? QStringList{} : QStringList{"Radii changes are invalid."});
    }
}

TEST_F(Preferences, OriginIsEditedAsDegrees) {
    answerSheet = ConfirmPlot({{1021, " -33.865143 "}, {1022, "151.2099"}});
    EXPECT_TRUE(preferences.EditPlot(nullptr));
    EXPECT_DOUBLE_EQ(store.stored.m_dOriginLat, -33.865143);
    EXPECT_DOUBLE_EQ(store.stored.m_dOriginLon, 151.2099);
}

TEST_F(Preferences, AFieldThatDoesNotConvertKeepsTheSheetOpenAndChangesNothing) {
    struct Case {
        int id;
        const char* text;
        const char* message;
    } cases[] = {
        {1021, "north", "Please enter a number."},
        {1022, "", "Please enter a number."},
        {1023, "1.5", "Please enter an integer."},
        {1025, "99999999999", "Please enter an integer."},
    };
    for (const Case& c : cases) {
        prompts.messages.clear();
        bool stayedOpen = false;
        answerSheet = [&](CPreferencesSheet& sheet) {
            static_cast<CPrefMapPage*>(sheet.Page())->Field(c.id)->setText(c.text);
            static_cast<CPrefMapPage*>(sheet.Page())->Field(1024)->setText("25");
            sheet.accept();
            stayedOpen = sheet.result() != QDialog::Accepted;
            return int(QDialog::Rejected);
        };
        preferences.EditPlot(nullptr);
        EXPECT_TRUE(stayedOpen) << c.text;
        EXPECT_EQ(prompts.messages, QStringList{c.message}) << c.text;
        EXPECT_EQ(settings.m_nRing2, 20);
    }
}

TEST_F(Preferences, ThePlotPageShowsTheStoredValuesAfterACancelledEdit) {
    answerSheet = [](CPreferencesSheet& sheet) {
        static_cast<CPrefMapPage*>(sheet.Page())->Field(1023)->setText("15");
        sheet.Page()->SaveControls();
        return int(QDialog::Rejected);
    };
    preferences.EditPlot(nullptr);
    EXPECT_EQ(settings.m_nRing1, 10);

    settings.m_nRing1 = 12;  // an unsaved change in memory
    QString shown;
    answerSheet = [&](CPreferencesSheet& sheet) {
        shown = static_cast<CPrefMapPage*>(sheet.Page())->Field(1023)->text();
        return int(QDialog::Rejected);
    };
    preferences.EditPlot(nullptr);
    EXPECT_EQ(shown, "10");
}

TEST_F(Preferences, UnitRadioIndicesAreTheSettingCodes) {
    struct Case {
        const char* button;
        int AppSettings::*setting;
        int code;
    } cases[] = {
        {"1010", &AppSettings::m_nLatLonFormat, 0},  {"1011", &AppSettings::m_nLatLonFormat, 1},
        {"1014", &AppSettings::m_nVelocityUnits, 0}, {"1012", &AppSettings::m_nVelocityUnits, 1},
        {"1013", &AppSettings::m_nVelocityUnits, 2}, {"1016", &AppSettings::m_nAltitudeUnits, 0},
        {"1015", &AppSettings::m_nAltitudeUnits, 1},
    };
    for (const Case& c : cases) {
        settings.*c.setting = 1 - c.code % 2;
        answerSheet = [&](CPreferencesSheet& sheet) {
            sheet.Page()->findChild<QAbstractButton*>(c.button)->setChecked(true);
            sheet.accept();
            return sheet.result();
        };
        preferences.EditUnits(nullptr);
        EXPECT_EQ(store.stored.*c.setting, c.code) << c.button;
    }
    // And back: the stored codes check their buttons.
    CPrefUnitsPage page(settings);
    page.LoadControls();
    EXPECT_TRUE(page.findChild<QAbstractButton*>("1013")->isChecked());
    EXPECT_TRUE(page.findChild<QAbstractButton*>("1015")->isChecked());
    EXPECT_TRUE(page.findChild<QAbstractButton*>("1011")->isChecked());
}

}  // namespace
}  // namespace vexa
