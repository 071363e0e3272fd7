// Arbitrary bytes in arbitrary pieces through the link's receive path for one product: the
// state machine, the dispatch, the decoder, the model with its text lines and held output,
// and (when the product byte's top bit is set) the data log. Nothing may crash, and the model
// must stay within its bounds whatever arrives.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "link/gps_comm.h"
#include "receiver/command_builders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    vexa::ReceiverContext context;
    context.ProductSelection = data[0] % 5;
    const std::uint8_t pieces[3] = {data[1], data[2], data[3]};
    const std::span<const std::uint8_t> stream(data + 4, size - 4);

    const auto comm = vexa::GpsComm::Create(context);
    if (!comm) __builtin_trap();
    if (data[0] & 0x80) comm->OpenLog("/dev/null");
    const vexa::CommandMessage poll = vexa::SoftwareVersionPoll();

    std::size_t offset = 0;
    for (std::size_t turn = 0; offset < stream.size(); ++turn) {
        const std::size_t piece = std::min<std::size_t>(1 + pieces[turn % 3], stream.size() - offset);
        comm->Receive(stream.subspan(offset, piece));
        offset += piece;
        comm->Send(poll.id, poll.block.data(), poll.length);
        comm->Lock();
        if (comm->PendingOutputCount() > vexa::GpsComm::kPendingOutputSize) __builtin_trap();
        if (turn % 4 == 0) {
            while (char* line = comm->NextTextLine()) {
                if (std::memchr(line, 0, vexa::TextLineRing::kSlotSize) == nullptr) __builtin_trap();
            }
        }
        comm->Unlock();
    }
    comm->CloseLog();
    return 0;
}
