#include "receiver/binary/frame_dispatch.h"

#include "platform/result_codes.h"
#include "receiver/frames/channel_bytes.h"
#include "receiver/binary/message_ids.h"
#include "receiver/product/product_table.h"

namespace vexa {
namespace {

// Counts an arriving output message; one past the threshold is enough to show it arriving.
void RaiseAboveThreshold(std::atomic<int>& counter, int threshold) {
    if (counter.load() <= threshold) counter.fetch_add(1);
}

}  // namespace

void FrameDispatch::onFrame(std::span<std::uint8_t> payload) {
    const ProductTraits* product = SupportedProduct(context_.ProductSelection.load());
    if (context_.LinkProtocol.exchange(kBinaryProtocol) != kBinaryProtocol && product != nullptr &&
        product->channelBytes) {
        locationClient_->setBinary(1);
    }
    if (product == nullptr) return;
    if (product->channelBytes) {
        dispatchChannels(payload);
    } else {
        decodeAndCount(payload);
    }
}

void FrameDispatch::onSentence(std::span<const std::uint8_t> text) {
    context_.LinkProtocol.store(kNmeaProtocol);
    sink_.deliver(ToWire(MessageId::DevelopmentText), text.data(), text.size());
}

void FrameDispatch::dispatchChannels(std::span<std::uint8_t> payload) {
    const std::span<std::uint8_t> message = payload.subspan(1);
    switch (payload[0]) {
    case kAi3Channel:
    case kFChannel:
        locationClient_->postExternalSerial(payload.data(), payload.size());
        return;
    case kStatChannel:
        payload[0] = ToWire(MessageId::TtffReport);  // what the statistics channel's payloads decode as
        if (decode(payload)) sink_.deliver(decoded_.id, record_.bytes, decoded_.recordLength);
        return;
    case kNmeaChannel:
        RaiseAboveThreshold(context_.NmeaChannelCount, kNmeaChannelToggleThreshold);
        sink_.deliver(ToWire(MessageId::DevelopmentText), message.data(), message.size());
        return;
    case kBinaryChannel:
        decodeAndCount(message);
        return;
    default:
        drop(DropReason::UnknownChannel);
        return;
    }
}

bool FrameDispatch::decode(std::span<const std::uint8_t> payload) {
    if (payload.empty()) {
        drop(DropReason::BadLength);
        return false;
    }
    decoded_ = DecodeMessage(payload, record_, context_);
    if (decoded_.code == kResultUnknownId) {
        drop(DropReason::UnknownId, payload);
        return false;
    }
    if (decoded_.code != kResultOk) {
        drop(DropReason::BadLength);
        return false;
    }
    return true;
}

void FrameDispatch::drop(DropReason reason, std::span<const std::uint8_t> payload) {
    ++droppedFrames_;
    if (dropListener_ != nullptr) dropListener_->onDropped(reason, payload);
}

void FrameDispatch::decodeAndCount(std::span<const std::uint8_t> payload) {
    if (!decode(payload)) return;
    if (decoded_.id == ToWire(MessageId::DevelopmentText)) {
        RaiseAboveThreshold(context_.DebugToggleCount, kDebugToggleThreshold);
    }
    if (IsNavLibId(decoded_.id)) RaiseAboveThreshold(context_.NavLibToggleCount, kNavLibToggleThreshold);
    sink_.deliver(decoded_.id, record_.bytes, decoded_.recordLength);
}

}  // namespace vexa
