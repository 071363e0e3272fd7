#include "sim/osprey_location_side.h"

#include <algorithm>
#include <cmath>

#include "location/messages/logical_channel.h"
#include "location/messages/message_ai3.h"
#include "location/messages/message_f.h"
#include "location/messages/message_tunnel.h"
#include "location/messages/number_encoding.h"
#include "location/messages/run_length.h"
#include "receiver/frames/byte_order.h"
#include "receiver/frames/frame_writer.h"

namespace vexa::sim {
namespace {

constexpr std::uint8_t kRejectNotReady = 2;
constexpr std::uint8_t kFrequencyRequestValue = 0;
constexpr std::size_t kAnswerValid = 0;
constexpr std::size_t kAnswerFixFlag = 3;
constexpr std::size_t kAnswerLatitude = 11;
constexpr std::size_t kAnswerLongitude = 15;
constexpr std::size_t kAnswerGroups = 19;
constexpr std::size_t kAnswerAltitude = 23;
constexpr std::uint8_t kAltitudeGroup = 0x02;
constexpr std::size_t kRequestFixCount = 2;  // in the decompressed position request

}  // namespace

std::vector<std::uint8_t> PositionAnswer(const ReceiverSnapshot& snapshot) {
    std::vector<std::uint8_t> answer(MessageAI3_Response::kAnswerLength);
    answer[kAnswerValid] = 1;
    answer[kAnswerFixFlag] = 1;
    ByteWriter(std::span(answer).subspan(kAnswerLatitude))
        .u32(static_cast<std::uint32_t>(encodeLatitude(snapshot.position.latitudeDeg)));
    ByteWriter(std::span(answer).subspan(kAnswerLongitude))
        .u32(static_cast<std::uint32_t>(encodeLongitude(snapshot.position.longitudeDeg)));
    answer[kAnswerGroups] = kAltitudeGroup;
    const double tenths = std::clamp((snapshot.position.altitudeM + 500.0) * 10.0, 0.0, 65535.0);
    ByteWriter(std::span(answer).subspan(kAnswerAltitude)).u16(static_cast<std::uint16_t>(std::lround(tenths)));
    return answer;
}

OspreyLocationSide::OspreyLocationSide(ReceiverOutput& output, std::string version1, std::string version2)
    : output_(output), version1_(std::move(version1)), version2_(std::move(version2)) {}

void OspreyLocationSide::send(Message& message) {
    std::vector<std::uint8_t> frame;
    const std::uint8_t header[] = {message.channel(), message.id()};
    AppendFrame(frame, header, std::span(message.payload(), message.payloadLength()), std::uint16_t{0});
    output_.send(std::move(frame));
}

void OspreyLocationSide::sendNmea(std::string_view sentence) {
    if (sentence.empty()) return;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(sentence.data());
    MessageNMEA message(bytes[0], std::span(bytes + 1, sentence.size() - 1));
    send(message);
}

bool OspreyLocationSide::onFrame(std::span<const std::uint8_t> content, double nowSeconds) {
    if (content.size() < 2) return false;
    if (content[0] == kAi3Channel) {
        onAi3(content);
    } else if (content[0] == kFChannel) {
        if (content[1] == MessageF_GPSReset::kId) {
            fixesWanted_ = 0;
            timeRetryAt_.reset();
            MessageF_HWConfigRequest request;
            send(request);
            return true;
        }
        onF(content[1], content.subspan(2), nowSeconds);
    }
    return false;
}

void OspreyLocationSide::askTime() {
    ++timeAttempts_;
    MessageF_TimeTransferRequest request;
    send(request);
}

void OspreyLocationSide::onF(std::uint8_t id, std::span<const std::uint8_t> payload, double nowSeconds) {
    switch (id) {
    case MessageF_HWConfigResponse::kId:
        timeAttempts_ = 0;
        askTime();
        return;
    case MessageF_TimeTransferResponse::kId: {
        MessageF_FreqTransferRequest request(kFrequencyRequestValue);
        send(request);
        return;
    }
    case MessageF_Reject::kId:
        if (payload.size() < 2) return;
        if (payload[0] == MessageF_TimeTransferRequest::kId) {
            // Time not ready yet: ask again in a second, a limited number of times, then go on without.
            if (payload[1] == kRejectNotReady && timeAttempts_ < kTimeTransferAttempts) {
                timeRetryAt_ = std::floor(nowSeconds) + 1.0;  // at the next output second
            } else {
                MessageF_FreqTransferRequest request(kFrequencyRequestValue);
                send(request);
            }
        }
        return;
    case MessageF_FreqTransferResponse::kId: {
        MessageF_ApproxPositionRequest request;
        send(request);
        return;
    }
    case MessageF_SessionOpenRequest::kId: {
        MessageF_OpenSessionNotification notification(0);
        send(notification);
        return;
    }
    case MessageF_SessionCloseRequest::kId: {
        fixesWanted_ = 0;
        MessageF_CloseSessionNotification notification(0);
        send(notification);
        return;
    }
    case MessageF_SWVersionRequest::kId: {
        MessageF_SWVersionResponse response(version1_, version2_);
        send(response);
        return;
    }
    case MessageF_ChannelOpen::kId:
    case MessageF_ChannelClose::kId: {
        if (payload.size() < 2) return;
        const bool open = id == MessageF_ChannelOpen::kId;
        if (payload[1] == kNmeaChannel) nmeaOpen_ = open;
        if (open) {
            MessageF_ChannelOpen answer(payload[1]);
            send(answer);
        } else {
            MessageF_ChannelClose answer(payload[1]);
            send(answer);
        }
        return;
    }
    default:
        return;
    }
}

// Joins the request's fragments; a fragment out of sequence starts over.
void OspreyLocationSide::onAi3(std::span<const std::uint8_t> content) {
    if (content[1] != MessageAI3_PositionRequest::kId || content.size() < 4) return;
    const std::uint8_t count = content[2];
    const std::uint8_t index = content[3];
    if (index != lastFragment_ + 1 || count != requestFragments_) {
        request_.clear();
        if (index != 1) return;
    }
    requestFragments_ = count;
    lastFragment_ = index;
    request_.insert(request_.end(), content.begin() + 4, content.end());
    if (index < count) return;
    std::vector<std::uint8_t> payload;
    const bool whole = decodeRunLength(request_, payload, MessageAI3_PositionRequest::kPayloadLength) &&
                       payload.size() == MessageAI3_PositionRequest::kPayloadLength;
    request_.clear();
    lastFragment_ = 0;
    // The request asks for a number of fixes, answered one a second; a request for none still gets one.
    fixesWanted_ = whole ? std::max(1, static_cast<int>(payload[kRequestFixCount])) : 0;
}

void OspreyLocationSide::outputSecond(const ReceiverSnapshot& snapshot, double nowSeconds) {
    if (timeRetryAt_ && nowSeconds >= *timeRetryAt_) {
        timeRetryAt_.reset();
        askTime();
    }
    if (fixesWanted_ == 0 || !snapshot.hasFix()) return;
    --fixesWanted_;
    std::vector<std::uint8_t> compressed;
    encodeRunLength(PositionAnswer(snapshot), compressed);
    std::vector<std::uint8_t> frames;
    appendAi3Fragments(frames, MessageAI3_Response::kId, compressed, kAnswerFragmentBytes);
    output_.send(std::move(frames));
}

}  // namespace vexa::sim
