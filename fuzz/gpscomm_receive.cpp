// Arbitrary bytes in arbitrary pieces through the link's receive path for one product: the
// state machine, the dispatch, the decoder, the model with its text lines and held output,
// and (when the product byte's top bit is set) the data log. Nothing may crash, and the model
// must stay within its bounds whatever arrives.
//
// One link serves every input (starting a reader thread per input would dominate the run);
// each input begins from the same state: the receive machine hunting, sending allowed,
// nothing held, no text lines waiting, not connected.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <span>
#include <vector>

#include "link/gps_comm.h"
#include "link/link_log.h"
#include "link/location_client_host.h"
#include "receiver/commands/command_builders.h"
#include "receiver/frames/frame_format.h"

namespace {

struct Link {
    vexa::ReceiverContext context;
    std::unique_ptr<vexa::GpsComm> comm = vexa::GpsComm::Create(context);
    std::unique_ptr<vexa::LocationClientHost> location =
        comm ? std::make_unique<vexa::LocationClientHost>(*comm) : nullptr;
    std::unique_ptr<vexa::LinkLog> log = comm ? std::make_unique<vexa::LinkLog>(*comm) : nullptr;
};

void StartOver(Link& link) {
    // Bytes that end any frame or sentence in progress, whatever its state: the longest frame
    // takes 1014 payload bytes and 4 more, and a zero byte ends a sentence.
    static const std::vector<std::uint8_t> silence(vexa::kMaxPayloadLength + 16, 0);
    link.comm->Receive(silence);
    const std::uint8_t okToSend = 1;
    link.comm->DeliverMessage(18, &okToSend, 1);
    link.context.LinkProtocol = vexa::kBinaryProtocol;
    while (link.comm->Model().NextTextLine()) {
    }
    link.context.LinkProtocol = vexa::kNotConnected;
    link.context.DebugToggleCount = 0;
    link.context.NavLibToggleCount = 0;
    link.context.NmeaChannelCount = 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    static Link link;
    if (!link.comm) __builtin_trap();
    StartOver(link);
    link.context.ProductSelection = data[0] % 5;
    const std::uint8_t pieces[3] = {data[1], data[2], data[3]};
    const std::span<const std::uint8_t> stream(data + 4, size - 4);
    vexa::GpsComm& comm = *link.comm;
    if ((data[0] & 0x80) && link.log->Open("/dev/null") != vexa::kResultOk) __builtin_trap();
    const vexa::CommandMessage poll = vexa::SoftwareVersionPoll();

    std::size_t offset = 0;
    for (std::size_t turn = 0; offset < stream.size(); ++turn) {
        const std::size_t piece = std::min<std::size_t>(1 + pieces[turn % 3], stream.size() - offset);
        comm.Receive(stream.subspan(offset, piece));
        offset += piece;
        // No source is connected: the poll is held or refused, never written; what counts is the held output.
        (void)comm.Send(poll.id, poll.block.data(), poll.length);
        if (comm.PendingOutputCount() > vexa::GpsComm::kPendingOutputSize) __builtin_trap();
        if (turn % 4 == 0) {
            // A slot without its terminating zero would give a line of the whole slot.
            while (const std::optional<std::string> line = comm.Model().NextTextLine()) {
                if (line->size() >= vexa::TextLineRing::kSlotSize) __builtin_trap();
            }
        }
    }
    link.log->Close();
    return 0;
}
