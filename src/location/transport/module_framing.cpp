#include "location/transport/module_framing.h"

#include "location/messages/logical_channel.h"

namespace vexa {

std::string_view ModuleFraming::refusal(FrameFault fault) const {
    switch (fault) {
    case FrameFault::TooLong:
        return tooLong;
    case FrameFault::Empty:
        return empty;
    case FrameFault::BadChecksum:
        return badChecksum;
    case FrameFault::BadEnd1:
        return badEnd1;
    case FrameFault::BadEnd2:
        return badEnd2;
    }
    return {};
}

ModuleFraming serialModuleFraming() {
    return {{.maxPayloadLength = 506, .checksum = true, .receivedChecksumMask = 0xFFFF, .sentences = false},
            "Serial Module: Payload > SERIAL_RX_PACKET_SIZE! Msg ignored",
            "Serial Module: Payload length 0! Msg ignored",
            "Serial Module-> Invalid Checksum! - msg ignored",
            "Serial Module-> Invalid State End 1! - msg ignored",
            "Serial Module->Invalid State End 2!- msg ignored"};
}

ModuleFraming networkModuleFraming() {
    return {{.maxPayloadLength = 4090, .checksum = false, .sentences = false, .channel = kMasChannel},
            "Network Module: Payload > MAX_NETWORK_BUFFER! Msg ignored",
            "Network Module: Payload length 0! Msg ignored",
            {},
            "Network Module-> Invalid State End 1! Msg ignored",
            "Network Module-> Invalid State End 2! Msg ignored"};
}

}  // namespace vexa
