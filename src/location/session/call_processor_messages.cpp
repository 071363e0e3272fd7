// The call processor's thread: what it answers to each message from the server and the receiver.
#include "location/session/call_processor.h"

#include "location/messages/logical_channel.h"
#include "location/messages/message_f.h"
#include "location/messages/message_mas.h"
#include "location/messages/message_tunnel.h"
#include "location/messages/printf_text.h"

namespace vexa {

namespace {

constexpr std::chrono::milliseconds kPipeWait{200};

}  // namespace

void CallProcessor::run() {
    comm_.logTrace("Call Processor thread running");
    while (run_) {
        std::unique_ptr<Message> message = comm_.getMessage(kPipeWait);
        watchSession();
        if (message) {
            if (message->channel() == kMasChannel) {
                networkTimer_.reset();
            } else {
                serialTimer_.reset();
            }
            Lock lock(lock_);
            handle(*message);
        }
        watchServer();
        sendQueued();
    }
    {
        Lock lock(lock_);
        decodedAiding_.reset();
    }
    serialTimer_.stop();
    comm_.logError("Serial Timer: Stop normally");
    networkTimer_.stop();
    comm_.logError("Network Timer: Stop normally");
    comm_.logTrace("Call Processor Exit Normally");
}

void CallProcessor::serverGone() {
    if (testState_ != kClosedAfterAiding && testState_ != kClosedOtherwise) {
        testState_ = testState_ == kOrbitAndTime ? kClosedAfterAiding : kClosedOtherwise;
    }
    // Counted down at once; the connection itself closes after what is queued for it has gone.
    comm_.markNetworkDown();
    outbox_.push_back({});
    networkSession_ = false;
    networkTimer_.stop();
}

// A server that went away without its close request ends its part of the session as if it had sent
// one; the receiver's part goes on and is answered from what the client has. The loss counts only
// once every server message received before it has been handled, so a close request that came just
// before the hang-up is taken as the close.
void CallProcessor::watchServer() {
    Lock lock(lock_);
    // The loss is read before the pipe: once the module has closed, all the server sent is in the pipe.
    if (comm_.networkLost() && !comm_.pipe().holds(kMasChannel)) {
        comm_.logError("Network connection lost.");
        serverGone();
    }
}

void CallProcessor::watchSession() {
    Lock lock(lock_);
    if (networkTimer_.expired()) {
        comm_.reportStatus(printfText("WARNING: Network Timer of (%ld)s expired. Stopping Session.",
                                      static_cast<long>(profile_.networkTimeout)));
        comm_.logError(printfText("NetworkTimer (%ld) ms has elapsed. Stopped Session.",
                                  static_cast<long>(profile_.networkTimeout) * 1000));
        // The module stays open; with the network counted down, stopping sends nothing to the server.
        comm_.markNetworkDown();
        networkTimer_.stop();
        stopSessionLocked();
    }
    if (serialTimer_.expired()) {
        comm_.reportStatus(printfText("ERROR: Serial Timer of (%ld)s expired. Reseting timer.",
                                      static_cast<long>(profile_.serialTimeout)));
        comm_.logError(printfText("Serial Timer (%ld) ms has elapsed. Reseting timer.",
                                  static_cast<long>(profile_.serialTimeout) * 1000));
        serialTimer_.reset();
    }
}

void CallProcessor::handle(Message& message) {
    switch (message.channel()) {
    case kMasChannel: handleServer(message); return;
    case kAi3Channel: handleAi3(message); return;
    case kFChannel: handleF(message); return;
    case kNmeaChannel:
        if (auto* nmea = dynamic_cast<MessageNMEA*>(&message); nmea && host_.callbacks().nmea) {
            host_.callbacks().nmea(nmea->record());
        }
        return;
    case kStatChannel: handleStat(message); return;
    default:
        comm_.logError(printfText("Rx: Unknown Channel %x: MsgID:%x", message.channel(), message.id()));
        return;
    }
}

void CallProcessor::handleServer(Message& message) {
    switch (message.id()) {
    case MessageMAS_OpenRequest::kId:
        trace("DEBUG:MAS->CP:Open Request");
        if (auto* request = dynamic_cast<MessageMAS_OpenRequest*>(&message)) masSessionId_ = request->sessionId();
        send(std::make_unique<MessageMAS_OpenResponse>(masSessionId_), "DEBUG:CP->MAS:MessageMAS_OpenResponse");
        return;
    case MessageMAS_Aiding::kId: {
        trace("DEBUG:MAS->CP:Aiding Received");
        const std::uint8_t* frame = message.getBytes();
        if (!aidingReceivedLocked(frame, frame != nullptr ? message.getLength() : 0)) {
            comm_.logError("ERROR: Cannot decode air message");
        }
        return;
    }
    case MessageMAS_CloseRequest::kId:
        trace("DEBUG:MAS->CP:Close Request");
        if (auto* request = dynamic_cast<MessageMAS_CloseRequest*>(&message)) masSessionId_ = request->sessionId();
        send(std::make_unique<MESSAGE_MAS_CLOSE_RESPONSE>(masSessionId_), "DEBUG:CP->MAS:MESSAGE_MAS_CLOSE_RESPONSE");
        serverGone();
        return;
    case MessageMAS_Reject::kId: trace("DEBUG:MAS->CP:Reject"); return;
    case MessageMAS_Ready::kId:
        trace("DEBUG:MAS->CP:Ready");
        send(std::make_unique<MessageMAS_StartTest>(profile_), "DEBUG:CP->MAS:Start Test");
        testState_ = kTestStarted;
        return;
    default:
        trace("DEBUG:MAS->CP:Unknown MAS ID");
        comm_.logError(printfText("Received unknown MAS messageID:%x", message.id()));
        return;
    }
}

void CallProcessor::handleAi3(Message& message) {
    switch (message.id()) {
    case MessageAI3_Response::kId:
        trace("DEBUG:RVX->CP:AI3:Response");
        handlePositionAnswer(message);
        return;
    case MessageAI3_Ack::kId: trace("DEBUG:RVX->CP:AI3:Ack"); return;
    default:
        trace("DEBUG:RVX->CP:AI3:Unknown id");
        comm_.logError(printfText("Rx: Unknown AI3 MsgID:%x", message.id()));
        return;
    }
}

void CallProcessor::handlePositionAnswer(Message& message) {
    comm_.reportStatus(status::kFixReceived);
    send(std::make_unique<MessageAI3_Ack>(0), "DEBUG:CP->RVX:AI3 Resp ACK");
    ++fixCount_;
    const auto* response = dynamic_cast<MessageAI3_Response*>(&message);
    const PositionResult result = response != nullptr ? response->positionResult() : PositionResult{};
    if (host_.callbacks().position) host_.callbacks().position(result);
    comm_.logTrace(printfText("SpecCheck-Pos:%f:%f:%d", static_cast<double>(result.latitude),
                              static_cast<double>(result.longitude), static_cast<int>(result.altitude)));
    if (!keepSession_ || fixCount_ == profile_.numFixes) {
        send(std::make_unique<MessageF_SessionCloseRequest>(), "DEBUG:CP->RVX:AI3 Close Sess Req");
        if (comm_.networkUp()) endTest();
    }
    if (networkSession_) endTest();
}

void CallProcessor::handleF(Message& message) {
    switch (message.id()) {
    case MessageF_OpenSessionNotification::kId:
        trace("DEBUG:RVX->CP:F:Open Session Notification");
        receiverSessionOpen_ = true;
        switch (sessionKind_) {
        case SessionKind::Autonomous:
        case SessionKind::Network: requestAutonomousPosition(); break;
        case SessionKind::Aided:
            if (aidingReady_ && !aidedRequestSent_) {
                requestAidedPosition();
                aidingReady_ = false;
                aidedRequestSent_ = true;
            } else {
                requestAutonomousPosition();
            }
            break;
        case SessionKind::None: break;
        }
        return;
    case MessageF_CloseSessionNotification::kId:
        trace("DEBUG:RVX->CP:F:Close Session Notification");
        receiverSessionOpen_ = false;
        aidingReady_ = false;
        aidedRequestSent_ = false;
        serialTimer_.stop();
        return;
    case MessageF_ErrorNotification::kId:
        trace(printfText("DEBUG:RVX->CP:F: error notif: %d", message.payloadLength() > 0 ? message.payload()[0] : 0));
        return;
    case MessageF_HWConfigRequest::kId:
        trace("DEBUG:RVX->CP:F:HW Config Request");
        send(std::make_unique<MessageF_HWConfigResponse>(static_cast<int>(sessionKind_)),
             "DEBUG:CP->RVX:HW Cnfg Response");
        return;
    case MessageF_TimeTransferRequest::kId:
        trace("DEBUG:RVX->CP:F:Time Transfer Request");
        handleTimeTransferRequest();
        return;
    case MessageF_FreqTransferRequest::kId:
        trace("DEBUG:RVX->CP:F:Freq Transfer Request");
        send(std::make_unique<MessageF_FreqTransferResponse>(), "DEBUG:CP->RVX:Freq Xfer Resp");
        return;
    case MessageF_ApproxPositionRequest::kId:
        trace("DEBUG:RVX->CP:F:Approx Position Request");
        if (profile_.approxPositionValid != 0) {
            send(std::make_unique<MessageF_ApproxPositionResponse>(profile_), "DEBUG:CP->RVX:Approx Pos Resp");
        } else {
            send(std::make_unique<MessageF_Reject>(MessageF_ApproxPositionRequest::kId, 4),
                 "DEBUG:CP->RVX:Approx Pos Resp");
        }
        send(std::make_unique<MessageF_SessionOpenRequest>(), "DEBUG:CP->RVX:AI3 Sess Opn Req");
        return;
    case MessageF_Reject::kId:
        if (auto* reject = dynamic_cast<MessageF_Reject*>(&message)) {
            trace(printfText("DEBUG:RVX->CP:F: Message Reject: %d", reject->reason()));
        }
        return;
    case MessageF_SWVersionResponse::kId:
        trace("DEBUG:RVX->CP:F:SW Version Response");
        if (auto* version = dynamic_cast<MessageF_SWVersionResponse*>(&message)) {
            comm_.logTrace(printfText("RVX Version:%s:%s.", version->version1().c_str(), version->version2().c_str()));
            version1_ = version->version1();
            version2_ = version->version2();
        }
        return;
    case MessageF_ChannelOpen::kId: trace("DEBUG:RVX->CP:F:Channel Open Response"); return;
    case MessageF_ChannelClose::kId:
        trace("DEBUG:RVX->CP:F:Channel Close Response");
        sessionKind_ = SessionKind::None;
        return;
    default:
        trace("DEBUG:RVX->CP:F:Unknown message");
        comm_.logError(printfText("Rx: Unknown F MsgID:%x", message.id()));
        return;
    }
}

void CallProcessor::handleTimeTransferRequest() {
    constexpr std::uint8_t kNotReady = 2;
    constexpr std::uint8_t kRefused = 4;
    constexpr std::uint8_t kId = MessageF_TimeTransferRequest::kId;
    if (sessionKind_ == SessionKind::None) {
        send(std::make_unique<MessageF_Reject>(kId, kRefused), "DEBUG:CP->RVX:Time xfer REJECT");
        return;
    }
    switch (testState_) {
    case kOrbitAndTime:
    case kClosedAfterAiding:
        send(std::make_unique<MessageF_TimeTransferResponse>(aidingTime_.gpsWeek, aidingTime_.timeOfWeekMs),
             "DEBUG:CP->RVX:Time xfer resp");
        aidingReady_ = true;
        if (receiverSessionOpen_ && !aidedRequestSent_) {
            requestAidedPosition();
            aidedRequestSent_ = true;
        }
        return;
    case kAidingUnusable:
    case kClosedOtherwise:
        send(std::make_unique<MessageF_Reject>(kId, kRefused), "DEBUG:CP->RVX:Time xfer REJECT");
        return;
    default:
        send(std::make_unique<MessageF_Reject>(kId, kNotReady), "DEBUG:CP->RVX:Time xfer NOT Ready");
        return;
    }
}

void CallProcessor::handleStat(Message& message) {
    const auto* ttff = dynamic_cast<MessageSTAT_TTFF*>(&message);
    if (ttff == nullptr) return;
    const std::array<std::uint16_t, 3> tenths = ttff->ttffTenths();
    comm_.logTrace(printfText("SpecCheck-TTFF:%f:%f:%f", tenths[0] * 0.1, tenths[1] * 0.1, tenths[2] * 0.1));
    trace(printfText("DEBUG:  TTFF:%d", tenths[1]));
}

}  // namespace vexa
