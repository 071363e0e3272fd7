#include "views/receiver_test/link_reset_sender.h"

#include <cstdint>

#include "link/gps_comm.h"
#include "link/receiver_commands.h"
#include "platform/result_codes.h"

namespace vexa {

bool LinkResetSender::Send(ResetKind kind) {
    if (comm_.CommandsRefused() || !comm_.PortOpen()) return false;
    const std::string& text = texts_[static_cast<std::size_t>(kind)];
    if (text.empty()) {
        SendReset(comm_, kind);
        return true;
    }
    comm_.Model().RestartTtffClock();
    return comm_.WriteDirect(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()) == kResultOk;
}

}  // namespace vexa
