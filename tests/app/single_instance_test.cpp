#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUuid>
#include <gtest/gtest.h>

#include "app/single_instance.h"

namespace vexa {
namespace {

TEST(SingleInstanceTest, ASecondCopyRaisesTheFirstAndGivesWay) {
    const QString name = QStringLiteral("vexa-test-") + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance first(name);
    ASSERT_TRUE(first.Claim());
    bool raised = false;
    QObject::connect(&first, &SingleInstance::RaiseRequested, [&raised] { raised = true; });

    SingleInstance second(name);
    EXPECT_FALSE(second.Claim());
    QElapsedTimer waited;
    waited.start();
    while (!raised && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(raised);
}

}  // namespace
}  // namespace vexa
