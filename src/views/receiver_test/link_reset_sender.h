#pragma once

#include "evaluation/campaign.h"
#include "views/receiver_test/campaign_box.h"

namespace vexa {

class GpsComm;

// Sends a campaign's resets through the link: the user's reset text for the kind when there is one
// (its bytes as they are), else the link's own reset command for the product. Either restarts the
// link's time-to-first-fix clock, as the menu's resets do. False when the source takes no commands
// or the bytes could not be written.
class LinkResetSender : public ResetSender {
public:
    LinkResetSender(GpsComm& comm, ResetTexts texts) : comm_(comm), texts_(std::move(texts)) {}

    bool Send(ResetKind kind) override;

private:
    GpsComm& comm_;
    ResetTexts texts_;
};

}  // namespace vexa
