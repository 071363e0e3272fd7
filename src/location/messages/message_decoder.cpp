#include "location/messages/message_decoder.h"

#include <new>
#include <span>

#include "location/messages/logical_channel.h"
#include "location/messages/message_f.h"
#include "location/messages/message_mas.h"
#include "location/messages/message_tunnel.h"
#include "receiver/frames/byte_order.h"

namespace vexa {

namespace {

using Content = std::span<const std::uint8_t>;

// A message whose payload is one byte; null when the byte is missing.
template <class M>
std::unique_ptr<Message> withByte(Content payload) {
    return payload.empty() ? nullptr : std::make_unique<M>(payload[0]);
}

// A message whose payload is a 16-bit session id; null when it is cut short.
template <class M>
std::unique_ptr<Message> withSessionId(Content payload) {
    return payload.size() < 2 ? nullptr : std::make_unique<M>(LoadBig16(payload.data()));
}

std::unique_ptr<Message> decodeF(Content content) {
    const Content p = content.subspan(2);
    switch (content[1]) {
        case MessageF_OpenSessionNotification::kId:
            return withByte<MessageF_OpenSessionNotification>(p);
        case MessageF_CloseSessionNotification::kId:
            return withByte<MessageF_CloseSessionNotification>(p);
        case MessageF_ErrorNotification::kId:
            return withByte<MessageF_ErrorNotification>(p);
        case MessageF_HWConfigRequest::kId:
            return std::make_unique<MessageF_HWConfigRequest>();
        case MessageF_TimeTransferRequest::kId:
            return std::make_unique<MessageF_TimeTransferRequest>();
        case MessageF_FreqTransferRequest::kId:
            return withByte<MessageF_FreqTransferRequest>(p);
        case MessageF_ApproxPositionRequest::kId:
            return std::make_unique<MessageF_ApproxPositionRequest>();
        case MessageF_Reject::kId:
            if (p.size() < 2) return nullptr;
            return std::make_unique<MessageF_Reject>(p[0], p[1]);
        case MessageF_SWVersionResponse::kId:
            return std::make_unique<MessageF_SWVersionResponse>(content);
        case MessageF_ChannelOpen::kId:
            if (p.size() < 3) return nullptr;
            return std::make_unique<MessageF_ChannelOpen>(std::array<std::uint8_t, 3>{p[0], p[1], p[2]});
        case MessageF_ChannelClose::kId:
            if (p.size() < 2) return nullptr;
            return std::make_unique<MessageF_ChannelClose>(std::array<std::uint8_t, 2>{p[0], p[1]});
        default:
            return nullptr;
    }
}

std::unique_ptr<Message> decodeMas(Content content) {
    const Content p = content.subspan(2);
    switch (content[1]) {
        case MessageMAS_OpenRequest::kId:
            return withSessionId<MessageMAS_OpenRequest>(p);
        case MessageMAS_Aiding::kId:
            return std::make_unique<MessageMAS_Aiding>(p);
        case MessageMAS_CloseRequest::kId:
            return withSessionId<MessageMAS_CloseRequest>(p);
        case MessageMAS_Reject::kId:
            return withByte<MessageMAS_Reject>(p);
        case MessageMAS_Ready::kId:
            return withByte<MessageMAS_Ready>(p);
        case MessageMAS_Id9::kId:
            return std::make_unique<MessageMAS_Id9>();
        case MessageMAS_Id10::kId:
            return std::make_unique<MessageMAS_Id10>(p);
        default:
            return nullptr;
    }
}

std::unique_ptr<Message> decodeStat(Content content) {
    if (content[1] != MessageSTAT_TTFF::kId || content.size() < 2 + MessageSTAT_TTFF::kPayloadLength) return nullptr;
    return std::make_unique<MessageSTAT_TTFF>(content.subspan<2, MessageSTAT_TTFF::kPayloadLength>());
}

}  // namespace

std::unique_ptr<Message> MessageDecoder::decodeMessage(const std::uint8_t* bytes, std::size_t length) {
    if (bytes == nullptr || length < 2) return nullptr;
    const Content content(bytes, length);
    try {
        switch (content[0]) {
            case kFChannel:
                return decodeF(content);
            case kMasChannel:
                return decodeMas(content);
            case kStatChannel:
                return decodeStat(content);
            case kNmeaChannel:
                return std::make_unique<MessageNMEA>(content[1], content.subspan(2));
            case kAi3Channel: {
                std::lock_guard lock(ai3Mutex_);
                return ai3_.decode(content);
            }
            default:
                return nullptr;  // unknown channels, and XTN data, which is never decoded
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace vexa
