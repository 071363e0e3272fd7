#pragma once

#include <functional>
#include <optional>
#include <string>

#include "link/connection/connection_controller.h"
#include "link/connection/link_connection.h"
#include "receiver/product/receiver_context.h"

namespace vexa {

// Brings back a receiver that went away (unplugged, or its other end closed). When the link
// reports the loss, the link is closed as the user's Disconnect closes it; then, once a tick (a
// second), the port that last worked is tried again with the settings that worked there
// (automatic detection when that is how the receiver was found), until a receiver answers or
// the user connects or disconnects. Driven by the caller's ticks, like the connection controller.
class LinkRecovery {
public:
    // `statusChanged` is called when the link was closed for the loss, when the receiver is back and
    // when the user ends the search.
    LinkRecovery(LinkConnection& link, ReceiverContext& context, std::function<void()> statusChanged = {});

    // A receiver answered with these settings, as the user chose them (kAutoBaud: automatic detection).
    void Remember(const std::string& portPath, int chosenBaudSetting);
    // The protocol switch moved the receiver to another rate; a fixed rate setting follows it.
    void BaudChanged(int baud);
    // The user connects or disconnects: no more attempts; settings are learnt again at the next answer.
    void Stop();
    // Looks for a receiver that was never found, as for one that was lost: the port tried once a tick
    // with these settings (kAutoBaud: automatic detection) until one answers. `problem` is why the
    // first attempt found nothing, shown until a later attempt knows better.
    void Search(const std::string& portPath, int baudSetting, std::string problem);

    // The link's port hung up or failed and the comm reader closed it. Ignored unless a receiver
    // was connected (an attempt that loses its port simply finds nothing).
    void LinkLost();
    // One second has passed.
    void Tick();

    bool Recovering() const { return recovering_; }
    // While recovering: "Not connected", with why when it is known (the source's end, or why the last
    // attempt failed).
    StatusLine Status() const;

private:
    // An attempt ended without a receiver: its reason, when it has one, is shown from now on.
    void TakeProblem();

    LinkConnection& link_;
    ReceiverContext& context_;
    std::function<void()> statusChanged_;
    // Made afresh for each loss, so that an attempt the user cut short is never continued.
    std::optional<ConnectionController> attempt_;
    std::string portPath_;
    std::optional<int> chosenBaudSetting_;
    bool recovering_ = false;
    std::string problem_;
};

}  // namespace vexa
