#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include "app/demo_tab_view.h"
#include "ui_fixture.h"
#include "views/debug_data_view.h"
#include "views/tab_strip.h"

namespace vexa::test {
namespace {

class TabViewTest : public UiFixture {
protected:
    void SetUp() override {
        BuildFrame(false);
        frame->show();
        tabs = frame->TabHost();
    }
    void Click(int index) {
        TabStrip* strip = tabs->Tabs();
        QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, strip->ItemRect(index).center());
    }
    // A key pressed while `target` holds the focus.
    static void Press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(target, &press);
    }
    QWidget* Page(int index) const { return tabs->GetView(index); }
    QPushButton* Button(int page, int id) const {
        return Page(page)->findChild<QPushButton*>(QString::number(id));
    }
    QColor TabColour(int index) {
        const QImage strip = tabs->Tabs()->grab().toImage();
        return strip.pixelColor(tabs->Tabs()->ItemRect(index).topLeft() + QPoint(2, 2));
    }

    CDemoTabView* tabs = nullptr;
};

TEST_F(TabViewTest, SixPagesWithPositionShownFirst) {
    ASSERT_EQ(tabs->TabCount(), 6);
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kPosition);
    const QStringList labels{"Position", "Signal", "Sky", "Plot", "Map", "Text"};
    for (int index = 0; index < 6; ++index) {
        EXPECT_EQ(tabs->Tabs()->Label(index), labels[index]);
        EXPECT_EQ(tabs->GetView(index)->isHidden(), index != 0) << index;
    }
    EXPECT_EQ(tabs->GetView(6), nullptr);
}

TEST_F(TabViewTest, SelectTabChecksItsIndex) {
    EXPECT_TRUE(tabs->SelectTab(CDemoTabView::kPosition));
    EXPECT_FALSE(tabs->SelectTab(6));
    EXPECT_FALSE(tabs->SelectTab(-1));
    EXPECT_TRUE(tabs->SelectTab(CDemoTabView::kSky));
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kSky);
    EXPECT_TRUE(tabs->GetView(CDemoTabView::kPosition)->isHidden());
    EXPECT_FALSE(tabs->GetView(CDemoTabView::kSky)->isHidden());
}

TEST_F(TabViewTest, PagesSitBelowTheTabsAndOnlyTheCurrentOneFollowsAResize) {
    tabs->SelectTab(CDemoTabView::kSignal);
    EXPECT_EQ(tabs->GetView(CDemoTabView::kSignal)->geometry(), QRect(0, 25, 240, 243));
    tabs->setFixedSize(240, 300);
    EXPECT_EQ(tabs->GetView(CDemoTabView::kSignal)->height(), 275);
    EXPECT_EQ(tabs->GetView(CDemoTabView::kSky)->geometry(), QRect(QPoint(4, 25), QPoint(229, 236)));
    tabs->SelectTab(CDemoTabView::kSky);
    EXPECT_EQ(tabs->GetView(CDemoTabView::kSky)->height(), 275);
}

// The pages have their first update at the rectangle they are made with; the host lays each out
// larger when it is shown. The grey reaches the corners below the button rows and right of the sky plot.
TEST_F(TabViewTest, EveryPageIsGreyToTheCornersOfTheSizeTheHostGivesIt) {
    for (int index = 0; index < tabs->TabCount(); ++index) {
        tabs->SelectTab(index);
        QWidget* page = Page(index);
        ASSERT_EQ(page->size(), QSize(240, 243)) << index;
        const QImage image = page->grab().toImage();
        for (const QPoint corner : {QPoint(2, 240), QPoint(237, 240)}) {
            EXPECT_EQ(image.pixelColor(corner).name(), "#c0c0c0") << "page " << index << " at " << corner.x();
        }
    }
}

// Every page shows NMEA data as well as binary: in NMEA the tabs behave as in binary, also from
// the Text page that start-up opens for an NMEA receiver.
TEST_F(TabViewTest, InNmeaEveryPageOpensFromTheTextPage) {
    receiver.LinkProtocol = kNmeaProtocol;
    Click(CDemoTabView::kText);
    for (int index : {CDemoTabView::kSky, CDemoTabView::kText, CDemoTabView::kPosition, CDemoTabView::kSignal,
                      CDemoTabView::kPlot, CDemoTabView::kText}) {
        Click(index);
        EXPECT_EQ(tabs->CurrentIndex(), index);
        EXPECT_EQ(tabs->Tabs()->Current(), index);
        EXPECT_FALSE(tabs->GetView(index)->isHidden()) << index;
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(TabViewTest, TheMapPageNeedsALoadedMap) {
    Click(CDemoTabView::kPlot);
    Click(CDemoTabView::kMap);
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kPlot);
    EXPECT_TRUE(tabs->GetView(CDemoTabView::kMap)->isHidden());
    EXPECT_FALSE(tabs->GetView(CDemoTabView::kPlot)->isHidden());
    EXPECT_EQ(prompts.messages, QStringList{"MAP is NOT loaded.\r\nTo load MAP, select\r\nSetup | Load Map..."});
}

TEST_F(TabViewTest, TabsArePaintedInTheFixStatusColourAndTheCurrentOneInLightGrey) {
    for (const QColor& status : {QColor(255, 0, 0), QColor(20, 210, 20), QColor(255, 255, 0), QColor(0, 0, 255)}) {
        ui->FixStatusColour = status;
        EXPECT_EQ(TabColour(CDemoTabView::kPosition).name(), "#c0c0c0");
        for (int index = 1; index < 6; ++index) EXPECT_EQ(TabColour(index).name(), status.name()) << index;
    }
}

TEST_F(TabViewTest, KeysOnTheGraphicPagesLeafThroughTheTabs) {
    tabs->SelectTab(CDemoTabView::kSignal);
    Press(Page(CDemoTabView::kSignal), Qt::Key_Right);
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kSky);
    // Also when one of the page's own controls has the focus.
    Press(Page(CDemoTabView::kSky)->findChild<QWidget*>(QStringLiteral("1061")), Qt::Key_Right);
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kPlot);
    EXPECT_TRUE(Page(CDemoTabView::kSky)->isHidden());
    Press(Button(CDemoTabView::kPlot, 1032), Qt::Key_Left);
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kSky);
    Press(Page(CDemoTabView::kSky), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kPlot);
    Press(Page(CDemoTabView::kPlot), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kSky);
    Press(Page(CDemoTabView::kSky), Qt::Key_Left, Qt::AltModifier);
    Press(Page(CDemoTabView::kSky), Qt::Key_Space);
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kSky);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(TabViewTest, AKeyFollowsTheSameRulesAsAClick) {
    tabs->SelectTab(CDemoTabView::kPlot);
    Press(Page(CDemoTabView::kPlot), Qt::Key_Right);
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kPlot);
    EXPECT_EQ(prompts.messages, QStringList{"MAP is NOT loaded.\r\nTo load MAP, select\r\nSetup | Load Map..."});
    EXPECT_FALSE(Page(CDemoTabView::kPlot)->isHidden());
}

TEST_F(TabViewTest, ThePositionAndTextPagesKeepTheirKeys) {
    Press(Page(CDemoTabView::kPosition), Qt::Key_Right);
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kPosition);
    tabs->SelectTab(CDemoTabView::kText);
    Press(tabs->TextView()->List(), Qt::Key_Left);
    Press(tabs->TextView(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kText);
}

TEST_F(TabViewTest, APageGetsBackTheControlThatHadTheFocus) {
    frame->activateWindow();
    ProcessEvents();
    tabs->SelectTab(CDemoTabView::kPlot);
    QPushButton* properties = Button(CDemoTabView::kPlot, 1030);
    properties->setFocus();
    // The pages are shown scaled in a view: the focus within them is the tab host's focus widget.
    ASSERT_TRUE(properties->hasFocus());
    Press(properties, Qt::Key_Left);
    ASSERT_EQ(tabs->CurrentIndex(), CDemoTabView::kSky);
    EXPECT_FALSE(properties->hasFocus());
    Press(tabs->focusWidget(), Qt::Key_Right);
    EXPECT_EQ(tabs->CurrentIndex(), CDemoTabView::kPlot);
    EXPECT_TRUE(properties->hasFocus());
}

}  // namespace
}  // namespace vexa::test
