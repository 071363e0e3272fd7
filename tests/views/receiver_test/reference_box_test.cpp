#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "views/receiver_test/reference_box.h"

namespace vexa {
namespace {

// The point typed into the box and what the box says of it, by the user's keys and clicks.
void TypeAndUse(ReferenceBox& box, const QString& text) {
    box.PointEdit()->clear();
    QTest::keyClicks(box.PointEdit(), text);
    QTest::mouseClick(box.UseButton(), Qt::LeftButton);
}

TEST(ReferenceBox, APointOffTheEarthOrNotANumberIsRefusedAndTheReferenceInUseStays) {
    ReferenceBox box;
    box.show();
    QSignalSpy changes(&box, &ReferenceBox::ReferenceChanged);
    TypeAndUse(box, QStringLiteral(" 47.5, 8.25 , 420.5"));
    ASSERT_EQ(changes.count(), 1);
    const QString inUse = box.StateText();
    EXPECT_TRUE(inUse.contains(QStringLiteral("47.500000000, 8.250000000, 420.500 m"))) << inUse.toStdString();

    const struct {
        const char* typed;
        const char* said;
    } kRefused[] = {
        {"91,0,0", "the latitude 91 is outside -90 to 90 degrees"},
        {"0,-180.5,0", "the longitude -180.5 is outside -180 to 180 degrees"},
        {"0,0,100001", "the height 100001 is outside -1000 to 100000 metres above the ellipsoid"},
        {"nan,0,0", "the latitude nan is not a finite number"},
        {"0,inf,0", "the longitude inf is not a finite number"},
        {"47.5;8.25;420", "expected LAT,LON,H"},
        {"47,5,8,25", "expected LAT,LON,H"},
        {"47.5,8.25,", "the height \"\" is not a number"},
        {"", "expected LAT,LON,H"},
    };
    for (const auto& refused : kRefused) {
        TypeAndUse(box, QString::fromUtf8(refused.typed));
        EXPECT_TRUE(box.StateText().startsWith(QStringLiteral("Not used: "))) << refused.typed;
        EXPECT_TRUE(box.StateText().contains(QString::fromUtf8(refused.said))) << refused.typed << ": " << box.StateText().toStdString();
    }
    EXPECT_EQ(changes.count(), 1) << "a refused point never replaces the reference in use";

    QTest::mouseClick(box.NoneChoice(), Qt::LeftButton);
    QTest::mouseClick(box.UseButton(), Qt::LeftButton);
    ASSERT_EQ(changes.count(), 2);
    EXPECT_FALSE(changes.at(1).at(0).value<std::optional<ReferencePoint>>().has_value());
}

}  // namespace
}  // namespace vexa
