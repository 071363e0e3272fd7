#pragma once

#include <QObject>

#include "link/model/update_queue.h"

namespace vexa {

// The link's updates, carried from the comm reader thread onto the user-interface thread: post()
// coalesces them in an UpdateQueue and, when they find it empty, queues one invocation that takes
// them all. However fast the receiver, at most one such event waits, so the memory stays flat and
// the timers keep running. post() never waits for the user interface. It must outlive the link
// that posts to it.
class NotifyBridge : public QObject, public UpdateSink {
    Q_OBJECT
public:
    using QObject::QObject;

    void post(LinkUpdate update) override { updates_.post(std::move(update)); }

signals:
    void Updated(const vexa::LinkUpdate& update);

private:
    void TakeUpdates();

    UpdateQueue updates_{[this] { QMetaObject::invokeMethod(this, &NotifyBridge::TakeUpdates, Qt::QueuedConnection); }};
};

}  // namespace vexa
