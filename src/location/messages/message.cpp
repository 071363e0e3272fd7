#include "location/messages/message.h"

#include <array>
#include <limits>

#include "location/messages/logical_channel.h"
#include "receiver/frames/frame_format.h"
#include "receiver/frames/frame_writer.h"

namespace vexa {

const std::uint8_t* ReceiverChannelMessage::getBytes() {
    if (getLength() > frameLimit_) return nullptr;
    const std::array<std::uint8_t, 2> header{channel(), id()};
    frame_.clear();
    AppendFrame(frame_, header, payloadSpan(), FrameFlag);
    return frame_.data();
}

std::size_t ReceiverChannelMessage::getLength() { return payloadLength() + 2 + kFrameOverhead; }

MessageF::MessageF(std::uint8_t id) : ReceiverChannelMessage(kFChannel, id, kFFrameLimit) {}

MessageXTN::MessageXTN(std::uint8_t id) : ReceiverChannelMessage(kBinaryChannel, id, kXtnFrameLimit) {}

MessageSTAT::MessageSTAT(std::uint8_t id)
    : ReceiverChannelMessage(kStatChannel, id, std::numeric_limits<std::size_t>::max()) {}

MessageMAS::MessageMAS(std::uint8_t id) : Message(kMasChannel, id) {}

const std::uint8_t* MessageMAS::getBytes() {
    if (getLength() > kMasFrameLimit) return nullptr;
    frame_.clear();
    const std::uint8_t header[] = {id()};
    AppendFrame(frame_, header, payloadSpan(), std::nullopt);
    return frame_.data();
}

std::size_t MessageMAS::getLength() { return payloadLength() + 1 + kUncheckedFrameOverhead; }

}  // namespace vexa
