#pragma once

#include <cstdint>
#include <string>

namespace vexa {

// Notifications that the comm reader posts to the user interface. Their numbers are window
// message numbers (the user range starts at 0x400) so that the data log and traces read alike.
inline constexpr int kNotifyMessageDelivered = 0x400 + 3;  // wParam: message id
inline constexpr int kNotifyShowMessage = 0x400 + 4;       // text: shown in a message box
// The receiver's port hung up or failed (unplugged, or the other end went away); the comm reader
// has closed it. Not a message of the original platform.
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
