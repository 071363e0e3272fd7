#pragma once

#include <QObject>

#include "platform/notify_sink.h"

namespace vexa {

// The link's notifications, carried from the comm reader thread onto the user-interface thread
// by a queued invocation; post() never waits for the user interface. It must outlive the link
// that posts to it.
class NotifyBridge : public QObject, public NotifySink {
    Q_OBJECT
public:
    using QObject::QObject;

    void post(Notification notification) override;

signals:
    void Notified(const vexa::Notification& notification);
};

}  // namespace vexa
