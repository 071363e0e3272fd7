#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

#include "link/model/update_queue.h"

namespace vexa {

// The link's updates, carried from the comm reader thread onto the user-interface thread: post()
// coalesces them in an UpdateQueue and, when they find it empty, queues one invocation that takes
// them all a gathering time later. However fast the receiver, at most one such event waits, so the
// memory stays flat and the timers keep running. post() never waits for the user interface. It must
// outlive the link that posts to it.
class NotifyBridge : public QObject, public UpdateSink {
    Q_OBJECT
public:
    // One frame of a 60 Hz screen: the sentences of one epoch come in a burst, and taken together
    // they are shown in one repaint instead of one per sentence; no screen shows the difference.
    static constexpr std::chrono::milliseconds kScreenFrame{16};

    explicit NotifyBridge(std::chrono::milliseconds gathering = kScreenFrame, QObject* parent = nullptr);

    void post(LinkUpdate update) override { updates_.post(std::move(update)); }

signals:
    void Updated(const vexa::LinkUpdate& update);

private:
    void Gather();
    void TakeUpdates();

    QTimer gathering_;
    UpdateQueue updates_{[this] { QMetaObject::invokeMethod(this, &NotifyBridge::Gather, Qt::QueuedConnection); }};
};

}  // namespace vexa
