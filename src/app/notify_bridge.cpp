#include "app/notify_bridge.h"

#include <algorithm>
#include <variant>

namespace vexa {

namespace {

// Updates that tell of something to take or to say now rather than of the receiver's latest state:
// text lines wait in a small ring that must be emptied as they come.
bool IsHandedOnAtOnce(const LinkUpdate& update) {
    return std::holds_alternative<TextLinesWaiting>(update) || std::holds_alternative<MessageToShow>(update) ||
           std::holds_alternative<LinkLost>(update);
}

}  // namespace

NotifyBridge::NotifyBridge(UpdatePace pace, QObject* parent) : QObject(parent), pace_(pace) {
    gathering_.setSingleShot(true);
    gathering_.setInterval(pace_.gathering);
    connect(&gathering_, &QTimer::timeout, this, &NotifyBridge::TakeUpdates);
    showing_.setSingleShot(true);
    connect(&showing_, &QTimer::timeout, this, &NotifyBridge::Show);
}

void NotifyBridge::Gather() {
    if (pace_.gathering.count() == 0) return TakeUpdates();
    gathering_.start();
}

void NotifyBridge::TakeUpdates() {
    std::vector<LinkUpdate> updates = updates_.TakeAll();
    // Nothing is held while no showing is waiting: when one is due, everything goes in the order it came.
    const qint64 since = sinceShown_.isValid() ? sinceShown_.elapsed() : pace_.showing.count();
    const qint64 wait = std::max<qint64>(0, pace_.showing.count() - since);
    if (!showing_.isActive() && wait == 0) {
        const bool shows = std::any_of(updates.begin(), updates.end(), [](const LinkUpdate& update) {
            return !IsHandedOnAtOnce(update);
        });
        if (shows) sinceShown_.start();
        for (const LinkUpdate& update : updates) emit Updated(update);
        return;
    }
    for (LinkUpdate& update : updates) {
        if (IsHandedOnAtOnce(update)) {
            emit Updated(update);
        } else {
            held_.post(std::move(update));
            if (!showing_.isActive()) showing_.start(static_cast<int>(wait));
        }
    }
}

void NotifyBridge::Show() {
    sinceShown_.start();
    for (const LinkUpdate& update : held_.TakeAll()) emit Updated(update);
}

}  // namespace vexa
