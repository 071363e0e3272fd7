#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <memory>

#include "app/single_instance.h"

namespace vexa {
namespace {

// The first copy answers from its own event loop, as it does in a process of its own.
TEST(SingleInstanceTest, ASecondCopyRaisesTheFirstAndGivesWay) {
    QTemporaryDir folder;
    const QString name = folder.filePath(QStringLiteral("instance"));
    std::atomic<bool> raised = false;
    std::promise<bool> claimed;
    const std::unique_ptr<QThread> first(QThread::create([&] {
        SingleInstance instance(name);
        QEventLoop loop;
        QObject::connect(&instance, &SingleInstance::RaiseRequested, &loop, [&] {
            raised = true;
            loop.quit();
        });
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);  // a second copy that never asks ends the wait
        claimed.set_value(instance.Claim());
        loop.exec();
    }));
    first->start();
    ASSERT_TRUE(claimed.get_future().get());

    SingleInstance second(name);
    EXPECT_FALSE(second.Claim());
    first->wait();
    EXPECT_TRUE(raised);
}

}  // namespace
}  // namespace vexa
