#pragma once

#include <cstdint>
#include <span>

#include "receiver/binary/decoder.h"
#include "receiver/frames/dropped_frames.h"
#include "receiver/frames/frame_receiver.h"
#include "receiver/binary/location_client_link.h"
#include "receiver/binary/message_sink.h"
#include "receiver/product/receiver_context.h"

namespace vexa {

// Routes complete frames and sentences by the selected product: decodes them, keeps the
// protocol and toggle counters of the context, and delivers to the sink or the location client.
class FrameDispatch : public FrameListener {
public:
    FrameDispatch(ReceiverContext& context, MessageSink& sink, LocationClientLink& locationClient)
        : context_(context), sink_(sink), locationClient_(&locationClient) {}

    void onFrame(std::span<std::uint8_t> payload) override;
    void onSentence(std::span<const std::uint8_t> text) override;

    // Frames that passed the frame checks but were not delivered: decoding failed, or
    // (with channel bytes) the channel byte is unknown.
    std::uint64_t droppedFrames() const { return droppedFrames_; }
    // Told of each of those frames and why (nullptr: nobody).
    void setDropListener(DropListener* listener) { dropListener_ = listener; }
    // Where the frames for the location client go from now on.
    void setLocationClient(LocationClientLink& locationClient) { locationClient_ = &locationClient; }

private:
    void dispatchChannels(std::span<std::uint8_t> payload);
    bool decode(std::span<const std::uint8_t> payload);
    void drop(DropReason reason, std::span<const std::uint8_t> payload = {});
    void decodeAndCount(std::span<const std::uint8_t> payload);

    ReceiverContext& context_;
    MessageSink& sink_;
    LocationClientLink* locationClient_;
    RecordBuffer record_;
    DecodeResult decoded_;
    std::uint64_t droppedFrames_ = 0;
    DropListener* dropListener_ = nullptr;
};

}  // namespace vexa
