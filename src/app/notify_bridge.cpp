#include "app/notify_bridge.h"

namespace vexa {

NotifyBridge::NotifyBridge(std::chrono::milliseconds gathering, QObject* parent) : QObject(parent) {
    gathering_.setSingleShot(true);
    gathering_.setInterval(gathering);
    connect(&gathering_, &QTimer::timeout, this, &NotifyBridge::TakeUpdates);
}

void NotifyBridge::Gather() {
    if (gathering_.interval() == 0) return TakeUpdates();
    gathering_.start();
}

void NotifyBridge::TakeUpdates() {
    for (const LinkUpdate& update : updates_.TakeAll()) emit Updated(update);
}

}  // namespace vexa
