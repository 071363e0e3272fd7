#include "receiver/frame_dispatch.h"

#include "platform/result_codes.h"

namespace vexa {
namespace {

// Channel bytes of the Osprey product.
constexpr std::uint8_t kLocationChannel1 = 0x01;
constexpr std::uint8_t kLocationChannel2 = 0x02;
constexpr std::uint8_t kTtffChannel = 0xBB;
constexpr std::uint8_t kTtffMessageId = 0xE1;  // what the 0xBB channel's payloads decode as
constexpr std::uint8_t kNmeaChannel = 0xDD;

constexpr int kDebugCountLimit = 11;
constexpr int kNavLibCountLimit = 21;
constexpr int kNmeaChannelCountLimit = 6;

void RaiseUpTo(std::atomic<int>& counter, int limit) {
    if (counter.load() < limit) counter.fetch_add(1);
}

bool IsNavLibId(int id) { return id >= 28 && id <= 31; }

}  // namespace

void FrameDispatch::onFrame(std::span<std::uint8_t> payload) {
    const int product = context_.ProductSelection.load();
    if (context_.LinkProtocol.exchange(kBinaryProtocol) != kBinaryProtocol && product == kOsprey) {
        locationClient_.setBinary(1);
    }
    switch (product) {
    case kKestrel:
    case kMerlin:
        decodeAndCount(payload);
        return;
    case kOsprey:
        dispatchOsprey(payload);
        return;
    default:
        return;
    }
}

void FrameDispatch::onSentence(std::span<const std::uint8_t> text) {
    context_.LinkProtocol.store(kNmeaProtocol);
    sink_.deliver(kTextId, text.data(), text.size());
}

void FrameDispatch::dispatchOsprey(std::span<std::uint8_t> payload) {
    const std::span<std::uint8_t> message = payload.subspan(1);
    switch (payload[0]) {
    case kLocationChannel1:
    case kLocationChannel2:
        locationClient_.postExternalSerial(payload.data(), payload.size());
        return;
    case kTtffChannel:
        payload[0] = kTtffMessageId;
        if (decode(payload)) sink_.deliver(decoded_.id, record_.bytes, decoded_.recordLength);
        return;
    case kNmeaChannel:
        RaiseUpTo(context_.NmeaChannelCount, kNmeaChannelCountLimit);
        sink_.deliver(kTextId, message.data(), message.size());
        return;
    case kCommandChannel:
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
    if (decoded_.id == kTextId) RaiseUpTo(context_.DebugToggleCount, kDebugCountLimit);
    if (IsNavLibId(decoded_.id)) RaiseUpTo(context_.NavLibToggleCount, kNavLibCountLimit);
    sink_.deliver(decoded_.id, record_.bytes, decoded_.recordLength);
}

}  // namespace vexa
