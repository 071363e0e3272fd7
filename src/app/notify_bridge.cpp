#include "app/notify_bridge.h"

#include <utility>

namespace vexa {

void NotifyBridge::post(Notification notification) {
    QMetaObject::invokeMethod(
        this, [this, notification = std::move(notification)] { emit Notified(notification); }, Qt::QueuedConnection);
}

}  // namespace vexa
