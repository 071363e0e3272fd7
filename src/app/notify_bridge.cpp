#include "app/notify_bridge.h"

namespace vexa {

void NotifyBridge::TakeUpdates() {
    for (const LinkUpdate& update : updates_.TakeAll()) emit Updated(update);
}

}  // namespace vexa
