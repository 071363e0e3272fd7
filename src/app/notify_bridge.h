#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>

#include "link/model/update_queue.h"

namespace vexa {

// How the bridge paces the updates it hands on.
struct UpdatePace {
    // How long the first update of a burst waits for the rest: one frame of a 60 Hz screen. The
    // sentences of one epoch come in a burst, and taken together they cost one pass, not one each.
    std::chrono::milliseconds gathering{16};
    // The shortest time between two showings of the receiver's state (fix, sky, records), which make
    // the pages repaint: ten a second is as often as anyone reads a changing number, and at 20 fixes
    // a second it halves the drawing. Text lines, messages and a lost link are not held.
    std::chrono::milliseconds showing{100};
};

// The link's updates, carried from the comm reader thread onto the user-interface thread: post()
// coalesces them in an UpdateQueue and, when they find it empty, queues one invocation that takes
// them all a gathering time later; the kinds that show the receiver's state are held until a showing
// is due, coalesced again. However fast the receiver, at most one such event waits, so the memory
// stays flat and the timers keep running. post() never waits for the user interface. It must outlive
// the link that posts to it.
class NotifyBridge : public QObject, public UpdateSink {
    Q_OBJECT
public:
    explicit NotifyBridge(UpdatePace pace = {}, QObject* parent = nullptr);

    void post(LinkUpdate update) override { updates_.post(std::move(update)); }

signals:
    void Updated(const vexa::LinkUpdate& update);

private:
    void Gather();
    void TakeUpdates();
    void Show();

    UpdatePace pace_;
    QTimer gathering_;
    QTimer showing_;
    QElapsedTimer sinceShown_;
    UpdateQueue held_;  // taken on this thread only
    UpdateQueue updates_{[this] { QMetaObject::invokeMethod(this, &NotifyBridge::Gather, Qt::QueuedConnection); }};
};

}  // namespace vexa
