#pragma once

#include <string>
#include <variant>

#include "receiver/binary/message_ids.h"

namespace vexa {

// What the link tells a front end, and a front end its pages. Every kind but the message to show
// says "look again": the model holds the latest state, so one pending update of a kind stands for
// any number of them (UpdateQueue coalesces them).

// A binary message (or, as DevelopmentText, an NMEA sentence) was stored and logged.
struct MessageDelivered {
    MessageId id;
    bool operator==(const MessageDelivered&) const = default;
};
// An NMEA epoch stored a new fix or a new completed sky. A binary receiver's fix and sky come with
// its navigation and tracker messages (MessageDelivered NavData, TrackData) instead.
struct FixUpdated {
    bool operator==(const FixUpdated&) const = default;
};
struct SkyUpdated {
    bool operator==(const SkyUpdated&) const = default;
};
// Lines wait in the model's text-line ring (ReceiverModel::NextTextLine).
struct TextLinesWaiting {
    bool operator==(const TextLinesWaiting&) const = default;
};
// A failure for a message box: the data log or the raw recording could not be written.
struct MessageToShow {
    std::string text;
    bool operator==(const MessageToShow&) const = default;
};
// The source hung up or failed; the comm reader has closed it and the front end looks for the
// receiver again.
struct LinkLost {
    bool operator==(const LinkLost&) const = default;
};
// The front end's once-a-second redraw (the link never posts it): pages with a time rule (the fix
// status turning yellow, the time to first fix counting up) apply it even when nothing arrives.
struct ClockTick {
    bool operator==(const ClockTick&) const = default;
};

using LinkUpdate =
    std::variant<MessageDelivered, FixUpdated, SkyUpdated, TextLinesWaiting, MessageToShow, LinkLost, ClockTick>;

constexpr bool IsDelivered(const LinkUpdate& update, MessageId id) {
    const auto* delivered = std::get_if<MessageDelivered>(&update);
    return delivered != nullptr && delivered->id == id;
}

// Receives the link's updates from any thread. post() must not block on the receiving thread.
class UpdateSink {
public:
    virtual ~UpdateSink() = default;
    virtual void post(LinkUpdate update) = 0;
};

}  // namespace vexa
