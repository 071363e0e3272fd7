#pragma once

#include <cstdint>
#include <string>

namespace vexa {

// Notifications that the comm reader posts to the user interface, numbered from 0x403 on.
inline constexpr int kNotifyMessageDelivered = 0x400 + 3;  // wParam: message id
inline constexpr int kNotifyShowMessage = 0x400 + 4;       // text: shown in a message box
// The receiver's port hung up or failed (unplugged, or the other end went away); the comm reader
// has closed it, and the front end looks for the receiver again.
inline constexpr int kNotifyLinkLost = 0x400 + 5;

struct Notification {
    int message = 0;
    std::intptr_t wParam = 0;
    std::intptr_t lParam = 0;
    std::string text;  // a copy travels with the event, never a pointer to a shared buffer
};

// Receives notifications from any thread. post() must not block on the receiving thread:
// implementations queue the notification and return.
class NotifySink {
public:
    virtual ~NotifySink() = default;
    virtual void post(Notification notification) = 0;
};

}  // namespace vexa
